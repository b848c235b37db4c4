#pragma once
// The race card tab "出走表（スピード指数）": per runner its fixed details and three columns per
// past run, newest first: the run's line, its speed index and its last-3F index.
class FlexGrid;

// Fills the main window's gridSpSisuu (pass it) from the run table; the period plays no part.
// Runs 1..100 with a date, run k in columns 3k + 6..3k + 8 (gridLayout.h); at least four run
// groups, and two empty columns after the last group. Loops on umaIdx and leaves it at tousuu + 1.
void drawGridSpSisuu(FlexGrid& gridSpSisuu);
