#pragma once
// What every sheet grid shares beyond the main window's grid helpers: the list settings, the
// link style and the height that fits the tab strip.
#include "analysis/mainGrid.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "sheets/sheetData.h"
#include <QString>

constexpr uint32_t sheetGreyText = 0x808080;

// The settings of a list grid (one fixed header row, free merging of row 0), cols x 2.
void setupSheetListGrid(FlexGrid& grid, int cols);
void setLinkStyle(FlexGrid& grid, int row, int col);
void setLinkStyle(FlexCell& cell);

// Height of a grid under the fit rule: the rows' height plus 50 when the tab strip has room
// below the grid's top, else that room less 50 (never below 0).
int tabFitHeight(int rows, int rowHeightMin, int gridTop, int tabTop, int tabHeight);

// A cell text of a number column: empty for Null, else the value through Format.
QString formatField(const SheetValue& f, const QString& pattern);
QString formatFloatField(const SheetValue& f, const QString& pattern);
