// The input screen offscreen: typing into the numeric fields, Enter, the refused VO_PROC,
// the regime captions, the pages and that everything fits the window.
#include "desktop/input/InputScreen.h"

#include "desktop/shell/Composition.h"
#include "desktop/shell/MainWindow.h"
#include "document/Session.h"
#include "data/DataModule.h"
#include "desktop/input/ResultsPanel.h"
#include "desktop/widgets/CalculatorPopup.h"
#include "desktop/widgets/LookupList.h"
#include "desktop/widgets/NumericEdit.h"
#include "desktop/widgets/TabPages.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>

using namespace vorn;

class InputScreenTest : public QObject {
    Q_OBJECT

    struct Rig {
        DataModule dm;
        Session session{dm};
        std::unique_ptr<MainWindow> window;
        InputScreen* screen = nullptr;
        QStringList messages;

        explicit Rig(const QString& dataDir) {
            window = std::make_unique<MainWindow>(dm, session, dataDir);
            window->showMessage = [this](const QString& m) { messages << m; };
            window->confirmReplace = [](const QString&) { return true; };
            screen = composeInputScreen(*window, session);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QTRY_VERIFY(window->startupDone());
        }
        template <typename T = QWidget> T* get(const char* name) {
            return qobject_cast<T*>(screen->control(name));
        }
        std::string field(const char* name) { return dm.taWork.asString(name); }
        // Focus on a field with its text cleared.
        NumericEdit* clearField(const char* name) {
            auto* edit = get<NumericEdit>(name);
            window->activateWindow();
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            return edit;
        }
    };

    QTemporaryDir tmp_;
    QString data_;
    int files_ = 0;

    QString newFile(Rig& rig) {
        const QString path = tmp_.filePath(QString("c%1.vrn").arg(++files_));
        rig.window->newCalculationAt(path);
        return path;
    }

private slots:
    void initTestCase() {
        data_ = tmp_.filePath("DATA");
        std::filesystem::copy(VORN_DATA_DIR, data_.toStdString(),
                              std::filesystem::copy_options::recursive);
    }

    void typingKeepsAValidNumber_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("length: third decimal refused") << "DBEdit38"
                                                       << "2.755"
                                                       << "2,75" << 1;
        QTest::newRow("length: comma separator") << "DBEdit38"
                                                 << "1,5"
                                                 << "1,5" << 0;
        QTest::newRow("length: one separator") << "DBEdit38"
                                               << "1.2.3"
                                               << "1,23" << 1;
        // a length is more than nothing: no minus
        QTest::newRow("length: no minus") << "DBEdit38"
                                          << "-3"
                                          << "3" << 1;
        QTest::newRow("length: letters refused") << "DBEdit38"
                                                 << "4a b"
                                                 << "4" << 3;
        QTest::newRow("chamber temperature: minus") << "DBEdit42"
                                                    << "-18"
                                                    << "-18" << 0;
        QTest::newRow("wall thickness: no minus") << "DBEdit17"
                                                  << "-150"
                                                  << "150" << 1;
        QTest::newRow("wall thickness: 4 characters") << "DBEdit17"
                                                      << "12345"
                                                      << "1234" << 1;
        QTest::newRow("outside temperature: 3 characters") << "DBEdit30"
                                                           << "-123"
                                                           << "-12" << 1;
        QTest::newRow("safety factor: no minus") << "DBEdit45"
                                                 << "-1,5"
                                                 << "1,5" << 1;
        QTest::newRow("working time: 2 characters") << "RxDBCalcEdit1"
                                                    << "240"
                                                    << "24" << 1;
        QTest::newRow("fan share: 2 characters") << "DBEdit48"
                                                 << "123"
                                                 << "12" << 1;
    }
    void typingKeepsAValidNumber() {
        QFETCH(QString, control);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        Rig rig(data_);
        newFile(rig);
        NumericEdit* edit = rig.clearField(control.toUtf8().constData());
        QSignalSpy refused(edit, &NumericEdit::keyRefused);
        QTest::keyClicks(edit, keys);
        QCOMPARE(edit->text(), text);
        QCOMPARE(refused.count(), beeps);
    }

    void openedCalculationShowsItsState() {
        Rig rig(data_);
        const QString path = tmp_.filePath("apples.vrn");
        QFile::copy(VORN_SOURCE_DIR "/tests/cases/cooling-apples/input.vrn", path);
        rig.window->openCalculationAt(path);
        QVERIFY(rig.messages.isEmpty());
        QCOMPARE(QApplication::focusWidget(), rig.screen->control("DBLookupComboBox3"));
        QVERIFY(rig.window->findChild<QRadioButton*>("RadioGroup1_1")->isChecked());
        QCOMPARE(rig.screen->caption("DBEdit4")->text(), QString("Охлаждаемая масса,(кг)"));
        QVERIFY(rig.screen->control("DBEdit3")->isHidden()); // no stored mass in cooling
        QCOMPARE(rig.get<LookupList>("DBLookupComboBox3")->currentText(), QString("Другой"));
        QVERIFY(rig.screen->control("DBEdit36")->isEnabled()); // "Другой": typed in
        QCOMPARE(rig.get<LookupList>("ComboBox1")->currentText(), QString("Фрукты"));
        QCOMPARE(rig.get<LookupList>("DBLookupComboBox1")->currentText(), QString("Яблоки"));
        QCOMPARE(rig.get<QLineEdit>("DBEdit18")->text(), QString("-1,1"));
        QVERIFY(rig.get<QCheckBox>("chIdent")->isChecked());
        QVERIFY(rig.get<QCheckBox>("DBCheckBox3")->isChecked());
        QVERIFY(rig.screen->control("DBEdit46")->isEnabled());
        QVERIFY(!rig.screen->control("DBEdit48")->isEnabled());
        QCOMPARE(rig.get<QLabel>("Label3")->text(), QString("3"));
        QCOMPARE(rig.get<NumericEdit>("DBEdit42")->text(), QString("0")); // 0 °C is a value
    }

    void calculatorKeys_data() {
        QTest::addColumn<QString>("keys"); // one character a key; "±" and "<" as shown
        QTest::addColumn<QString>("display");
        QTest::newRow("sum") << "12+3="
                             << "15";
        QTest::newRow("left to right") << "2*3-1="
                                       << "5";
        QTest::newRow("decimals, shown with a comma") << "1.5*3="
                                                      << "4,5";
        QTest::newRow("sign") << "7±"
                              << "-7";
        QTest::newRow("back-space") << "123<<"
                                    << "1";
        QTest::newRow("one separator") << "1..5"
                                       << "1,5";
        QTest::newRow("division by zero") << "4/0="
                                          << "Ошибка";
        QTest::newRow("clear after an error") << "4/0=C5"
                                              << "5";
    }
    void calculatorKeys() {
        QFETCH(QString, keys);
        QFETCH(QString, display);
        CalculatorPopup calc;
        calc.start(0);
        for (const QChar key : keys)
            calc.press(key);
        QCOMPARE(calc.displayText(), display);
    }

    void tabVisitsTheGroupsThenTheWallsColumns() {
        Rig rig(data_);
        newFile(rig);
        rig.screen->control("DBLookupComboBox3")->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (int i = 0; i < 24; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // the region fields are disabled; the regime choice comes after its four fields
        QCOMPARE(visited.join(' '),
                 QString("DBLookupComboBox3 DBEdit38 DBEdit39 DBEdit40 DBEdit42 DBEdit11 "
                         "RxDBCalcEdit1 DBEdit45 RadioGroup1_0 TabStrip DBLSt1 DBLSt2 DBLSt3 "
                         "DBLSt4 DBLSt5 DBLSt6 DBLookupComboBox10 DBLookupComboBox11 "
                         "DBLookupComboBox12 DBLookupComboBox13 DBLookupComboBox14 "
                         "DBLookupComboBox15 chIdent DBEdit17"));
    }

    void listShowsTheItemOfAStoredText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::newRow("equal") << "Штабели на поддонах" << 0;
        QTest::newRow("cut to the field's 20 characters") << "Мясные туши на крюка" << 1;
        QTest::newRow("not an item") << "Бочки" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void listShowsTheItemOfAStoredText() {
        QFETCH(QString, stored);
        QFETCH(int, index);
        LookupList list;
        list.setItems({"Штабели на поддонах", "Мясные туши на крюках"});
        list.showValue(stored);
        QCOMPARE(list.currentIndex(), index);
        QCOMPARE(list.placeholderText(), index < 0 ? stored : QString());
    }

    void escapeRestoresAndAClickSelectsAll() {
        Rig rig(data_);
        newFile(rig);
        NumericEdit* edit = rig.clearField("DBEdit38");
        const QString stored = edit->storedText();
        QVERIFY(!stored.isEmpty());
        QTest::keyClicks(edit, "99");
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->text(), stored);
        edit->deselect();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
        QCOMPARE(edit->selectedText(), stored);
    }

    // Another program on the shared folder holds the record: the typed value is not lost
    // and the commands that would go on without it stop.
    void refusedWriteKeepsTheTextAndStopsTheCommand() {
        Rig rig(data_);
        const QString path = newFile(rig);
        QTemporaryDir sync;
        QProcess holder;
        holder.start(VORN_LOCK_HOLDER, {path, "1", sync.filePath("ready"), sync.filePath("done")});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(sync.filePath("ready")), 20000);
        QFile ready(sync.filePath("ready"));
        QVERIFY(ready.open(QIODevice::ReadOnly));
        QCOMPARE(ready.readAll(), QByteArray("1"));

        NumericEdit* width = rig.clearField("DBEdit39");
        QTest::keyClicks(width, "7,5");
        QVERIFY(!rig.screen->commitPending(true));
        QCOMPARE(width->text(), QString("7,5"));
        QVERIFY(width->isModified());
        QCOMPARE(rig.messages.size(), 1);
        QVERIFY2(rig.messages[0].contains("не записано"), qPrintable(rig.messages[0]));
        rig.window->fileClose(); // stops: the calculation stays open with the text
        QVERIFY(rig.session.isOpen());
        QCOMPARE(width->text(), QString("7,5"));

        QFile done(sync.filePath("done"));
        QVERIFY(done.open(QIODevice::WriteOnly));
        done.close();
        QVERIFY(holder.waitForFinished(20000));
        QVERIFY(rig.screen->commitPending(true)); // the same text, now written
        QCOMPARE(rig.dm.taWork.asDouble("OB_KAMSH"), 7.5);
    }

    void enterMovesOnAndCommitsOnce() {
        Rig rig(data_);
        newFile(rig);
        auto edits = std::make_shared<int>(0); // the session's notices of a change
        rig.session.addListener([edits](const CommitResult&) { ++*edits; });
        const QString capacity = rig.window->resultsPanel()->display(11)->text();
        NumericEdit* width = rig.clearField("DBEdit39");
        QTest::keyClicks(width, "7,5");
        QTest::keyClick(width, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), rig.screen->control("DBEdit40"));
        QCOMPARE(*edits, 1);
        QCOMPARE(rig.dm.taWork.asDouble("OB_KAMSH"), 7.5);
        QVERIFY(rig.window->resultsPanel()->display(11)->text() != capacity);
        QCOMPARE(rig.get<QLineEdit>("DBEdit41")->text(), QString("135,00")); // 6 × 7,5 × 3
    }

    void enterInTheHumidityListMovesOn() {
        Rig rig(data_);
        newFile(rig);
        QWidget* humidity = rig.screen->control("DBEdit11");
        humidity->setFocus(Qt::TabFocusReason);
        QTest::keyClick(humidity, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), rig.screen->control("RxDBCalcEdit1"));
    }

    void typedTextIsWrittenBeforeTheFileCloses() {
        Rig rig(data_);
        const QString path = newFile(rig);
        NumericEdit* length = rig.clearField("DBEdit38");
        QTest::keyClicks(length, "8,25");
        rig.window->action("FileClose1")->trigger(); // the focus never left the field
        QVERIFY(!rig.screen->isVisible());           // no calculation: no input reachable
        rig.window->openCalculationAt(path);
        QCOMPARE(rig.dm.taWork.asDouble("OB_KAMDL"), 8.25);
        QCOMPARE(rig.get<NumericEdit>("DBEdit38")->text(), QString("8,25"));
    }

    // Preview and print show the last recalculation: a value still being typed stays in
    // its field, neither written nor lost.
    void typedTextIsNotInThePreview() {
        Rig rig(data_);
        newFile(rig);
        const double before = rig.dm.taWork.asDouble("OB_KAMDL");
        NumericEdit* length = rig.clearField("DBEdit38");
        QTest::keyClicks(length, "8,25");
        QSignalSpy previews(rig.window.get(), &MainWindow::previewRequested);
        rig.window->action("FilePreview1")->trigger();
        QCOMPARE(previews.count(), 1);
        QCOMPARE(rig.dm.taWork.asDouble("OB_KAMDL"), before);
        QCOMPARE(length->text(), QString("8,25"));
    }

    // One pick per kind of control, seen through the fields the rule fills.
    void regionListAndFullLoadButtonShowWhatTheRulesWrote() {
        Rig rig(data_);
        newFile(rig);
        auto* region = rig.get<LookupList>("DBLookupComboBox3");
        auto pick = [region](const QString& name) {
            region->fill();
            const int i = region->findText(name);
            QVERIFY2(i >= 0, qPrintable(name));
            region->setCurrentIndex(i);
            emit region->activated(i);
        };
        pick("Казань");
        for (const char* wall : {"DBEdit30", "DBEdit32", "DBEdit35"})
            QCOMPARE(rig.get<NumericEdit>(wall)->text(), QString("27"));
        QVERIFY(!rig.screen->control("DBEdit36")->isEnabled());
        pick("Другой");
        QVERIFY(rig.screen->control("DBEdit36")->isEnabled());
        QVERIFY(rig.screen->control("DBEdit37")->isEnabled());

        rig.screen->pages()->setCurrentIndex(3);
        for (const auto& [name, text] : {std::pair{"DBEdit38", "6,5"},
                                         {"DBEdit39", "5"},
                                         {"RxDBCalcEdit2", "1"},
                                         {"RxDBCalcEdit3", "100"}}) {
            NumericEdit* edit = rig.clearField(name);
            QTest::keyClicks(edit, text);
            QTest::keyClick(edit, Qt::Key_Tab);
        }
        QTest::mouseClick(rig.window->findChild<QRadioButton*>("RadioGroup2_1"), Qt::LeftButton);
        QTest::mouseClick(rig.screen->control("BitBtn1"), Qt::LeftButton);
        QCOMPARE(rig.get<NumericEdit>("DBEdit3")->text(), QString("1625"));
        QCOMPARE(rig.get<NumericEdit>("DBEdit4")->text(), QString("162"));
    }

    void outOfRangeFanShareKeepsTheFocus_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byTab"); // or by a click on another page's tab
        QTest::newRow("above, Tab") << "95" << true;
        QTest::newRow("zero, Tab") << "0" << true;
        QTest::newRow("above, page tab") << "95" << false;
    }
    void outOfRangeFanShareKeepsTheFocus() {
        QFETCH(QString, typed);
        QFETCH(bool, byTab);
        Rig rig(data_);
        newFile(rig);
        rig.screen->pages()->setCurrentIndex(8);
        const std::string before = rig.field("VO_PROC");
        auto edits = std::make_shared<int>(0); // the session's notices of a change
        rig.session.addListener([edits](const CommitResult&) { ++*edits; });
        NumericEdit* share = rig.clearField("DBEdit48");
        QTest::keyClicks(share, typed);
        TabPages* pages = rig.screen->pages();
        if (byTab)
            QTest::keyClick(share, Qt::Key_Tab);
        else
            QTest::mouseClick(pages->strip(), Qt::LeftButton, {}, pages->tabRect(0).center());
        QTRY_COMPARE(rig.messages.size(), 1);
        QCOMPARE(pages->currentIndex(), 8);
        QVERIFY2(rig.messages[0].contains("1") && rig.messages[0].contains("90"),
                 qPrintable(rig.messages[0]));
        QTRY_COMPARE(QApplication::focusWidget(), share);
        QCOMPARE(share->selectedText(), typed);
        QCOMPARE(rig.field("VO_PROC"), before);
        QCOMPARE(*edits, 0);
    }

    void regimeSwitchesTheCaptions() {
        Rig rig(data_);
        newFile(rig);
        rig.screen->pages()->setCurrentIndex(3);
        struct Shown {
            const char* radio;
            const char* workTime;
            const char* turnover;
            bool massShown;
        };
        const Shown cases[] = {
            {"RadioGroup1_1", "Время термообработки ", "Охлаждаемая масса,(кг)", false},
            {"RadioGroup1_0", "Время работы оборуд.", "Суточный оборот,(кг)", true},
        };
        for (const Shown& c : cases) {
            QTest::mouseClick(rig.window->findChild<QRadioButton*>(c.radio), Qt::LeftButton);
            QCOMPARE(rig.screen->caption("RxDBCalcEdit1")->text(), QString(c.workTime));
            for (const char* name : {"DBEdit4", "DBEdit8"})
                QCOMPARE(rig.screen->caption(name)->text(), QString(c.turnover));
            for (const char* name : {"DBEdit3", "DBEdit44"}) {
                QCOMPARE(rig.screen->control(name)->isVisible(), c.massShown);
                QCOMPARE(rig.screen->caption(name)->isVisible(), c.massShown);
            }
        }
        QCOMPARE(rig.field("OB_TERMR"), std::string("Хранение"));
    }

    void optionBoxesSwitchTheFields() {
        Rig rig(data_);
        newFile(rig);
        rig.screen->pages()->setCurrentIndex(8);
        auto* refined = rig.get<QCheckBox>("DBCheckBox3");
        for (bool on : {true, false}) {
            QTest::mouseClick(refined, Qt::LeftButton, {}, QPoint(6, refined->height() / 2));
            QCOMPARE(rig.screen->control("DBEdit48")->isEnabled(), !on);
            QCOMPARE(rig.screen->control("DBEdit46")->isEnabled(), on);
            QCOMPARE(rig.screen->control("DBEdit47")->isEnabled(), on);
        }
    }

    void calculatorPutsItsResultIntoTheField() {
        Rig rig(data_);
        newFile(rig);
        NumericEdit* length = rig.clearField("DBEdit38");
        length->openCalculator();
        CalculatorPopup* calc = length->calculator();
        QVERIFY(calc->isVisible());
        for (const char* key : {"C", "7", "/", "2", "+", "1", "OK"})
            calc->press(key);
        QVERIFY(!calc->isVisible());
        QCOMPARE(length->text(), QString("4,5"));
        QVERIFY(rig.screen->commitPending());
        QCOMPARE(rig.dm.taWork.asDouble("OB_KAMDL"), 4.5);
        // a result the field cannot hold as typed leaves it as it was
        NumericEdit* share = rig.get<NumericEdit>("DBEdit48");
        const QString before = share->text();
        QVERIFY(!share->putResult(150));
        QCOMPARE(share->text(), before);
        calc->start(1);
        calc->press("/");
        calc->press("0");
        calc->press("=");
        QCOMPARE(calc->displayText(), QString("Ошибка"));
    }

    void categoryListsOnlyItsProducts() {
        Rig rig(data_);
        newFile(rig);
        rig.screen->pages()->setCurrentIndex(3);
        auto* category = rig.get<LookupList>("ComboBox1");
        const int vegetables = category->findText("Овощи");
        category->setCurrentIndex(vegetables);
        emit category->activated(vegetables);
        auto* product = rig.get<LookupList>("DBLookupComboBox1");
        product->fill();
        QVERIFY(product->count() > 0);
        QCOMPARE(product->maxVisibleItems(), 8);
        QCOMPARE(product->currentText(), QString::fromStdString(rig.field("TE_PTIP")));
        QCOMPARE(rig.screen->control("DBEdit18")->property("text").toString().isEmpty(), false);
    }

    void pagesAreReadableAndKeptAcrossCalculations() {
        Rig rig(data_);
        TabPages* pages = rig.screen->pages();
        QCOMPARE(pages->count(), 9);
        QCOMPARE(pages->currentIndex(), 0); // the walls page at start
        QCOMPARE(pages->caption(4), QString(". От \"дыхания\" продукта"));
        newFile(rig);
        const QFontMetrics fm(pages->strip()->font());
        for (int i = 0; i < pages->count(); ++i) {
            const QRect r = pages->tabRect(i);
            QVERIFY(pages->strip()->rect().contains(r));
            QVERIFY2(r.width() >= fm.horizontalAdvance(pages->caption(i)),
                     qPrintable(pages->caption(i)));
        }
        QTest::mouseClick(pages->strip(), Qt::LeftButton, {}, pages->tabRect(5).center());
        QCOMPARE(pages->currentIndex(), 5);
        QTest::keyClick(pages->strip(), Qt::Key_Right);
        QCOMPARE(pages->currentIndex(), 6);
        QWidget* workers = rig.screen->control("DBEdit12");
        workers->setFocus();
        QTest::keyClick(workers, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 7);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 6);
        newFile(rig);
        QCOMPARE(pages->currentIndex(), 6);
    }

    void everyControlFitsTheWindow() {
        Rig rig(data_);
        newFile(rig);
        const QRect area = rig.window->inputPanel()->rect();
        TabPages* pages = rig.screen->pages();
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QApplication::processEvents();
            for (QWidget* w : rig.window->inputPanel()->findChildren<QWidget*>()) {
                if (!w->isVisible() || w->isWindow())
                    continue;
                const QRect r(w->mapTo(rig.window->inputPanel(), QPoint(0, 0)), w->size());
                QVERIFY2(area.contains(r), qPrintable(w->objectName()));
                if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty())
                    QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
            }
        }
    }

    // Ctrl+Z in a field being typed in undoes the typing; then the calculation's steps,
    // and the file follows. Ctrl+Y brings the step back.
    void ctrlZUndoesTypingThenTheStepAndCtrlYRedoes() {
        Rig rig(data_);
        newFile(rig);
        const std::string before = rig.field("OB_KAMVS");
        NumericEdit* height = rig.clearField("DBEdit40");
        QTest::keyClicks(height, "3,5");
        QTest::keyClick(height, Qt::Key_Tab);
        QCOMPARE(rig.field("OB_KAMVS"), std::string("3.5"));
        QVERIFY(rig.window->action("EditUndo1")->text().contains("Высота"));

        const QString shown = rig.get<NumericEdit>("DBEdit38")->text();
        NumericEdit* length = rig.clearField("DBEdit38");
        QTest::keyClicks(length, "9");
        while (length->isUndoAvailable())
            QTest::keyClick(length, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(length->text(), shown);
        QCOMPARE(rig.field("OB_KAMVS"), std::string("3.5")); // the typing went first
        QTest::keyClick(length, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rig.field("OB_KAMVS"), before);
        QCOMPARE(rig.get<NumericEdit>("DBEdit40")->text(), QString::fromStdString(before).replace('.', ','));
        QTest::keyClick(length, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(rig.field("OB_KAMVS"), std::string("3.5"));
        QCOMPARE(rig.get<NumericEdit>("DBEdit40")->text(), QString("3,5"));
    }
};

QTEST_MAIN(InputScreenTest)
#include "InputScreenTest.moc"
