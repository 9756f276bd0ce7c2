// The main window offscreen: start-up, the two states, the file-command switch, the news
// toggle, the shortcuts, the additional-data dialog and the result column.
#include "desktop/shell/MainWindow.h"

#include "desktop/shell/AdditionalDataDialog.h"
#include "app/DataLocation.h"
#include "desktop/widgets/DocumentsFolder.h"
#include "desktop/shell/HelpWindow.h"
#include "document/Session.h"
#include "desktop/shell/StartScreen.h"
#include "calc/NumberFormat.h"
#include "data/DataModule.h"
#include "desktop/input/ResultsPanel.h"
#include "desktop/widgets/AnimatedIcon.h"
#include "desktop/widgets/NewsPanel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QScrollBar>
#include <QDesktopServices>
#include <QTextBrowser>
#include <QToolBar>
#include <QKeyEvent>
#include <filesystem>
#include <memory>

using namespace vorn;

// Paths as the window shows and keeps them: with backslashes on Windows.
static QStringList native(const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths)
        out << QDir::toNativeSeparators(p);
    return out;
}

class MainWindowTest : public QObject {
    Q_OBJECT

    struct Rig {
        DataModule dm;
        Session session{dm};
        std::unique_ptr<MainWindow> window;
        std::unique_ptr<AdditionalDataDialog> add;
        QStringList messages;
        QString nextPath;

        explicit Rig(const QString& dataDir) {
            window = std::make_unique<MainWindow>(dm, session, dataDir);
            add = std::make_unique<AdditionalDataDialog>(dm, window.get());
            dm.onSettingsOpened = [this] { add->fillFolder(); };
            session.refillExecutors = [this] { add->refillExecutors(); };
            window->setAdditionalDataDialog(add.get());
            window->showMessage = [this](const QString& m) { messages << m; };
            window->confirmReplace = [](const QString&) { return true; };
            window->pickNewPath = [this](const QString&) { return nextPath; };
            window->pickOpenPath = [this](const QString&) { return nextPath; };
            window->pickSavePath = [this](const QString&) { return nextPath; };
        }
        ~Rig() {
            dm.onSettingsOpened = nullptr;
            session.refillExecutors = nullptr;
        }
        void start() {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QTRY_VERIFY(window->startupDone());
        }
        bool fileCommandsOn() const {
            for (const char* name : {"FileSave1", "FileClose1", "FilePrint1", "FilePreview1"})
                if (!window->action(name)->isEnabled())
                    return false;
            return true;
        }
        bool fileCommandsOff() const {
            for (const char* name : {"FileSave1", "FileClose1", "FilePrint1", "FilePreview1"})
                if (window->action(name)->isEnabled())
                    return false;
            return true;
        }
    };

    QTemporaryDir tmp_;
    QString dataDir_;

    QString copyData() {
        static int n = 0;
        const QString dir = tmp_.filePath(QString("DATA%1").arg(++n));
        std::filesystem::copy(VORN_DATA_DIR, dir.toStdString(),
                              std::filesystem::copy_options::recursive);
        return dir;
    }

    int outsideOpens_ = 0;

public slots:
    void outsideOpen(const QUrl&) { ++outsideOpens_; }

private slots:
    void initTestCase() {
        // the window's settings go to a test folder, never the developer's own
        qputenv("XDG_CONFIG_HOME", tmp_.filePath("config").toUtf8());
    }
    void init() { QSettings("vorn", "vorn").clear(); }

    void userDataFolderIsQtsApplicationDataLocation() {
        QCoreApplication::setApplicationName("vorn");
        const QString qt = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        // Windows writes it with backslashes, Qt with slashes
        QCOMPARE(QDir::fromNativeSeparators(QString::fromStdString(DataLocation::userFolder())), qt);
    }

    void fileDialogsStartWhereTheUserWorks() {
        QTemporaryDir last, setting;
        QSettings("vorn", "vorn").setValue("lastFolder", last.path());
        Rig rig(copyData());
        MainWindow& w = *rig.window;
        std::unique_ptr<QFileDialog> dlg(
            w.makeFileDialog(MainWindow::FileDialogKind::New, "НовыйРасчет.vrn"));
        QCOMPARE(dlg->windowTitle(), QString("Новый расчет"));
        QCOMPARE(dlg->labelText(QFileDialog::Accept), QString("Создать"));
        // the setting of "Дополнительно" when it exists, else the last folder, else documents
        struct Step {
            QString setting;
            QString expected;
        };
        const Step steps[] = {{setting.path(), setting.path()},
                              {setting.path() + "/gone", last.path()},
                              {QString(), last.path()}};
        for (const Step& s : steps) {
            w.setStartFolder(s.setting);
            QCOMPARE(w.startFolder(), s.expected);
        }
        QSettings("vorn", "vorn").clear();
        Rig fresh(copyData());
        QCOMPARE(fresh.window->startFolder(), documentsFolder());
        std::unique_ptr<QFileDialog> open(
            fresh.window->makeFileDialog(MainWindow::FileDialogKind::Open, QString()));
        QCOMPARE(open->windowTitle(), QString("Открыть"));
        QCOMPARE(QDir(open->directory()).canonicalPath(), QDir(documentsFolder()).canonicalPath());
    }

    void recentFilesInTheFileMenu() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        QStringList paths;
        for (int i = 1; i <= 3; ++i) {
            paths << tmp_.filePath(QString("recent%1.vrn").arg(i));
            rig.nextPath = paths.last();
            w.fileNew();
        }
        w.fileClose();
        QFile::remove(paths[1]);
        QMenu* file = w.menuBar()->findChildren<QMenu*>().value(0);
        emit file->aboutToShow();
        QStringList shown;
        for (QAction* a : file->actions())
            if (a->objectName().startsWith("RecentFile"))
                shown << a->data().toString();
        QCOMPARE(shown, native({paths[2], paths[0]}));
        // above "Выход"
        QCOMPARE(file->actions().indexOf(w.action("FileExit1")), file->actions().size() - 1);
        w.action("RecentFile2")->trigger();
        QVERIFY(rig.session.isOpen());
        QCOMPARE(w.windowTitle(), QDir::toNativeSeparators(paths[0]));
        QCOMPARE(w.recentFiles().value(0), QDir::toNativeSeparators(paths[0]));
    }

    void helpMenuShowsTheGuideAndAbout() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        QCOMPARE(w.action("HelpGuide")->shortcut(), QKeySequence(Qt::Key_F1));
        QTest::keyClick(&w, Qt::Key_F1);
        auto* help = w.findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible());
        const QString text = help->browser()->toPlainText();
        for (const char* part : {"Расчет шаг за шагом", "Подбор оборудования", "Где лежат данные",
                                 "Командная строка", "Формулы вкратце", "Источники"})
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);
        // the contents lead to their sections
        for (const char* section : {"где-лежат-данные", "клавиши"})
            QVERIFY2(help->showSection(QString::fromUtf8(section)), section);
        QVERIFY(!help->showSection("нет-такого"));
        // a click on a contents link scrolls the guide and hands nothing to another program
        QTextBrowser* b = help->browser();
        QDesktopServices::setUrlHandler("qrc", this, "outsideOpen");
        b->verticalScrollBar()->setValue(0);
        QTextCursor link = b->document()->find(QString::fromUtf8("Где лежат данные"));
        QVERIFY(!link.isNull());
        link.setPosition(link.selectionStart() + 2);
        const QPoint at = b->cursorRect(link).center();
        QTest::mouseClick(b->viewport(), Qt::LeftButton, {}, at);
        QDesktopServices::unsetUrlHandler("qrc");
        QVERIFY(b->verticalScrollBar()->value() > 0);
        QCOMPARE(outsideOpens_, 0);
        const QString about = HelpWindow::aboutText("/data/DATA");
        QVERIFY(about.contains("Vorn версия 2.05"));
        QVERIFY(about.contains(QDir::toNativeSeparators("/data/DATA")));
    }

    void windowPlaceIsRemembered() {
        {
            Rig rig(copyData());
            rig.start();
            rig.window->close();
        }
        QVERIFY(!QSettings("vorn", "vorn").value("window/geometry").toByteArray().isEmpty());
    }

    void startsWithTheStartScreen() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        QVERIFY(rig.messages.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Vorn"));
        QCOMPARE(w.objectName(), QString("fmVorn"));
        QVERIFY(!w.inputPanel()->isVisible());
        QVERIFY(w.newsIcon()->isAnimating());
        QVERIFY(!w.news()->isVisible());
        QVERIFY(rig.fileCommandsOff());
        for (const char* name : {"FileNew1", "FileOpen1", "FileExit1", "EditCut1", "EditCopy1"})
            QVERIFY(w.action(name)->isEnabled());
        QCOMPARE(w.width(), MainWindow::kClientWidth);
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        for (Table* t : rig.dm.referenceTables())
            QVERIFY(t->isOpen());
        QVERIFY(!rig.dm.taWork.isOpen());

        // A later activation clears SelectionOpened and opens nothing again.
        rig.session.selectionOpened = true;
        rig.dm.taMater.close();
        w.activationPass();
        QVERIFY(!rig.session.selectionOpened);
        QVERIFY(!rig.dm.taMater.isOpen());
    }

    void missingReferenceTablesEndTheProgramWithOneMessage() {
        const QString data = copyData();
        QFile::remove(data + "/s_region.dbf");
        QFile::remove(data + "/s_tara.DBF");
        Rig rig(data);
        rig.window->show();
        QTRY_VERIFY(rig.window->startupDone());
        rig.window->activationPass();
        QCOMPARE(rig.messages, QStringList{"Ошибка подключения справочников !"});
        QVERIFY(rig.window->startupFailed());
        QVERIFY(!rig.window->isVisible());
    }

    void toolbarAndMenus() {
        Rig rig(copyData());
        MainWindow& w = *rig.window;
        struct Expect {
            const char* name;
            const char* text;
            const char* tip;
            const char* keys;
        };
        const Expect expected[] = {
            {"FileNew1", "&Новый", "Создать новый расчет", "Ctrl+N"},
            {"FileOpen1", "&Открыть", "Открыть файл расчета", "Ctrl+O"},
            {"FileSave1", "&Сохранить", "Сохранить файл расчета", "Ctrl+S"},
            {"FileClose1", "&Закрыть", "Закрыть расчет", ""},
            {"FilePreview1", "Пред. просмотр", "Предварительный просмотр", ""},
            {"FilePrint1", "Печатать", "Печатать расчет", ""},
            {"FileExit1", "В&ыход", "Выход", ""},
            {"EditCut1", "&Вырезать", "Вырезать данные", "Ctrl+X"},
            {"EditCopy1", "&Копировать", "Копировать данные", "Ctrl+C"},
            {"EditPaste1", "В&ставить", "Вставить данные", "Ctrl+V"},
        };
        for (const Expect& e : expected) {
            QAction* a = w.action(e.name);
            QVERIFY2(a, e.name);
            QCOMPARE(a->text(), QString(e.text));
            QCOMPARE(a->toolTip(), QString(e.tip));
            QCOMPARE(a->shortcut(), QKeySequence(e.keys));
        }
        auto* bar = w.findChild<QToolBar*>("ToolBar1");
        QStringList order;
        for (QAction* a : bar->actions())
            order << (a->isSeparator() ? "|" : a->objectName().isEmpty() ? "gap" : a->objectName());
        QCOMPARE(order.join(' '), QString("FileNew1 FileOpen1 FileSave1 FileClose1 | "
                                          "FilePreview1 FilePrint1 | EditCut1 EditCopy1 "
                                          "EditPaste1 gap FileExit1"));
    }

    void newsToggle() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        QTest::mouseClick(w.newsIcon(), Qt::LeftButton);
        QVERIFY(w.news()->isVisible());
        QVERIFY(w.news()->isScrolling());
        QVERIFY(!w.newsIcon()->isAnimating());
        QTRY_VERIFY(w.news()->scrollOffset() > 0);
        QCOMPARE(w.news()->size(), QSize(433, 281));
        QCOMPARE(NewsPanel::newsLines().size(), 36);
        QTest::mouseClick(w.newsIcon(), Qt::LeftButton);
        QVERIFY(!w.news()->isVisible());
        QVERIFY(!w.news()->isScrolling());
        QVERIFY(w.newsIcon()->isAnimating());
    }

    void fileCommandsSwitchTheWindowStates() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        w.newsToggle(); // the news panel was open
        const QString path = tmp_.filePath("calc.vrn");
        rig.nextPath = path;
        QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(rig.messages.isEmpty());
        QCOMPARE(w.windowTitle(), path);
        QVERIFY(w.inputPanel()->isVisible());
        QVERIFY(!w.news()->isVisible());
        QVERIFY(!w.news()->isScrolling());
        QVERIFY(!w.newsIcon()->isAnimating());
        QVERIFY(rig.fileCommandsOn());

        w.action("FileClose1")->trigger();
        QCOMPARE(w.windowTitle(), QString("Vorn")); // nothing open, no file named
        QVERIFY(!w.inputPanel()->isVisible());
        QVERIFY(w.newsIcon()->isAnimating());
        QVERIFY(rig.fileCommandsOff());
        QVERIFY(!rig.session.isOpen());

        // Ctrl+S with nothing open does nothing.
        rig.nextPath = tmp_.filePath("other.vrn");
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!QFile::exists(rig.nextPath));

        rig.nextPath = path;
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(rig.fileCommandsOn());
        rig.nextPath = tmp_.filePath("saved.vrn");
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.windowTitle(), rig.nextPath);
        QVERIFY(w.inputPanel()->isVisible());
        QCOMPARE(w.recentFiles(), native({rig.nextPath, path}));

        // An open that fails keeps the calculation that is open, and so does a failed
        // Save-as (a file where a folder should be).
        const QString saved = rig.nextPath;
        const QString junk = tmp_.filePath("junk.vrn");
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("junk");
        f.close();
        for (const QString& failing : {junk, junk + "/x.vrn"}) {
            rig.messages.clear();
            rig.nextPath = failing;
            if (failing == junk)
                w.fileOpen();
            else
                w.fileSave();
            QVERIFY(!rig.messages.isEmpty());
            QCOMPARE(w.windowTitle(), saved);
            QVERIFY(w.inputPanel()->isVisible());
            QVERIFY(rig.fileCommandsOn());
            QCOMPARE(QString::fromStdString(rig.session.path()), saved);
        }
        QCOMPARE(rig.messages.value(0).left(23), QString("Не удаётся создать файл"));
        // With nothing open, a failed open leaves the caption "Vorn".
        w.fileClose();
        rig.nextPath = junk;
        w.fileOpen();
        QCOMPARE(w.windowTitle(), QString("Vorn"));
        QVERIFY(rig.fileCommandsOff());
    }

    void editCommandsWorkOnTheFocusedField() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        w.newCalculationAt(tmp_.filePath("edit.vrn"));
        auto* edit = new QLineEdit("холод", w.inputPanel());
        edit->show();
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->selectAll();
        w.action("EditCut1")->trigger();
        QCOMPARE(edit->text(), QString());
        w.action("EditPaste1")->trigger();
        w.action("EditPaste1")->trigger();
        QCOMPARE(edit->text(), QString("холодхолод"));
    }

    void additionalDataDialog() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        AdditionalDataDialog& add = *rig.add;
        QCOMPARE(add.objectName(), QString("fmAdd"));
        QCOMPARE(add.windowTitle(), QString("Прочие данные"));
        QCOMPARE(add.size(), QSize(455, 201));

        w.newCalculationAt(tmp_.filePath("add.vrn"));
        add.loadRecord();
        QTest::keyClicks(add.clientEdit(), "Frost Ltd");
        QCOMPARE(QString::fromStdString(rig.dm.taWork.asString("KL_NAIM")), QString("Frost Ltd"));
        // Typographic marks become plain in the box and the record; € is taken back.
        QStringList refusals;
        add.showRefusal = [&refusals](const QString& m) { refusals << m; };
        add.noteEdit()->clear();
        for (const QChar c : QString("«1×2»€")) { // typed one by one, as a keyboard does
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(add.noteEdit(), &key);
        }
        QCOMPARE(add.noteEdit()->text(), QString("\"1x2\""));
        QCOMPARE(QString::fromStdString(rig.dm.taWork.asString("KL_PRIM")), QString("\"1x2\""));
        QCOMPARE(refusals.size(), 1);
        QVERIFY(refusals[0].contains("U+20AC"));

        const int before = add.executorBox()->count();
        add.executorBox()->setEditText("Андреев А.А.");
        add.addExecutor();
        add.addExecutor();
        QCOMPARE(add.executorBox()->count(), before + 1);
        QVERIFY(add.executorBox()->findText("Андреев А.А.") >= 0);
        add.executorBox()->setEditText("андреев а.а.");
        add.deleteExecutor();
        QCOMPARE(add.executorBox()->count(), before);
        QCOMPARE(add.executorBox()->currentText(), QString());

        // The folder goes to both dialogs and into S_INIT.DBF at once.
        const QString folder = tmp_.path();
        QSignalSpy spy(&add, &AdditionalDataDialog::folderChanged);
        add.setFolder(folder);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(w.startFolder(), folder);
        QCOMPARE(QString::fromStdString(rig.dm.taInit.asString("DIR")), folder);
    }

    void exitPostsTheOpenCalculation() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        const QString path = tmp_.filePath("exit.vrn");
        w.newCalculationAt(path);
        rig.dm.taWork.edit();
        rig.dm.taWork.setValue("KL_PRIM", Value("до выхода"));
        rig.session.screen().includeBoxes[4] = false;
        w.action("FileExit1")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(!rig.dm.taWork.isOpen());
        rig.session.openCalculation(path.toStdString());
        QCOMPARE(QString::fromStdString(rig.dm.taWork.asString("KL_PRIM")), QString("до выхода"));
        QVERIFY(!rig.session.screen().includeBoxes[4]);
    }

    void resultColumnShowsTheRunAndForwardsIncludeBoxes() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        const QString path = tmp_.filePath("results.vrn");
        w.newCalculationAt(path);
        QVERIFY(rig.messages.isEmpty());
        ResultsPanel& panel = *w.resultsPanel();
        auto text = [&panel](int n) { return panel.display(n)->text(); };
        auto shown = [&rig](int n) {
            return QString::fromStdString(formatGrouped2(rig.session.results().box(n)));
        };

        QCOMPARE(w.findChild<QGroupBox*>("GroupBox4")->title(), QString(" Теплопритоки "));
        QVERIFY(w.findChild<QGroupBox*>("GroupBox5"));
        for (int n = 1; n <= 11; ++n) {
            QLineEdit* edit = w.findChild<QLineEdit*>(QString("CurrencyEdit%1").arg(n));
            QCOMPARE(edit, panel.display(n));
            QVERIFY(edit->isReadOnly());
            QCOMPARE(edit->focusPolicy(), Qt::NoFocus);
            QVERIFY(edit->alignment() & Qt::AlignRight);
            QVERIFY(edit->isVisible());
        }
        for (int n = 1; n <= 9; ++n) {
            QCOMPARE(w.findChild<QCheckBox*>(QString("CheckBox%1").arg(n)), panel.includeBox(n));
            QVERIFY(panel.includeBox(n)->isChecked());
            QVERIFY(!panel.includeBox(n)->toolTip().isEmpty());
        }
        // The bundled template, as `vorn calc --json` gives it.
        const QStringList expected{"0,77", "0,69", "0,12", "0,29", "0,00", "0,02",
                                   "0,06", "0,17", "0,32", "2,44", "3,82"};
        for (int n = 1; n <= 11; ++n)
            QCOMPARE(text(n), expected[n - 1]);

        QTest::mouseClick(panel.includeBox(1), Qt::LeftButton);
        QVERIFY(!rig.session.screen().includeBoxes[0]);
        QCOMPARE(text(1), QString("0,00"));
        QVERIFY(rig.session.results().box(10) < 2.44);
        QVERIFY(rig.session.results().box(11) < 3.82);
        for (int n = 9; n <= 11; ++n) // the fan share follows the other gains
            QCOMPARE(text(n), shown(n));
        const QString sum = text(10);

        // CH1 goes into the file on close and comes back with it.
        w.fileClose();
        w.openCalculationAt(path);
        QVERIFY(!panel.includeBox(1)->isChecked());
        QVERIFY(panel.includeBox(2)->isChecked());
        QCOMPARE(text(1), QString("0,00"));
        QCOMPARE(text(10), sum);
        // Save reopens the file under its new name; the column still shows it.
        w.saveCalculationAs(tmp_.filePath("results2.vrn"));
        QVERIFY(!panel.includeBox(1)->isChecked());
        QCOMPARE(text(10), sum);
        QVERIFY(rig.messages.isEmpty());

        // Large numbers keep their grouping through to the screen.
        rig.session.results().setBox(10, 1234567.891);
        panel.refresh();
        QCOMPARE(text(10), QString("1\u00a0234\u00a0567,89"));
    }

    void includeBoxRunThatStopsShowsTheMessageAndThePartialResults() {
        Rig rig(copyData());
        rig.start();
        MainWindow& w = *rig.window;
        w.newCalculationAt(tmp_.filePath("stops.vrn"));
        ResultsPanel& panel = *w.resultsPanel();
        const QString capacity = panel.display(11)->text();
        rig.dm.taWork.edit();
        rig.dm.taWork.setValue("OB_TIMEWRK", Value()); // no working time: box 11 undefined

        QTest::mouseClick(panel.includeBox(2), Qt::LeftButton);
        QCOMPARE(rig.messages.size(), 1);
        QVERIFY(rig.messages[0].contains("Время работы"));
        QVERIFY(!panel.includeBox(2)->isChecked());
        QCOMPARE(panel.display(2)->text(), QString("0,00")); // set before the run stopped
        // The fans, the sum and the capacity come after the step that stopped.
        QCOMPARE(panel.display(9)->text(), QString("0,32"));
        QCOMPARE(panel.display(10)->text(), QString("2,44"));
        QCOMPARE(panel.display(11)->text(), capacity);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
