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
// The colour of a gate group on the comparison chart; any other group keeps `previous`.
uint32_t hikakuColor(int waku, uint32_t previous);
// The style letter of an average first-corner position ("" for 0).
QString hikakuStyle(float tuka1Ave);
