#pragma once
// The one opening protocol of the sheets, for the main window and the sheets' own links:
// unload the target if it is loaded, write the sheet selection, show it modeless without owner.
#include "sheets/sheetData.h"
#include <optional>

class FlexGrid;
class QWidget;

struct SheetTarget {
    SheetKind kind;
    QString key;
};

// What a click on a run grid's cell opens, by its column's header text: "レース名" the race of the
// row (track of column 1, date of column 0, number of column 2), "馬名", "騎手", "厩舎" the cell's
// subject. Nothing for the header row, a row past the end or another column; a race row whose
// date or number cannot be read is an error (VbError), before anything is unloaded.
std::optional<SheetTarget> sheetTargetOfCell(const FlexGrid& grid, int row, int col);

// The loaded window of that kind, or null.
QWidget* loadedSheet(SheetKind kind);
// Unloads it when loaded (its unload brings the main window back). A sheet whose own handler is
// running is deleted once that handler has returned.
void unloadSheet(SheetKind kind);
// The protocol. While an import or a race read holds the data files it tells the user and opens
// nothing (false).
bool openSheet(SheetKind kind, const QString& key);
