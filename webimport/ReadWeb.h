#pragma once
// Page loading and the cell table of the last page read from the racing authority's server.
#include "platform/vbarray.h"
#include "platform/vbdate.h"
#include <QString>
#include <array>
#include <cstdint>

// (r, 0) raw markup of table row r; (r, c) text of cell c, markup stripped. Rows 0..300, cells 0..60.
extern Array2<QString> webCell;
// Body markup of the last page, CR LF pairs removed.
extern QString webHtml;
// The module's shared row / run / runner loop index.
extern int webRow;
// Why the last page load brought no page although it was asked for again and again: the page, its
// host that did not answer (or gave the page cut short every time) and what went wrong. Empty after
// a load that succeeded or was cancelled.
struct WebLoadFailure {
    QString page;
    QString host;
    QString reason;
    bool cut = false;
    int httpStatus = 0;  // of the last answer, when the server gave one
    bool failed() const { return !host.isEmpty() || !reason.isEmpty(); }
    // The server answered that there is no such page (a client error status such as 404).
    bool pageMissing() const { return httpStatus >= 400 && httpStatus <= 499; }
    // The line the callers' messages give it: "サーバー host が応答しません（reason）", or what
    // became of the page when the server answered with it cut short, or the file that was not
    // read; "" when nothing failed.
    QString text() const;
};
extern WebLoadFailure webLoadFailure;

// Sets every entry of webCell to "" (what each page reader does before it loads).
void clearWebCell();
// A kind of page's own check of a page cut into webCell: true when the page falls short of what it
// states about itself (a part it must hold is missing or ends early).
using PageShortCheck = bool (*)();
// Loads the page into the loading window's browser and cuts it into webCell. A page that does not
// come within the time-out is asked for again; a transfer that fails (refused, an error status) or
// brings the page cut short (in its text, or short by fallsShort), after a short pause. After the
// last attempt the load fails (webLoadFailure) and nothing of the page is kept.
// True when the table was built; false on Cancel, a failed load or a run-time error.
bool getWebTable(const QString& url, PageShortCheck fallsShort = nullptr);
// Dumps rows 1..80, cells 1..30 of the page's cell table to CSV.csv; true when it was written.
// A page the server did not give is said so (and the empty table is still written).
bool readWebPageToCsv(const QString& url);
bool writeCsvTable();

// The cells the page gave row r of webCell (its closing cell tags, at most 60).
int webCellCount(int r);
// Cuts a body text into rows 1..300 and cells 1..60 of webCell, stripping markup from cells.
void cutWebTable(const QString& body);
// The check the race card and the results page share: a page whose rows end before its breadcrumb
// row (row 3) falls short (one without any row is no page of the server at all, for the reader to
// tell); a page with the given breadcrumb falls short when its parts do (partsFallShort). What
// follows the last part does not matter: a page that ends there is whole.
bool pageFallsShort(const QString& breadcrumb, PageShortCheck partsFallShort);
// "http://" and the host of the authority's server: [System] webHost of Strevin.ini.
QString webServerUrl();
// R_code of a race: track, date "yymmdd", race number "00" (大井08032411).
QString makeRaceCode(const QString& zyo, const VbDate& date, int raceNo);

// Race card.
bool readSyuxtubaPage(const QString& url);
// A card falls short when it has no runner block, or a runner block without all six rows or
// without today's weights and trainer in its last row.
bool cardFallsShort();
void parseSyuxtubaHyo();
void getUmaUrl();
// Running style of run r of runner k from its corner positions, judged against the field
// size tousuu; writes uKyakusitu(k, r).
void calcKyakusitu(int k, int r);
// The same rule on corner positions 1..4 held anywhere; style is the run's current style.
void judgeKyakusitu(const std::array<int32_t, 4>& tuka, int tousuu, QString& style);

// Horse history of runner umaIdx.
bool readUmaRirekiPage(const QString& url);
// A history page falls short when a run row below its header (a date in its first cell) has
// fewer cells than the header (or than the 20 the reader takes), wherever the header and the
// breadcrumb stand.
bool historyFallsShort();
void parseUmaRireki();
// A run of runner umaIdx as the race database holds it: its corners and running style, and
// whether its race row is there too.
struct StoredRun {
    std::array<int32_t, 4> tuka {};
    QString kyakusitu;
    bool raceStored = false;
};
// True when the run (umaIdx, webRow) has its row in T_Useiseki already (stored is that row, or
// none); its stored corners and style then replace the page's.
bool loadTukaKyakusitu(const StoredRun* stored);

// Past-run writers: run (umaIdx, webRow) into NAR_data.dat on connection slot 1. False when not
// added: its row is stored already (silently), or the file refused the write (said).
bool saveRdataRireki();
bool saveUseisekiRireki();
// Says that NAR_data.dat refused the past runs, naming the file and the cause: once while a
// FileFailureMemo lives.
void reportRefusedPastRuns(const std::exception& error);
