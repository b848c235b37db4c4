#pragma once
// The race database of about four million runs that the sheet and race-file benchmarks share: ten
// years of every local track, 400 jockeys, 800 trainers, 1,500 sires, 60,000 horses, written race
// day by race day as the results import writes them. Made once and kept under the build folder's
// test output (some minutes).
#include "platform/vbdate.h"

#include <QString>

inline constexpr int kYears = 10, kDaysPerYear = 155;
inline const VbDate kFirstDay = VbDate::fromYmd(2015, 1, 5);
// A horse that ran every 1,100th race of the file.
inline const QString kLongCareer = QStringLiteral("ロングキャリア");
// Careers the skewed picks (everyone at every track every year) never make: a jockey at one track
// (2,066 runs in ten years), one at two tracks (4,376) and one who retired seven years ago (2,092).
inline const QString kOneTrack = QStringLiteral("大井の騎手"), kTwoTracks = QStringLiteral("川崎船橋の騎手"),
                     kRetired = QStringLiteral("引退騎手");

// The folder holding NAR_data.dat.
QString fourMillionRunFolder();
// Writes those runs into the empty race database at path (with the indexes it has).
void writeFourMillionRuns(const QString& path);
// The pages of the file open on the slot that hold rows or indexes (its free pages left out).
double usedMegabytes(int slot);
