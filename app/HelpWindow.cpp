#include "app/HelpWindow.h"

#include "app/Version.h"

#include <QDir>
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
    browser_->setOpenExternalLinks(true);
    browser_->document()->setDocumentMargin(16);
    browser_->setSource(QUrl(kGuideUrl), QTextDocument::MarkdownResource);
    layout->addWidget(browser_);
    resize(780, 640);
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
