#include "analysis/mainTekiseiSisuu.h"

#include "analysis/gridLayout.h"
#include "analysis/mainGrid.h"
#include "analysis/tekiseiGroups.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

namespace {

// A group with no counted run has best -100 left, shown as 0 (empty).
constexpr float noBest = -100;

void writeGroups(FlexGrid& grid, int h, int32_t bound)
{
    const std::vector<int> runs = tekiseiRuns(h, bound);
    for (int g = 1; g <= tekiseiGroupCount; ++g) {
        float sum = 0, best = noBest;
        int32_t count = 0;
        for (int k : runs) {
            if (!tekiseiGroupTest(g, h, k))
                continue;
            const float sisuu = pd.uSisuu(h, k);
            ++count;
            sum = float(double(sum) + double(sisuu));
            if (sisuu > best)
                best = sisuu;
        }
        if (count > 0)
            sum = float(double(sum) / count);
        if (best == noBest)
            best = 0;
        setGridTekiseiSisuuCell(grid, runnerRow(h), g, sum, best, count, tekiseiLabel(g));
    }
}

}

void setGridTekiseiSisuuCell(FlexGrid& grid, int row, int group, float average, float best, int32_t count,
                             const QString& label)
{
    vbTrap(QStringLiteral("Error-mainTekiseiSisuu-2"), [&] {
        const int c0 = tekiseiGroupCol(group);
        grid.setTextMatrix(row, c0, Format(average, "###"));
        writeGroupHeaders(grid, c0, label, QStringLiteral("平均"));
        grid.setTextMatrix(row, c0 + 1, Format(best, "###"));
        writeGroupHeaders(grid, c0 + 1, label, QStringLiteral("最高"));
        grid.setTextMatrix(row, c0 + 2, Format(count, "###"));
        writeGroupHeaders(grid, c0 + 2, label, QStringLiteral("対象"));
    });
}

void drawGridTekiseiSisuu(FlexGrid& gridTekiseiSisuu, const QString& kikanText)
{
    vbTrap(QStringLiteral("Error-mainTekiseiSisuu-1"), [&] {
        const int32_t bound = kikanBound(kikanText, pd.raceDate);
        const GridFill fill(gridTekiseiSisuu);
        setUpTekiseiGrid(gridTekiseiSisuu, 57, QStringLiteral("基本"), 450);
        writeKihonRunners(gridTekiseiSisuu, [&](int h) { writeGroups(gridTekiseiSisuu, h, bound); });
        fitGridHeight(gridTekiseiSisuu);
    });
}
