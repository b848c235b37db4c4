// The tab switch: which controls each page shows, printing on two pages, the chart toolbar,
// stepping from horse to horse and the chart's one-year shift.
#include "mainwindow/frmMain.h"

#include "analysis/mainCorce.h"
#include "analysis/mainCornner.h"
#include "charts/graphDrawGraph.h"
#include "charts/graphDrawHikaku.h"
#include "core/publicDim.h"
#include "platform/flexgrid.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <vector>

namespace {

constexpr int chartShiftDays = 365;

enum class PageExtra { None, Chart, Corner, Course };

// What a tab shows: its controls, whether printing is on, and what it computes on a visit.
struct PageView {
    QString caption;
    std::vector<QWidget*> shown;
    bool printable = false;
    PageExtra extra = PageExtra::None;
};

// The tabs in their order; a tab's caption is what tells its page.
std::vector<PageView> pageViews(const FrmMain& f)
{
    return {
        {"出走表（着順）", {f.gridSyuxtusouHyou}},
        {"出走表（スピード指数）", {f.gridSpSisuu}},
        {"グラフ", {f.Picture1, f.Picture2, f.gridGraph, f.cmdGraphShift}, true, PageExtra::Chart},
        {"予想・適性", {f.gridYosou}},
        {"適性（スピード指数）", {f.gridTekiseiSisuu, f.cmbTarKikan}},
        {"適性（勝率・連対率）", {f.gridTekiseiRentai, f.cmbTarKikan}},
        {"持ち時計", {f.gridMochiTime, f.cmbTarKikan}},
        {"対戦表", {f.gridTaisen, f.cmbTarKikan}},
        {"馬柱（印刷イメージ）", {f.gridPrintBacyu}, true},
        {"コメント", {f.gridComment, f.cmbTarKikan, f.txtRaceComment, f.lblRaceComment}},
        {"コーナー進入予想図", {f.fraConner}, false, PageExtra::Corner},
        {"コース", {f.gridCorce, f.cmbTarKikan}, false, PageExtra::Course},
    };
}

}

void FrmMain::addPageTabs()
{
    for (const PageView& view : pageViews(*this))
        tabMain->addTab(view.caption);
}

void FrmMain::hideTabPages()
{
    vbTrap("Error-frmMain-33", [this] {
        chartToolbarOn_ = false;
        tbMenuMove->clear();
        for (QWidget* w : std::initializer_list<QWidget*> {
                 gridSyuxtusouHyou, gridPrintBacyu, gridSpSisuu, gridTekiseiSisuu, cmbTarKikan, gridTekiseiRentai,
                 gridMochiTime, Picture1, Picture2, frameStart, gridTaisen, gridGraph, gridCorce, gridYosou,
                 txtRaceComment, gridComment, lblRaceComment, picBacyuPrint})
            w->hide();
        printMenuOn_ = false;
        for (QWidget* w : {static_cast<QWidget*>(fraConner), static_cast<QWidget*>(cmdGraphShift),
                           static_cast<QWidget*>(cmdGraphBack)})
            w->hide();
        updateActions();
    });
}

void FrmMain::tabMain_Click()
{
    tabMain_Click(tabMain->currentIndex());
}

// Pages are told apart by caption; a caption of no page shows nothing.
void FrmMain::tabMain_Click(int index)
{
    if (index < 0)
        return;
    const BusyGuard busy(*this);
    vbTrap("Error-frmMain-33", [this, index] {
        tabMain->setCurrentIndex(index);
        hideTabPages();
        const QString caption = tabMain->tabText(index);
        for (const PageView& view : pageViews(*this)) {
            if (view.caption != caption)
                continue;
            if (view.extra == PageExtra::Course)
                drawGridCorce(*gridCorce, cmbTarKikan->currentText());
            for (QWidget* w : view.shown)
                w->show();
            printButtonOn_ = printMenuOn_ = view.printable;
            updateActions();
            if (view.extra == PageExtra::Chart)
                showChartPage();
            if (view.extra == PageExtra::Corner)
                drawCornner(picCornner->canvas());
        }
    });
}

void FrmMain::showChartPage()
{
    fillChartToolbar();
    pd.umaIdx = 1;
    chartToolbarOn_ = true;
    updateActions();
    pd.graphShiftDays = 0;
    drawGraph();
    Form_Resize();
}

void FrmMain::Picture1_Click()
{
    if (isBusy())
        return;
    vbTrap("Error-frmMain-30", [this] { stepHorse(1); });
}

// A race without runners has no horse to step to.
void FrmMain::stepHorse(int step)
{
    if (pd.tousuu < 1)
        return;
    if (step > 0)
        pd.umaIdx = pd.umaIdx < pd.tousuu ? pd.umaIdx + 1 : 1;
    else
        pd.umaIdx = pd.umaIdx != 1 ? pd.umaIdx - 1 : pd.tousuu;
    markGraphRunner(pd.umaIdx);
    redrawChart();
}

// The chart shown stays the kind it is: the single-horse chart starts at the race again.
void FrmMain::redrawChart()
{
    if (pd.graphMode) {
        pd.graphShiftDays = 0;
        drawGraph();
    } else {
        drawHikaku();
    }
}

void FrmMain::cmdGraphShift_Click()
{
    pd.graphShiftDays += chartShiftDays;
    drawGraph();
}

void FrmMain::cmdGraphBack_Click()
{
    pd.graphShiftDays -= chartShiftDays;
    drawGraph();
}
