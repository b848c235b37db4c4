#include "tests/mainwindow/frmMainFixture.h"

#include "core/publicComment.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/printer.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

// A race read in the window, with recording printers in place of the system's.
struct SheetPages : MainWindowTest {
    RecordingPrinterDevice* office = nullptr;

    void SetUp() override
    {
        MainWindowTest::SetUp();
        auto device = std::make_unique<RecordingPrinterDevice>("Office");
        office = device.get();
        std::vector<std::unique_ptr<PrinterDevice>> list;
        list.push_back(std::move(device));
        printer().setDevices(std::move(list), "Office");
        openForm();
        pressRead();
        ASSERT_EQ(pd.tousuu, 12) << shown();
    }
    void TearDown() override
    {
        printer().setDevices({}, {});
        MainWindowTest::TearDown();
    }
    FlexGrid* grid(const QString& name) const { return control<FlexGrid>(name); }
    // The print button of the toolbar, then the chooser's button.
    void print()
    {
        action("tbMenuFile_Print")->trigger();
        QWidget* chooser = shownWindow("dialogStartPrint");
        ASSERT_NE(chooser, nullptr);
        QTest::mouseClick(childNamed<QPushButton>(chooser, "cmdPrint"), Qt::LeftButton);
    }
};

}

// The fill-all fills the sheet and the comment page of the race read; the race box and a click
// in the comment grid store notes that the page shows again.
TEST_F(SheetPages, FillAllFillsTheSheetAndTheCommentPage)
{
    FlexGrid* bacyu = grid("gridPrintBacyu");
    EXPECT_EQ(std::tuple(bacyu->rows(), bacyu->textMatrix(2, 2), bacyu->textMatrix(57, 2), bacyu->textMatrix(62, 2)),
              std::tuple(90, pd.uName(1), pd.uName(12), QString()));
    clickTab("コメント");
    FlexGrid* comments = grid("gridComment");
    EXPECT_EQ(std::tuple(comments->rows(), comments->textMatrix(2, 3), comments->textMatrix(13, 3)),
              std::tuple(14, pd.uName(1), pd.uName(12)));

    auto* box = control<QLineEdit>("txtRaceComment");
    box->selectAll();
    QTest::keyClicks(box, "rain");
    QTest::keyClick(box, Qt::Key_Return);
    comments->clickCell(3, 6);
    QWidget* editor = shownWindow("dialogComment");
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(childNamed<QComboBox>(editor, "cmbSign01"), "B");
    QTest::mouseClick(childNamed<QPushButton>(editor, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(comments->textMatrix(3, 7), "B");
    openCommentDb();
    EXPECT_EQ(readComment(pd.raceCode, "Race")->comment, "rain");
    EXPECT_EQ(readComment("Uma", pd.uName(2))->sign01, "B");
    closeDb(commentSlot);
}

// From the sheet's tab the print button prints the sheet on one portrait page; from the chart's
// tab the twelve charts go on one landscape page and the runner shown before is shown again.
TEST_F(SheetPages, PrintFromTheSheetAndTheChartTabs)
{
    clickTab("馬柱（印刷イメージ）");
    print();
    ASSERT_EQ(office->documents().size(), 1u);
    EXPECT_EQ(std::tuple(office->documents()[0].orientation, office->documents()[0].ended),
              std::tuple(int(vbPRORPortrait), true));

    clickTab("グラフ");
    pd.umaIdx = 3;
    print();
    ASSERT_EQ(office->documents().size(), 2u);
    const auto& page = office->documents()[1];
    EXPECT_EQ(std::tuple(page.orientation, page.ended, int(page.ops.size())), std::tuple(int(vbPRORLandscape), true, 14));
    EXPECT_EQ(page.ops.back().text, pd.raceTitle);
    EXPECT_EQ(pd.umaIdx, 3);
    EXPECT_EQ(shownWindow("dialogStartPrint"), nullptr);
    EXPECT_EQ(shown(), "");
}

// The CSV menu item writes the race's runners to the file chosen.
TEST_F(SheetPages, CsvMenuWritesTheRace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("race.csv");
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                d->selectFile(path);
                static_cast<QDialog*>(d)->accept();
            }
    });
    action("menuCsv")->trigger();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << shown();
    EXPECT_EQ(f.readAll().count("\r\n"), 1 + 12 + 1);
    EXPECT_EQ(messages.texts().last(), path + "へ出力しました");
}
