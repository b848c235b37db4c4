#pragma once
// The corner-entry diagram "コーナー進入予想図": each runner's circled number in one of eight bands
// by its average first-corner position, lane 1 (the front) at the top; within a band the runners
// stand side by side from right to left and their height follows the exact average.
#include <QString>

class Canvas;

// Draws the diagram of runners 1..16 (17 and 18 never appear) from tuka1Ave on the picture
// box's canvas (pass the main window's picCornner canvas): clears it, then prints. Leaves umaIdx
// at the last printed runner (17 when none is printed).
void drawCornner(Canvas& picCornner);
// Puts runners 1..16 with an average above 0 into lanes 1..8. Leaves umaIdx at 17.
void setCornnerLane();
// Clears the canvas and prints every placed runner.
void paintCornner(Canvas& picCornner);
// Prints one text with its top-left corner at (x, y) twips in "ＭＳ Ｐゴシック".
void printCornnerText(Canvas& picture, float x, float y, const QString& text, float size, uint32_t color,
                      bool underline);
// ① .. ⑯ for 1..16, "" for any other number.
QString getMaruNo(int n);
