#include "app/GuiMain.h"

#include "app/AdditionalDataDialog.h"
#include "app/MainWindow.h"
#include "app/QuitOnSignal.h"
#include "document/Session.h"
#include "data/DataModule.h"
#include "input/InputScreen.h"
#include "reports/CalcReport.h"
#include "reports/SystemsReport.h"
#include "selection/Selection.h"
#include "selection/SelectionDialog.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

namespace vorn {

namespace {
// While the application connects to the display, the platform's messages are held back:
// when no display can be reached, Qt ends with a fatal message, and the user gets one
// line instead of Qt's advice about plugins, and exit status 1 instead of an abort.
QString heldPlatformMessage;

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (type == QtFatalMsg) {
        QString reason = heldPlatformMessage.isEmpty() ? msg : heldPlatformMessage;
        reason = reason.section('\n', 0, 0).trimmed();
        std::fprintf(stderr, "нет дисплея: %s\n", reason.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (context.category && QByteArray(context.category).startsWith("qt.qpa")) {
        if (heldPlatformMessage.isEmpty())
            heldPlatformMessage = msg;
        return;
    }
    std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

bool noDisplayAtAll() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
} // namespace

int runGui(int argc, char** argv, const std::string& programDir, const std::string& dataDir,
           const std::vector<std::string>& args) {
    if (noDisplayAtAll()) {
        std::fprintf(stderr, "нет дисплея: переменная DISPLAY не задана (окну нужен X-сервер)\n");
        return 1;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
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
    Selection selection(session.data(), session.results(), session.selectionWriter());
    SelectionDialog podbor(selection, &window);
    QObject::connect(&window, &MainWindow::selectionRequested, &podbor,
                     [&podbor] { podbor.exec(); });
    AdditionalDataDialog add(dm, &window);
    add.writeText = [&session](const char* field, const std::string& text) {
        return session.editAdditionalData(field, text);
    };
    SystemsReport report2(session, selection, QString::fromStdString(programDir));
    podbor.printSystems = [&report2, &podbor] { report2.preview(&podbor); };

    dm.onSettingsOpened = [&add] { add.fillFolder(); };
    session.refillExecutors = [&add] { add.refillExecutors(); };
    window.setAdditionalDataDialog(&add);
    InputScreen::install(window, session);

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
