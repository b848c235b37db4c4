// The eight series of the history chart. Each visits runner h's runs, skips those outside
// the window, and marks the rest at the time-scale x of their date and the value scale's y.
#include "charts/graphDrawGraph.h"

#include "core/publicDim.h"
#include "platform/vbformat.h"

#include <algorithm>

namespace {
constexpr uint32_t green = RGB(0, 128, 0);
constexpr uint32_t white = RGB(255, 255, 255);
constexpr uint32_t black = RGB(0, 0, 0);
constexpr uint32_t grey = RGB(128, 128, 128);
constexpr uint32_t olive = RGB(192, 192, 0);
constexpr uint32_t teal = RGB(0, 128, 128);
constexpr uint32_t purple = RGB(128, 0, 128);
constexpr uint32_t red = RGB(255, 0, 0);
constexpr uint32_t pink = RGB(255, 128, 128);
constexpr float m = chart::markScale;

double clamped(double v)
{
    return std::clamp(v, 0.0, 100.0);
}

int dayOf(const GraphChart& c, int k)
{
    return pd.uDate(c.h, k).serial();
}

void square(Canvas& box, float x, float y, float half, uint32_t colour, bool filled)
{
    if (filled)
        box.filledBox(x - half, y - half, x + half, y + half, colour);
    else
        box.box(x - half, y - half, x + half, y + half, colour);
}

// Index labels out of the plot name the track and the value: above a mark clamped to the
// bottom edge, below one clamped to the top edge.
void outOfRangeLabel(GraphChart& c, int k, float x, float y, float value)
{
    const double shown = double(value) - pd.sisuuOffset;
    const QString letter = trackLetter(pd.uZyo(c.h, k));
    if (shown < 0)
        printGraphText(c.box, x - 130, y - 350, letter + Format(value, "00"), 10);
    else if (shown > 100)
        printGraphText(c.box, x - 130, y + 350, letter + Format(value, "000"), 10);
}

// A series of marks without lines: one mark per run the predicate admits, at value v.
template <class Admit, class Value, class Mark>
void markRuns(GraphChart& c, int first, Admit admit, Value v, Mark mark)
{
    for (int k = first; k <= c.lastRun; ++k) {
        const int d = dayOf(c, k);
        if (c.g.inWindow(d) && admit(k))
            mark(c.g.x(d), c.g.y(v(k)));
    }
}
}  // namespace

void drawSeriesSisuu(GraphChart& c)
{
    Canvas& box = c.box;
    c.hasPrev = false;
    box.setDrawWidth(chartPen(m * 3));
    box.setDrawStyle(vbSolid);
    for (int k = 0; k <= c.lastRun; ++k) {
        const int d = dayOf(c, k);
        if (!c.g.inWindow(d))
            continue;
        const float u = pd.uSisuu(c.h, k);
        if (u == 0) {
            c.hasPrev = false;
            continue;
        }
        const double shown = double(u) - pd.sisuuOffset;
        const float x = c.g.x(d), y = c.g.y(clamped(shown));
        if (c.hasPrev)
            box.line(x, y, c.px, c.py, vbBlue);
        const uint32_t colour = pd.uSiba(c.h, k) == 1 ? green : vbBlue;
        // A run indexed with a day's variant (found, whatever its value) shows a filled mark.
        box.circle(x, y, m * 80, colour, pd.uFileFound(c.h, k) ? colour : white);
        if (shown >= 0 && shown <= 100) {
            const QString label = pd.uZyo(c.h, k) != pd.raceZyo ? trackLetter(pd.uZyo(c.h, k)) : Format(u, "00");
            printGraphText(box, x - 130, y - 350, label, 10);
        } else {
            outOfRangeLabel(c, k, x, y, u);
        }
        c.setPrev(x, y);
    }
}

void drawSeriesSisuu3f(GraphChart& c)
{
    Canvas& box = c.box;
    box.setDrawWidth(chartPen(m * 3));
    box.setDrawStyle(vbSolid);
    for (int k = 0; k <= c.lastRun; ++k) {
        const int d = dayOf(c, k);
        const float u3f = pd.uSisuu3f(c.h, k);
        if (!c.g.inWindow(d) || u3f == 0)
            continue;
        const float x = c.g.x(d), y3 = c.g.y(clamped(double(u3f) - pd.sisuuOffset));
        box.circle(x, y3, m * 60, olive);
        // The connector leads to the run's own index mark, so only where that mark exists.
        if (pd.uSisuu(c.h, k) != 0) {
            box.setDrawWidth(chartPen(m));
            box.line(x, y3, x, c.g.y(clamped(double(pd.uSisuu(c.h, k)) - pd.sisuuOffset)), vbBlue);
            box.setDrawWidth(chartPen(m * 3));
        }
        outOfRangeLabel(c, k, x, y3, u3f);
    }
}

void drawSeriesTaizyu(GraphChart& c)
{
    Canvas& box = c.box;
    c.hasPrev = false;
    int reference = 0;
    box.setDrawWidth(chartPen(m));
    box.setDrawStyle(vbSolid);
    for (int k = c.lastRun; k >= 0; --k) {
        const int d = dayOf(c, k);
        if (!c.g.inWindow(d))
            continue;
        const int weight = pd.uTaizyu(c.h, k);
        if (weight < 1) {
            c.hasPrev = false;
            continue;
        }
        if (reference == 0)
            reference = weight;
        const float x = c.g.x(d), y = c.g.y(50.0 + weight - reference);
        square(box, x, y, m * 30, black, true);
        if (c.hasPrev)
            box.line(x, y, c.px, c.py, black);
        c.setPrev(x, y);
    }
}

void drawSeriesWaku(GraphChart& c)
{
    c.box.setDrawWidth(chartPen(m * 3));
    c.box.setDrawStyle(vbSolid);
    markRuns(
        c, 0, [](int) { return true; }, [&](int k) { return 40.0 - (pd.uWaku(c.h, k) - 1) * 5.0; },
        [&](float x, float y) { square(c.box, x, y, m * 50, teal, true); });
}

void drawSeriesKyori(GraphChart& c)
{
    c.box.setDrawWidth(chartPen(m * 3));
    c.box.setDrawStyle(vbSolid);
    markRuns(
        c, 0, [](int) { return true; }, [&](int k) { return 50.0 + (pd.uKyori(c.h, k) - 1500) / 100.0 * 5.0; },
        [&](float x, float y) { c.box.circle(x, y, m * 60, purple); });
}

void drawSeriesBaba(GraphChart& c)
{
    c.box.setDrawWidth(chartPen(m * 3));
    c.box.setDrawStyle(vbSolid);
    markRuns(
        c, 1, [](int) { return true; }, [&](int k) { return 100.0 - (pd.uBaba(c.h, k) - 1) * 5.0; },
        [&](float x, float y) { c.box.circle(x, y, m * 40, grey, grey); });
}

void drawSeriesTuka(GraphChart& c)
{
    c.box.setDrawWidth(chartPen(m * 3));
    c.box.setDrawStyle(vbSolid);
    const int lastCorner = pd.uTuka.ubound(3);
    markRuns(
        c, 0, [&](int k) { return k <= lastCorner && pd.uTuka(c.h, 1, k) > 0; },
        [&](int k) {
            const int p = pd.uTuka(c.h, 1, k);
            return p < 10 ? 100.0 - (p - 1) * 5.0 : 50.0;
        },
        [&](float x, float y) { square(c.box, x, y, m * 60, red, false); });
}

void drawSeriesCyaku(GraphChart& c)
{
    Canvas& box = c.box;
    c.hasPrev = false;
    box.setDrawWidth(chartPen(m));
    box.setDrawStyle(vbSolid);
    for (int k = 0; k <= c.lastRun; ++k) {
        const int d = dayOf(c, k);
        const int place = pd.uCyaku(c.h, k);
        if (place < 1 || !c.g.inWindow(d)) {
            c.hasPrev = false;
            continue;
        }
        const float x = c.g.x(d), y = c.g.y(100.0 - (place - 1) * 5.0);
        square(box, x, y, m * 30, grey, true);
        if (c.hasPrev)
            box.line(x, y, c.px, c.py, pink);
        c.setPrev(x, y);
    }
}
