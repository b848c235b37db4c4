#pragma once
// The system names Windows' Japanese fonts; on Linux the IPA fonts stand in for them.
#include <QFont>
#include <QString>

// The narrowest a text is drawn to keep within its room (a grid cell, a drawing's edge): a text a
// little too wide is drawn narrower rather than cut.
constexpr double textMinWidthFactor = 0.8;
// The smallest size, in points, a text too big for its room is set in (the grids' own smallest texts).
constexpr double textMinPoints = 6;

// A font of the given face name and size in points. "ＭＳゴシック" maps to IPAGothic and
// "ＭＳ Ｐゴシック" to IPAPGothic; other names are used as they are.
QFont vbFont(const QString& name, double points);

// The font a text is drawn in. "ＭＳ Ｐゴシック" sets digits and Latin letters half an em wide, as
// the monospace face does, and kana narrower, as the proportional one does; the layouts were
// measured in it. A text of it is set in whichever IPA face sets that text narrower.
QFont fontForText(const QFont& font, const QString& text);
