// Windows alone: the window opens a calculation whose folder and name are in Cyrillic (the
// file manager hands such names over as they are).
#include "data/DataModule.h"
#include "desktop/shell/MainWindow.h"
#include "document/Session.h"

#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

using namespace vorn;

class WindowsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensACalculationNamedInCyrillic() {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("Расчёты Иванова");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/камера №1.vrn";
        QVERIFY(QFile::copy(VORN_DATA_DIR "/vorn.dbf", path));

        DataModule dm;
        Session session(dm);
        MainWindow main(dm, session, VORN_DATA_DIR);
        main.showMessage = [](const QString& m) { QFAIL(qPrintable(m)); };
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTRY_VERIFY(main.startupDone());
        main.openCalculationAt(path);
        QVERIFY(session.isOpen());
        QVERIFY(std::filesystem::equivalent(std::filesystem::u8path(session.path()),
                                            std::filesystem::u8path(path.toStdString())));
        session.closeCalculation();
    }
};

QTEST_MAIN(WindowsWindowTest)
#include "WindowsWindowTest.moc"
