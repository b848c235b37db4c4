// The charts' texts by their ink on the pictures as drawn (96 dpi): each text whole on its surface, and a
// pixel of background between its ink and the frame, the keys and the other texts.
#include "chartFixture.h"
#include "tests/support/canvasInk.h"

namespace {
bool notGrid(const CanvasOp& op)
{
    return op.kind != CanvasOp::Cls && op.drawStyle != vbDot;
}

bool frameLineOrText(const CanvasOp& op)
{
    return op.kind == CanvasOp::Box || op.drawStyle == vbDashDot || op.kind == CanvasOp::Print;
}

bool anyKey(const CanvasOp& op)
{
    return op.kind != CanvasOp::Cls;
}
}  // namespace

struct ChartInk : ChartTest {
    // Runner 1 with the longest texts its title takes, and a second runner for the comparison.
    void longRunners()
    {
        addRunner(1, 8, {{.daysAgo = 30, .sisuu = 99}, {.daysAgo = 200, .sisuu = 2}});
        addRunner(2, 3, {{.daysAgo = 60, .sisuu = 71}});
        pd.uName(1) = QStringLiteral("アサカゼスターーーー"), pd.uSeirei(1) = QStringLiteral("セ10"), pd.uTaizyu(1, 0) = 548;
        pd.uKisyu(1, 0) = QStringLiteral("小野寺大樹"), pd.uHutan(1, 0) = 56.5f, pd.uKyakusitu(1, 0) = QStringLiteral("追");
        pd.tuka1Ave(1, 0) = 12.5f, pd.lineSisuu = 70, pd.lineRatio = 0.25f;
    }
};

// Title, value labels (also three-digit ones under an offset), date labels and "1年前" with the window where
// it is and a year back: clear of the frame's lines, of each other and of the picture's edges.
TEST_F(ChartInk, HistoryChartTextsKeepClearOfTheFrameAndEachOther)
{
    longRunners();
    const QSizeF surface(9700, 7000);
    QStringList clashes;
    for (const auto& [shift, offset] : {std::pair(0, 0), std::pair(365, 0), std::pair(0, 30)}) {
        pd.sisuuOffset = offset;
        drawn([](GraphChart& c) { drawGraphFrame(c), drawGraphTitle(c); }, shift);
        clashes << inkClashes(rec1.ops(), surface, notGrid);
    }
    EXPECT_EQ(lines(clashes), lines({}));
}

// The comparison's title and its X% label clear of the frame; the legend's header, labels and keys
// clear of each other and of the legend's edges.
TEST_F(ChartInk, ComparisonAndLegendTextsKeepClear)
{
    longRunners();
    drawGraph();
    QStringList clashes = inkClashes(rec2.ops(), QSizeF(picture2->widthTwips(), picture2->heightTwips()), anyKey);
    rec1.clear();
    drawHikaku();
    clashes << inkClashes(rec1.ops(), QSizeF(9700, 7000), frameLineOrText);
    EXPECT_EQ(lines(clashes), lines({}));
}
