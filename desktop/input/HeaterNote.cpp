#include "desktop/input/HeaterNote.h"

#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/Session.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QPointer>

namespace vorn {

QLabel* makeHeaterNote(Session& session, QWidget* parent) {
    QString reason = QString::fromUtf8(kHeaterFieldsMissing);
    reason[0] = reason[0].toUpper(); // a sentence of its own
    auto* note = new QLabel(
        "Файл прежнего формата: \"Сохранить как\" запишет новый формат с полями ТЭНов и оттайки.",
        parent);
    note->setObjectName("HeaterNote");
    note->setToolTip(reason + ".");
    // a palette, not a style sheet: the label keeps the screen's compact font
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, QColor(0x7a, 0x4a, 0x00));
    note->setPalette(palette);
    QPointer<QLabel> guard(note);
    auto update = [guard, &session] {
        if (guard)
            guard->setVisible(session.isOpen() && !hasHeaterFields(session.data().taWork));
    };
    session.addListener([update](const CommitResult&) { update(); });
    update();
    return note;
}

} // namespace vorn
