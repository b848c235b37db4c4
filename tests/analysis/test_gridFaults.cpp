// Every filler on a field larger than the run table: its own message, the rows written so far
// kept, and the grid painting again.
#include "analysis/mainMochiTime.h"
#include "analysis/mainSpSisuu.h"
#include "analysis/mainSyuxtubaHyo.h"
#include "analysis/mainTaisen.h"
#include "analysis/mainTekiseiRentai.h"
#include "analysis/mainTekiseiSisuu.h"
#include "analysis/mainYosou.h"
#include "tests/analysis/gridCheck.h"
#include "tests/analysis/raceBuilder.h"

#include <functional>

namespace {

class GridFault : public RaceTest {};

TEST_F(GridFault, ErrorMidFillShowsTheTagAndLeavesTheGridPainting)
{
    createTrackFile();
    for (int h = 1; h <= 18; ++h)
        addRunner(h, {.waku = (h + 1) / 2 > 8 ? 8 : (h + 1) / 2}, {{.sisuu = 50, .cyaku = 1, .raceNo = 1}});
    pd.tousuu = 19;
    const QString kikan = QStringLiteral("1年以内対象");
    const struct {
        const char* tag;
        std::function<void(FlexGrid&)> fill;
        int lastRow;  // the last runner row written
        QStringList messages;
        int umaIdx;
    } cases[] {
        {"Yosou", [](FlexGrid& g) { drawGridYosou(g); }, 19, {"Error-mainTekiseiYsou-1"}, 19},
        {"TekiseiSisuu", [&](FlexGrid& g) { drawGridTekiseiSisuu(g, kikan); }, 19, {"Error-mainTekiseiSisuu-1"}, 19},
        {"TekiseiRentai", [&](FlexGrid& g) { drawGridTekiseiRentai(g, kikan); }, 19, {"Error-mainTekiseiRentai-1"}, 19},
        {"MochiTime", [&](FlexGrid& g) { drawGridMochiTime(g, kikan); }, 19, {"Error-mainMochiTime-1"}, 19},
        {"SyuxtusouHyou", [](FlexGrid& g) { drawGridSyuxtusouHyou(g); }, 18, {"Error-mainSyustusouHyou-1"}, 19},
        {"SpSisuu", [](FlexGrid& g) { drawGridSpSisuu(g); }, 18, {"Error-mainSpSisuu-1"}, 19},
        // The matrix fails at runner 19; the grid then at runner 1's label of opponent 19.
        {"Taisen", [&](FlexGrid& g) { drawGridTaisen(g, kikan); }, 2, {"Error-mainTaisen-3", "Error-mainTaisen-1"}, 1},
    };
    for (const auto& c : cases) {
        FlexGrid grid;
        msgs_.clear();
        c.fill(grid);
        EXPECT_EQ(msgs_.texts(), c.messages) << c.tag;
        EXPECT_TRUE(grid.updatesEnabled()) << c.tag;
        EXPECT_EQ(grid.textMatrix(c.lastRow, 3), c.lastRow == 2 ? "馬1" : "馬18") << c.tag;
        EXPECT_EQ(pd.umaIdx, c.umaIdx) << c.tag;
    }
}

// In debug mode nothing is trapped: the error passes through, and the grid paints all the same.
TEST_F(GridFault, DebugModePassesTheErrorOnWithRedrawOn)
{
    addRunner(1);
    pd.tousuu = 19;
    debugMode = true;
    FlexGrid grid;
    EXPECT_THROW(drawGridSpSisuu(grid), VbError);
    debugMode = false;
    EXPECT_TRUE(grid.updatesEnabled());
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

}
