#include "charts/graphChart.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/fonts.h"
#include "platform/vbformat.h"

#include <algorithm>
#include <cmath>

ChartGeometry ChartGeometry::of(float width, float height, int endDay)
{
    ChartGeometry g;
    g.W = width;
    g.H = height;
    g.PW = width - chart::marginLeft - chart::marginRight;
    g.PH = height - chart::marginTop - chart::marginBottom;
    g.E = endDay;
    g.S = endDay - chart::windowDays;
    return g;
}

float ChartGeometry::x(int day) const
{
    return float(chart::marginLeft + PW * (1.0 - double(E - day) / chart::windowDays));
}

float ChartGeometry::y(double value) const
{
    return float(chart::marginTop + PH * (100.0 - value) / 100.0);
}

void printGraphText(Canvas& box, float x, float y, const QString& text, float size)
{
    box.currentX = x;
    box.currentY = y;
    box.setFontSize(size);
    box.setFontName(QString::fromUtf8(chart::fontName));
    box.print(text);
}

namespace {
// The pixel rows (columns) a line of pen width `pen` centred at `at` twips fills: those whose centre
// lies inside it.
float firstLinePixel(float at, int pen)
{
    return std::ceil(at / twipsPerPixel - pen / 2.0f - 0.5f);
}

float lastLinePixel(float at, int pen)
{
    return std::floor(at / twipsPerPixel + pen / 2.0f - 0.5f);
}

// How far to move a span [from, to) of whole pixels so that it lies in [low, high): the least
// number of whole pixels that does (glyphs stand on whole pixel rows).
float nudge(double from, double to, float low, float high)
{
    if (from < low)
        return float(std::ceil((low - from) / twipsPerPixel) * twipsPerPixel);
    return to > high ? float(std::floor((high - to) / twipsPerPixel) * twipsPerPixel) : 0;
}
}  // namespace

float roomAbove(float y, int pen)
{
    return (firstLinePixel(y, pen) - 1) * twipsPerPixel;
}

float roomBelow(float y, int pen)
{
    return (lastLinePixel(y, pen) + 2) * twipsPerPixel;
}

float roomLeftOf(float x, int pen)
{
    return roomAbove(x, pen);
}

QRectF printGraphTextIn(Canvas& box, float x, float y, const QString& text, float size, const InkRoom& room)
{
    box.setFontName(QString::fromUtf8(chart::fontName));
    QRectF ink;
    for (;; size -= 0.5f) {
        box.currentX = x;
        box.currentY = y;
        box.setFontSize(size);
        ink = box.textInk(text);
        const bool fits = ink.width() <= room.right - room.left && ink.height() <= room.bottom - room.top;
        if (fits || size - 0.5f < textMinPoints)
            break;
    }
    const float dx = nudge(ink.left(), ink.right(), room.left, room.right);
    const float dy = nudge(ink.top(), ink.bottom(), room.top, room.bottom);
    printGraphText(box, x + dx, y + dy, text, size);
    return ink.translated(dx, dy);
}

void drawRatioLine(Canvas& box, const ChartGeometry& g, float lineY)
{
    constexpr int pen = 4;
    box.setDrawWidth(pen);
    box.setDrawStyle(vbDashDot);
    box.line(chart::marginLeft, lineY, g.right(), lineY, RGB(255, 255, 0));
    printGraphTextIn(box, 300, lineY - 200, Format(pd.lineRatio, "00%") + QStringLiteral("ライン"), 8,
                     {.bottom = roomAbove(lineY, pen)});
}

void printChartTitle(Canvas& box, const QString& text)
{
    printGraphTextIn(box, chart::marginLeft, 0, text, 9, {.top = 0, .bottom = roomAbove(chart::marginTop, chart::framePen)});
}

int chartPen(float pixels)
{
    return CLng(pixels);
}

QString trackLetter(const QString& zyo)
{
    return isCentralTrack(zyo) ? zyo.left(2) : zyo.left(1);
}

int lastChartRun(int cap)
{
    return std::min(cap, pd.uDate.ubound(2));
}
