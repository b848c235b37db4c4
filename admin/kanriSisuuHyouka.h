#pragma once
// The speed index across regions, tracks and distances: the evaluation of horses that ran in
// two targets, the correction of the standard times of one target, and the recalculation of
// the indices stored with the runs. Each throws as the administration operations do
// (kanriCommon.h) and changes nothing when it fails.
#include <QString>

// The four inputs of the evaluation frame as typed.
struct HyoukaTarget {
    QString kind;    // "地区間", "場間" or "距離間"
    QString tar01;   // a region, a track or a distance in metres
    QString tar02;
    QString tarZyo;  // the track of a distance target
};

// Shifts the chosen standard times of the work file by hosei seconds per 1500 m, then copies
// every work time into the template and the installed track file. Ends with "書き換え終了".
void changeAveTime(const HyoukaTarget& target, const QString& hosei);

// Recomputes U_sisuu and U_sisuu3f of every stored run at the target's tracks against the
// work file's variants and standard times. Ends with "書き換え終了".
void reCalSisuu(const HyoukaTarget& target);

// The evaluation's results as the window shows them; all empty when no horse qualified.
struct HyoukaResult {
    QString ave01, ave02, count, hosei;
};
HyoukaResult analSisuuHyouka(const HyoukaTarget& target);
