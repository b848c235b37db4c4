#pragma once
// Small text rules the page parsers share. Positions count characters, never bytes.
#include "platform/vbdate.h"
#include <QString>

// A page that lacks what a parser reads at a fixed place: a run-time error of that parser.
[[noreturn]] void pageError(const QString& what);
// The characters strictly between the first `from` and the first `to` of s; a page error
// when either is missing or they stand the wrong way round.
QString textBetween(const QString& s, const QString& from, const QString& to);
// The characters before the first `mark`; a page error when it is missing.
QString textBefore(const QString& s, const QString& mark);
// Leading and trailing half-width spaces removed (no other blank).
QString trimSpaces(const QString& s);
// Seconds of a time text with one ":" (seconds ":" tenths) or two (minutes ":" seconds ":"
// tenths): "59:8" is 59.8, "1:32:5" is 92.5. The text must hold a ":".
float timeTextSeconds(const QString& t);
// A date text "yyyy/m/d" of the pages (years 1 to 9999); false when the text is no such date.
bool webDate(const QString& text, VbDate* date);
