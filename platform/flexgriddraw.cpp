#include "platform/flexgriddraw.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// Wrapped lines take the room's width and as many lines as they need.
void measureWrapped(FlexTextLayout& layout, const QString& text)
{
    const QRectF lines = QFontMetricsF(layout.font).boundingRect(layout.room, Qt::TextWordWrap, text);
    layout.width = lines.width();
    layout.height = lines.height();
}

// One line wider than its room is drawn narrower, down to the floor of the width factor.
void measureLine(FlexTextLayout& layout, const QString& text)
{
    const QFontMetricsF metrics(layout.font);
    const double natural = metrics.horizontalAdvance(text);
    layout.factor = natural > layout.room.width() ? std::max(textMinWidthFactor, layout.room.width() / natural) : 1;
    layout.width = natural * layout.factor;
    layout.height = metrics.height();
}

// A text that overflows its room is set a half point smaller at a time, down to the floor.
void fitText(FlexTextLayout& layout, const QString& text, void (*measure)(FlexTextLayout&, const QString&))
{
    for (;;) {
        measure(layout, text);
        const double smaller = layout.font.pointSizeF() - 0.5;
        if (layout.fits() || smaller < textMinPoints)
            return;
        layout.font.setPointSizeF(smaller);
    }
}
}  // namespace

FlexTextLayout flexTextLayout(const QFont& font, const QString& text, const QRect& cell, bool wrap)
{
    FlexTextLayout layout;
    layout.font = fontForText(font, text);
    layout.room = cell.adjusted(flexTextMargin, 0, -flexTextMargin, 0);
    fitText(layout, text, wrap ? measureWrapped : measureLine);
    return layout;
}

namespace {
// A text that fits is drawn in its room as aligned; a narrowed one fills the room's width (it
// is as wide as the room, or wider and clipped), scaled about the room's left edge.
void drawCellText(QPainter* painter, const QRect& room, int alignment, const QString& text, double factor)
{
    if (factor >= 1) {
        painter->drawText(room, alignment, text);
        return;
    }
    painter->translate(room.left(), 0);
    painter->scale(factor, 1);
    const QRect scaled(0, room.top(), int(std::ceil(room.width() / factor)), room.height());
    painter->drawText(scaled, (alignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft, text);
}
}  // namespace

void FlexGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
    const QString text = index.data(Qt::DisplayRole).toString();
    const int alignment = index.data(Qt::TextAlignmentRole).toInt();
    const bool wrap = option.features & QStyleOptionViewItem::WrapText;
    const FlexTextLayout layout = flexTextLayout(index.data(Qt::FontRole).value<QFont>(), text, option.rect, wrap);
    painter->setFont(layout.font);
    painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
    painter->setClipRect(layout.room);
    if (wrap)
        painter->drawText(layout.room, alignment | Qt::TextWordWrap, text);
    else
        drawCellText(painter, layout.room, alignment, text, layout.factor);
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
}
