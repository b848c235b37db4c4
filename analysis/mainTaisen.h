#pragma once
// The head-to-head tab "対戦表": for every pair of runners how often they met in the period
// (both ran in one race with a finish) and who finished ahead, with each runner's totals.
#include <QString>

class FlexGrid;

// Computes taisenMatrix for runners 1..tousuu: (h, j, 0) wins and (h, j, 1) losses of h against
// opponent slot j, (h, 0, *) the totals; a dead heat is a loss for both. Only h's runs dated
// strictly between the period bound and the race date count; kikanText is the text of the period
// choice cmbTarKikan (a text that is no entry keeps the bound of the previous call, 0 before the
// first). The fill-all runs it before the horse-column image, which reads the totals. Leaves
// umaIdx at tousuu + 1.
void calcTaisenMatrix(const QString& kikanText);

// Runs calcTaisenMatrix, then fills the main window's gridTaisen (pass it): group g (0 = total,
// j = opponent) in columns 3g + 6..3g + 8 (gridLayout.h). Leaves umaIdx at tousuu + 1.
void drawGridTaisen(FlexGrid& gridTaisen, const QString& kikanText);
// Writes group g of runner h into the row: its label in row 0, "勝ち", "負け", "勝率" in row 1
// and, when the pair has met, wins, losses and win rate.
void setGridTaisenCell(FlexGrid& grid, int row, int h, int group, const QString& label);
