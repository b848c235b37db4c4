// The history chart's companions: the runner list left of it and the legend right of it.
#include "charts/graphDrawGraph.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/flexgridredraw.h"
#include "platform/picturebox.h"
#include "platform/vbformat.h"

namespace {
constexpr uint32_t white = RGB(255, 255, 255);
constexpr uint32_t black = RGB(0, 0, 0);
constexpr uint32_t grey = RGB(128, 128, 128);
constexpr int nameCol = 3;
constexpr int listWidths[] = {200, 350, 250, 1400, 400, 400};

void markShown(FlexGrid& grid, int runner)
{
    const int row = runner + 1;
    if (row < 0 || row >= grid.rows())
        return;
    grid.setCellFontUnderline(row, nameCol, false);
    grid.setCellForeColor(row, nameCol, black);
}

void fillRunnerRow(FlexGrid& grid, int h)
{
    const int r = h + 1;
    const int waku = pd.uWaku(h, 0);
    grid.setCellBackColor(r, 0, wakuColor(waku));
    if (h == 1 || waku != pd.uWaku(h - 1, 0)) {
        grid.setTextMatrix(r, 0, QString::number(waku));
        if (waku == 2 || waku == 4)
            grid.setCellForeColor(r, 0, white);
    }
    grid.setTextMatrix(r, 1, QString::number(h));
    grid.setCellBackColor(r, 1, white);
    grid.setTextMatrix(r, 2, pd.sirusi(h));
    grid.setCellFontBold(r, 2, true);
    grid.setCellBackColor(r, 2, white);
    grid.setTextMatrix(r, nameCol, pd.uName(h));
    grid.setCellFontUnderline(r, nameCol, true);
    grid.setCellForeColor(r, nameCol, vbBlue);
    grid.setCellFontBold(r, nameCol, true);
    grid.setCellBackColor(r, nameCol, white);
    grid.setTextMatrix(r, 4, Format(pd.yosouSisuu(h), "###"));
    grid.setTextMatrix(r, 5, Format(pd.kisoSisuu(h, 0), "###"));
}

constexpr int legendWidth = 900;

// One key of the legend: its label stands right of it, 100 twips above its centre.
void label(Canvas& box, float x, float y, const QString& text)
{
    printGraphText(box, x, y - 100, text, 8);
}
}  // namespace

void fillGridGraph(FlexGrid& grid)
{
    FlexRedrawOff redrawOff(grid);
    grid.clear();
    grid.setCols(6);
    grid.setRows(pd.tousuu + 2);
    grid.setRowHeightMin(300);
    grid.setFixedRows(2);
    grid.setFixedCols(3);
    grid.setMergeCells(true);
    grid.setMergeRow(0, true);
    grid.setGridFont(QStringLiteral("ＭＳゴシック"), 8);
    grid.setForeColor(RGB(1, 1, 1));
    grid.setTextMatrix(0, 4, QStringLiteral("基本指数"));
    grid.setTextMatrix(0, 5, QStringLiteral("基本指数"));
    grid.setTextMatrix(1, 4, QStringLiteral("予想"));
    grid.setTextMatrix(1, 5, QStringLiteral("基礎"));
    for (int h = 1; h <= pd.tousuu; ++h)
        fillRunnerRow(grid, h);
    for (int c = 0; c < 6; ++c)
        grid.setCellAlignment(0, c, flexAlignCenterCenter);
    for (int c = 0; c < 6; ++c)
        grid.setColWidth(c, listWidths[c]);
    grid.setTextMatrix(0, nameCol, QStringLiteral("馬名"));
    grid.setWidthTwips(graphListWidth());
    markShown(grid, pd.umaIdx);
    grid.setHeightTwips((grid.rows() + 1) * 300 + 50);
}

int graphListWidth()
{
    int width = listWidths[0];
    for (int c = 1; c < 6; ++c)
        width += listWidths[c] + 10;
    return width;
}

void markGraphRunner(int runner)
{
    FlexGrid* grid = graphSurfaces().gridGraph;
    if (!grid)
        return;
    FlexRedrawOff redrawOff(*grid);
    for (int r = 0; r < grid->rows(); ++r) {
        grid->setCellFontUnderline(r, nameCol, true);
        grid->setCellForeColor(r, nameCol, vbBlue);
    }
    markShown(*grid, runner);
}

void drawGraphLegend(PictureBox& legend, const ChartGeometry& g)
{
    legend.setBackColor(vbWindowBackground);
    legend.setWidthTwips(legendWidth);
    legend.setHeightTwips(int(g.H) + 1000);
    legend.setVisible(true);
    Canvas& box = legend.canvas();
    box.cls();
    box.setDrawStyle(vbSolid);
    const float H = g.H;

    if (graphSeriesOn(1)) {
        box.setDrawWidth(3);
        for (int w = 1; w <= 8; ++w) {
            const float y = g.y(40 - (w - 1) * 5);
            box.filledBox(0, y - 50, 100, y + 50, RGB(0, 128, 128));
            label(box, 150, y, QString::number(w) + QStringLiteral("枠"));
        }
    }
    if (graphSeriesOn(2)) {
        box.setDrawWidth(3);
        for (int d = 900; d <= 2000; d += 100) {
            const float y = g.y(50 + (d - 1500) / 100.0 * 5);
            box.circle(560, y, 60, RGB(128, 0, 128));
            label(box, 660, y, QString::number(d / 100));
        }
        const float p20 = float(chart::marginTop + 0.2 * g.PH);
        const QRectF unit = printGraphTextIn(box, 460, p20 + 70, QStringLiteral("100m"), 8, {});
        printGraphTextIn(box, 460, p20 - 50, QStringLiteral("×"), 8, {.bottom = float(unit.top()) - twipsPerPixel});
    }
    if (graphSeriesOn(4)) {
        box.setDrawWidth(3);
        for (int p = 1; p <= 9; ++p) {
            const float y = g.y(100 - (p - 1) * 5);
            box.box(0, y - 60, 120, y + 60, RGB(255, 0, 0));
            label(box, 180, y, QString::number(p));
        }
        // Above the first key, level with the chart's top line, lie seven pixel rows: too few for a
        // legible header. It stands under the last key, clear of the distance keys beside it and of
        // the draw keys below.
        const float below = roomBelow(g.y(60) + 60, 3);
        const float right = graphSeriesOn(2) ? roomLeftOf(560 - 60, 3) : legendWidth;
        printGraphTextIn(box, 0, below, QStringLiteral("1角通過"), 8,
                         {.left = 0, .top = below, .right = right, .bottom = roomAbove(g.y(40) - 50, 3)});
    }
    if (graphSeriesOn(3)) {
        box.setDrawWidth(1);
        const QString goings[] = {"良", "稍", "重", "不"};
        for (int b = 1; b <= 4; ++b) {
            const float y = g.y(100 - (b - 1) * 5);
            box.circle(560, y, 60, grey, grey);
            label(box, 660, y, goings[b - 1]);
        }
    }
    box.setDrawWidth(3);
    box.circle(400, H - 100, 80, vbBlue, vbBlue);
    box.line(0, H - 100, 800, H - 100, vbBlue);
    printGraphTextIn(box, 50, H - 350, QStringLiteral("SP指数"), 8, {.bottom = roomAbove(H - 100 - 80, 3)});
    box.setDrawWidth(1);
    if (graphSeriesOn(0)) {
        box.filledBox(370, H + 270, 430, H + 330, black);
        box.line(0, H + 300, 800, H + 300, black);
        printGraphText(box, 50, H + 50, QStringLiteral("馬体重推移"), 8);
    }
    if (graphSeriesOn(5)) {
        box.filledBox(370, H + 670, 430, H + 730, grey);
        box.line(0, H + 700, 800, H + 700, RGB(255, 128, 128));
        printGraphText(box, 50, H + 450, QStringLiteral("着順"), 8);
    }
}
