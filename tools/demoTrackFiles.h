#pragma once
// The demo world's track variants and standard times in the demo folder's track information
// files, so that its runs get speed indices and the administration tools have standard times.
#include "tools/demoWorld.h"

// Gives each of Strevin_data.dat and CalSisuu.mdb (standard times and the same variants of every
// track for every day of the year up to today) and motofile.mdb (standard times) in the folder
// that holds no standard time yet (the default files of a new set-up) the world's tables; a file
// that holds the world's standard times (filled on an earlier day) gets the variants of the days
// since; Strevin_data.dat then has today's edition. A file with other standard times (a real
// edition, or times corrected with the administration tools) is never touched, nor one that is
// missing. Gives the names of the files it wrote.
QStringList fillDemoTrackFiles(const QString& folder, const DemoWorld& world);
