#include "analysis/mainYosou.h"

#include "analysis/gridLayout.h"
#include "analysis/mainGrid.h"
#include "core/publicDim.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

namespace {

constexpr int yosouCols = 17;
constexpr int colKyakusitu = 4;
constexpr int colYosou = 5;
constexpr int colKiso = 6;
constexpr int colKakuritu1 = 7;
constexpr int firstFactorCol = 9;
constexpr uint32_t red = RGB(255, 0, 0);

void writeHeaders(FlexGrid& grid)
{
    const char* const top[] {"", "", "", "馬名", "", "指数", "指数", "予想確率", "予想確率",
                             "適性", "適性", "適性", "適性", "適性", "適性", "適性", "適性"};
    const char* const sub[] {"", "", "", "", "", "予想", "基礎", "1着", "連対",
                             "全体", "枠順", "距離", "間隔", "場", "馬場", "体重", "騎手"};
    for (int c = 0; c < yosouCols; ++c) {
        grid.setTextMatrix(0, c, QString::fromUtf8(top[c]));
        grid.setTextMatrix(subHeaderRow, c, QString::fromUtf8(sub[c]));
    }
}

// A factor F shows (F - 1) x 3 as a signed percentage, red below 1, nothing when it is 0.
void writeFactor(FlexGrid& grid, int row, int col, float factor)
{
    if (factor == 0)
        return;
    grid.setTextMatrix(row, col, Format(float((double(factor) - 1.0) * 3.0), "+#0.0%;-#0.0%"));
    if (double(factor) - 1.0 < 0)
        grid.setCellForeColor(row, col, red);
}

void writeRunner(FlexGrid& grid, int h)
{
    const int row = runnerRow(h);
    writeRunnerCols(grid, row, h, false);
    grid.setTextMatrix(row, colKyakusitu, pd.uKyakusitu(h, 0));
    grid.setTextMatrix(row, colYosou, Format(pd.yosouSisuu(h), "###"));
    grid.setTextMatrix(row, colKiso, Format(pd.kisoSisuu(h, 0), "###"));
    grid.setTextMatrix(row, colKakuritu1, Format(pd.kakuritu1(h), "#0.0%"));
    grid.setTextMatrix(row, colKakuritu1 + 1, Format(pd.kakuritu2(h), "#0.0%"));
    for (int i = 0; i <= 7; ++i)
        writeFactor(grid, row, firstFactorCol + i, pd.tekiseiFactor(h, i));
}

}

void drawGridYosou(FlexGrid& gridYosou)
{
    vbTrap(QStringLiteral("Error-mainTekiseiYsou-1"), [&] {
        const GridFill fill(gridYosou);
        setUpGrid(gridYosou, {yosouCols, pd.tousuu + 2, 1, 4, true});
        setRunnerColWidths(gridYosou);
        writeHeaders(gridYosou);
        centreRow(gridYosou, 0);
        styleSubHeader(gridYosou, 700);
        const int last = pd.tousuu;
        for (pd.umaIdx = 1; pd.umaIdx <= last; ++pd.umaIdx)
            writeRunner(gridYosou, pd.umaIdx);
        fitGridHeight(gridYosou);
    });
}
