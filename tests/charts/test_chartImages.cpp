// The charts in the image back end (15 twips per pixel), with one artefact per surface.
#include "chartFixture.h"

namespace {
QColor at(const QImage& image, double x, double y)
{
    return image.pixelColor(int(x / twipsPerPixel), int(y / twipsPerPixel));
}

// Ten runners of fourteen runs; runner 1's newest three fixed for the pixel checks.
struct ChartImages : ChartTest {
    void SetUp() override
    {
        ChartTest::SetUp();
        const int gates[] = {1, 2, 3, 4, 5, 5, 6, 7, 8, 8};
        for (int h = 1; h <= 10; ++h) {
            std::vector<ChartRun> runs;
            for (int k = 1; k <= 14; ++k)
                runs.push_back({30 * k - 5 * (h % 3), float(45 + (h * 7 + k * 11) % 30), k % 4 == 0 ? "浦和" : "大井",
                                k == 6, k != 3, float(40 + (h * 5 + k * 13) % 35), 470 + (k * 3) % 9, 1 + (k + h) % 8,
                                1200 + 100 * ((k * 3) % 9), 1 + k % 4, 1 + (k * 5 + h) % 12, 1 + (k * 7 + h) % 12});
            addRunner(h, gates[h - 1], runs);
            pd.yosouSisuu(h) = float(50 + h);
        }
        pd.uSisuu(1, 1) = 65;  // 25 days ago, same track, with variant: a filled blue mark
        pd.uSisuu(1, 3) = 60;  // 85 days ago, no variant: a white disc
        pd.uSisuu(1, 2) = 0;   // breaks the line on both sides
    }
};
}  // namespace

// Marks, line and frame land on their pixels; every label's ink lies inside its box; shifted back a
// year, newer runs reach into the right margin, cut only at the box's edge.
TEST_F(ChartImages, HistoryChartPixels)
{
    pd.graphFlags.fill("false");  // the index alone: nothing else crosses its marks
    drawGraph();
    const QImage& image = picture1->image();
    ASSERT_EQ(image.size(), QSize(647, 467));
    const double x1 = 9600 - 9350 * 25 / 420.0, y1 = 200 + 66 * 35, x3 = 9600 - 9350 * 85 / 420.0, y3 = 200 + 66 * 40;
    EXPECT_EQ(QList<QColor>({at(image, x1, y1), at(image, x3 + 30, y3 + 15), at(image, x3 + 72, y3), at(image, 1000, 3500),
                             at(image, 250, 5000), at(image, 9600, 5000)}),
              QList<QColor>({QColor(0, 0, 255), Qt::white, QColor(0, 0, 255), Qt::black, Qt::black, Qt::black}));
    for (const CanvasOp& op : rec1.ops()) {
        if (op.kind != CanvasOp::Print || op.x1 < 0 || op.x2 > 9700 || op.y1 < 0 || op.y2 > 7000)
            continue;
        bool ink = false;
        for (int y = int(op.y1 / 15); y <= std::min(466, int(op.y2 / 15)); ++y)
            for (int x = int(op.x1 / 15); x <= std::min(646, int(op.x2 / 15)); ++x)
                ink |= image.pixelColor(x, y) != Qt::white;
        EXPECT_TRUE(ink) << op.text.toStdString();
    }

    pd.graphFlags.fill("true");
    drawGraph();
    saveArtefact(picture1->image(), "graph-history.png");
    saveArtefact(picture2->image(), "graph-legend.png");
    saveArtefact(grid->picture().toImage(), "graph-list.png");

    pd.graphShiftDays = 365;
    drawGraph();
    bool inMargin = false;
    for (int y = 14; y < 453; ++y)
        for (int x = 642; x < 647; ++x)
            inMargin |= picture1->image().pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_TRUE(inMargin);
}

// The comparison chart's window-text colour (gate 2) paints black whatever the desktop's theme.
TEST_F(ChartImages, ComparisonChartWindowTextIsBlack)
{
    pd.umaIdx = 2;
    drawHikaku();
    EXPECT_EQ(at(picture1->image(), 9600 - 9350 * 20 / 420.0, 200 + 66 * (100 - pd.uSisuu(2, 1))), QColor(Qt::black));
}
