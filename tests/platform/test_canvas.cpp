#include "platform/canvas.h"
#include "platform/picturebox.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {
constexpr uint32_t red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 128, 0);

QColor at(const QImage& image, double x, double y)
{
    return image.pixelColor(int(x / twipsPerPixel), int(y / twipsPerPixel));
}

PictureBox* box(int w, int h)
{
    auto* b = new PictureBox;
    b->moveTwips(0, 0, w, h);
    b->canvas().cls();
    return b;
}
}  // namespace

// Twips are read back exactly as set (never pixels x 15); the image follows in whole pixels.
TEST(PictureBox, SizeInTwipsPensAndFills)
{
    std::unique_ptr<PictureBox> pb(box(0, 0));
    for (auto [w, h, pw, ph] : {std::array{9700, 7000, 647, 467}, {1001, 7, 67, 0}, {900, 8000, 60, 533}}) {
        pb->setWidthTwips(w);
        pb->setHeightTwips(h);
        EXPECT_EQ(QList<int>({pb->widthTwips(), pb->heightTwips(), pb->width(), pb->height()}), QList<int>({w, h, pw, ph}));
        EXPECT_EQ(std::pair(pb->canvas().widthTwips(), pb->image().width()), std::pair(double(w), pw));
    }
    pb->moveTwips(150, 300, 4500, 3000);
    EXPECT_EQ(std::tuple(pb->geometry(), pb->widthTwips(), pb->heightTwips()), std::tuple(QRect(10, 20, 300, 200), 4500, 3000));
    // Click: a left button released over the box; a right one or one released outside is none.
    int clicks = 0;
    QObject::connect(pb.get(), &PictureBox::click, [&] { ++clicks; });
    for (auto [button, x] : {std::pair(Qt::LeftButton, 50), {Qt::RightButton, 50}, {Qt::LeftButton, 400}}) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, 50), QPointF(x, 50), button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pb.get(), &release);
    }
    EXPECT_EQ(clicks, 1);

    // Pens, outlines and fills on the image; nothing left of a fill for the next shape.
    std::unique_ptr<PictureBox> b(box(3000, 3000));
    Canvas& c = b->canvas();
    c.setDrawWidth(3);
    c.line(150, 300, 2850, 300, red);
    c.setDrawWidth(1);
    c.circle(2250, 1350, 300, red, blue);
    c.circle(2250, 2400, 300, red);
    c.filledBox(300, 2100, 900, 2700, green);
    c.circle(1650, 2400, 300, red);  // the same look again elsewhere
    EXPECT_EQ(std::pair(c.currentX, c.currentY), std::pair(1650.0, 2400.0));
    const QImage& img = b->image();

    int redRows = 0;
    for (int y = 15; y <= 25; ++y)
        redRows += img.pixelColor(100, y) == QColor(255, 0, 0);
    EXPECT_EQ(redRows, 3);
    // Filled circle's middle and rim, the outline circles' middles and rims, the filled box.
    EXPECT_EQ(QList<QColor>({at(img, 2250, 1350), at(img, 2250 + 300, 1350), at(img, 2250, 2400), at(img, 1650, 2400), at(img, 1650 - 300, 2400),
                             at(img, 1650, 2400 + 300), at(img, 600, 2400)}),
              QList<QColor>({Qt::blue, Qt::red, Qt::white, Qt::white, Qt::red, Qt::red, QColor(0, 128, 0)}));
}

// Text's top-left corner at the current position, its ink inside the reported box; the next print starts a line below.
TEST(Canvas, TextAtTheCurrentPositionAndTheClipInWholePixels)
{
    std::unique_ptr<PictureBox> b(box(4500, 1500));
    CanvasRecorder rec;
    b->setRecorder(&rec);
    Canvas& c = b->canvas();
    c.setFontSize(10);
    c.setFontUnderline(true);
    c.currentX = 600;
    c.currentY = 450;
    c.print("浦65");
    QRect text;
    for (int y = 0; y < b->image().height(); ++y)
        for (int x = 0; x < b->image().width(); ++x)
            if (b->image().pixelColor(x, y) != Qt::white)
                text |= QRect(x, y, 1, 1);
    const CanvasOp& op = rec.ops().at(0);
    const QRect reported(QPoint(int(op.x1 / 15), int(op.y1 / 15)), QPoint(int(op.x2 / 15), int(op.y2 / 15)));
    EXPECT_TRUE(reported.contains(text)) << text.x() << "," << text.y() << " " << text.width() << "x" << text.height();
    EXPECT_TRUE(text.left() <= 42 && text.top() >= 30 && text.top() <= 34) << text.left() << "," << text.top();
    EXPECT_EQ(std::tuple(op.text, op.fontName, op.fontSize, op.underline, op.x1, op.y1, c.currentX, c.currentY),
              std::tuple(QString("浦65"), QString("ＭＳ Ｐゴシック"), 10.0, true, 600.0, 450.0, 0.0, op.y2));

    // The clip covers whole pixels: a box of 66.7 pixels has a 67th column; drawing beyond the canvas stops at its edge.
    std::unique_ptr<PictureBox> wide(box(3000, 1500)), odd(box(1001, 1001));
    odd->canvas().filledBox(0, 0, 2000, 2000, red);
    wide->canvas().filledBox(0, 0, 1500, 750, red);
    wide->canvas().filledBox(1500, 750, 6000, 6000, blue);
    const QImage& w = wide->image();
    EXPECT_EQ(QList<QColor>({odd->image().pixelColor(66, 66), at(w, 750, 375), at(w, 2250, 1125), w.pixelColor(199, 99)}),
              QList<QColor>({Qt::red, Qt::red, Qt::blue, Qt::blue}));
}
