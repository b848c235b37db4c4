#pragma once
// The history chart of one runner (drawGraph) with its frame, title, eight series, runner
// list and legend, on surfaces the main window owns and hands over once.
#include "charts/graphChart.h"

class FlexGrid;
class PictureBox;
class QWidget;

// The main window's chart controls: Picture1 (chart), Picture2 (legend), gridGraph (runner
// list), cmdGraphShift and cmdGraphBack (year shift). Bound once by their owner; the comparison
// chart draws on the same Picture1. Printing paints a finished chart's image on the page;
// PictureBox::click is Picture1_Click.
struct GraphSurfaces {
    PictureBox* Picture1 = nullptr;
    PictureBox* Picture2 = nullptr;
    FlexGrid* gridGraph = nullptr;
    QWidget* cmdGraphShift = nullptr;
    QWidget* cmdGraphBack = nullptr;
};
void bindGraphSurfaces(const GraphSurfaces& surfaces);
const GraphSurfaces& graphSurfaces();

// Draws the history chart of runner slot umaIdx, window moved back by graphShiftDays, on
// Picture1; for runner 1 also rebuilds the runner list and the legend. Sets graphMode.
void drawGraph();
// What the fill-all routine shows once a race is read: runner 1 with shift 0, so that the
// list and the legend are rebuilt for the new race.
void drawFirstRunnerGraph();

// For the main window's stepping and list clicks (the chart's own rebuild does this for
// runner 1): every row's name, header rows included, underlined blue, then the runner's name
// black without underline, with the list's redraw off meanwhile.
void markGraphRunner(int runner);
// The runner list's width in twips: its first column and each further column with its grid line
// (3050); the main window's layout keeps it.
int graphListWidth();
// The runner slot a list row stands for: row - 1 for rows 2 .. tousuu + 1; 0 (no runner) for
// the header rows and anything else.
int graphRowRunner(int row);

// Whether optional series n (0..6) is switched on: its setting reads "true" in any case.
bool graphSeriesOn(int n);

// The parts, each on the surface it is given.
void drawGraphFrame(GraphChart& c);
void drawGraphTitle(GraphChart& c);
void drawSeriesSisuu(GraphChart& c);
void drawSeriesSisuu3f(GraphChart& c);
void drawSeriesTaizyu(GraphChart& c);
void drawSeriesWaku(GraphChart& c);
void drawSeriesKyori(GraphChart& c);
void drawSeriesBaba(GraphChart& c);
void drawSeriesTuka(GraphChart& c);
void drawSeriesCyaku(GraphChart& c);
void fillGridGraph(FlexGrid& grid);
void drawGraphLegend(PictureBox& legend, const ChartGeometry& chartGeometry);

// The title line's common part, shared with the comparison chart: gate group, slot, name,
// sex-age, body weight, jockey (weight carried) and three blanks.
QString graphTitleHead(int h);
