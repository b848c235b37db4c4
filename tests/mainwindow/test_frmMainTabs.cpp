#include "tests/mainwindow/frmMainFixture.h"

#include "platform/flexgrid.h"
#include "platform/picturebox.h"

#include <QScrollBar>

namespace {

struct Tabs : MainWindowTest {
    void SetUp() override
    {
        MainWindowTest::SetUp();
        openForm();
        pressRead();
        ASSERT_EQ(shown(), "");
        ASSERT_EQ(pd.tousuu, 12);
    }
    // Print button, print menu, chart toolbar (buttons, enabled), tab strip, read button, period combo.
    std::string enabledSet() const
    {
        auto* move = control<QToolBar>("tbMenuMove");
        QStringList on;
        for (const auto& [name, enabled] :
             {std::pair {"tbMenuFile_Print", action("tbMenuFile_Print")->isEnabled()},
              {"menuFilePrint", action("menuFilePrint")->isEnabled()},
              {"tbMenuMove", move->isEnabled() && move->actions().size() == 4},
              {"tabMain", tabs()->isEnabled()},
              {"cmdRaceRead", control("cmdRaceRead")->isEnabled()},
              {"cmbTarKikan", control("cmbTarKikan")->isEnabled()},
              {"menuOption", action("menuOption")->isEnabled()}})
            if (enabled)
                on << name;
        return on.join(' ').toStdString();
    }
};

const QString chartTab = "グラフ";

}

// What each tab shows, when printing is on and when the chart toolbar is there; the same tab
// clicked again is a visit too. The pages are saved as pictures for a person to look at.
TEST_F(Tabs, EveryTabShowsItsControlsAndSetsPrintingAndTheChartToolbar)
{
    const std::tuple<QString, QStringList, std::string> table[] = {
        {"出走表（着順）", {"gridSyuxtusouHyou"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"出走表（スピード指数）", {"gridSpSisuu"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {chartTab, {"gridGraph", "Picture1", "Picture2", "cmdGraphShift"},
         "tbMenuFile_Print menuFilePrint tbMenuMove tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"予想・適性", {"gridYosou"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"適性（スピード指数）", {"gridTekiseiSisuu", "cmbTarKikan"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"適性（勝率・連対率）", {"gridTekiseiRentai", "cmbTarKikan"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"持ち時計", {"gridMochiTime", "cmbTarKikan"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"対戦表", {"gridTaisen", "cmbTarKikan"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"馬柱（印刷イメージ）", {"gridPrintBacyu"}, "tbMenuFile_Print menuFilePrint tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"コメント", {"gridComment", "lblRaceComment", "txtRaceComment", "cmbTarKikan"},
         "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"コーナー進入予想図", {"fraConner"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
        {"コース", {"gridCorce", "cmbTarKikan"}, "tabMain cmdRaceRead cmbTarKikan menuOption"},
    };
    const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(out));
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& [caption, controls, enabled] : table) {
            clickTab(caption);
            EXPECT_EQ(tabs()->tabText(tabs()->currentIndex()), caption);
            EXPECT_EQ(shownPageControls(), controls) << caption.toStdString();
            EXPECT_EQ(enabledSet(), enabled) << caption.toStdString();
            if (pass == 0)
                EXPECT_TRUE(form->grab().save(out + "/frmMain-tab" + QString::number(tabIndex(caption) + 1) + ".png"));
        }
    EXPECT_EQ(shown(), "");
}

// The course table and the corner diagram are computed on every visit, the current tab's too; a
// read that ends on the course tab fills it although the read held the import token.
TEST_F(Tabs, CourseAndCornerRecomputeOnEveryVisit)
{
    auto* course = control<FlexGrid>("gridCorce");
    auto* corner = control<PictureBox>("picCornner");
    const auto cornerInk = [&] {
        const QImage image = corner->image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(0, 0))
                    return true;
        return false;
    };
    for (int visit = 0; visit < 2; ++visit) {
        course->setRows(0);
        clickTab("コース");
        EXPECT_GT(course->rows(), 2) << visit;
        corner->canvas().cls();
        ASSERT_FALSE(cornerInk());
        clickTab("コーナー進入予想図");
        EXPECT_TRUE(cornerInk()) << visit;
    }
    clickTab("コース");
    course->setRows(0);
    pressRead();
    EXPECT_EQ(std::tuple(course->rows() > 2, shownPageControls()),
              std::tuple(true, QStringList({"gridCorce", "cmbTarKikan"})));
    EXPECT_EQ(shown(), "");
}

// Busy switches everything off but the loading window's Cancel; when it ends each control is back
// to what the tab decides: a tab without printing keeps printing off.
TEST_F(Tabs, EnabledStateByTabAndBusy)
{
    for (const QString& caption : {QString("予想・適性"), chartTab}) {
        clickTab(caption);
        const std::string idle = enabledSet();
        {
            const FrmMain::BusyGuard busy(*form);
            EXPECT_EQ(enabledSet(), "") << caption.toStdString();
            for (const char* name : {"cmbSelRace_0", "cmbSelRace_3", "cmdGraphShift"})
                EXPECT_FALSE(control(name)->isEnabled()) << name;
            // The pages take no click and no key: the grid keeps its click cell, the comment its text.
            auto* grid = control<FlexGrid>("gridYosou");
            auto* comment = control<QLineEdit>("txtRaceComment");
            const QString text = comment->text();
            grid->setRowCol(0, 0);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(3, 5)).center());
            QTest::keyClicks(comment, "abc");
            EXPECT_EQ(std::tuple(grid->row(), grid->col(), comment->text()), std::tuple(0, 0, text));
            for (const char* name : {"tbMenuFile_ReadWeb", "tbMenuFile_End", "menuFileEnd", "menuDbKakoRead", "menuHelpHtml"})
                EXPECT_FALSE(action(name)->isEnabled()) << name;
        }
        EXPECT_EQ(enabledSet(), idle) << caption.toStdString();
    }
}

// Next after the last runner goes to 1, Prev from 1 to the last; a chart click is Next; the list
// marks the current horse's row (black, the other runners underlined blue). The comparison chart stays while
// stepping; the year shift moves the window and shows the way back. A race of one runner stays
// on it, a race without runners does nothing.
TEST_F(Tabs, ChartSteppingAndYearShift)
{
    auto* list = control<FlexGrid>("gridGraph");
    const auto current = [&] {
        QStringList rows;
        for (int r = 2; r < list->rows(); ++r)
            if (!list->cellFontUnderline(r, 3) && list->cellForeColor(r, 3) != 0xFF0000)
                rows << QString::number(r);
        return rows.join(',').toStdString() + " " + std::to_string(pd.umaIdx);
    };
    clickTab(chartTab);
    EXPECT_EQ(std::tuple(pd.umaIdx, pd.graphShiftDays, pd.graphMode, list->rows()), std::tuple(1, 0, true, 14));
    EXPECT_EQ(current(), "2 1");
    // A new layout (the window resized) keeps the list's own width: every column in view.
    form->resize(form->width() + 10, form->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(std::pair(list->widthTwips(), list->horizontalScrollBar()->maximum()), std::pair(3050, 0));
    std::vector<std::string> visited;
    action("tbMenuMove_Prev")->trigger();
    visited.push_back(current());
    action("tbMenuMove_Next")->trigger();
    visited.push_back(current());
    action("tbMenuMove_Next")->trigger();
    visited.push_back(current());
    QTest::mouseClick(control("Picture1"), Qt::LeftButton);
    visited.push_back(current());
    EXPECT_EQ(visited, std::vector<std::string>({"13 12", "2 1", "3 2", "4 3"}));

    action("tbMenuMove_Hikaku")->trigger();
    action("tbMenuMove_Next")->trigger();
    EXPECT_EQ(std::tuple(pd.graphMode, pd.umaIdx), std::tuple(false, 4));
    action("tbMenuMove_Graph")->trigger();
    EXPECT_EQ(std::tuple(pd.graphMode, pd.umaIdx, control("cmdGraphBack")->isVisible()), std::tuple(true, 4, false));

    QTest::mouseClick(control<QPushButton>("cmdGraphShift"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("cmdGraphShift"), Qt::LeftButton);
    EXPECT_EQ(std::tuple(pd.graphShiftDays, control("cmdGraphBack")->isVisible()), std::tuple(730, true));
    QTest::mouseClick(control<QPushButton>("cmdGraphBack"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("cmdGraphBack"), Qt::LeftButton);
    EXPECT_EQ(std::tuple(pd.graphShiftDays, control("cmdGraphBack")->isVisible()), std::tuple(0, false));

    for (const int runners : {1, 0}) {
        pd.tousuu = runners;
        pd.umaIdx = 1;
        action("tbMenuMove_Next")->trigger();
        action("tbMenuMove_Prev")->trigger();
        QTest::mouseClick(control("Picture1"), Qt::LeftButton);
        EXPECT_EQ(pd.umaIdx, 1) << runners;
    }
    EXPECT_EQ(shown(), "");
}

// Only a pick from the list runs the fill-all (the entry already shown too); typed text does not,
// and is read by the next fill-all.
TEST_F(Tabs, PeriodPickRefillsTypingDoesNot)
{
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
    EXPECT_EQ(std::tuple(pd.graphShiftDays, isDialogSincyokuLoaded()), std::tuple(0, false));
    EXPECT_EQ(shownPageControls(), QStringList({"gridMochiTime", "cmbTarKikan"}));
}

// A run counts when it is strictly after the bound; 2008 is a leap year, so 365 days before
// 1 March 2008 is 2 March 2007. A text that is no entry gives bound 0: every dated run counts.
TEST(PeriodRule, BoundAcrossALeapDay)
{
    const VbDate race = VbDate::fromYmd(2008, 3, 1);
    const std::tuple<QString, VbDate> table[] = {
        {"6ヶ月以内対象", VbDate::fromYmd(2007, 8, 31)},
        {"1年以内対象", VbDate::fromYmd(2007, 3, 2)},
        {"2年以内対象", VbDate::fromYmd(2006, 3, 2)},
        {"全期間対象", VbDate::fromYmd(1998, 3, 4)},
    };
    for (const auto& [text, boundDay] : table)
        EXPECT_EQ(kikanBound(text, race), boundDay.serial()) << text.toStdString();
    for (const QString& text : {QString("3年"), QString(" 1年以内対象"), QString("１年以内対象"), QString()})
        EXPECT_EQ(kikanBound(text, race), 0) << text.toStdString();
}
