#pragma once
// Building the local track information file from the stored results: a variant row per race
// day, track and surface, each race's deviation from its standard time, each day's variant as
// the mean deviation, then the template stamped and handed out as a dated file.
#include "platform/vbdate.h"

#include <QString>

// The whole build (the button of the track-file frame): `startYear` as typed (four digits),
// `reCalAll` the state of "全て再計算". Ends with "馬場情報ファイルを作成しました"; on any failure or a
// Cancel nothing has changed. Throws as the administration operations do (kanriCommon.h).
void makeBabaFile(const QString& startYear, bool reCalAll);

// The file name the build hands out for an edition day: 地方馬場ファイルyymmdd版.dat.
QString babaFileName(const VbDate& edition);
