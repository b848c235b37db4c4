// The history chart in the image back end (15 twips per pixel), with one artefact per surface.
#include "chartFixture.h"

using ChartImages = ChartTest;

// Marks, line and frame land on their pixels; shifted back a year, newer runs reach into the right
// margin, cut only at the box's edge.
TEST_F(ChartImages, HistoryChartPixels)
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
    // 25 days ago, same track, with variant: a filled blue mark; 85 days ago, no variant: a white disc;
    // between them a zero breaks the line on both sides.
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

    pd.graphShiftDays = 365;
    drawGraph();
    bool inMargin = false;
    for (int y = 14; y < 453; ++y)
        for (int x = 642; x < 647; ++x)
            inMargin |= picture1->image().pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_TRUE(inMargin);
}
