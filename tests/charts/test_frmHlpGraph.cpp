#include "chartFixture.h"
#include "charts/frmHlpGraph.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

#include <QMouseEvent>

namespace {
const char* pictures[] = {"graphZentai.jpg", "graphSisuu.jpg", "graphCyakuTuka.jpg",
                          "graphBaba.jpg", "graphKyoriWaku.jpg", "graphTaizyu.jpg"};
const QString chartResources = QStringLiteral(BRENNOCK_IMAGES_DIR "/");
const QString firstTopic = QStringLiteral("グラフの見方（全体） picture 400x260 at 133,7 window 547x300");

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
    QLabel* label(QWidget* w, int i) { return childNamed<QLabel>(w, QStringLiteral("lblSyurui_%1").arg(i)); }
    void click(QWidget* w, int i)
    {
        const QPointF at(5, 5);
        QMouseEvent release(QEvent::MouseButtonRelease, at, label(w, i)->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label(w, i), &release);
    }
    static QString state(QWidget* w)
    {
        auto* image = w->findChild<QLabel*>("Image1");
        return QStringLiteral("%1 picture %2x%3 at %4,%5 window %6x%7")
            .arg(w->windowTitle()).arg(image->pixmap().width()).arg(image->pixmap().height())
            .arg(image->x()).arg(image->y()).arg(w->width()).arg(w->height());
    }
};
}  // namespace

// Each topic shows its picture and caption, the window fitted to it; labels carry the file's cursor.
// A missing or unreadable picture: one message each, the previous picture and size kept, the new caption set.
TEST_F(HelpWindow, TopicsInTurn)
{
    QFile::remove(dir.filePath("graphBaba.jpg"));
    QFile corrupt(dir.filePath("graphTaizyu.jpg"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly | QIODevice::Truncate) && corrupt.write("\xFF\xD8\xFF\xE0 not a picture", 20) == 20);
    corrupt.close();
    FrmHlpGraph w;
    EXPECT_EQ(state(&w), firstTopic);
    EXPECT_EQ(label(&w, 4)->cursor().hotSpot(), QPoint(9, 0));
    EXPECT_GE(label(&w, 2)->width(), label(&w, 2)->sizeHint().width());  // the long caption is not cut
    QStringList states;
    for (int i : {2, 3, 5, 0})
        click(&w, i), states << state(&w);
    const QString kept = QStringLiteral(" picture 440x280 at 133,7 window 587x320");
    EXPECT_EQ(states, QStringList({"グラフの見方（着順・コーナー通過順）" + kept, "グラフの見方（馬場状態）" + kept,
                                   "グラフの見方（馬体重）" + kept, firstTopic}));
    w.lblSyurui_Click(6), w.lblSyurui_Click(-1);
    EXPECT_EQ(std::pair(state(&w), msgs.texts()), std::pair(firstTopic, QStringList(2, "Error-frmHlpGraph-2")));
}

// A missing or corrupt cursor file: the standard pointing hand, no message, topic 0 shown.
TEST_F(HelpWindow, MissingOrCorruptCursor)
{
    for (const QByteArray& content : {QByteArray(), QByteArray("\0\0\2\0\1\0garbage that is no cursor at all", 40)}) {
        QFile::remove(dir.filePath("harrow.cur"));
        QFile f(dir.filePath("harrow.cur"));
        ASSERT_TRUE(content.isEmpty() || (f.open(QIODevice::WriteOnly) && f.write(content) == content.size()));
        f.close();
        FrmHlpGraph w;
        EXPECT_EQ(std::pair(label(&w, 0)->cursor().shape(), state(&w)), std::pair(Qt::PointingHandCursor, firstTopic));
    }
    EXPECT_TRUE(msgs.texts().isEmpty());
}

// The pictures delivered with the program are readable; one screenshot of the window with the first.
TEST_F(HelpWindow, DeliveredPicturesAndScreenshot)
{
    for (const char* name : pictures)
        EXPECT_GT(QImage(chartResources + name).width(), 400) << name;
    QFile::remove(dir.filePath(pictures[0]));
    ASSERT_TRUE(QFile::copy(chartResources + pictures[0], dir.filePath(pictures[0])));
    FrmHlpGraph w;
    w.show();
    saveArtefact(w.grab().toImage(), "frmHlpGraph.png");
}
