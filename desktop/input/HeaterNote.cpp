#include "desktop/input/HeaterNote.h"

#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/Session.h"

#include <QLabel>
#include <QPointer>

namespace vorn {

QLabel* makeHeaterNote(Session& session, QWidget* parent) {
    QString text = QString::fromUtf8(kHeaterFieldsMissing);
    text[0] = text[0].toUpper(); // a sentence of its own
    auto* note = new QLabel(text + ".", parent);
    note->setObjectName("HeaterNote");
    note->setWordWrap(true);
    note->setStyleSheet("color: #7a4a00;");
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
