// The report windows offscreen: the print dialog's answer, the preview with its page count
// and "Сохранить в PDF", and the systems list over a selection run.
#include "document/ControlTable.h"
#include "document/Session.h"
#include "data/DataModule.h"
#include "desktop/input/CalculationView.h"
#include "desktop/reports/CalcReport.h"
#include "desktop/reports/ReportPreviewDialog.h"
#include "desktop/reports/SystemsReport.h"
#include "selection/Selection.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QTextBrowser>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace vorn;

class ReportWindowsTest : public QObject {
    Q_OBJECT

    struct Rig {
        QTemporaryDir tmp;
        DataModule dm;
        Session session{dm};
        explicit Rig() {
            const QString file = tmp.filePath("apples.vrn");
            QFile::copy(VORN_SOURCE_DIR "/tests/cases/cooling-apples/input.vrn", file);
            dm.setDataDir(VORN_DATA_DIR);
            if (dm.openReferenceTables())
                session.openCalculation(file.toStdString());
        }
        ~Rig() {
            session.closeCalculation();
            dm.closeAll();
        }
    };

    // Shows the preview, lets it draw, runs check on it and closes it.
    static void inPreview(ReportPreviewDialog& d, const std::function<void()>& check) {
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTRY_VERIFY(d.generatedPages() > 0);
        check();
        d.close();
    }

private slots:
    // The Расчет window at a gain, following an edit; its note previewed over pages.
    void calculationViewFollowsEditsAndPreviewsTheNote() {
        Rig rig;
        CalcReport report(rig.session, rig.tmp.path());
        CalculationView view(rig.session, report);
        view.showGain(9);
        auto* list = view.findChild<QListWidget*>("CalculationSteps");
        auto* text = view.findChild<QTextBrowser*>("CalculationText");
        QCOMPARE(list->currentRow(), 8);
        QVERIFY(text->toPlainText().contains("VO_KOLVO"));
        rig.session.commitText(*findControl("VO_POW"), "0,5"); // 3 fans of 0.5 kW
        QVERIFY(text->toPlainText().contains("Результат: 1,50 кВт"));
        view.showGain(11);
        QCOMPARE(list->currentRow(), 9);
        report.runPreview = [&](ReportPreviewDialog& d) {
            inPreview(d, [&] { QVERIFY(d.generatedPages() > 2); });
        };
        report.previewNote(nullptr);
        const QString pdf = rig.tmp.filePath("note.pdf");
        QString error;
        QVERIFY2(report.writeNotePdf(pdf, &error), qPrintable(error));
        QVERIFY(QFile(pdf).size() > 1000);
    }

    void printRunsOnlyWhenTheDialogIsConfirmed() {
        Rig rig;
        QVERIFY(rig.session.isOpen());
        CalcReport report(rig.session, rig.tmp.path());
        const QString pdf = rig.tmp.filePath("printed.pdf");
        bool asked = false;
        report.askPrinter = [&](QPrinter&, QWidget*) { return asked = true, false; };
        QVERIFY(!report.print(nullptr));
        QVERIFY(asked);
        QVERIFY(!QFile::exists(pdf));

        report.askPrinter = [&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        QVERIFY(report.print(nullptr));
        QVERIFY(QFile(pdf).size() > 1000);
    }

    void previewShowsOnePageAndSavesPdf() {
        Rig rig;
        CalcReport report(rig.session, rig.tmp.path());
        const QString chosen = rig.tmp.filePath("saved");
        report.runPreview = [&](ReportPreviewDialog& d) {
            inPreview(d, [&] {
                QCOMPARE(d.generatedPages(), 1);
                QCOMPARE(d.savePdfAction()->text(), QStringLiteral("Сохранить в PDF"));
                QString proposed;
                d.pickPdfPath = [&](const QString& p) { return proposed = p, chosen; };
                d.savePdfAction()->trigger();
                QVERIFY(proposed.endsWith(QStringLiteral("/apples.pdf")));
                QVERIFY(QFile::exists(chosen + ".pdf"));
            });
        };
        report.preview(nullptr);
        QVERIFY(QFile::exists(chosen + ".pdf"));
    }

    void systemsListPreviewsTheSelection() {
        Rig rig;
        Selection selection(rig.session.data(), rig.session.results(), rig.session.selectionWriter());
        QCOMPARE(selection.run(), Selection::Outcome::Listed);
        SystemsReport report(rig.session, selection, rig.tmp.path());
        QCOMPARE(report.generate().pages.size(), size_t(2));
        bool shown = false;
        report.runPreview = [&](ReportPreviewDialog& d) {
            inPreview(d, [&] { QCOMPARE(d.generatedPages(), 2); });
            shown = true;
        };
        report.preview(nullptr);
        QVERIFY(shown);
    }
};

QTEST_MAIN(ReportWindowsTest)
#include "ReportWindowsTest.moc"
