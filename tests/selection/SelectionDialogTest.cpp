// The selection window over a small catalogue: the no-equipment message once per run, the
// list following the parameters, "Выбрать" only on a listed row, Enter moving on.
#include "desktop/selection/SelectionDialog.h"

#include "SelectionFixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace vorn::test {
namespace {

class SelectionDialogTest : public SelectionFixture {
protected:
    void SetUp() override {
        open({{"A", 9000}, {"B", 10000}, {"C", 11000}, {"D", 4600}},
             {{"OB_TEMKAM", -18}, {"OB_RGTMAX", 25}, {"OB_TERMR", "Хранение"}, {"KOLSYS", 1}});
        dialog = std::make_unique<SelectionDialog>(*selection);
        dialog->showMessage = [this](const QString& m) { messages << m; };
    }
    void TearDown() override { dialog.reset(); }
    void show() {
        dialog->show();
        QApplication::processEvents();
    }
    int rows() const { return dialog->list()->model()->rowCount(); }

    std::unique_ptr<SelectionDialog> dialog;
    QStringList messages;
};

TEST_F(SelectionDialogTest, NoEquipmentMessageOncePerRun) {
    setRequired(0);
    show();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8(Selection::kNoEquipmentMessage));
    EXPECT_FALSE(dialog->chooseButton()->isEnabled());
    // Activations (as after the message box closes) do not run the selection again.
    for (int i = 0; i < 3; ++i) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(dialog.get(), &activate);
        QApplication::processEvents();
    }
    EXPECT_EQ(messages.size(), 1);
    dialog->upperBox()->selectAll();
    QTest::keyClicks(dialog->upperBox(), "120"); // runs once "до" is no longer below "от"
    EXPECT_EQ(messages.size(), 2);
}

TEST_F(SelectionDialogTest, NoEquipmentMessageNeverOverAListWithRows) {
    setRequired(20.00); // one system: 18000 ... 23000, nothing
    show();
    ASSERT_EQ(messages.size(), 1);
    // Two systems typed: the number is stored before any message, and the list has rows.
    dialog->systemsBox()->setFocus();
    dialog->systemsBox()->selectAll();
    QTest::keyClicks(dialog->systemsBox(), "2");
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(SelectionDialogTest, LowerBoundAboveTheUpperIsRefused) {
    setRequired(10.00);
    show();
    dialog->lowerBox()->setFocus();
    dialog->lowerBox()->selectAll();
    QTest::keyClicks(dialog->lowerBox(), "120");
    EXPECT_EQ(rows(), 3); // the list keeps the last band while "от" is above "до"
    QTest::keyClick(dialog->lowerBox(), Qt::Key_Return);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("от 120 %")) << messages[0].toStdString();
    EXPECT_EQ(dialog->lowerBox()->text(), "90");
    EXPECT_EQ(selection->lowerPercentText, "90");
}

TEST_F(SelectionDialogTest, ListFollowsTheParametersAndChooseWritesTheRecord) {
    setRequired(10.00);
    show();
    EXPECT_EQ(rows(), 3);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(dialog->chooseButton()->isEnabled());

    // Two systems: the band 4500 ... 5750 once the box is left.
    dialog->systemsBox()->setFocus();
    dialog->systemsBox()->selectAll();
    QTest::keyClicks(dialog->systemsBox(), "2");
    EXPECT_EQ(rows(), 3); // still the stored number while typing
    QTest::keyClick(dialog->systemsBox(), Qt::Key_Return);
    EXPECT_EQ(dm.taWork.asDouble("KOLSYS"), 2);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(QApplication::focusWidget(), dialog->lowerBox()); // Enter moved on

    dialog->list()->selectRow(0);
    QTest::mouseClick(dialog->chooseButton(), Qt::LeftButton);
    EXPECT_EQ(field("SIS"), "D");
    EXPECT_EQ(dm.taWork.asDouble("PROIZSYS"), 4600);
    EXPECT_EQ(dialog->findChild<QLineEdit*>("SIS")->text(), "D");

    // A band with nothing in it: the message, and "Выбрать" off.
    dialog->lowerBox()->selectAll();
    QTest::keyClicks(dialog->lowerBox(), "99"); // 4950 ... 5750
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(dialog->chooseButton()->isEnabled());
}

TEST_F(SelectionDialogTest, PrintSystemsRunsTheSelectionAgain) {
    setRequired(10.00);
    int printed = 0;
    dialog->printSystems = [&] {
        ++printed;
        selection->catalogue().last(); // the preview moves the cursor
    };
    show();
    int runs = 0;
    QObject::connect(dialog.get(), &SelectionDialog::selectionRan, [&] { ++runs; });
    QTest::mouseClick(dialog->findChild<QPushButton*>("Button3"), Qt::LeftButton);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(selection->catalogue().recNo(), selection->rows().front().recNo);
}

TEST_F(SelectionDialogTest, CaptionsStandOverTheirValuesAndReadWhole) {
    setRequired(10.00);
    show();
    QAbstractItemModel* m = dialog->list()->model();
    QHeaderView* header = dialog->list()->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    const QFontMetrics hm(bold);
    for (int c = 0; c < m->columnCount(); ++c) {
        const int cell = m->data(m->index(0, c), Qt::TextAlignmentRole).toInt();
        const int head = m->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
        EXPECT_EQ(head & Qt::AlignHorizontal_Mask,
                  (cell ? cell : int(Qt::AlignLeft)) & Qt::AlignHorizontal_Mask)
            << c;
        // every caption, wrapped in its column, fits the header: no word or line is cut
        const QString caption = m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const QRect need = hm.boundingRect(QRect(0, 0, header->sectionSize(c) - 8, 1000),
                                           Qt::TextWordWrap, caption);
        EXPECT_LE(need.width(), header->sectionSize(c) - 8) << caption.toStdString();
        EXPECT_LE(need.height(), header->height()) << caption.toStdString();
    }
}

} // namespace
} // namespace vorn::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
