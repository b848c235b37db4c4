#include "tests/mainwindow/frmMainFixture.h"

#include "tests/support/progressWatcher.h"

#include <QScrollBar>

namespace {

// A race read in the window, with a recording printer in place of the system's.
struct Tabs : MainWindowTest {
    RecordingPrinterDevice* office = nullptr;

    void SetUp() override
    {
        MainWindowTest::SetUp();
        office = installPrinters({"Office"})[0];
        openForm();
        pressRead();
        ASSERT_EQ(std::pair(shown(), pd.tousuu), std::pair(std::string(), 12));
    }
    // Which are on, by letter: print button, print menu, chart toolbar with its four buttons, tab strip, read
    // button, period, options, track selector, chart shift, web read, end, past-data read.
    std::string enabledSet() const
    {
        const QStringList names = QString("tbMenuFile_Print menuFilePrint tbMenuMove tabMain cmdRaceRead cmbTarKikan menuOption "
                                          "cmbSelRace_3 cmdGraphShift tbMenuFile_ReadWeb menuFileEnd menuDbKakoRead").split(' ');
        std::string set;
        for (int i = 0; i < names.size(); ++i)
            if (control<QObject>(names[i])->property("enabled").toBool() && (i != 2 || control<QToolBar>("tbMenuMove")->actions().size() == 4))
                set += "PpMTRKOSGWED"[i];
        return set;
    }
};

const QString chartTab = "グラフ", sheetTab = "馬柱（印刷イメージ）";

}

// Busy switches everything off and holds clicks and keys back; afterwards the tab decides again.
TEST_F(Tabs, EveryTabShowsItsControlsAndSetsPrintingAndTheChartToolbar)
{
    const std::tuple<QString, QStringList, std::string> table[] = {
        {"出走表（着順）", {"gridSyuxtusouHyou"}, ""}, {"出走表（スピード指数）", {"gridSpSisuu"}, ""},
        {chartTab, {"gridGraph", "Picture1", "Picture2", "cmdGraphShift"}, "PpM"}, {"予想・適性", {"gridYosou"}, ""},
        {"適性（スピード指数）", {"gridTekiseiSisuu", "cmbTarKikan"}, ""}, {"適性（勝率・連対率）", {"gridTekiseiRentai", "cmbTarKikan"}, ""},
        {"持ち時計", {"gridMochiTime", "cmbTarKikan"}, ""}, {"対戦表", {"gridTaisen", "cmbTarKikan"}, ""}, {sheetTab, {"gridPrintBacyu"}, "Pp"},
        {"コメント", {"gridComment", "lblRaceComment", "txtRaceComment", "cmbTarKikan"}, ""},
        {"コーナー進入予想図", {"fraConner"}, ""}, {"コース", {"gridCorce", "cmbTarKikan"}, ""}};
    auto* grid = control<FlexGrid>("gridYosou");
    auto* comment = control<QLineEdit>("txtRaceComment");
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& [caption, controls, flags] : table) {
            clickTab(caption);
            {
                const FrmMain::BusyGuard busy(*form);
                grid->setRowCol(0, 0);
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(3, 5)).center());
                QTest::keyClicks(comment, "abc");
                EXPECT_EQ(std::tuple(enabledSet(), grid->row(), grid->col(), comment->text()), std::tuple("", 0, 0, QString()))
                    << caption.toStdString();
            }
            EXPECT_EQ(std::tuple(tabs()->tabText(tabs()->currentIndex()), shownPageControls(), enabledSet()),
                      std::tuple(caption, controls, flags + "TRKOSGWED"));
        }
    EXPECT_EQ(shown(), "");
}

// The read fills the sheet and the comment page. The print button prints the sheet on one portrait
// page, its whole picture at 0, 500 shrunk to 75 % x 70 % and the title at 0, 250 in 5 points; and
// the twelve charts on one landscape page, the runner shown before shown again.
TEST_F(Tabs, FilledPagesPrintingAndRefills)
{
    auto* bacyu = control<FlexGrid>("gridPrintBacyu");
    auto* comments = control<FlexGrid>("gridComment");
    EXPECT_EQ(std::tuple(bacyu->rows(), bacyu->textMatrix(2, 2), bacyu->textMatrix(57, 2), bacyu->textMatrix(62, 2),
                         comments->rows(), comments->textMatrix(2, 3), comments->textMatrix(13, 3)),
              std::tuple(90, pd.uName(1), pd.uName(12), QString(), 14, pd.uName(1), pd.uName(12)));
    for (const QString& caption : {sheetTab, chartTab}) {
        clickTab(caption);
        pd.umaIdx = 3;
        action("tbMenuFile_Print")->trigger();
        QWidget* chooser = shownWindow("dialogStartPrint");
        ASSERT_NE(chooser, nullptr);
        QTest::mouseClick(childNamed<QPushButton>(chooser, "cmdPrint"), Qt::LeftButton);
    }
    const auto& docs = office->documents();
    ASSERT_TRUE(docs.size() == 2 && docs[0].ops.size() == 2);
    const QSize sheet = bacyu->picture().toImage().size();
    const CanvasOp &pic = docs[0].ops[0], &text = docs[0].ops[1];
    EXPECT_EQ(std::tuple(docs[0].orientation, docs[0].ended, pic.x1, pic.y1, pic.x2, pic.y2, pic.picture.size(), text.text, text.x1, text.y1,
                         text.fontSize),
              std::tuple(int(vbPRORPortrait), true, 0.0, 500.0, pixelsToTwips(sheet.width()) * 0.75, 500 + pixelsToTwips(sheet.height()) * 0.7,
                         sheet, pd.raceTitle, 0.0, 250.0, 5.0));
    EXPECT_EQ(std::tuple(docs[1].orientation, docs[1].ended, int(docs[1].ops.size()), pd.umaIdx, shownWindow("dialogStartPrint") == nullptr, shown()),
              std::tuple(int(vbPRORLandscape), true, 14, 3, true, std::string()));
    // The course table and the corner diagram are computed on a visit; a read that ends on the course
    // tab fills it although the read held the import token. Only a pick from the period list runs the
    // fill-all (the entry already shown too), typing does not.
    auto* course = control<FlexGrid>("gridCorce");
    auto* corner = control<PictureBox>("picCornner");
    course->setRows(0);
    clickTab("コース");
    corner->canvas().cls();
    clickTab("コーナー進入予想図");
    const QImage image = corner->image();
    QImage blank(image.size(), image.format());
    blank.fill(image.pixelColor(0, 0));
    EXPECT_EQ(std::pair(course->rows() > 2, image != blank), std::pair(true, true));
    clickTab("コース");
    course->setRows(0);
    pressRead();
    EXPECT_EQ(std::tuple(course->rows() > 2, shownPageControls(), shown()),
              std::tuple(true, QStringList({"gridCorce", "cmbTarKikan"}), std::string()));
    auto* period = control<QComboBox>("cmbTarKikan");
    clickTab("持ち時計");
    pd.graphShiftDays = 365;
    QTest::keyClicks(period->lineEdit(), "x");
    QTest::keyClick(period->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(pd.graphShiftDays, 365);
    period->setCurrentText("1年以内対象");
    period->showPopup();
    QAbstractItemView* list = period->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_EQ(std::tuple(pd.graphShiftDays, isDialogSincyokuLoaded(), shownPageControls()),
              std::tuple(0, false, QStringList({"gridMochiTime", "cmbTarKikan"})));
}

// A chart click ("") is Next; the list marks the current row; one or no runner stays on 1.
TEST_F(Tabs, ChartStepping)
{
    auto* list = control<FlexGrid>("gridGraph");
    const auto step = [&](const char* name) { *name ? action(name)->trigger() : QTest::mouseClick(control("Picture1"), Qt::LeftButton); };
    clickTab(chartTab);
    std::vector<std::string> visited;
    for (const char* name : {static_cast<const char*>(nullptr), "tbMenuMove_Prev", "tbMenuMove_Next", "tbMenuMove_Next", ""}) {
        if (name)
            step(name);
        QStringList rows;
        for (int r = 2; r < list->rows(); ++r)
            if (!list->cellFontUnderline(r, 3) && list->cellForeColor(r, 3) != 0xFF0000)
                rows << QString::number(r);
        visited.push_back(rows.join(',').toStdString() + " " + std::to_string(pd.umaIdx));
    }
    EXPECT_EQ(std::tuple(visited, pd.graphShiftDays, pd.graphMode, list->rows()),
              std::tuple(std::vector<std::string>({"2 1", "13 12", "2 1", "3 2", "4 3"}), 0, true, 14));
    // A new layout keeps the list's own width: every column in view.
    form->resize(form->width() + 10, form->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(std::pair(list->widthTwips(), list->horizontalScrollBar()->maximum()), std::pair(3050, 0));

    action("tbMenuMove_Hikaku")->trigger();
    step("tbMenuMove_Next");
    EXPECT_EQ(std::tuple(pd.graphMode, pd.umaIdx), std::tuple(false, 4));
    action("tbMenuMove_Graph")->trigger();
    EXPECT_EQ(std::tuple(pd.graphMode, pd.umaIdx, control("cmdGraphBack")->isVisible()), std::tuple(true, 4, false));
    for (const int runners : {1, 0}) {
        pd.tousuu = runners;
        pd.umaIdx = 1;
        for (const char* name : {"tbMenuMove_Next", "tbMenuMove_Prev", ""})
            step(name);
        EXPECT_EQ(pd.umaIdx, 1) << runners;
    }
    EXPECT_EQ(shown(), "");
}

// The fill-all's progress window counts every one of its steps up to its maximum of 11, after a read and
// after a period pick alike.
TEST_F(MainWindowTest, TheFillAllsProgressReachesItsMaximum)
{
    openForm();
    const ProgressWatcher watcher;
    pressRead();
    clickTab("対戦表");
    auto* period = control<QComboBox>("cmbTarKikan");
    period->setCurrentIndex(0);
    emit period->activated(0);
    using Run = std::pair<float, float>;
    EXPECT_EQ(watcher.runs(), (std::vector<Run> {{11, 11}, {11, 11}}));
    EXPECT_EQ(shown(), "");
}
