#pragma once
// The prediction tab "予想・適性": per runner its mark, expected running style, predicted and base
// index, win and top-two chance and the combined and seven single factors as percentages.
class FlexGrid;

// Fills the main window's gridYosou (pass it) from the prediction results of the race on screen;
// the period plays no part. Loops on umaIdx and leaves it at tousuu + 1.
void drawGridYosou(FlexGrid& gridYosou);
