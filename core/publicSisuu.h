#pragma once
#include "platform/vbdate.h"

#include <QString>
#include <cstdint>
#include <optional>
// The speed index U_sisuu and last-3F index U_sisuu3f of one run of the run table.

// Local-track run (h, r): reads T_sisuu and T_avetime on the given open connection slot.
// A failure shows "U_sisuu算出エラー(err-BA06)" (unless debug mode); the run keeps what it held then.
// Both tell whether the index was computed.
bool calcUSisuu(int h, int r, int slot);
// Central-track run ("Ｊ" + name): opens jraGraph.dat on slot 2 itself and closes it on every path.
// Callers use it only while pd.jraGraphOn is set; a central file that cannot be opened is reported
// once and switches it off.
bool calcUSisuuJra(int h, int r);

// One run as its index is computed: what it is computed from, and the three values it holds
// (kept where the computation does not reach them).
struct IndexedRun {
    VbDate date;
    QString zyo;
    int32_t siba = 0;
    int32_t kyori = 0;
    float time = 0;
    float f3 = 0;
    float hutan = 0;
    float sisuu = 0;
    float sisuu3f = 0;
    float file = 0;
    // The day's variant row exists (a variant of exactly 0 is a real value).
    bool fileFound = false;
};

// The local index of a run held outside the run table, without the trap: throws VbError, and
// the values set before the failure stay set, as they would in the run table.
void computeLocalIndex(IndexedRun& run, int slot);

// The local formula alone, for callers that look the values up themselves (the recalculation of
// stored runs caches them): variant = S_sisuu of the run's day row, aveTime = A_time of its
// all-class standard-time row of A_sin_kyu 1, each none when there is no row.
void applyLocalIndex(IndexedRun& run, std::optional<float> variant, std::optional<float> aveTime);

// While one lives, the track-table lookups of the index are remembered per file and query: a race
// read asks the same standard times for most runs, and the index of the loaded race asks again
// what the history import asked. Nothing writes the track files while a race read runs; every
// lookup after the memo ends reads the file again.
class TrackLookupMemo {
public:
    TrackLookupMemo();
    ~TrackLookupMemo();
    TrackLookupMemo(const TrackLookupMemo&) = delete;
    TrackLookupMemo& operator=(const TrackLookupMemo&) = delete;

private:
    bool outermost_ = false;
};
