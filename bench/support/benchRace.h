#pragma once
// The full race the analysis benchmarks run on: 18 runners of 150 past runs each on four tracks
// and four distances, and a track information file with a variant for every race day.
#include "platform/vbdate.h"

#include <QString>

constexpr int kRunners = 18;
constexpr int kPastRuns = 150;
inline const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);

// Today 大井 1600 m dirt; every past run with its date, track, distance, going, frame, time,
// style, corner, finish and race number, a third of the field in each race.
void fillRunTable();
// Track variants for every race day of the table, standard times, draw ratios and jockey points.
void fillTrackFile(const QString& path);
