#pragma once
// Building windows in code: object names as the system names its controls, and positions
// and sizes in twips as its designs give them. Twips-to-pixels conversion lives in colors.h.
#include "platform/colors.h"

#include <QComboBox>
#include <algorithm>
#include <QPushButton>
#include <QString>
#include <QWidget>

// Names a widget for tests and lookups (an array member gets its index: "cmbSelRace_0").
template <class W>
W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

// Places a widget at a rectangle given in twips.
template <class W>
W* placed(W* widget, const QString& name, int left, int top, int width, int height)
{
    named(widget, name)->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                                     twipsToPixels(height));
    return widget;
}

inline void moveTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(std::max(width, 0)),
                        twipsToPixels(std::max(height, 0)));
}

inline QPushButton* button(const QString& name, const QString& caption, QWidget* parent = nullptr)
{
    return named(new QPushButton(caption, parent), name);
}

// An editable combo box of fixed size: the system's combos take typed text too.
inline QComboBox* combo(const QString& name, QWidget* parent = nullptr)
{
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return box;
}

// Sets a combo's text as the system's Text property does: the item with that text becomes the
// current one (so the list opens on it); a text of no item stays in the edit field.
inline void setComboText(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(text);
}
