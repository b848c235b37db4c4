#pragma once
// The comparison chart: the speed-index history of every runner of the race on Picture1,
// each in its gate group's colour, the selected runner (umaIdx) drawn larger.
#include "charts/graphChart.h"

// Draws the chart on the Picture1 bound through bindGraphSurfaces; sets graphMode False and
// leaves the runner list, the legend and the shift buttons as they are.
void drawHikaku();
// The title line of runner umaIdx, its running style letter derived from the average
// first-corner position.
void drawHikakuTitle(Canvas& box);
