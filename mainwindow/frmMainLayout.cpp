// The window's geometry: every rectangle in twips, computed from the client area.
#include "mainwindow/frmMain.h"

#include "charts/graphDrawGraph.h"
#include "platform/flexgrid.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

namespace {

constexpr int minWidth = 2000;
constexpr int bandHeight = 645;
constexpr int selBoxGap = 60;
constexpr int selBoxHeight = 400;
constexpr int selectorGap = 300;
constexpr int pageTop = 400;
constexpr int pageLeft = 50;
constexpr int chartTop = 500;
constexpr int chartListWidth = 3010;
constexpr int chartWidth = 9700;
constexpr int chartHeight = 7000;
constexpr int legendWidth = 900;
const QString selectorTip = QStringLiteral("開催日・場・レースNoを選択後、出馬表読込みをおこなって下さい");

// A widget's rectangle in twips.
int leftOf(const QWidget* w) { return pixelsToTwips(w->x()); }
int topOf(const QWidget* w) { return pixelsToTwips(w->y()); }
int widthOf(const QWidget* w) { return pixelsToTwips(w->width()); }
int heightOf(const QWidget* w) { return pixelsToTwips(w->height()); }
int rightOf(const QWidget* w) { return leftOf(w) + widthOf(w); }
int bottomOf(const QWidget* w) { return topOf(w) + heightOf(w); }

void moveTo(QWidget* w, int left, int top)
{
    moveTwips(w, left, top, widthOf(w), heightOf(w));
}

}

void FrmMain::Form_Resize()
{
    vbTrap("Error-frmMain-9", [this] {
        const int W = pixelsToTwips(centralWidget()->width());
        const int H = pixelsToTwips(centralWidget()->height());
        if (W < minWidth)
            return;
        moveTwips(cbMain, 0, 0, W, bandHeight);
        moveTwips(shpSelRace, 8, bottomOf(cbMain) + selBoxGap, W - 8, selBoxHeight);
        const int B = topOf(shpSelRace);
        for (size_t i = 0; i < cmbSelRace.size(); ++i) {
            const int left = i == 0 ? selectorGap : rightOf(cmbSelRace[i - 1]) + selectorGap;
            moveTo(cmbSelRace[i], left, B + 50);
            if (i > 0)
                cmbSelRace[i]->setToolTip(selectorTip);
            moveTo(lblSelRace[i], rightOf(cmbSelRace[i]) + 20, B + 100);
        }
        lblSelRace[3]->hide();
        moveTo(cmdRaceRead, leftOf(lblSelRace[4]) + 500, topOf(cmbSelRace[0]));
        cmdRaceRead->setToolTip(selectorTip);
        moveTo(lblRaceInfo, 20, bottomOf(shpSelRace) + 30);

        const int TL = 20, TT = bottomOf(lblRaceInfo) + 50;
        const int TW = W - 2 * TL, TH = H - TT - 30;
        // The strip is one row of tabs high: narrower than its tabs, it scrolls them with its arrows,
        // which stand at the row's end.
        moveTwips(tabMain, TL, TT, TW, pixelsToTwips(tabMain->sizeHint().height()));
        const int left = TL + pageLeft;
        for (FlexGrid* g : {gridSyuxtusouHyou, gridPrintBacyu, gridSpSisuu, gridYosou})
            moveTwips(g, left, TT + pageTop, TW - 2 * left, heightOf(g));
        moveTwips(gridPrintBacyu, left, TT + pageTop, TW - 2 * left, TH - pageTop - 50);
        moveTo(cmbTarKikan, left, TT + pageTop);
        for (FlexGrid* g : {gridTekiseiSisuu, gridTekiseiRentai, gridMochiTime, gridTaisen, gridCorce, gridComment})
            moveTwips(g, left, bottomOf(cmbTarKikan) + 50, TW - 2 * left, heightOf(g));

        // The runner list keeps its own width (its columns and grid lines), so that no column hides
        // behind a scroll bar; the chart stands where the design's narrower list puts it.
        moveTwips(gridGraph, left, TT + chartTop, graphListWidth(), heightOf(gridGraph));
        // The chart's boxes keep their exact twips: the charts scale to them.
        const int chartLeft = left + chartListWidth + 50, chartBottom = TT + chartTop + chartHeight;
        Picture1->moveTwips(chartLeft, TT + chartTop, chartWidth, chartHeight);
        moveTo(cmdGraphShift, chartLeft, chartBottom + 100);
        moveTo(cmdGraphBack, chartLeft + chartWidth - widthOf(cmdGraphBack), chartBottom + 100);
        Picture2->moveTwips(chartLeft + chartWidth + 50, TT + chartTop - 60, legendWidth, chartHeight + 1000);

        moveTo(lblRaceComment, rightOf(cmbTarKikan) + 50, topOf(cmbTarKikan));
        const int commentLeft = rightOf(lblRaceComment) + 50;
        moveTwips(txtRaceComment, commentLeft, topOf(cmbTarKikan), TW - commentLeft - 50, heightOf(txtRaceComment));
        moveTo(fraConner, left, TT + pageTop);
    });
}
