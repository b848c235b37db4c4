#include "charts/graphDrawHikaku.h"

#include "charts/graphDrawGraph.h"
#include "core/publicDim.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <QLineF>
#include <algorithm>
#include <optional>

namespace {
constexpr int lastRunShown = 30;

// The colour of a gate group; any other group keeps the previous runner's.
uint32_t hikakuColor(int waku, uint32_t previous)
{
    static const uint32_t colours[] = {RGB(128, 128, 128), vbWindowText,       RGB(255, 0, 0),   RGB(0, 0, 255),
                                       RGB(192, 192, 0),   RGB(0, 192, 0),     RGB(255, 128, 0), RGB(255, 128, 128)};
    return waku >= 1 && waku <= 8 ? colours[waku - 1] : previous;
}

// The style letter of an average first-corner position (none for 0).
QString hikakuStyle(float a)
{
    if (a == 0)
        return {};
    if (a < 2)
        return QStringLiteral("逃");
    if (a < 3)
        return QStringLiteral("先");
    if (a < 6)
        return QStringLiteral("差");
    return QStringLiteral("追");
}

bool inFrame(const ChartGeometry& frame, QPointF p)
{
    return p.x() >= chart::marginLeft && p.x() <= frame.right() && p.y() >= chart::marginTop && p.y() <= frame.bottom();
}

// The part of the segment from a to b inside the frame, none when it lies wholly outside
// (Liang-Barsky: the segment's parameter range narrowed edge by edge).
std::optional<QLineF> insideFrame(const ChartGeometry& frame, QPointF a, QPointF b)
{
    if (inFrame(frame, a) && inFrame(frame, b))
        return QLineF(a, b);
    const QPointF d = b - a;
    double t0 = 0, t1 = 1;
    const std::pair<double, double> edges[] = {{-d.x(), a.x() - chart::marginLeft}, {d.x(), frame.right() - a.x()},
                                               {-d.y(), a.y() - chart::marginTop}, {d.y(), frame.bottom() - a.y()}};
    for (const auto& [p, q] : edges) {
        if (p == 0) {
            if (q < 0)
                return std::nullopt;
            continue;
        }
        const double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return std::nullopt;
    return QLineF(a + t0 * d, a + t1 * d);
}

void drawRunner(Canvas& box, const ChartGeometry& frame, int h, uint32_t colour)
{
    const float m = chart::markScale;
    const float f = h == pd.umaIdx ? 2.5f : 1.0f;
    box.setDrawWidth(chartPen(m * 1.5f * f));
    box.setDrawStyle(vbSolid);
    // Every runner's runs are placed by their age against its own run 0, without a window test.
    const ChartGeometry g = ChartGeometry::of(frame.W, frame.H, pd.uDate(h, 0).serial());
    bool hasPrev = false;
    float px = 0, py = 0;
    for (int k = 0; k <= lastChartRun(lastRunShown); ++k) {
        const int d = pd.uDate(h, k).serial();
        if (d <= 0)
            continue;
        const float u = pd.uSisuu(h, k);
        if (u == 0) {
            hasPrev = false;
            continue;
        }
        // Old runs lie left of the frame: only what falls inside it is drawn.
        const float x = g.x(d), y = g.y(u);
        if (inFrame(frame, {x, y}))
            box.circle(x, y, m * 30 * f, colour, colour);
        if (const auto part = hasPrev ? insideFrame(frame, {x, y}, {px, py}) : std::nullopt)
            box.line(part->x1(), part->y1(), part->x2(), part->y2(), colour);
        hasPrev = true;
        px = x;
        py = y;
    }
}

void drawHikakuBody()
{
    pd.graphMode = false;
    PictureBox* picture = graphSurfaces().Picture1;
    if (!picture)
        throw VbError(vbErrObjectMissing, QStringLiteral("chart surface not bound"));
    const ChartGeometry g = ChartGeometry::of(float(picture->widthTwips()), float(picture->heightTwips()), 0);
    Canvas& box = picture->canvas();
    box.setBackColor(vbWindowBackground);
    box.cls();

    drawRatioLine(box, g, g.y(pd.lineSisuu));
    box.setDrawWidth(chart::framePen);
    box.setDrawStyle(vbSolid);
    box.box(chart::marginLeft, chart::marginTop, g.right(), g.bottom(), RGB(0, 0, 0));

    uint32_t colour = RGB(0, 0, 0);
    for (int h = 1; h <= std::min(pd.tousuu, pd.uName.ubound()); ++h) {
        if (pd.uName(h).isEmpty())
            continue;
        colour = hikakuColor(pd.uWaku(h, 0), colour);
        drawRunner(box, g, h, colour);
    }
    vbTrapAlways(QStringLiteral("U_labelエラー(err-AD02)"), [&] { drawHikakuTitle(box); });
}
}  // namespace

void drawHikaku()
{
    vbTrap(QStringLiteral("Error-graphDrawHikaku-1"), drawHikakuBody);
}

void drawHikakuTitle(Canvas& box)
{
    const int h = pd.umaIdx;
    const float a = pd.tuka1Ave(h, 0);
    printChartTitle(box, graphTitleHead(h) + hikakuStyle(a) + Format(a, "0.0"));
}
