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

// Makes a combo box take typed text, as the system's combos do. When the typing ends (Tab, Enter,
// a click elsewhere) an item that matches what was typed exactly is taken, and wins over the
// inline completion: "1" typed in a list of "01".."12" is "01", not the "10" that completion
// offers. Matching is the same text, or the same whole number written with leading zeros.
void makeEditable(QComboBox* box);

// An editable combo box of fixed size.
inline QComboBox* combo(const QString& name, QWidget* parent = nullptr)
{
    auto* box = named(new QComboBox(parent), name);
    makeEditable(box);
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

// The frame (title bar and borders) a window has once shown, or will have: a window not yet
// shown takes that of a window of ours already shown; none when no shown window has one.
QMargins windowFrame(const QWidget* window);

// Sizes and places a window before it is shown so that it opens inside the available area of its
// screen: never larger than that area, centred on its owner's window when it has one (else on
// the screen), and moved in from any edge it would cross. Every window calls it when it opens.
void keepOnScreen(QWidget* window);

// Makes a window that was just shown appear on the screen at once, for a caller about to start
// long work on the one thread: waits (at most half a second) until the window system shows
// it, then paints it.
void paintNow(QWidget* window);
