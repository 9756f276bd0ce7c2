// The window "Справочники" offscreen: the grid's model over a table (edit, refusal, add,
// duplicate, delete, a locked row, filter), and the open calculation recalculated after a
// change of a figure it uses.
#include "desktop/shell/Composition.h"
#include "desktop/shell/MainWindow.h"
#include "data/DataModule.h"
#include "document/Session.h"
#include "desktop/refedit/RefEditorWindow.h"
#include "desktop/refedit/RefTableModel.h"
#include "refedit/TableTransfer.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

using namespace vorn;

class RefEditorTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    int copies_ = 0;

    QString copyData() {
        const QString dir = tmp_.filePath(QString("DATA%1").arg(++copies_));
        std::filesystem::copy(VORN_DATA_DIR, dir.toStdString());
        return dir;
    }

    // The value the file holds, read by a table object of its own.
    static std::string stored(const QString& dir, const char* table, int row, const char* field) {
        auto t = TableTransfer::open(dir.toStdString(), *findRefTable(table));
        t->first();
        for (int i = 0; i < row; ++i)
            t->next();
        return t->value(field).toString();
    }

private slots:
    void modelEditsTheTable() {
        const QString dir = copyData();
        RefEditorWindow w(dir);
        QStringList messages;
        w.showMessage = [&messages](const QString& m) { messages << m; };
        w.confirm = [](const QString&) { return true; };
        QVERIFY(w.showTable("S_MATER"));
        RefTableModel& m = *w.model();
        QSignalSpy changed(&w, &RefEditorWindow::tableChanged);
        const int rows = m.rowCount();
        QCOMPARE(m.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Теплопроводность, Вт/(м·К)"));

        // an accepted value is in the file at once
        QVERIFY(m.setData(m.index(0, 1), "0,75", Qt::EditRole));
        QCOMPARE(stored(dir, "s_mater", 0, "M_KTP"), std::string("0.75"));
        QCOMPARE(m.data(m.index(0, 1), Qt::DisplayRole).toString(), QString("0,750"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.front().front().toString(), QString("s_mater.DBF"));

        // refused values: the file keeps what it had, and the user is told why
        const QString second = m.data(m.index(1, 0), Qt::DisplayRole).toString();
        QVERIFY(!m.setData(m.index(0, 1), "abc", Qt::EditRole));
        QVERIFY(!m.setData(m.index(0, 1), "-1", Qt::EditRole));
        QVERIFY(!m.setData(m.index(0, 0), second.toUpper(), Qt::EditRole));
        QCOMPARE(messages.size(), 3);
        QVERIFY(messages[0].contains("не число"));
        QVERIFY(messages[2].contains("уже есть в таблице"));
        QCOMPARE(stored(dir, "s_mater", 0, "M_KTP"), std::string("0.75"));

        // a row another user is editing is refused, not overwritten
        {
            auto other = TableTransfer::open(dir.toStdString(), *findRefTable("s_mater"));
            other->first();
            other->edit();
            QVERIFY(!m.setData(m.index(0, 1), "0,5", Qt::EditRole));
            QVERIFY(messages.back().contains("другой пользователь"));
            other->cancel();
        }

        // add, duplicate, delete
        w.addRow();
        w.addRow();
        QCOMPARE(m.rowCount(), rows + 2);
        QCOMPARE(m.data(m.index(rows, 0), Qt::DisplayRole).toString(), QString("Новая запись"));
        QCOMPARE(m.data(m.index(rows + 1, 0), Qt::DisplayRole).toString(),
                 QString("Новая запись 2"));
        QCOMPARE(m.duplicateRow(0), rows + 2);
        QCOMPARE(m.data(m.index(rows + 2, 1), Qt::DisplayRole).toString(), QString("0,750"));
        QVERIFY(m.data(m.index(rows + 2, 0), Qt::DisplayRole).toString().endsWith(" 2"));
        QVERIFY(m.deleteRow(rows));
        QCOMPARE(m.rowCount(), rows + 2);
        QCOMPARE(TableTransfer::open(dir.toStdString(), *findRefTable("s_mater"))->recordCount(),
                 rows + 2);
        QCOMPARE(stored(dir, "s_mater", rows, "M_NAIM"), std::string("Новая запись 2"));

        // a refused import changes nothing and says where the fault is
        const QString bad = tmp_.filePath("bad.csv");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("M_NAIM;M_KTP\nКирпич;0,5\nБетон;x\n");
        f.close();
        const int before = m.rowCount();
        w.importFile(bad, false);
        QVERIFY(messages.back().contains("строка 3, поле M_KTP: «x» — не число"));
        QCOMPARE(m.rowCount(), before);

        // the filter narrows the view, not the table
        w.filter()->setText("БЕТОН");
        QVERIFY(w.view()->model()->rowCount() > 0);
        QVERIFY(w.view()->model()->rowCount() < m.rowCount());
        for (int r = 0; r < w.view()->model()->rowCount(); ++r)
            QVERIFY(m.data(m.index(w.modelRow(r), 0), Qt::DisplayRole)
                        .toString()
                        .contains("бетон", Qt::CaseInsensitive));
    }

    void changeRecalculatesTheOpenCalculation() {
        const QString dir = copyData();
        DataModule dm;
        Session session(dm);
        MainWindow window(dm, session, dir);
        composeReferenceEditor(window, session, dm, dir);
        QStringList messages;
        window.showMessage = [&messages](const QString& m) { messages << m; };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.startupDone());
        window.newCalculationAt(tmp_.filePath("calc.vrn"));
        QVERIFY(session.isOpen());
        const double product = session.results().box(4);
        QVERIFY(product > 0);

        emit window.referencesRequested();
        auto* editor = window.findChild<RefEditorWindow*>();
        QVERIFY(editor);
        editor->showMessage = [&messages](const QString& m) { messages << m; };
        QVERIFY(editor->showTable("products"));
        RefTableModel& m = *editor->model();
        // the template's product, frozen below its freezing point: its heat below freezing
        int row = 0;
        while (row < m.rowCount() &&
               m.data(m.index(row, 0), Qt::DisplayRole).toString() != "Говядина (туша)")
            ++row;
        QVERIFY(row < m.rowCount());
        QVERIFY(m.setData(m.index(row, 4), "4,60", Qt::EditRole));
        QVERIFY(messages.isEmpty());
        QVERIFY(session.results().box(4) > product * 1.5);
    }
};

QTEST_MAIN(RefEditorTest)
#include "RefEditorTest.moc"
