#include "analysis/mainTekiseiRentai.h"

#include "analysis/gridLayout.h"
#include "analysis/mainGrid.h"
#include "analysis/tekiseiGroups.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

namespace {

const QString tag = QStringLiteral("Error-mainTekiseiRentai-1");

// "連対" here counts the first three places.
void writeGroups(FlexGrid& grid, int h, int32_t bound)
{
    const std::vector<int> runs = tekiseiRuns(h, bound);
    for (int g = 1; g <= tekiseiGroupCount; ++g) {
        float wins = 0, places = 0;
        int32_t count = 0;
        for (int k : runs) {
            if (!tekiseiGroupTest(g, h, k))
                continue;
            ++count;
            const int32_t cyaku = pd.uCyaku(h, k);
            if (cyaku == 1)
                ++wins;
            if (cyaku >= 1 && cyaku <= 3)
                ++places;
        }
        if (count > 0) {
            places = float(double(places) / count);
            wins = float(double(wins) / count);
        }
        setGridTekiseiRentaiCell(grid, runnerRow(h), g, places, wins, count, tekiseiLabel(g));
    }
}

}

void setGridTekiseiRentaiCell(FlexGrid& grid, int row, int group, float placeRate, float winRate, int32_t count,
                              const QString& label)
{
    vbTrap(tag, [&] {
        const int c0 = tekiseiGroupCol(group);
        if (count >= 1)
            grid.setTextMatrix(row, c0, Format(winRate, "#0%"));
        writeGroupHeaders(grid, c0, label, QStringLiteral("勝率"));
        if (count > 0)
            grid.setTextMatrix(row, c0 + 1, Format(placeRate, "#0%"));
        writeGroupHeaders(grid, c0 + 1, label, QStringLiteral("連対"));
        grid.setTextMatrix(row, c0 + 2, Format(count, "###"));
        writeGroupHeaders(grid, c0 + 2, label, QStringLiteral("対象"));
    });
}

void drawGridTekiseiRentai(FlexGrid& gridTekiseiRentai, const QString& kikanText)
{
    vbTrap(tag, [&] {
        const int32_t bound = kikanBound(kikanText, pd.raceDate);
        const GridFill fill(gridTekiseiRentai);
        setUpTekiseiGrid(gridTekiseiRentai, 57, QStringLiteral("基本"), 450);
        writeKihonRunners(gridTekiseiRentai, [&](int h) { writeGroups(gridTekiseiRentai, h, bound); });
        fitGridHeight(gridTekiseiRentai);
    });
}
