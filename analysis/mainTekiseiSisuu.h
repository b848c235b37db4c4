#pragma once
// The aptitude tab "適性（スピード指数）": per runner and condition the average and best speed
// index of its past runs in the period and how many runs that is.
#include <QString>
#include <cstdint>

class FlexGrid;

// Fills the main window's gridTekiseiSisuu (pass it) from the run table; kikanText is the text of
// the period choice cmbTarKikan as it stands (an unknown text counts every dated run). Loops on
// umaIdx and leaves it at tousuu + 1.
void drawGridTekiseiSisuu(FlexGrid& gridTekiseiSisuu, const QString& kikanText);
// Writes group g (1..17) of a runner into the row: average, best and count with the group's
// label in row 0 and "平均", "最高", "対象" in row 1.
void setGridTekiseiSisuuCell(FlexGrid& grid, int row, int group, float average, float best, int32_t count,
                             const QString& label);
