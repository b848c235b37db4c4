#include "platform/picturebox.h"

#include <QMouseEvent>
#include <QPaintEvent>

namespace {
// 96 dpi: one pixel is exactly twipsPerPixel twips, for fonts too.
constexpr int dotsPerMeter96 = 3780;
}

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , sink_(this)
    , canvas_(&sink_, 0, 0)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
    resizeImage();
}

PictureBox::~PictureBox() = default;

void PictureBox::Sink::draw(const CanvasOp& op)
{
    box_->painter_->draw(op);
    if (box_->recorder_)
        box_->recorder_->draw(op);
    box_->update();
}

void PictureBox::setWidthTwips(int twips)
{
    widthTwips_ = std::max(0, twips);
    resize(twipsToPixels(widthTwips_), twipsToPixels(heightTwips_));
    resizeImage();
}

void PictureBox::setHeightTwips(int twips)
{
    heightTwips_ = std::max(0, twips);
    resize(twipsToPixels(widthTwips_), twipsToPixels(heightTwips_));
    resizeImage();
}

void PictureBox::moveTwips(int left, int top, int width, int height)
{
    widthTwips_ = std::max(0, width);
    heightTwips_ = std::max(0, height);
    setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(widthTwips_), twipsToPixels(heightTwips_));
    resizeImage();
}

void PictureBox::setBackColor(uint32_t bgr)
{
    canvas_.setBackColor(bgr);
    update();
}

// A new size keeps what the image holds where it still fits; the rest shows the back colour.
void PictureBox::resizeImage()
{
    const QSize pixels(std::max(1, twipsToPixels(widthTwips_)), std::max(1, twipsToPixels(heightTwips_)));
    canvas_.setSizeTwips(widthTwips_, heightTwips_);
    if (painter_)
        painter_->end();
    if (image_.size() != pixels) {
        QImage grown(pixels, QImage::Format_RGB32);
        grown.setDotsPerMeterX(dotsPerMeter96);
        grown.setDotsPerMeterY(dotsPerMeter96);
        grown.fill(canvasColor(canvas_.backColor()));
        if (!image_.isNull()) {
            QPainter p(&grown);
            p.drawImage(0, 0, image_);
        }
        image_ = std::move(grown);
    }
    painter_ = std::make_unique<CanvasPainter>(&image_, QSizeF(widthTwips_, heightTwips_));
}

const QImage& PictureBox::image()
{
    painter_->end();
    return image_;
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(event->rect(), canvasColor(canvas_.backColor()));
    p.drawImage(0, 0, image());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit click();
    QWidget::mouseReleaseEvent(event);
}
