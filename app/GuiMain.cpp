#include "app/GuiMain.h"

#include "app/AdditionalDataDialog.h"
#include "app/MainWindow.h"
#include "app/QuitOnSignal.h"
#include "app/Session.h"
#include "data/DataModule.h"
#include "reports/CalcReport.h"

#include <QApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <memory>

namespace vorn {

int runGui(int argc, char** argv, const std::string& programDir, const std::string& dataDir,
           const std::vector<std::string>& args) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vorn");
    QApplication::setApplicationDisplayName("Vorn");
    // Russian texts in the standard dialogs (file dialogs, message box buttons).
    QTranslator qtRu;
    if (qtRu.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRu);

    // The windows in their order: the main window, the data module, the report window,
    // the selection window, the additional-data window and the systems list window. The
    // data module is built first only because the window holds a reference to it.
    DataModule dm;
    Session session(dm);
    MainWindow window(dm, session, QString::fromStdString(dataDir));
    session.showMessage = [&window](const std::string& m) {
        window.showMessage(QString::fromStdString(m));
    };
    CalcReport report(session, QString::fromStdString(programDir));
    QObject::connect(&window, &MainWindow::previewRequested, &window,
                     [&report, &window] { report.preview(&window); });
    QObject::connect(&window, &MainWindow::printRequested, &window,
                     [&report, &window] { report.print(&window); });
    auto podbor = std::make_unique<QDialog>(&window);
    podbor->setObjectName("fmPodbor");
    AdditionalDataDialog add(dm, &window);
    auto report2 = std::make_unique<QDialog>(&window);
    report2->setObjectName("fmReport2");

    dm.onSettingsOpened = [&add] { add.fillFolder(); };
    session.refillExecutors = [&add] { add.refillExecutors(); };
    window.setAdditionalDataDialog(&add);

    if (!args.empty()) {
        const std::string path = args.front();
        QObject::connect(&window, &MainWindow::startupFinished, &window, [&window, path] {
            QTimer::singleShot(0, &window, [&window, path] {
                window.openCalculationAt(QString::fromStdString(path));
            });
        });
    }
    QuitOnSignal quitOnSignal;
    window.show();
    const int status = app.exec();
    dm.onSettingsOpened = nullptr;
    session.refillExecutors = nullptr;
    dm.closeAll();
    return window.startupFailed() ? 1 : status;
}

} // namespace vorn
