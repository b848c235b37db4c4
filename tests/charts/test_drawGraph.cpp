#include "chartFixture.h"

namespace {
QStringList parts(const std::vector<CanvasOp>& ops)
{
    QStringList seen;
    for (const CanvasOp& op : ops) {
        const auto is = [&](CanvasOp::Kind k, uint32_t c) { return op.kind == k && op.color == c; };
        QString part;
        if (op.kind == CanvasOp::Cls) part = "cls";
        else if (op.kind == CanvasOp::Print && op.x1 == 250 && op.y1 == 0) part = "title";
        else if (op.kind == CanvasOp::Circle && op.radius == 72) part = "sisuu";
        else if (is(CanvasOp::Circle, RGB(192, 192, 0))) part = "3f";
        else if (is(CanvasOp::FilledBox, RGB(128, 128, 128))) part = "cyaku";
        else if (is(CanvasOp::FilledBox, RGB(0, 0, 0))) part = "taizyu";
        else if (is(CanvasOp::FilledBox, RGB(0, 128, 128))) part = "waku";
        else if (is(CanvasOp::Box, RGB(255, 0, 0))) part = "tuka";
        else if (is(CanvasOp::Circle, RGB(128, 0, 128))) part = "kyori";
        else if (op.kind == CanvasOp::Circle && op.radius == 36) part = "baba";
        else if (op.kind == CanvasOp::Box && op.drawWidth == 2) part = "frame";
        else continue;
        if (seen.isEmpty() || seen.last() != part)
            seen << part;
    }
    return seen;
}

const std::vector<ChartRun> everySeries = {
    {.daysAgo = 30, .sisuu = 65, .sisuu3f = 60, .taizyu = 480, .waku = 2, .kyori = 1400, .baba = 2, .tuka1 = 3, .cyaku = 2},
    {.daysAgo = 60, .sisuu = 58, .sisuu3f = 52, .taizyu = 476, .waku = 5, .kyori = 1600, .baba = 1, .tuka1 = 5, .cyaku = 4},
};
}  // namespace

using DrawGraph = ChartTest;

// Later strokes cover earlier ones: the parts in fixed order; runner 1 also rebuilds list and legend.
TEST_F(DrawGraph, PartsInOrderWithListAndLegendForRunnerOne)
{
    addRunner(1, 1, everySeries);
    addRunner(2, 2, everySeries);
    drawGraph();
    EXPECT_EQ(parts(rec1.ops()), QStringList({"cls", "frame", "title", "sisuu", "3f", "cyaku", "taizyu", "waku", "tuka",
                                              "kyori", "baba"}));
    EXPECT_TRUE(msgs.texts().isEmpty()) << msgs.texts().join('|').toStdString();
    EXPECT_TRUE(pd.graphMode);
    EXPECT_EQ(grid->rows(), 4);
    EXPECT_FALSE(rec2.ops().empty());

    rec2.clear(), grid->setTextMatrix(2, 3, "kept"), pd.umaIdx = 2;
    drawGraph();
    EXPECT_TRUE(rec2.ops().empty());
    EXPECT_EQ(grid->textMatrix(2, 3), "kept");
    EXPECT_EQ(rec1.ops().at(rec1.ops().size() - 1).kind, CanvasOp::Circle);  // the chart itself was redrawn
}

// Switch texts are compared without regard to case at every drawing; anything else is off.
TEST_F(DrawGraph, SeriesSwitchTexts)
{
    addRunner(1, 1, everySeries);
    const struct { const char* text; bool on; } cases[] = {{"True", true}, {"TRUE", true}, {"false", false}, {" true", false}, {"1", false}};
    for (const auto& c : cases) {
        pd.graphFlags.fill(QStringLiteral("false"));
        pd.graphFlags[2] = QString::fromUtf8(c.text);
        EXPECT_EQ(graphSeriesOn(2), c.on) << c.text;
        rec1.clear();
        drawGraph();
        EXPECT_EQ(parts(rec1.ops()).contains("kyori"), c.on) << c.text;
        EXPECT_FALSE(parts(rec1.ops()).contains("waku"));
    }
}

// The back button shows only while shifted; the shift button always.
TEST_F(DrawGraph, ShiftButtons)
{
    addRunner(1, 1, everySeries);
    for (int shift : {0, 365, 730, 0}) {
        pd.graphShiftDays = shift;
        drawGraph();
        EXPECT_EQ(std::pair(!cmdGraphBack->isHidden(), !cmdGraphShift->isHidden()), std::pair(shift != 0, true)) << shift;
    }
}

// Short table: what it holds; slot past the field: frame only; past the table's slots: one message.
TEST_F(DrawGraph, BadInputDrawsWhatItCanWithAtMostOneMessage)
{
    newRace(2, 150);
    addRunner(1, 1, everySeries);
    drawGraph();
    EXPECT_TRUE(msgs.texts().isEmpty()) << msgs.texts().join('|').toStdString();
    EXPECT_TRUE(parts(rec1.ops()).contains("baba"));

    rec1.clear(), pd.umaIdx = 5;
    drawGraph();
    EXPECT_EQ(parts(rec1.ops()), QStringList({"cls", "frame", "title"}));
    EXPECT_TRUE(msgs.texts().isEmpty());

    rec1.clear(), pd.umaIdx = 19;
    drawGraph();
    EXPECT_EQ(parts(rec1.ops()), QStringList({"cls", "frame"}));
    EXPECT_EQ(msgs.texts(), QStringList({"Error-graphDrawGraph-1"}));

    msgs.clear(), initPublic(), newRace(150);
    drawGraph();
    EXPECT_TRUE(msgs.texts().isEmpty());
    EXPECT_EQ(grid->rows(), 2);
}

// Without surfaces (no main window yet) the drawing fails with its own tag, once.
TEST_F(DrawGraph, UnboundSurfacesReportOnce)
{
    bindGraphSurfaces({});
    drawGraph();
    drawHikaku();
    EXPECT_EQ(msgs.texts(), QStringList({"Error-graphDrawGraph-1", "Error-graphDrawHikaku-1"}));
}

// After a new race's fill-all: runner 1, unshifted, whatever slot the runner loops left behind.
TEST_F(DrawGraph, SecondRaceAfterFillAll)
{
    for (int h = 1; h <= 12; ++h)
        addRunner(h, (h + 1) / 2, everySeries);
    drawGraph();
    newRace(150);
    for (int h = 1; h <= 5; ++h)
        addRunner(h, h, everySeries);
    pd.uName(1) = QStringLiteral("新しい馬"), pd.umaIdx = 13, pd.graphShiftDays = 365;  // where the loops stop
    rec2.clear();
    drawFirstRunnerGraph();
    EXPECT_EQ(std::tuple(pd.umaIdx, pd.graphShiftDays, grid->rows()), std::tuple(1, 0, 7));
    EXPECT_EQ(grid->textMatrix(2, 3), "新しい馬");
    EXPECT_TRUE(cmdGraphBack->isHidden());
    EXPECT_FALSE(rec2.ops().empty());
}

// The frame, the switched series and the legend trap even in debug mode; drawGraph goes on.
TEST_F(DrawGraph, SeriesTrapsInDebugModeToo)
{
    addRunner(1, 1, everySeries);
    pd.uTuka.redim(0, 0, 0);  // the corner cells are gone: the corner series fails
    debugMode = true;
    drawGraph();
    EXPECT_EQ(msgs.texts(), QStringList({"tukaエラー(err-AD08)"}));
    EXPECT_TRUE(parts(rec1.ops()).contains("baba"));
}
