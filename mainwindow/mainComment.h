#pragma once
// The main window's comment page: the race's own comment box and the grid of every runner's
// general note and notes on its runs inside the period, and the grid's click into the editor.
class FlexGrid;
class QLineEdit;
class QString;
class QWidget;

// Loads the race comment into the box and fills the grid; kikanText is the period combo's text.
void drawGridComment(FlexGrid& grid, QLineEdit& box, const QString& kikanText);

// The race comment box: any change turns its text grey until Return saves it under the race
// shown; then the text is back in the normal colour and the grid has the focus.
void wireRaceCommentBox(QLineEdit& box, FlexGrid& grid);

// A click in the grid opens the note editor, owned by `owner`, for the clicked horse or run,
// with the note as stored.
void gridComment_Click(FlexGrid& grid, QWidget* owner);

// The whole page of a window: the race box, the grid's clicks opening the editor owned by
// `owner`, and every save of a note the page shows (from here, the editor or a sheet) written
// into the page at once.
void connectCommentPage(FlexGrid& grid, QLineEdit& box, QWidget* owner);
