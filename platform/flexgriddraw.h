#pragma once
// How the grid draws a cell: its text a few pixels in from the cell's edges, clipped there and
// never elided, as the grid the layouts were made for draws it. A text too big for that room is
// drawn smaller: one line first narrower (a width factor, down to its floor), then at a smaller
// size; wrapped lines at a smaller size. Only a text that does not fit at the smallest size is
// clipped.
#include "platform/fonts.h"

#include <QFont>
#include <QRect>
#include <QStyledItemDelegate>

// Pixels between a cell's edge (or grid line) and its text, left and right.
constexpr int flexTextMargin = 2;

struct FlexTextLayout {
    QFont font;            // the font the text is drawn in
    QRect room;            // the cell inside its margins
    double factor = 1;     // the width factor the text is drawn with
    double width = 0;      // the text's drawn width in pixels
    double height = 0;     // its height in pixels
    bool fits() const { return width <= room.width() && height <= room.height(); }
};

// cell: the cell's rectangle without its grid line. A wrapped text takes as many lines as it
// needs; it fits when its lines fit the room both ways.
FlexTextLayout flexTextLayout(const QFont& font, const QString& text, const QRect& cell, bool wrap = false);

class FlexGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
