#include "analysis/mainCornner.h"

#include "core/publicDim.h"
#include "platform/canvas.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <array>

namespace {

constexpr int lanes = 8;
constexpr int placedRunners = 16;
constexpr float numberSize = 12;

// The bands between the lane limits; a runner stands in slots 1.. of its lane, in runner order.
struct LaneTable {
    std::array<std::array<int32_t, placedRunners + 1>, lanes + 1> runners {};
    std::array<int32_t, lanes + 1> fill {};  // next free slot; the lane holds fill - 1 runners
    float limit1 = 0, limit2 = 0, limit3 = 0;
    std::array<float, lanes + 1> centre {};  // c(0) .. c(8)
};
LaneTable lane;

void resetLanes()
{
    lane = LaneTable();
    lane.fill.fill(1);
    lane.limit1 = 2;
    lane.limit2 = 4;
    lane.limit3 = 6;
    auto& c = lane.centre;
    c[0] = 0;
    c[1] = lane.limit1 / 2;
    c[2] = lane.limit1;
    c[3] = (lane.limit2 - lane.limit1) / 2 + lane.limit1;
    c[4] = lane.limit2;
    c[5] = (lane.limit3 - lane.limit2) / 2 + lane.limit2;
    c[6] = lane.limit3;
    c[7] = (8 - lane.limit3) / 2 + lane.limit3;
    c[8] = 8;
}

// The limits and the half-way points between them, in order; at and above the last, lane 8.
int laneOf(float p)
{
    const float bounds[] {lane.centre[1], lane.limit1, lane.centre[3], lane.limit2,
                          lane.centre[5], lane.limit3, lane.centre[7]};
    for (int l = 0; l < 7; ++l)
        if (p < bounds[l])
            return l + 1;
    return lanes;
}

}

void setCornnerLane()
{
    vbTrap(QStringLiteral("Error-mainAnalConer-2"), [] {
        for (pd.umaIdx = 1; pd.umaIdx <= placedRunners; ++pd.umaIdx) {
            const float p = pd.tuka1Ave(pd.umaIdx, 0);
            if (!(p > 0))
                continue;
            const int l = laneOf(p);
            lane.runners[size_t(l)][size_t(lane.fill[size_t(l)])] = pd.umaIdx;
            ++lane.fill[size_t(l)];
        }
    });
}

void paintCornner(Canvas& picCornner)
{
    vbTrap(QStringLiteral("Error-mainAnalConer-3"), [&] {
        const int32_t W = CLng(picCornner.scaleWidth());
        const int32_t H = CLng(picCornner.scaleHeight());
        picCornner.cls();
        const auto& c = lane.centre;
        for (int l = 1; l <= lanes; ++l) {
            const int n = lane.fill[size_t(l)];
            const int d = n > 2 ? n + 1 : 3;
            for (int s = 1; s <= n - 1; ++s) {
                const int h = lane.runners[size_t(l)][size_t(s)];
                pd.umaIdx = h;
                const float x = float(W - double(W) / d * s);
                const float y = float((double(pd.tuka1Ave(h, 0)) - c[size_t(l - 1)]) * (double(H) / 8 - 200)
                                          / (double(c[size_t(l)]) - c[size_t(l - 1)])
                                      + double(H) / 8 * (l - 1) + 100);
                printCornnerText(picCornner, x, y, getMaruNo(h), numberSize, 0, false);
            }
        }
    });
}

void drawCornner(Canvas& picCornner)
{
    vbTrap(QStringLiteral("Error-mainAnalConer-1"), [&] {
        resetLanes();
        setCornnerLane();
        paintCornner(picCornner);
    });
}

void printCornnerText(Canvas& picture, float x, float y, const QString& text, float size, uint32_t color,
                      bool underline)
{
    picture.currentX = x;
    picture.currentY = y;
    picture.setFontSize(size);
    picture.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    picture.setForeColor(color);
    picture.setFontUnderline(underline);
    picture.print(text);
}

QString getMaruNo(int n)
{
    return n >= 1 && n <= placedRunners ? QString(QChar(0x2460 + n - 1)) : QString();
}
