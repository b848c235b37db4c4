#pragma once
// Where the analysis grids of the main window put their runners, runs and groups. The fillers
// write by these rules and the click handlers decode a clicked cell by the same ones.

// Every runner grid: frame, runner number, mark and horse name in columns 0..3.
constexpr int colWaku = 0;
constexpr int colUmaban = 1;
constexpr int colSirusi = 2;
constexpr int colUmaName = 3;

// The two race card grids: runner slot h in row h, fixed columns 0..8, past runs from column 9.
constexpr int colChichi = 4;
constexpr int colSeirei = 5;
constexpr int colKisyu = 6;
constexpr int colHutan = 7;
constexpr int colCyoukyou = 8;
constexpr int firstRunCol = 9;
constexpr int raceCardRow(int h) { return h; }

// "出走表（着順）": run k in column k + 8.
constexpr int syuxtusouHyouRunCol(int k) { return k + 8; }
constexpr int syuxtusouHyouColRun(int col) { return col - 8; }

// "出走表（スピード指数）": run k in three columns, its line in 3k + 6, its index in 3k + 7 and its
// last-3F index in 3k + 8; every column of the group belongs to run k.
constexpr int spSisuuRunCol(int k) { return 3 * k + 6; }
constexpr int spSisuuColRun(int col) { return (col - firstRunCol) / 3 + 1; }

// The prediction, aptitude, best-times and head-to-head grids: a sub-header in row 1 and runner
// slot h in row h + 1; predicted and base index in columns 4 and 5 (not in the prediction grid).
constexpr int subHeaderRow = 1;
constexpr int runnerRow(int h) { return h + 1; }
constexpr int colYosouSisuu = 4;
constexpr int colKisoSisuu = 5;

// Aptitude grids: group g (1..17) in columns 3g + 3 .. 3g + 5.
constexpr int tekiseiGroupCol(int g) { return 3 * g + 3; }
// Best times: group g (1..13), ladder position i (1..5) in column 5g + i; times from column 6.
constexpr int mochiTimeCol(int g, int i) { return 5 * g + i; }
constexpr int firstMochiTimeCol = 6;
// Head-to-head: group g (0 = the total, j = opponent slot j) in columns 3g + 6 .. 3g + 8.
constexpr int taisenGroupCol(int g) { return 3 * g + 6; }
