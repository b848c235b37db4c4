#pragma once
// How the grid's Sort orders two cell texts, and whether a sort code runs downwards.
#include <QString>

// Negative, zero or positive as a sorts before, with or after b (ascending).
// Generic: an empty cell before anything else; two numbers by value, where a sign and a
// trailing "%" still make a number ("+4", "-6", "45%"); anything else as text.
int flexCompareTexts(const QString& a, const QString& b, int how);
bool flexSortDescending(int how);
