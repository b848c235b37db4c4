#pragma once
// What every sheet grid shares: redraw off for the scope of a fill, the list settings, the link
// style, centred headers and the height that fits the tab strip.
#include "platform/flexgrid.h"
#include "platform/database.h"
#include <QString>

class RedrawOff {
public:
    explicit RedrawOff(FlexGrid& grid) : grid_(grid) { grid_.setRedraw(false); }
    ~RedrawOff() { grid_.setRedraw(true); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    FlexGrid& grid_;
};

constexpr uint32_t sheetLinkColor = 0xFF0000;  // blue in 0xBBGGRR
constexpr uint32_t sheetGreyText = 0x808080;

// The settings of a list grid (one fixed header row, free merging of row 0): cleared, cols x 2.
void setupSheetListGrid(FlexGrid& grid, int cols);
void setLinkStyle(FlexGrid& grid, int row, int col);
void centreRow(FlexGrid& grid, int row);

// Height of a grid under the fit rule: the rows' height plus 50 when the tab strip has room
// below the grid's top, else that room less 50 (never below 0).
int fitGridHeight(int rows, int rowHeightMin, int gridTop, int tabTop, int tabHeight);

// A cell text of a number column: empty for Null, else the value through Format.
QString formatField(const DbField& f, const QString& pattern);
QString formatFloatField(const DbField& f, const QString& pattern);
