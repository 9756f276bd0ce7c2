#include "desktop/shell/HelpWindow.h"

#include "data/Version.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QDir>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The guide lives in the GUI library's resources, which a static library must register.
static void initHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace vorn {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    initHelpResources();
    setObjectName("HelpWindow");
    setWindowTitle("Руководство пользователя");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("guide");
    // Markdown headings carry no anchors: the contents links are followed here.
    browser_->setOpenLinks(false);
    // A link inside the guide comes resolved against its source (qrc:/help/guide.md#...):
    // it scrolls here; only addresses outside the program go to the system's browser.
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme().isEmpty() || url.scheme() == "qrc") {
            if (url.hasFragment())
                showSection(url.fragment(QUrl::FullyDecoded));
            return;
        }
        QDesktopServices::openUrl(url);
    });
    browser_->document()->setDocumentMargin(16);
    browser_->setSource(QUrl(kGuideUrl), QTextDocument::MarkdownResource);
    layout->addWidget(browser_);
    resize(780, 640);
}

bool HelpWindow::showSection(const QString& fragment) {
    for (QTextBlock b = browser_->document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0)
            continue;
        QString slug;
        for (const QChar c : b.text().toLower())
            if (c.isLetterOrNumber() || c == '-')
                slug += c;
            else if (c == ' ')
                slug += '-';
        if (slug != fragment)
            continue;
        const QRectF r = browser_->document()->documentLayout()->blockBoundingRect(b);
        browser_->verticalScrollBar()->setValue(int(r.top()));
        return true;
    }
    return false;
}

QString HelpWindow::aboutText(const QString& dataDir) {
    return QString("<h3>Vorn</h3>"
                   "<p>%1</p>"
                   "<p>Тепловой баланс холодильной камеры, подбор холодильного оборудования, "
                   "отчеты.</p>"
                   "<p><b>Справочные данные.</b> Теплопроводность материалов и изоляции: "
                   "СНиП II-3-79* (прил. 3), СП 23-101-2004, ASHRAE Refrigeration Handbook; "
                   "теплофизические свойства продуктов и дыхание плодов и овощей: ASHRAE "
                   "Refrigeration Handbook; теплоемкость тары: Engineering ToolBox и "
                   "СНиП II-3-79*; климат регионов: СП 131.13330. Источник каждой цифры "
                   "указан в руководстве пользователя.</p>"
                   "<p><b>Папка справочников:</b> %2</p>"
                   "<p>© ООО «Ворн-Холод». Условия использования: файл copyright "
                   "в /usr/share/doc/vorn.</p>")
        .arg(QString::fromUtf8(kVersionLine).toHtmlEscaped(),
             QDir::toNativeSeparators(dataDir).toHtmlEscaped());
}

} // namespace vorn
