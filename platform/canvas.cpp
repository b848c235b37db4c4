#include "platform/canvas.h"

#include "platform/fonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <algorithm>
#include <cmath>

QColor canvasColor(uint32_t bgr)
{
    if (bgr == vbWindowBackground)
        return Qt::white;
    if (bgr == vbWindowText)
        return Qt::black;
    return vbColor(bgr);
}

QFont canvasFont(const CanvasOp& op)
{
    QFont font = fontForText(vbFont(op.fontName, op.fontSize), op.text);
    font.setUnderline(op.underline);
    return font;
}

namespace {
// The fonts the layouts were made for are exactly as high as their size in whole pixels, ascent
// and descent sharing the em; the IPA fonts' own line is a pixel higher, which would push every
// text a pixel into what stands below it. Texts are placed and measured by the em.
double emPixels(const QFont& font, const QPaintDevice* device)
{
    return std::round(font.pointSizeF() * device->logicalDpiY() / 72.0);
}

double emAscent(const QFont& font, const QPaintDevice* device)
{
    const QFontMetricsF metrics(font, device);
    return emPixels(font, device) * metrics.ascent() / (metrics.ascent() + metrics.descent());
}

// A 96-dpi surface, where a pixel is exactly twipsPerPixel twips: texts are measured on it.
const QImage& referenceSurface()
{
    static const QImage reference = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return reference;
}
}  // namespace

QSizeF canvasTextSize(const QFont& font, const QString& text)
{
    const QImage& reference = referenceSurface();
    const QFontMetricsF metrics(font, &reference);
    return QSizeF(metrics.horizontalAdvance(text), emPixels(font, &reference)) * twipsPerPixel;
}

QRectF canvasTextInk(const QFont& font, const QString& text, double x, double y)
{
    const QImage& reference = referenceSurface();
    const QRectF tight = QFontMetricsF(font, &reference).tightBoundingRect(text);
    // Glyphs stand on a whole pixel row; across, they may spread into the next pixel column.
    const double baseline = std::round(y / twipsPerPixel + emAscent(font, &reference));
    const double left = std::floor(x / twipsPerPixel + tight.left()), right = std::ceil(x / twipsPerPixel + tight.right());
    return QRectF(QPointF(left, baseline + tight.top()) * twipsPerPixel, QPointF(right, baseline + tight.bottom()) * twipsPerPixel);
}

// ---------------------------------------------------------------------------------------------

CanvasPainter::CanvasPainter(QPaintDevice* device, QSizeF sizeTwips, QPointF originTwips)
    : device_(device)
    , size_(sizeTwips)
    , origin_(originTwips)
    , twipsPerUnit_(1440.0 / std::max(1, device->logicalDpiX()))
{
}

CanvasPainter::~CanvasPainter() = default;

void CanvasPainter::end()
{
    painter_.reset();
}

QPainter& CanvasPainter::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(device_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        // Whole device units: a box of 9700 twips owns all 647 pixels of its image.
        const QRect clip = QRectF(toDevice(0, 0), toDevice(size_.width(), size_.height())).toAlignedRect();
        if (clip != QRect(0, 0, device_->width(), device_->height()))
            painter_->setClipRect(clip);
    }
    return *painter_;
}

QPointF CanvasPainter::toDevice(double x, double y) const
{
    return QPointF((x + origin_.x()) / twipsPerUnit_, (y + origin_.y()) / twipsPerUnit_);
}

QPen CanvasPainter::pen(const CanvasOp& op) const
{
    QPen pen(canvasColor(op.color));
    const double width = op.drawWidth * twipsPerPixel / twipsPerUnit_;
    pen.setWidthF(width);
    // One device unit wide: the cosmetic stroker draws dotted lines a pixel at a time, fast.
    pen.setCosmetic(width <= 1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    // Dash patterns count in pen widths, as the classic pens do.
    switch (op.drawStyle) {
    case vbDash: pen.setDashPattern({6, 2}); break;
    case vbDot: pen.setDashPattern({1, 1}); break;
    case vbDashDot: pen.setDashPattern({6, 2, 1, 2}); break;
    case vbDashDotDot: pen.setDashPattern({6, 2, 1, 2, 1, 2}); break;
    default: pen.setCapStyle(Qt::SquareCap); break;
    }
    return pen;
}

// Circles are drawn once per look (radius, pen, colours) into a small image and then copied:
// the charts draw hundreds of equal marks, and rasterising each afresh costs most of a chart.
void CanvasPainter::circle(QPainter& p, const CanvasOp& op, QPointF centre)
{
    const double r = op.radius / twipsPerUnit_;
    const QPen outline = pen(op);
    const double extent = r + outline.widthF();
    if (extent > 64) {
        p.setPen(outline);
        p.setBrush(op.fill ? QBrush(canvasColor(*op.fill)) : QBrush(Qt::NoBrush));
        p.drawEllipse(centre, r, r);
        return;
    }
    const QPointF fraction(centre.x() - std::floor(centre.x()) >= 0.5 ? 0.5 : 0,
                           centre.y() - std::floor(centre.y()) >= 0.5 ? 0.5 : 0);
    const MarkKey key {r, outline.widthF(), op.drawStyle, op.color, op.fill ? qint64(*op.fill) : -1,
                       int(fraction.x() * 2 + fraction.y() * 4)};
    auto found = marks_.find(key);
    const int side = int(std::ceil(extent)) * 2 + 2;
    if (found == marks_.end()) {
        QImage mark(side, side, QImage::Format_ARGB32_Premultiplied);
        mark.fill(Qt::transparent);
        QPainter mp(&mark);
        mp.setRenderHint(QPainter::Antialiasing, false);
        mp.setPen(outline);
        mp.setBrush(op.fill ? QBrush(canvasColor(*op.fill)) : QBrush(Qt::NoBrush));
        mp.drawEllipse(QPointF(side / 2, side / 2) + fraction, r, r);
        mp.end();
        found = marks_.emplace(key, mark).first;
    }
    p.drawImage(QPointF(std::floor(centre.x()) - side / 2, std::floor(centre.y()) - side / 2), found->second);
}

void CanvasPainter::draw(const CanvasOp& op)
{
    QPainter& p = painter();
    const QPointF a = toDevice(op.x1, op.y1);
    const QPointF b = toDevice(op.x2, op.y2);
    switch (op.kind) {
    case CanvasOp::Cls:
        p.fillRect(QRectF(toDevice(0, 0), toDevice(size_.width(), size_.height())), canvasColor(op.color));
        break;
    case CanvasOp::Line:
        p.setPen(pen(op));
        p.drawLine(a, b);
        break;
    case CanvasOp::Box:
    case CanvasOp::FilledBox:
        p.setPen(pen(op));
        p.setBrush(op.kind == CanvasOp::FilledBox ? QBrush(canvasColor(op.color)) : QBrush(Qt::NoBrush));
        p.drawRect(QRectF(a, b).normalized());
        break;
    case CanvasOp::Circle:
        circle(p, op, a);
        break;
    case CanvasOp::PSet: {
        const double side = op.drawWidth * twipsPerPixel / twipsPerUnit_;
        p.fillRect(QRectF(a.x() - side / 2, a.y() - side / 2, side, side), canvasColor(op.color));
        break;
    }
    case CanvasOp::Print: {
        const QFont font = canvasFont(op);
        p.setFont(font);
        p.setPen(canvasColor(op.color));
        // Text stands with its top-left corner at the position; the painter draws from the baseline.
        const QPointF baseline(a.x(), a.y() + emAscent(font, device_));
        if (op.widthFactor >= 1) {
            p.drawText(baseline, op.text);
            break;
        }
        p.save();
        p.translate(baseline);
        p.scale(op.widthFactor, 1);
        p.drawText(QPointF(), op.text);
        p.restore();
        break;
    }
    case CanvasOp::Picture:
        // A picture shrunk onto paper keeps its thin grid lines when scaled smoothly.
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(QRectF(a, b).normalized(), op.picture);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        break;
    }
}

// ---------------------------------------------------------------------------------------------

Canvas::Canvas(CanvasSink* sink, double widthTwips, double heightTwips)
    : sink_(sink)
    , width_(widthTwips)
    , height_(heightTwips)
{
}

void Canvas::setSizeTwips(double widthTwips, double heightTwips)
{
    width_ = widthTwips;
    height_ = heightTwips;
}

void Canvas::scale(double left, double top, double right, double bottom)
{
    left_ = left;
    top_ = top;
    sx_ = width_ != 0 ? (right - left) / width_ : 1;
    sy_ = height_ != 0 ? (bottom - top) / height_ : 1;
    if (sx_ == 0)
        sx_ = 1;
    if (sy_ == 0)
        sy_ = 1;
}

void Canvas::scaleTwips()
{
    left_ = top_ = 0;
    sx_ = sy_ = 1;
}

void Canvas::setDrawWidth(int pixels)
{
    drawWidth_ = std::max(1, pixels);
}

CanvasOp Canvas::op(CanvasOp::Kind kind, uint32_t color) const
{
    CanvasOp o;
    o.kind = kind;
    o.color = color;
    o.drawWidth = drawWidth_;
    o.drawStyle = drawStyle_;
    return o;
}

void Canvas::send(const CanvasOp& o)
{
    if (sink_)
        sink_->draw(o);
}

void Canvas::cls()
{
    send(op(CanvasOp::Cls, backColor_));
    currentX = left_;
    currentY = top_;
}

void Canvas::segment(CanvasOp::Kind kind, double x1, double y1, double x2, double y2,
                     std::optional<uint32_t> color)
{
    CanvasOp o = op(kind, color.value_or(foreColor_));
    o.x1 = tx(x1), o.y1 = ty(y1), o.x2 = tx(x2), o.y2 = ty(y2);
    send(o);
    currentX = x2;
    currentY = y2;
}

void Canvas::line(double x1, double y1, double x2, double y2, std::optional<uint32_t> color)
{
    segment(CanvasOp::Line, x1, y1, x2, y2, color);
}

void Canvas::box(double x1, double y1, double x2, double y2, std::optional<uint32_t> color)
{
    segment(CanvasOp::Box, x1, y1, x2, y2, color);
}

void Canvas::filledBox(double x1, double y1, double x2, double y2, std::optional<uint32_t> color)
{
    segment(CanvasOp::FilledBox, x1, y1, x2, y2, color);
}

void Canvas::circle(double x, double y, double radius, std::optional<uint32_t> color, std::optional<uint32_t> fill)
{
    CanvasOp o = op(CanvasOp::Circle, color.value_or(foreColor_));
    o.x1 = tx(x), o.y1 = ty(y);
    o.radius = radius / sx_;
    o.fill = fill;
    send(o);
    currentX = x;
    currentY = y;
}

void Canvas::pset(double x, double y, std::optional<uint32_t> color)
{
    CanvasOp o = op(CanvasOp::PSet, color.value_or(foreColor_));
    o.x1 = tx(x), o.y1 = ty(y);
    send(o);
    currentX = x;
    currentY = y;
}

CanvasOp Canvas::textOp(const QString& text) const
{
    CanvasOp o = op(CanvasOp::Print, foreColor_);
    o.text = text;
    o.fontName = fontName_;
    o.fontSize = fontSize_;
    o.underline = underline_;
    return o;
}

void Canvas::print(const QString& text)
{
    CanvasOp o = textOp(text);
    const QSizeF extent = canvasTextSize(canvasFont(o), text);
    o.x1 = tx(currentX), o.y1 = ty(currentY);
    // A text running a little off the surface's right edge is drawn narrower, as a grid cell's is.
    if (o.x1 < width_ && o.x1 + extent.width() > width_)
        o.widthFactor = std::max(textMinWidthFactor, (width_ - o.x1) / extent.width());
    o.x2 = o.x1 + extent.width() * o.widthFactor, o.y2 = o.y1 + extent.height();
    send(o);
    currentX = left_;
    currentY += extent.height() * sy_;
}

QRectF Canvas::textInk(const QString& text) const
{
    return canvasTextInk(canvasFont(textOp(text)), text, tx(currentX), ty(currentY));
}

void Canvas::paintPicture(const QImage& picture, double x, double y, double width, double height)
{
    CanvasOp o = op(CanvasOp::Picture, foreColor_);
    o.x1 = tx(x), o.y1 = ty(y), o.x2 = tx(x + width), o.y2 = ty(y + height);
    o.picture = picture;
    send(o);
}

