#pragma once
// Redraw off for the scope of a change to a grid's cells: it paints again however the change
// ends (its last step, an error, an exception in debug mode).
#include "platform/flexgrid.h"

class FlexRedrawOff {
public:
    explicit FlexRedrawOff(FlexGrid& grid) : grid_(grid) { grid_.setRedraw(false); }
    ~FlexRedrawOff() { grid_.setRedraw(true); }
    FlexRedrawOff(const FlexRedrawOff&) = delete;
    FlexRedrawOff& operator=(const FlexRedrawOff&) = delete;

private:
    FlexGrid& grid_;
};
