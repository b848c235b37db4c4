#pragma once
// The demo world's track variants and standard times in the program folder's track information
// files, so that its runs get speed indices and the administration tools have standard times.
#include "tools/demoWorld.h"

// Fills, in the folder, each of Strevin_data.dat (variants of every track for a year either side
// of today, standard times), CalSisuu.mdb and motofile.mdb (standard times) that holds no standard time yet: the
// default files of a new set-up. A file with standard times (a real edition) is never touched,
// nor one that is missing. Gives the names of the files it filled.
QStringList fillEmptyTrackFiles(const QString& folder, const DemoWorld& world);
