// The charts in the image back end (15 twips per pixel), and one screenshot per window.
#include "chartFixture.h"
#include "charts/frmHlpGraph.h"
#include "tests/support/dataFiles.h"

#include <QDir>

namespace {
QColor at(const QImage& image, double x, double y)
{
    return image.pixelColor(int(x / twipsPerPixel), int(y / twipsPerPixel));
}

bool inkIn(const QImage& image, const QRect& box)
{
    for (int y = std::max(0, box.top()); y <= std::min(image.height() - 1, box.bottom()); ++y)
        for (int x = std::max(0, box.left()); x <= std::min(image.width() - 1, box.right()); ++x)
            if (image.pixelColor(x, y) != Qt::white)
                return true;
    return false;
}

void save(const QImage& image, const QString& name)
{
    const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(out));
    ASSERT_TRUE(image.save(out + "/" + name)) << name.toStdString();
}

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

TEST_F(ChartImages, HistoryChartPixels)
{
    pd.graphFlags.fill("false");  // the index alone: nothing else crosses its marks
    drawGraph();
    const QImage& image = picture1->image();
    ASSERT_EQ(image.size(), QSize(647, 467));
    const double x1 = 9600 - 9350 * 25 / 420.0, y1 = 200 + 66 * 35, x3 = 9600 - 9350 * 85 / 420.0, y3 = 200 + 66 * 40;
    // Filled mark; white disc under the line ending at its centre, and its ring; 50 % line; frame.
    EXPECT_EQ(QList<QColor>({at(image, x1, y1), at(image, x3 + 30, y3 + 15), at(image, x3 + 72, y3), at(image, 1000, 3500),
                             at(image, 250, 5000), at(image, 9600, 5000)}),
              QList<QColor>({QColor(0, 0, 255), Qt::white, QColor(0, 0, 255), Qt::black, Qt::black, Qt::black}));
    // Every label's ink lies inside its box; the title's box holds ink.
    for (const CanvasOp& op : rec1.ops())
        if (op.kind == CanvasOp::Print && op.x1 >= 0 && op.x2 <= 9700 && op.y1 >= 0 && op.y2 <= 7000)
            EXPECT_TRUE(inkIn(image, QRect(QPoint(int(op.x1 / 15), int(op.y1 / 15)), QPoint(int(op.x2 / 15), int(op.y2 / 15)))))
                << op.text.toStdString();

    pd.graphFlags.fill("true");
    drawGraph();
    save(picture1->image(), "graph-history.png");
    save(picture2->image(), "graph-legend.png");
    save(grid->picture().toImage(), "graph-list.png");
}

// Shifted back a year: newer runs reach into the right margin, cut only at the box's edge.
TEST_F(ChartImages, ShiftedChartIsClippedAtTheBoxOnly)
{
    pd.graphShiftDays = 365;
    drawGraph();
    const QImage& image = picture1->image();
    bool inMargin = false;
    for (int y = 14; y < 453; ++y)
        for (int x = 642; x < 647; ++x)
            inMargin |= image.pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_TRUE(inMargin);
}

TEST_F(ChartImages, ComparisonChart)
{
    pd.umaIdx = 3;
    drawHikaku();
    const QImage& image = picture1->image();
    // Runner 3 (gate 3, red) is the selected one: its newest past run's mark.
    const double x = 9600 - 9350 * 30 / 420.0, y = 200 + 66 * (100 - pd.uSisuu(3, 1));
    EXPECT_EQ(at(image, x, y), QColor(255, 0, 0));
    save(image, "graph-hikaku.png");
}

TEST(ChartScreens, HelpWindow)
{
    TestAppDir dir;
    for (const char* name : {"graphZentai.jpg", "harrow.cur"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(BRENNOCK_IMAGES_DIR "/") + name, dir.filePath(name)));
    std::unique_ptr<FrmHlpGraph> w(new FrmHlpGraph);
    w->show();
    save(w->grab().toImage(), "frmHlpGraph.png");
}
