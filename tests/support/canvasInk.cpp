#include "tests/support/canvasInk.h"

#include <QColor>

namespace {
constexpr int pad = 20;  // pixels round a surface, where ink that the surface's edge would cut shows

// The pixels one call inks, on an image with `pad` pixels round its surface.
struct Ink {
    QImage image;
    QRect box;  // in pixels of the surface; empty when nothing shows

    bool at(int x, int y) const
    {
        return box.contains(x, y) && image.pixel(x + pad, y + pad) != QColor(Qt::white).rgb();
    }
};

Ink inkOf(CanvasOp op, const QSizeF& surface)
{
    const double shift = pad * twipsPerPixel;
    op.x1 += shift, op.y1 += shift, op.x2 += shift, op.y2 += shift;
    const QSize pixels = QRectF(QPointF(), surface / twipsPerPixel).toAlignedRect().size() + QSize(2 * pad, 2 * pad);
    Ink ink {QImage(pixels, QImage::Format_RGB32), {}};
    ink.image.setDotsPerMeterX(3780), ink.image.setDotsPerMeterY(3780);
    ink.image.fill(Qt::white);
    CanvasPainter painter(&ink.image, QSizeF(pixels) * twipsPerPixel);
    painter.draw(op);
    painter.end();
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(ink.image.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (line[x] != QColor(Qt::white).rgb())
                ink.box |= QRect(x - pad, y - pad, 1, 1);
    }
    return ink;
}

// Whether some pixel of b lies next to (or on) a pixel of a.
bool touching(const Ink& a, const Ink& b)
{
    const QRect near = a.box.adjusted(-1, -1, 1, 1) & b.box;
    for (int y = near.top(); y <= near.bottom(); ++y)
        for (int x = near.left(); x <= near.right(); ++x)
            if (b.at(x, y) && (a.at(x - 1, y - 1) || a.at(x, y - 1) || a.at(x + 1, y - 1) || a.at(x - 1, y) || a.at(x, y)
                               || a.at(x + 1, y) || a.at(x - 1, y + 1) || a.at(x, y + 1) || a.at(x + 1, y + 1)))
                return true;
    return false;
}

QString named(const CanvasOp& op)
{
    static const char* const kinds[] = {"cls", "line", "box", "filled box", "circle", "point", "text", "picture"};
    return op.kind == CanvasOp::Print ? QStringLiteral("\"%1\"").arg(op.text)
                                      : QStringLiteral("%1 at (%2,%3)").arg(kinds[op.kind]).arg(op.x1).arg(op.y1);
}
}  // namespace

QStringList inkClashes(const std::vector<CanvasOp>& ops, const QSizeF& surface, bool (*obstacle)(const CanvasOp&))
{
    std::vector<Ink> inks;
    for (const CanvasOp& op : ops)
        inks.push_back(op.kind == CanvasOp::Print || obstacle(op) ? inkOf(op, surface) : Ink());
    const QRect inside = QRectF(QPointF(), surface / twipsPerPixel).toAlignedRect();
    QStringList clashes;
    for (size_t i = 0; i < ops.size(); ++i) {
        // A text set beyond the edge so as not to show is no text of the picture.
        if (ops[i].kind != CanvasOp::Print || !inks[i].box.intersects(inside))
            continue;
        if (!inside.contains(inks[i].box))
            clashes << named(ops[i]) + " cut by the edge";
        for (size_t j = 0; j < ops.size(); ++j)
            if (j != i && obstacle(ops[j]) && touching(inks[i], inks[j]))
                clashes << named(ops[i]) + " touches " + named(ops[j]);
    }
    return clashes;
}
