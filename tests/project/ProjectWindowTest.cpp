// The project window beside the main window: the menu "Проект", the table with its totals
// row, the stacked gains, a chamber opened by double-click and its row following the edits
// made there, and the workbook saved from the window.
#include "desktop/project/ProjectWindow.h"

#include "desktop/shell/Composition.h"
#include "desktop/shell/MainWindow.h"
#include "app/cli/Commands.h"
#include "data/DataModule.h"
#include "document/Session.h"
#include "project/ProjectFile.h"
#include "desktop/widgets/StackedBarChart.h"

#include <QMenuBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <sstream>

using namespace vorn;

class ProjectWindowTest : public QObject {
    Q_OBJECT

private slots:
    void chambersTotalsChartAndTheOpenChamber() {
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString();
        // Two calculations with a system chosen, the second for +2 °C with two systems.
        std::ostringstream out, err;
        CliContext ctx{"", VORN_DATA_DIR, out, err};
        const std::string a = dir + "/a.vrn", b = dir + "/b.vrn";
        for (const std::string& f : {a, b})
            std::filesystem::copy_file(VORN_DATA_DIR "/vorn.dbf", f);
        QCOMPARE(runSubcommand(ctx, {"set", b, "OB_TEMKAM=2", "OB_KAMDL=12", "OB_KAMSH=10"}), 0);
        QCOMPARE(runSubcommand(ctx, {"select", a, "--choose", "1"}), 0);
        QCOMPARE(runSubcommand(ctx, {"select", b, "--systems", "2", "--choose", "1"}), 0);

        DataModule dm;
        Session session(dm);
        MainWindow main(dm, session, VORN_DATA_DIR);
        composeProjectWindow(main, session, VORN_DATA_DIR);
        main.showMessage = [](const QString& m) { QFAIL(qPrintable(m)); };
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTRY_VERIFY(main.startupDone());

        QMenu* menu = main.findChild<QMenu*>("ProjectMenu");
        QVERIFY(menu);
        QStringList items;
        for (QAction* act : menu->actions())
            items << act->text();
        QCOMPARE(items, QStringList({"Новый проект…", "Открыть проект…", "Добавить текущий расчет",
                                     "Добавить расчет…", "Коммерческое предложение…"}));
        auto* pw = main.findChild<ProjectWindow*>();
        QVERIFY(pw);
        QStringList messages;
        pw->showMessage = [&messages](const QString& m) { messages << m; };

        QVERIFY(pw->newProjectAt(tmp.filePath("site.vrp")));
        QVERIFY(pw->addCalculationAt(QString::fromStdString(a)));
        QVERIFY(pw->addCalculationAt(QString::fromStdString(b)));
        QVERIFY(messages.isEmpty());
        QTableWidget* t = pw->table();
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(t->item(2, 0)->text(), QString("Итого"));
        QCOMPARE(t->item(1, 7)->text(), QString("2"));
        QCOMPARE(t->item(2, 8)->text(), QString("2"));
        StackedBarChart* chart = pw->chart();
        QCOMPARE(chart->seriesNames().size(), 9);
        QCOMPARE(chart->categories(), QStringList({"1", "2"}));
        QCOMPARE(chart->value(0, 1), pw->summary().chambers[1].figures.gains[0]);

        // Double-click: the chamber opens in the main window, the project window stays.
        pw->show();
        QVERIFY(QTest::qWaitForWindowExposed(pw));
        const QPoint cell = t->visualItemRect(t->item(1, 0)).center();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(session.isOpen());
        QVERIFY(std::filesystem::equivalent(session.path(), b));
        QVERIFY(pw->isVisible());
        // An edit there: the row shows the chamber as it now stands, at once.
        const double before = pw->summary().chambers[1].figures.sumKw;
        session.includeBoxClick(1, false);
        QCOMPARE(pw->summary().chambers[1].figures.sumKw, session.results().box(10));
        QVERIFY(pw->summary().chambers[1].figures.sumKw < before);

        // "Добавить текущий расчет" adds the open one once more.
        pw->menuActions()[2]->trigger();
        QCOMPARE(pw->summary().chambers.size(), size_t(3));
        QVERIFY(pw->removeChamber(2));
        QCOMPARE(t->rowCount(), 3);

        QVERIFY(pw->saveXlsxAt(tmp.filePath("offer.xlsx")));
        QVERIFY(QFileInfo(tmp.filePath("offer.xlsx")).size() > 0);
        QVERIFY(messages.isEmpty());
        session.closeCalculation();
    }

    // vorn P.vrp, as the file manager runs it: the project opens in its window, no
    // calculation is tried.
    void aProjectNamedAtStartOpensInTheProjectWindow() {
        QTemporaryDir tmp;
        const QString vrp = tmp.filePath("site.vrp");
        ProjectFile::create(vrp.toStdString(), OfferSettings{});
        DataModule dm;
        Session session(dm);
        MainWindow main(dm, session, VORN_DATA_DIR);
        QStringList messages;
        main.showMessage = [&messages](const QString& m) { messages << m; };
        Desktop desktop(main, session, dm, VORN_DATA_DIR);
        main.show();
        QTRY_VERIFY(main.startupDone());
        desktop.openAtStart(vrp);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
        QVERIFY(!session.isOpen());
        QVERIFY(desktop.projectWindow()->isVisible());
        QCOMPARE(desktop.projectWindow()->projectPath(), vrp);
    }
};

QTEST_MAIN(ProjectWindowTest)
#include "ProjectWindowTest.moc"
