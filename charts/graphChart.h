#pragma once
// The history chart's geometry and the state one drawing carries from routine to routine.
// Positions are twips from the box's top-left corner, y downwards; a chart value is a
// percentage of the plot height counted from its bottom edge.
#include "platform/canvas.h"
#include "platform/vbdate.h"

#include <QString>

namespace chart {
constexpr float marginLeft = 250, marginTop = 200, marginRight = 100, marginBottom = 200;
constexpr int windowDays = 420;
constexpr float markScale = 0.9f;
constexpr const char* fontName = "ＭＳ Ｐゴシック";
constexpr int framePen = 2;
}  // namespace chart

// Scales of a box W x H twips whose window ends on day E: x(d) places a date, y(v) a value.
struct ChartGeometry {
    float W = 0, H = 0;
    float PW = 0, PH = 0;
    int E = 0;  // the window's last day (day number)
    int S = 0;  // its first day: E - 420

    static ChartGeometry of(float width, float height, int endDay);
    float x(int day) const;
    float y(double value) const;
    float right() const { return chart::marginLeft + PW; }
    float bottom() const { return chart::marginTop + PH; }
    // A run is placed when it has a date and lies after the window's first day.
    bool inWindow(int day) const { return day > 0 && day > S; }
};

// One drawing on one surface: the runner drawn, the geometry and the previous point of a
// joined series.
struct GraphChart {
    Canvas& box;
    ChartGeometry g;
    int h = 0;
    int lastRun = 0;  // the newest-to-oldest loops stop here: kakoMax or the table's own end
    bool hasPrev = false;
    float px = 0, py = 0;

    void setPrev(float x, float y)
    {
        hasPrev = true;
        px = x;
        py = y;
    }
};

// Prints text with its top-left corner at (x, y) in the charts' font at `size` points (both
// charts print every text through it).
void printGraphText(Canvas& box, float x, float y, const QString& text, float size);

// Where a text's ink may go, in twips of the surface; a side not given is open.
struct InkRoom {
    static constexpr float open = 1e9f;
    float left = -open, top = -open, right = open, bottom = open;
};
// The room beside a line of `pen` pixels at y (or x): up to a pixel row (column) of background
// before the line's first, or from one after its last.
float roomAbove(float y, int pen);
float roomBelow(float y, int pen);
float roomLeftOf(float x, int pen);
// Prints text as printGraphText does, moved the least that keeps its ink (the glyphs' real
// extent, not their em box) inside room, and set a half point smaller at a time while the ink is
// higher or wider than the room. Returns the ink, in twips.
QRectF printGraphTextIn(Canvas& box, float x, float y, const QString& text, float size, const InkRoom& room);
// The X% line across the plot at lineY, its label above it, the label's ink clear of the line.
void drawRatioLine(Canvas& box, const ChartGeometry& g, float lineY);
// Prints a chart's title line at its place above the frame, its ink clear of the frame's top line.
void printChartTitle(Canvas& box, const QString& text);
// A pen width of m times n pixels, rounded as a whole-number property rounds.
int chartPen(float pixels);
// The label letter of a track: its first character, the first two for a central track ("Ｊ東").
QString trackLetter(const QString& zyo);
// The last run index a runner loop may read: kakoMax, or less when the table holds fewer runs.
int lastChartRun(int cap);
