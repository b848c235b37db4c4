#pragma once
// Number conversions and the one Format helper for the patterns the system uses.
#include "platform/vbdate.h"
#include <QString>
#include <concepts>
#include <cstdint>

// Whole-number conversion of the classic run time (CLng/CInt): halves go to the even
// neighbour (2.5 -> 2, 3.5 -> 4). Out of the 32-bit range is an overflow error.
int32_t CLng(double v);
// Int(): the largest whole number not above v (Int(-1.5) = -2).
double Int(double v);

// Text to number as CLng/CSng/CDbl do: blanks trimmed, "" or non-numeric is a type-mismatch
// error (VbError 13). CLng of text rounds halves to even like CLng of a number.
int32_t CLngText(const QString& text);
float CSngText(const QString& text);
double CDblText(const QString& text);
// Val(): the leading number of a text, 0 when there is none; never fails.
double Val(const QString& text);
// IsNumeric() of a text.
bool IsNumeric(const QString& text);

// Format(value, pattern) for the number patterns used by the grids and texts:
//   "###", "##", "#", "0", "00", "000", "00.0", "#0.0", "##.0", "0.00", "#0%", "##0%", "#0.0%",
//   "#,###" (thousands grouped), and sections "+##0;-##" (positive;negative, the negative one
//   shows the magnitude).
// Halves round away from zero on the decimal text the value shows: 15 significant digits
// for a Double, 7 for a Single (so Format(0.145f, "0.00") is "0.15"). A "#"-only integer
// part shows 0 as "" ("###" of 0.4 is "", "##.0" of 0.5 is ".5"); "%" multiplies by 100.
QString Format(double value, const QString& pattern);
// Format for the single-float values: the value is first taken to 7 significant digits.
QString FormatSingle(float value, const QString& pattern);
// A float argument is a Single and formats as one.
QString Format(float value, const QString& pattern);
// Whole numbers of any width (counts, race numbers) format exactly.
template <std::integral T>
QString Format(T value, const QString& pattern)
{
    return Format(double(value), pattern);
}
// A Single as text joins it (CStr): the shortest plain decimal that reads back as the same
// Single (55.5 -> "55.5", 56 -> "56", 0.1f -> "0.1"), worked out on the float itself.
QString singleText(float value);
// Date patterns: "yyyy/mm/dd", "yy/mm/dd", "yymmdd", "mm/dd", "m/d", "yyyy", "mm", "dd".
// The zero date formats as "" for every pattern (the system shows no date there).
QString Format(const VbDate& date, const QString& pattern);
