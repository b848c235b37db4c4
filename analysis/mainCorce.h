#pragma once
// The course tab "コース": for each frame 1..8 the average speed index and the win rate of every
// stored run on today's course (track, distance, surface) in the period, over all goings and for
// each going, read from the race database.
#include <QString>

class FlexGrid;
class QueryCondition;

// Fills the main window's gridCorce (pass it) from NAR_data.dat on slot 1, with the progress
// window (no owner) advancing one step per group; kikanText is the text of the period choice
// cmbTarKikan as it stands (an unknown text counts every stored run). While a page import holds
// the slots it says so and leaves the table as it was; a database that cannot be opened is
// reported once and leaves the value cells empty.
void drawGridCorce(FlexGrid& gridCorce, const QString& kikanText);
// Raises Cols to 2 x group + 1, writes the group's label and "指数", "勝率" headers and, while the
// database is open on slot 1, the frame's average index ("###") and win rate ("##0%").
void setGridCorceCell(FlexGrid& grid, int group, int frame, const QueryCondition& condition, const QString& label);
