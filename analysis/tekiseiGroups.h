#pragma once
// The seventeen conditions of the aptitude grids (the best-times grid uses thirteen of them) and
// the past runs they count, over the run table of the race on screen.
#include <QString>
#include <cstdint>
#include <vector>

constexpr int tekiseiGroupCount = 17;

// Runner h's past runs 1..kakoMax that any group may count, in run order: dated strictly after
// the period bound, on today's surface, with a speed index above 0.
std::vector<int> tekiseiRuns(int h, int32_t bound);
// Whether run k of runner h meets group g (1..17): track and distance, track and distance within
// 100 m, track, distance, distance within 100 m, every course, the four goings, the three draw
// groups (a frame of 0 is inner) and the four running styles. Tracks compare as exact text.
bool tekiseiGroupTest(int g, int h, int k);
// The label of group g from today's race: "大井1200", "大井1100～1300", "大井", "1200",
// "1100～1300", "全コース", "良" ... "追込".
QString tekiseiLabel(int g);
