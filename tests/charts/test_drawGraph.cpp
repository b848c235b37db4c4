#include "chartFixture.h"

namespace {
// The chart's parts as drawn, told apart by kind and colour; a run of one part counts once.
QStringList parts(const std::vector<CanvasOp>& ops)
{
    using K = CanvasOp;
    const std::map<std::pair<int, uint32_t>, QString> names = {
        {{K::Box, RGB(0, 0, 0)}, "frame"}, {{K::Circle, RGB(0, 0, 255)}, "sisuu"}, {{K::Circle, RGB(192, 192, 0)}, "3f"},
        {{K::FilledBox, RGB(128, 128, 128)}, "cyaku"}, {{K::FilledBox, RGB(0, 0, 0)}, "taizyu"}, {{K::FilledBox, RGB(0, 128, 128)}, "waku"},
        {{K::Box, RGB(255, 0, 0)}, "tuka"}, {{K::Circle, RGB(128, 0, 128)}, "kyori"}, {{K::Circle, RGB(128, 128, 128)}, "baba"}};
    QStringList seen;
    for (const CanvasOp& op : ops) {
        const auto it = names.find({op.kind, op.color});
        const QString part = op.kind == K::Cls ? QStringLiteral("cls") : it == names.end() ? QString() : it->second;
        if (!part.isEmpty() && (seen.isEmpty() || seen.last() != part))
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

// Parts in fixed order; runner 1 also rebuilds list and legend. A failing series traps even in debug mode and
// the drawing goes on. Switch texts are compared without regard to case at every drawing.
TEST_F(DrawGraph, PartsInOrderWithListAndLegendForRunnerOne)
{
    addRunner(1, 1, everySeries), addRunner(2, 2, everySeries);
    drawGraph();
    EXPECT_EQ(parts(rec1.ops()), QStringList({"cls", "frame", "sisuu", "3f", "cyaku", "taizyu", "waku", "tuka", "kyori", "baba"}));
    EXPECT_EQ(std::tuple(msgs.texts(), pd.graphMode, grid->rows(), rec2.ops().empty()), std::tuple(QStringList(), true, 4, false));

    rec2.clear(), grid->setTextMatrix(2, 3, "kept"), pd.umaIdx = 2;
    drawGraph();
    EXPECT_EQ(std::tuple(rec2.ops().empty(), grid->textMatrix(2, 3)), std::tuple(true, QString("kept")));
    EXPECT_EQ(rec1.ops().back().kind, CanvasOp::Circle);  // the chart itself was redrawn

    pd.uTuka.redim(0, 0, 0), debugMode = true;  // the corner cells are gone: the corner series fails
    drawGraph();
    EXPECT_EQ(std::pair(msgs.texts(), parts(rec1.ops()).contains("baba")), std::pair(QStringList({"tukaエラー(err-AD08)"}), true));

    const struct { const char* text; bool on; } cases[] = {{"True", true}, {"TRUE", true}, {"false", false}, {" true", false}, {"1", false}};
    for (const auto& c : cases) {
        pd.graphFlags.fill(QStringLiteral("false")), pd.graphFlags[2] = QString::fromUtf8(c.text), rec1.clear();
        drawGraph();
        const QStringList seen = parts(rec1.ops());
        EXPECT_EQ(std::tuple(graphSeriesOn(2), seen.contains("kyori"), seen.contains("waku")), std::tuple(c.on, c.on, false)) << c.text;
    }
}

// Short table: what it holds; slot past the field: frame only; past the table's slots, or no surfaces: one message.
TEST_F(DrawGraph, BadInputDrawsWhatItCanWithAtMostOneMessage)
{
    newRace(2), addRunner(1, 1, everySeries);
    drawGraph();
    EXPECT_TRUE(parts(rec1.ops()).contains("baba"));
    for (int slot : {5, 19}) {
        rec1.clear(), pd.umaIdx = slot;
        drawGraph();
        EXPECT_EQ(parts(rec1.ops()), QStringList({"cls", "frame"})) << slot;
    }
    EXPECT_EQ(msgs.texts(), QStringList({"Error-graphDrawGraph-1"}));

    msgs.clear(), initPublic(), newRace(150);
    drawGraph();
    EXPECT_EQ(std::pair(msgs.texts(), grid->rows()), std::pair(QStringList(), 2));

    bindGraphSurfaces({});  // no main window yet: each chart fails with its own tag, once
    drawGraph();
    drawHikaku();
    EXPECT_EQ(msgs.texts(), QStringList({"Error-graphDrawGraph-1", "Error-graphDrawHikaku-1"}));
}

// In images (one artefact per surface): marks land on their pixels; shifted a year, newer runs reach the right
// margin and both buttons show. A new race's fill-all shows runner 1 unshifted, whatever slot the loops left.
TEST_F(DrawGraph, HistoryChartInImagesShiftedThenNextRace)
{
    const int gates[] = {1, 2, 3, 4, 5, 5, 6, 7, 8, 8};
    for (int h = 1; h <= 10; ++h) {
        std::vector<ChartRun> runs;
        for (int k = 1; k <= 14; ++k)
            runs.push_back({30 * k - 5 * (h % 3), float(45 + (h * 7 + k * 11) % 30), k % 4 == 0 ? "浦和" : "大井",
                            k == 6, k != 3, float(40 + (h * 5 + k * 13) % 35), 470 + (k * 3) % 9, 1 + (k + h) % 8,
                            1200 + 100 * ((k * 3) % 9), 1 + k % 4, 1 + (k * 5 + h) % 12, 1 + (k * 7 + h) % 12});
        addRunner(h, gates[h - 1], runs), pd.yosouSisuu(h) = float(50 + h);
    }
    // A filled blue mark 25 days ago, a white disc (no variant) 85 days ago, and no line between them.
    pd.uSisuu(1, 1) = 65, pd.uSisuu(1, 3) = 60, pd.uSisuu(1, 2) = 0;
    pd.graphFlags.fill("false");  // the index alone: nothing else crosses its marks
    drawGraph();
    const QImage& image = picture1->image();
    ASSERT_EQ(image.size(), QSize(647, 467));
    const auto at = [&](double x, double y) { return image.pixelColor(int(x / twipsPerPixel), int(y / twipsPerPixel)); };
    const double x1 = 9600 - 9350 * 25 / 420.0, y1 = 200 + 66 * 35, x3 = 9600 - 9350 * 85 / 420.0, y3 = 200 + 66 * 40;
    EXPECT_EQ(QList<QColor>({at(x1, y1), at(x3 + 30, y3 + 15), at(x3 + 72, y3), at(1000, 3500), at(250, 5000), at(9600, 5000)}),
              QList<QColor>({QColor(0, 0, 255), Qt::white, QColor(0, 0, 255), Qt::black, Qt::black, Qt::black}));

    pd.graphFlags.fill("true");
    drawGraph();
    saveArtefact(picture1->image(), "graph-history.png");
    saveArtefact(picture2->image(), "graph-legend.png");
    saveArtefact(grid->picture().toImage(), "graph-list.png");

    cmdGraphShift->hide(), pd.graphShiftDays = 365;
    drawGraph();
    bool inMargin = false;
    for (int y = 14; y < 453; ++y)
        for (int x = 642; x < 647; ++x)
            inMargin |= picture1->image().pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_EQ(std::tuple(inMargin, cmdGraphBack->isHidden(), cmdGraphShift->isHidden()), std::tuple(true, false, false));

    newRace(150);
    for (int h = 1; h <= 5; ++h)
        addRunner(h, h);
    pd.uName(1) = QStringLiteral("新しい馬"), pd.umaIdx = 13, pd.graphShiftDays = 365;  // where the loops stop
    drawFirstRunnerGraph();
    EXPECT_EQ(std::tuple(pd.umaIdx, pd.graphShiftDays, grid->rows(), grid->textMatrix(2, 3), cmdGraphBack->isHidden()),
              std::tuple(1, 0, 7, QStringLiteral("新しい馬"), true));
}
