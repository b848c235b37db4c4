#pragma once
// The race card tab "出走表（着順）": per runner its fixed details and one column per past run,
// newest first, each told in one line ending in finish and field size.
class FlexGrid;

// Fills the main window's gridSyuxtusouHyou (pass it) from the run table; the period plays no
// part. Runs 1..100 with a date, run k in column k + 8 (gridLayout.h); the grid grows to the
// longest history, at least four run columns. Loops on umaIdx and leaves it at tousuu + 1.
void drawGridSyuxtusouHyou(FlexGrid& gridSyuxtusouHyou);
