#pragma once
// One drawing interface for picture boxes, printer pages and tests. Coordinates are twips
// from the top-left corner (y grows downwards) unless a Scale says otherwise; pen widths are
// whole pixels; font sizes are points; colours are 0xBBGGRR.
//
// A Canvas keeps the drawing state (current position, fore colour, pen, font) and hands each
// finished call, in twips, to a sink: CanvasPainter draws on any QPaintDevice (an image, a
// printer page, a PDF file), CanvasRecorder keeps every call for tests.
#include "platform/colors.h"

#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <map>
#include <tuple>
#include <memory>
#include <optional>
#include <vector>

enum VbDrawStyle { vbSolid = 0, vbDash = 1, vbDot = 2, vbDashDot = 3, vbDashDotDot = 4 };

// The window colours a drawing surface uses: on a canvas they are white and black whatever
// the desktop's theme, so that charts and printed pages look the same everywhere.
constexpr uint32_t vbWindowBackground = 0x80000005;
QColor canvasColor(uint32_t bgr);

// One finished drawing call, in twips.
struct CanvasOp {
    enum Kind { Cls, Line, Box, FilledBox, Circle, PSet, Print, Picture };
    Kind kind = Line;
    // Line and boxes: the two corners; Circle: the centre in x1, y1; PSet: the point in x1, y1;
    // Print: the text's top-left corner in x1, y1 and its bottom-right in x2, y2 (as drawn, narrowed
    // or not);
    // Picture: the rectangle the picture is scaled into.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double radius = 0;
    uint32_t color = 0;             // line, outline, point or text colour; Cls: the back colour
    std::optional<uint32_t> fill;   // Circle: the fill colour, none for an outline
    int drawWidth = 1;
    int drawStyle = vbSolid;
    QString text;
    QString fontName;
    double fontSize = 0;
    bool underline = false;
    double widthFactor = 1;  // Print: below 1, the text is drawn that much narrower
    QImage picture;

    bool operator==(const CanvasOp&) const = default;
};

class CanvasSink {
public:
    virtual ~CanvasSink() = default;
    virtual void draw(const CanvasOp& op) = 0;
};

// Keeps every call, for tests.
class CanvasRecorder : public CanvasSink {
public:
    void draw(const CanvasOp& op) override { ops_.push_back(op); }
    const std::vector<CanvasOp>& ops() const { return ops_; }
    void clear() { ops_.clear(); }

private:
    std::vector<CanvasOp> ops_;
};

// Draws on a paint device without antialiasing. The device's own resolution decides how
// many twips make one of its units (1440 / dpi: 15 on a 96-dpi image); a pen of width n
// is n screen pixels wide on every device. `origin` (twips on the device) is where the
// canvas's (0, 0) lies; drawing is clipped to the canvas size from there.
class CanvasPainter : public CanvasSink {
public:
    CanvasPainter(QPaintDevice* device, QSizeF sizeTwips, QPointF originTwips = {});
    ~CanvasPainter() override;
    void draw(const CanvasOp& op) override;
    // Ends the painting so the device can be read (the next call begins it again).
    void end();

private:
    QPainter& painter();
    QPointF toDevice(double x, double y) const;
    QPen pen(const CanvasOp& op) const;
    void circle(QPainter& p, const CanvasOp& op, QPointF centre);

    QPaintDevice* device_;
    QSizeF size_;
    QPointF origin_;
    double twipsPerUnit_;
    std::unique_ptr<QPainter> painter_;
    // radius, pen width, style, colour, fill (-1: none), half-pixel offset of the centre
    using MarkKey = std::tuple<double, double, int, uint32_t, qint64, int>;
    std::map<MarkKey, QImage> marks_;
};

class Canvas {
public:
    // The sink is not owned; the size (twips) is the surface's.
    Canvas(CanvasSink* sink, double widthTwips, double heightTwips);

    void setSink(CanvasSink* sink) { sink_ = sink; }
    void setSizeTwips(double widthTwips, double heightTwips);
    double widthTwips() const { return width_; }
    double heightTwips() const { return height_; }

    // Scale: (left, top) - (right, bottom) in user units span the whole surface; scaleTwips()
    // returns to twips. ScaleWidth / ScaleHeight are the surface's extent in user units.
    void scale(double left, double top, double right, double bottom);
    void scaleTwips();
    double scaleWidth() const { return sx_ * width_; }
    double scaleHeight() const { return sy_ * height_; }

    double currentX = 0;
    double currentY = 0;

    void setForeColor(uint32_t bgr) { foreColor_ = bgr; }
    uint32_t foreColor() const { return foreColor_; }
    void setBackColor(uint32_t bgr) { backColor_ = bgr; }
    uint32_t backColor() const { return backColor_; }
    // Pen width in whole pixels (at least 1) and style (VbDrawStyle).
    void setDrawWidth(int pixels);
    int drawWidth() const { return drawWidth_; }
    void setDrawStyle(int style) { drawStyle_ = style; }
    int drawStyle() const { return drawStyle_; }
    // Font by the system's face name ("ＭＳ Ｐゴシック" ...) and size in points.
    void setFontName(const QString& name) { fontName_ = name; }
    QString fontName() const { return fontName_; }
    void setFontSize(double points) { fontSize_ = points; }
    double fontSize() const { return fontSize_; }
    void setFontUnderline(bool on) { underline_ = on; }

    // Clears to the back colour; the current position returns to (0, 0).
    void cls();
    // A line in the given colour (the fore colour when none); the current position moves to
    // its end.
    void line(double x1, double y1, double x2, double y2, std::optional<uint32_t> color = {});
    // The outline of a box, and a box filled with its colour (Line ... B and BF).
    void box(double x1, double y1, double x2, double y2, std::optional<uint32_t> color = {});
    void filledBox(double x1, double y1, double x2, double y2, std::optional<uint32_t> color = {});
    // A circle outlined in `color`, filled with `fill` when one is named; the current
    // position moves to the centre. Each call names its own fill: none carries over.
    void circle(double x, double y, double radius, std::optional<uint32_t> color = {},
                std::optional<uint32_t> fill = {});
    void pset(double x, double y, std::optional<uint32_t> color = {});
    // Prints the text with its top-left corner at the current position; the position then
    // moves to the start of the next line (x back to the left edge).
    void print(const QString& text);
    // The pixels the text would ink printed now (see canvasTextInk), in twips of the surface.
    QRectF textInk(const QString& text) const;
    // PaintPicture: the picture scaled into the rectangle (x, y, width, height).
    void paintPicture(const QImage& picture, double x, double y, double width, double height);

private:
    double tx(double x) const { return (x - left_) / sx_; }
    double ty(double y) const { return (y - top_) / sy_; }
    CanvasOp op(CanvasOp::Kind kind, uint32_t color) const;
    CanvasOp textOp(const QString& text) const;
    void segment(CanvasOp::Kind kind, double x1, double y1, double x2, double y2, std::optional<uint32_t> color);
    void send(const CanvasOp& op);

    CanvasSink* sink_;
    double width_, height_;
    double left_ = 0, top_ = 0, sx_ = 1, sy_ = 1;
    uint32_t foreColor_ = 0;
    uint32_t backColor_ = vbWindowBackground;
    int drawWidth_ = 1;
    int drawStyle_ = vbSolid;
    QString fontName_ = QStringLiteral("ＭＳ Ｐゴシック");
    double fontSize_ = 9;
    bool underline_ = false;
};

// The font a canvas call prints with.
QFont canvasFont(const CanvasOp& op);
// Extent of a text in twips, the same on every device.
QSizeF canvasTextSize(const QFont& font, const QString& text);
// The whole pixels a text printed with its top-left corner at (x, y) inks on a 96-dpi surface (the
// charts' pictures), in twips: the glyphs' own extent, which may reach beyond the em box either way.
QRectF canvasTextInk(const QFont& font, const QString& text, double x, double y);
