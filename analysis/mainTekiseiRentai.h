#pragma once
// The aptitude tab "適性（勝率・連対率）": per runner and condition the share of wins and of
// finishes in the first three among its past runs in the period with a speed index above 0.
#include <QString>
#include <cstdint>

class FlexGrid;

// Fills the main window's gridTekiseiRentai (pass it) from the run table; kikanText is the text
// of the period choice cmbTarKikan as it stands. Loops on umaIdx and leaves it at tousuu + 1.
void drawGridTekiseiRentai(FlexGrid& gridTekiseiRentai, const QString& kikanText);
// Writes group g (1..17) of a runner into the row: the win rate and the place rate ("#0%", only
// when a run counted; note the place rate comes first here) and the count, with the group's
// label in row 0 and "勝率", "連対", "対象" in row 1.
void setGridTekiseiRentaiCell(FlexGrid& grid, int row, int group, float placeRate, float winRate, int32_t count,
                              const QString& label);
