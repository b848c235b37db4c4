// The corner-entry diagram, checked against the lane rules and the position formulas worked by
// hand on a 9100 x 5600 twip picture: bands 700 twips high, runners 500 twips of height per lane.
#include "analysis/mainCornner.h"
#include "platform/canvas.h"
#include "platform/picturebox.h"
#include "tests/analysis/raceBuilder.h"

#include <QDir>

namespace {

class Corner : public RaceTest {
protected:
    CanvasRecorder recorder;
    Canvas canvas {&recorder, 9100, 5600};

    // Every print as "text@x,y", to a tenth of a twip, after the one Cls.
    std::string prints() const
    {
        QStringList out;
        for (const CanvasOp& op : recorder.ops()) {
            if (op.kind == CanvasOp::Cls)
                out << "cls";
            else
                out << QStringLiteral("%1@%2,%3").arg(op.text).arg(op.x1, 0, 'f', 1).arg(op.y1, 0, 'f', 1);
        }
        return out.join(' ').toStdString();
    }
};

TEST_F(Corner, RunnersStandInTheirLanesFromRightToLeft)
{
    const std::pair<int, float> averages[] {{1, 0.5f}, {2, 2}, {3, 7}, {4, 0}, {5, 2.5f}, {6, 9}, {7, 4.2f}, {8, 4.4f},
                                            {9, 4.6f}, {10, 4.8f}, {11, 4.9f}, {12, -1}, {13, 1}, {14, 6}, {15, 5.99f},
                                            {16, 3.99f}, {17, 3}, {18, 3}};
    for (const auto& [h, p] : averages)
        pd.tuka1Ave(h, 0) = p;
    drawCornner(canvas);
    // One runner: two thirds of the width; two: three quarters and a half; five: 6/7 .. 2/7.
    // Exactly 2 is lane 3, exactly 7 lane 8; 9 falls below lane 8's band and the picture.
    EXPECT_EQ(prints(), "cls ①@6066.7,350.0 ⑬@6066.7,800.0 ②@6825.0,1500.0 ⑤@4550.0,1750.0 ⑯@6066.7,2695.0 "
                        "⑦@7800.0,3000.0 ⑧@6500.0,3100.0 ⑨@5200.0,3200.0 ⑩@3900.0,3300.0 ⑪@2600.0,3350.0 "
                        "⑮@6066.7,4095.0 ⑭@6066.7,4300.0 ③@6825.0,5000.0 ⑥@4550.0,6000.0");
    EXPECT_EQ(pd.umaIdx, 6);

    PictureBox box;  // the persistent picture as a test artefact
    box.setWidthTwips(9300);
    box.setHeightTwips(5900);
    drawCornner(box.canvas());
    const QString dir = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR) + "/analysis";
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(box.image().save(dir + "/picCornner.png"));
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// Nothing to place, a canvas of size 0, and a run table of fewer than sixteen slots (the
// placing step's message; the runners it placed are still drawn).
TEST_F(Corner, EmptyFieldsTinyCanvasesAndShortTables)
{
    drawCornner(canvas);
    EXPECT_EQ(prints(), "cls");
    EXPECT_EQ(pd.umaIdx, 17);
    recorder.clear();
    canvas.setSizeTwips(0, 0);
    pd.tuka1Ave(3, 0) = 8;
    drawCornner(canvas);
    EXPECT_EQ(prints(), "cls ③@0.0,-100.0");
    recorder.clear();
    canvas.setSizeTwips(9100, 5600);
    redimUma(12, pd.kakoMax);
    pd.tuka1Ave(12, 0) = 1.5f;
    drawCornner(canvas);
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainAnalConer-2"});
    EXPECT_EQ(prints(), "cls ⑫@6066.7,1050.0");
    EXPECT_EQ(getMaruNo(0) + getMaruNo(1) + getMaruNo(16) + getMaruNo(17), "①⑯");
}

}
