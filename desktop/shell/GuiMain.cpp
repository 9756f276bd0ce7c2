#include "desktop/shell/GuiMain.h"

#include "desktop/shell/AdditionalDataDialog.h"
#include "desktop/shell/MainWindow.h"
#include "desktop/shell/QuitOnSignal.h"
#include "document/Session.h"
#include "data/DataModule.h"
#include "desktop/input/InputScreen.h"
#include "desktop/reports/CalcReport.h"
#include "reports/HeaderLines.h"
#include "desktop/reports/SystemsReport.h"
#include "selection/Selection.h"
#include "desktop/selection/SelectionDialog.h"
#include "desktop/widgets/ProgramFonts.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
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

// Qt 6 asks for the file dialog's type names ("Folder", ...) under a context its Russian
// catalogue lacks; the same words are there under the file dialog's own.
class FileTypeNames : public QTranslator {
public:
    explicit FileTypeNames(const QTranslator& qt) : qt_(qt) {}
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        return qt_.translate("QFileDialog", source, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

private:
    const QTranslator& qt_;
};

bool noDisplayAtAll() {
#ifdef _WIN32
    return false; // the Windows platform plugin needs no display variable
#else
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}
} // namespace

int runGui(int argc, char** argv, const std::string& /*programDir*/, const std::string& dataDir,
           const std::vector<std::string>& args) {
    if (noDisplayAtAll()) {
        std::fprintf(stderr, "нет дисплея: переменная DISPLAY не задана (окну нужен X-сервер)\n");
        return 1;
    }
    // The file dialogs write dates in the system locale's words: Russian ones, unless the
    // user has chosen the locale of every category.
    if (qEnvironmentVariableIsEmpty("LC_ALL") && !qgetenv("LC_TIME").startsWith("ru"))
        qputenv("LC_TIME", "ru_RU.UTF-8");
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    registerProgramFonts();
    // The name gives the user's data folder (~/.local/share/vorn, as DataLocation has it)
    // and the settings (~/.config/vorn); the display name is what the user reads.
    QApplication::setApplicationName("vorn");
    QApplication::setApplicationDisplayName("Vorn");
    QApplication::setDesktopFileName("vorn");
    QApplication::setWindowIcon(QIcon::fromTheme("vorn"));
    // Russian texts, dates and numbers in the standard dialogs (file dialogs, message box
    // buttons), whatever the system's locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTranslator qtRu;
    FileTypeNames fileTypesRu(qtRu);
    if (qtRu.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtRu);
        QApplication::installTranslator(&fileTypesRu);
    }

    // The windows in their order: the main window, the data module, the report window,
    // the selection window, the additional-data window and the systems list window. The
    // data module is built first only because the window holds a reference to it.
    DataModule dm;
    Session session(dm);
    MainWindow window(dm, session, QString::fromStdString(dataDir));
    session.showMessage = [&window](const std::string& m) {
        window.showMessage(QString::fromStdString(m));
    };
    // TitleRep.txt lies beside the data folder in use
    const QString headerFolder = QString::fromStdString(HeaderLines::folderFor(dataDir));
    CalcReport report(session, headerFolder);
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
    SystemsReport report2(session, selection, headerFolder);
    podbor.printSystems = [&report2, &podbor] { report2.preview(&podbor); };

    dm.onSettingsOpened = [&add] { add.fillFolder(); };
    session.refillExecutors = [&add] { add.refillExecutors(); };
    window.setAdditionalDataDialog(&add);
    InputScreen::install(window, session);

    if (!args.empty()) {
        const std::string path = args.front();
        QObject::connect(&window, &MainWindow::startupFinished, &window, [&window, path] {
            QTimer::singleShot(0, &window, [&window, path] {
                // a project opens in the project window (the file manager's double-click)
                const QString file = QString::fromStdString(path);
                if (QFileInfo(file).suffix().compare("vrp", Qt::CaseInsensitive) == 0 &&
                    window.openProject)
                    window.openProject(file);
                else
                    window.openCalculationAt(file);
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
