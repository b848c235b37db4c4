#include "charts/graphChart.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/vbformat.h"

#include <algorithm>

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
