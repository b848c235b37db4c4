#include "analysis/mainYosou.h"

#include "analysis/gridLayout.h"
#include "analysis/mainAnalSisuu02.h"
#include "analysis/mainGrid.h"
#include "core/publicDim.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <iterator>

namespace {

constexpr int columnWidth = 700;
constexpr uint32_t red = RGB(255, 0, 0);

// A factor F shows (F - 1) x 3 as a signed percentage, red below 1, nothing when it is 0.
template <FactorColumn factor>
void writeFactor(FlexGrid& grid, int row, int col, int h)
{
    const float f = pd.tekiseiFactor(h, factor);
    if (f == 0)
        return;
    grid.setTextMatrix(row, col, Format(float((double(f) - 1.0) * 3.0), "+#0.0%;-#0.0%"));
    if (double(f) - 1.0 < 0)
        grid.setCellForeColor(row, col, red);
}

// A column right of the horse name: its label in row 0 (equal neighbours merge), its name in
// the sub-header and what it shows of runner h in the runner's row. Each is columnWidth wide.
// The writer is a constructor argument, so a line without one does not compile (it would crash
// at the first runner).
struct YosouColumn {
    using Writer = void (*)(FlexGrid& grid, int row, int col, int h);
    constexpr YosouColumn(const char* label, const char* header, Writer write)
        : label(label)
        , header(header)
        , write(write)
    {
    }
    const char* label;
    const char* header;
    Writer write;
};

constexpr YosouColumn yosouColumns[] {
    {"", "", [](FlexGrid& g, int row, int col, int h) { g.setTextMatrix(row, col, pd.uKyakusitu(h, 0)); }},
    {"指数", "予想", [](FlexGrid& g, int row, int col, int h) { g.setTextMatrix(row, col, Format(pd.yosouSisuu(h), "###")); }},
    {"指数", "基礎", [](FlexGrid& g, int row, int col, int h) { g.setTextMatrix(row, col, Format(pd.kisoSisuu(h, 0), "###")); }},
    {"予想確率", "1着", [](FlexGrid& g, int row, int col, int h) { g.setTextMatrix(row, col, Format(pd.kakuritu1(h), "#0.0%")); }},
    {"予想確率", "連対", [](FlexGrid& g, int row, int col, int h) { g.setTextMatrix(row, col, Format(pd.kakuritu2(h), "#0.0%")); }},
    {"適性", "全体", writeFactor<kCombined>},
    {"適性", "枠順", writeFactor<kWaku>},
    {"適性", "距離", writeFactor<kKyori>},
    {"適性", "間隔", writeFactor<kKankaku>},
    {"適性", "場", writeFactor<kZyo>},
    {"適性", "馬場", writeFactor<kBaba>},
    {"適性", "体重", writeFactor<kTaizyu>},
    {"適性", "騎手", writeFactor<kKisyu>},
};
constexpr int firstColumn = colUmaName + 1;
constexpr int yosouCols = firstColumn + int(std::size(yosouColumns));

void writeHeaders(FlexGrid& grid)
{
    grid.setTextMatrix(0, colUmaName, QStringLiteral("馬名"));
    for (int c = firstColumn; c < yosouCols; ++c)
        writeGroupHeaders(grid, c, QString::fromUtf8(yosouColumns[c - firstColumn].label),
                          QString::fromUtf8(yosouColumns[c - firstColumn].header));
}

void writeRunner(FlexGrid& grid, int h)
{
    const int row = runnerRow(h);
    writeRunnerCols(grid, row, h, false);
    for (int c = firstColumn; c < yosouCols; ++c)
        yosouColumns[c - firstColumn].write(grid, row, c, h);
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
        styleSubHeader(gridYosou, columnWidth);
        const int last = pd.tousuu;
        for (pd.umaIdx = 1; pd.umaIdx <= last; ++pd.umaIdx)
            writeRunner(gridYosou, pd.umaIdx);
        fitGridHeight(gridYosou);
    });
}
