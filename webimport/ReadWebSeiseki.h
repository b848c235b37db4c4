#pragma once
// The results page of one race and the results writer. A results page is parsed into its own
// race header and run table, so an import never disturbs the race shown in the main window.
#include "platform/vbarray.h"
#include "webimport/raceTitle.h"

// One race of a results page. Runner slot = horse number (1..16); every per-run array holds
// run 0 only, in the run table's shape.
struct SeisekiRace : RaceTitle {
    static constexpr int maxUma = 16;
    SeisekiRace();

    // The rest of the race header.
    QString raceClass;
    int32_t tousuu = 0;

    // Runners (0..16, run 0).
    Array1<QString> uName;
    Array2<QString> uKisyu, uCyoukyou, uSyozoku, uKyakusitu;
    Array2<int32_t> uCyaku, uWaku, uTaizyu, uNinki;
    Array2<float> uHutan, u3f, uTime, uCyakusa, uSisuu, uSisuu3f, uFile;
    Array2<char> uFileFound;
    Array3<int32_t> uTuka;  // (slot, corner 1..4, run 0)

    // Results: horse numbers placed 1st..3rd and the payouts (elements 1..3 used).
    Array1<int32_t> cyakuUma, payHukusyo, payWide;
    int32_t payTansyo = 0, payUmahuku = 0, payUmatan = 0, pay3huku = 0, pay3tan = 0;
    float aveTime = 0;
};

// What became of one results page.
enum class SeisekiPage {
    Cancelled,     // the load was cancelled (the loader has said so)
    LoadFailed,    // the server did not answer, or not with a whole page (webLoadFailure says why)
    NotResults,    // no results page at that address: no race, an error page
    DatedToday,    // parsed, never stored: results of today may still change
    TitleUnread,   // the title line did not parse: nothing stored
    WriteFailed,   // the writer failed (seisekiWriteFailure says why): nothing stored
    Saved,         // stored
};

// Loads the results page at url, parses it and stores it (NAR_data.dat on connection slot 2,
// the track information file on slot 1, both opened by the caller).
SeisekiPage readSeisekiPage(const QString& url);

// True when the results page in the cell table ends early: no finisher row, a finisher row with
// fewer cells than the table's header (or the 15 the reader takes), or a payout section without
// its label row or with fewer amount cells than its labels need. The loader then takes it for a cut page. A page that ends
// after its finishers or its corners, without a payout table, is whole.
bool seisekiFallsShort();

// Parses the cell table of a loaded results page into race, which starts empty. False when the
// title line does not parse. Every other section stands on its own: a bad finisher row costs
// that row, a bad corner sequence the corners from it on, a bad payout cell that bet.
bool parseSeiseki(SeisekiRace& race);

// Completes the runners (margins, running style, speed index on slot 1) and writes the race
// and its runners to slot 2 in one transaction. False when nothing was written: then
// seisekiWriteFailure says why, and the caller tells it (in debug mode the error is thrown).
bool saveSeiseki(SeisekiRace& race);
// "成績data書込みエラー", the file and the cause, on three lines; empty after a race stored.
extern QString seisekiWriteFailure;
