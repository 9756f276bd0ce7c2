#include "desktop/shell/GuiMain.h"

#include "desktop/shell/Composition.h"
#include "desktop/shell/MainWindow.h"
#include "desktop/shell/QuitOnSignal.h"
#include "document/Session.h"
#include "data/DataModule.h"
#include "desktop/widgets/ProgramFonts.h"

#include <QApplication>
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

    // The data module and the open calculation outlive every window; the windows around
    // the main window are composed in one place (Desktop).
    DataModule dm;
    Session session(dm);
    MainWindow window(dm, session, QString::fromStdString(dataDir));
    Desktop desktop(window, session, dm, QString::fromStdString(dataDir));

    if (!args.empty()) {
        const QString path = QString::fromStdString(args.front());
        QObject::connect(&window, &MainWindow::startupFinished, &window, [&window, &desktop, path] {
            QTimer::singleShot(0, &window, [&desktop, path] { desktop.openAtStart(path); });
        });
    }
    QuitOnSignal quitOnSignal;
    window.show();
    const int status = app.exec();
    dm.closeAll();
    return window.startupFailed() ? 1 : status;
}

} // namespace vorn
