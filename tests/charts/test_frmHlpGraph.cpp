#include "chartFixture.h"
#include "charts/frmHlpGraph.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

namespace {
const char* pictures[] = {"graphZentai.jpg", "graphSisuu.jpg", "graphCyakuTuka.jpg",
                          "graphBaba.jpg", "graphKyoriWaku.jpg", "graphTaizyu.jpg"};
const QString chartResources = QStringLiteral(BRENNOCK_IMAGES_DIR "/");

// Pictures of distinct sizes for the six topics, and the delivered cursor.
struct HelpWindow : ::testing::Test {
    TestAppDir dir;
    MsgBoxRecorder msgs;

    void SetUp() override
    {
        for (int i = 0; i < 6; ++i) {
            QImage image(400 + 20 * i, 260 + 10 * i, QImage::Format_RGB32);
            image.fill(QColor(40 * i, 100, 200));
            ASSERT_TRUE(image.save(dir.filePath(pictures[i]), "JPG"));
        }
        ASSERT_TRUE(QFile::copy(chartResources + "harrow.cur", dir.filePath("harrow.cur")));
    }
    void write(const char* name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    }
    QLabel* label(QWidget* w, int i) { return childNamed<QLabel>(w, QStringLiteral("lblSyurui_%1").arg(i)); }
    void click(QWidget* w, int i)
    {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label(w, i), &release);
    }
    static QString state(QWidget* w)  // caption, picture width, window size
    {
        const int picture = w->findChild<QLabel*>("Image1")->pixmap().width();
        return QStringLiteral("%1 %2 %3x%4").arg(w->windowTitle()).arg(picture).arg(w->width()).arg(w->height());
    }
};
}  // namespace

// Each topic shows its picture and caption, the window fitted to it; labels carry the file's cursor.
// A missing or unreadable picture: one message each, the previous picture and size kept, the new caption set.
TEST_F(HelpWindow, TopicsInTurn)
{
    QFile::remove(dir.filePath("graphBaba.jpg"));
    write("graphTaizyu.jpg", QByteArray("\xFF\xD8\xFF\xE0 not a picture"));
    FrmHlpGraph w;
    EXPECT_EQ(label(&w, 4)->cursor().hotSpot(), QPoint(9, 0));
    EXPECT_GE(label(&w, 2)->width(), label(&w, 2)->sizeHint().width());  // the long caption is not cut
    QStringList states {state(&w)};
    for (int i : {2, 3, 5, 0})
        click(&w, i), states << state(&w);
    w.lblSyurui_Click(6), w.lblSyurui_Click(-1);
    states << state(&w);
    EXPECT_EQ(states, QStringList({"グラフの見方（全体） 400 547x300", "グラフの見方（着順・コーナー通過順） 440 587x320",
                                   "グラフの見方（馬場状態） 440 587x320", "グラフの見方（馬体重） 440 587x320",
                                   "グラフの見方（全体） 400 547x300", "グラフの見方（全体） 400 547x300"}));
    EXPECT_EQ(msgs.texts(), (QStringList {"Error-frmHlpGraph-2\nファイルがありません", "Error-frmHlpGraph-2"}));
}

// The delivered files are readable (one screenshot); a missing or corrupt cursor gives the pointing hand.
TEST_F(HelpWindow, DeliveredFilesAndCursorFallback)
{
    for (const char* name : pictures)
        EXPECT_GT(QImage(chartResources + name).width(), 400) << name;
    QFile::remove(dir.filePath(pictures[0]));
    ASSERT_TRUE(QFile::copy(chartResources + pictures[0], dir.filePath(pictures[0])));
    FrmHlpGraph w;
    w.show();
    saveArtefact(w.grab().toImage(), "frmHlpGraph.png");
    static const char corrupt[] = "\0\0\2\0\1\0garbage that is no cursor at all";
    write("corrupt.cur", QByteArray(corrupt, sizeof corrupt - 1));
    for (const char* name : {"missing.cur", "corrupt.cur"})
        EXPECT_EQ(loadHandCursor(dir.filePath(name)).shape(), Qt::PointingHandCursor) << name;
}
