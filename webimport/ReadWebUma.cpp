// The horse history page: the runner's past runs of the look-back window into runs 1.. of the
// run table, each with its speed index, then stored in the race database.
#include "core/dataFiles.h"
#include "webimport/ReadWeb.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "core/trackFileLoan.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vbformat.h"
#include "webimport/pastRun.h"
#include "webimport/webText.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr int maxRunnerSlot = 18;
constexpr int storedRuns = 100;
constexpr int lastWebRow = 300;
// The cells of a run row the reader takes; a page may carry more after them.
constexpr int runCells = 20;

// The header row "年月日" in rows 1..14; a header in row 15 leaves no room and counts as none.
int historyHeaderRow()
{
    for (int r = 1; r <= 15; ++r)
        if (webCell(r, 1) == QStringLiteral("年月日"))
            return r < 15 ? r : -1;
    return -1;
}

void takeTrack(int h, int w, const QString& cell)
{
    if (isCentralTrack(cell)) {
        pd.uZyo(h, w) = cell.left(3);
        pd.uChiku(h, w) = kCentralMark;
    } else {
        pd.uZyo(h, w) = delSpace(cell.left(3)).left(2);
        pd.uChiku(h, w) = zyoToChiku(pd.uZyo(h, w));
    }
}

// "1200" or "&nbsp;1200" is dirt, "芝1600" turf; any other mark sets neither.
void takeDistance(int h, int w, const QString& cell)
{
    if (IsNumeric(cell)) {
        pd.uKyori(h, w) = CLngText(cell);
        pd.uSiba(h, w) = 0;
    } else if (cell.startsWith(QStringLiteral("&nbsp;"))) {
        pd.uKyori(h, w) = CLngText(cell.mid(6, 4));
        pd.uSiba(h, w) = 0;
    } else if (cell.startsWith(QStringLiteral("芝"))) {
        pd.uKyori(h, w) = CLngText(cell.mid(1, 4));
        pd.uSiba(h, w) = 1;
    }
}

template <class T, class Convert>
void takeNumber(Array2<T>& field, int h, int w, const QString& cell, Convert convert)
{
    if (IsNumeric(cell))
        field(h, w) = convert(cell);
}

void fillRun(int h, int w, int row, const VbDate& date)
{
    const auto cell = [row](int c) -> const QString& { return webCell(row, c); };
    pd.uDate(h, w) = date;
    if (!cell(2).isEmpty())
        takeTrack(h, w, cell(2));
    takeNumber(pd.uRaceNo, h, w, cell(3), CLngText);
    if (!cell(4).isEmpty())
        pd.uRname(h, w) = cell(4);
    if (!cell(6).isEmpty())
        takeDistance(h, w, cell(6));
    if (!cell(8).isEmpty())
        pd.uBaba(h, w) = babaToCode(cell(8).left(1));
    takeNumber(pd.uWaku, h, w, cell(10), CLngText);
    takeNumber(pd.uNo, h, w, cell(11), CLngText);
    takeNumber(pd.uNinki, h, w, cell(12), CLngText);
    const qsizetype slash = cell(13).indexOf(u'/');
    if (slash >= 0) {
        pd.uCyaku(h, w) = CLngText(cell(13).left(slash));
        pd.uTousuu(h, w) = CLngText(cell(13).mid(slash + 1, 3));
    }
    if (cell(14).contains(u':'))
        pd.uTime(h, w) = timeTextSeconds(cell(14));
    takeNumber(pd.uCyakusa, h, w, cell(15), CSngText);
    takeNumber(pd.u3f, h, w, cell(16), CSngText);
    takeNumber(pd.uTaizyu, h, w, cell(17), CLngText);
    if (!cell(18).isEmpty())
        pd.uKisyu(h, w) = cell(18).left(3);
    takeNumber(pd.uHutan, h, w, cell(19), CSngText);
    if (!cell(20).isEmpty())
        pd.uCyoukyou(h, w) = cell(20);
}

// The track information file is lent to slot 1 while the history is walked; without it the
// local runs are taken without an index (the open has said why). Central runs need only the
// central file, which the index opens itself.
void indexRun(int h, int w)
{
    if (pd.uTime(h, w) <= 0)
        return;
    if (pd.jraGraphOn && isCentralTrack(pd.uZyo(h, w)))
        pd.uIndexed(h, w) = calcUSisuuJra(h, w);
    else if (isDbOpen(slotMain))
        pd.uIndexed(h, w) = calcUSisuu(h, w, slotMain);
}

void takeRow(int h, int row, int64_t windowStart)
{
    VbDate d;
    if (!webDate(webCell(row, 1), &d) || !(windowStart < d.serial() && d < pd.raceDate))
        return;
    const int w = ++webRow;
    if (w > pd.kakoMax) {
        pd.kakoMax += 1;
        redimUmaPreserve(maxRunnerSlot, pd.kakoMax);
    }
    fillRun(h, w, row, d);
    indexRun(h, w);
}

// Where each run is parsed, so a read that stores nothing (batch mode) has them too.
void compareWithOlderRuns(int h)
{
    for (int r = 0; r < pd.kakoMax; ++r) {
        if (const auto days = daysSincePrevious(h, r))
            pd.uKankaku(h, r) = *days;
        if (const auto change = weightChange(h, r); change && r >= 1)
            pd.uZougen(h, r) = *change;
    }
}

// A run without its track or race number has no race code to be stored under; it stays in the
// run table for the analysis.
bool hasRaceCode(int h, int r)
{
    return pd.uDate(h, r).serial() > 0 && !pd.uZyo(h, r).isEmpty() && pd.uRaceNo(h, r) > 0;
}

// What the race database holds of runner umaIdx's runs, by race code. One read per horse
// instead of two statements per run.
using StoredRuns = std::unordered_map<QString, StoredRun>;
StoredRuns loadStoredRuns()
{
    StoredRuns stored;
    vbTrap(QStringLiteral("Error-ReadWeb-6"), [&] {
        RecordSet rs(slotMain, QStringLiteral("SELECT T_Useiseki.R_code, U_tuka01, U_tuka02, U_tuka03, U_tuka04, U_kyakusitu, "
                                       "T_Rdata.R_code IS NOT NULL FROM T_Useiseki LEFT JOIN T_Rdata "
                                       "ON T_Rdata.R_code = T_Useiseki.R_code WHERE U_name = ?"),
                     {pd.uName(pd.umaIdx)});
        for (; !rs.eof(); rs.moveNext()) {
            StoredRun& run = stored[rs.field(0).toString()];
            for (int c = 0; c < 4; ++c)
                run.tuka[size_t(c)] = rs.field(1 + c).toInt();
            run.kyakusitu = rs.field(5).toString();
            run.raceStored = rs.field(6).toBool();
        }
    });
    return stored;
}

void storeRuns()
{
    openDbReportedOnce(slotMain, DataFileKind::NarData);
    if (!isDbOpen(slotMain))
        return;
    DbSlotCloser closer(slotMain);
    // Outside a race read the horse's refused writes are still said only once.
    const FileFailureMemo failures;
    // One commit for the horse; each run still succeeds or fails on its own.
    DbTransaction horse(slotMain);
    const StoredRuns stored = loadStoredRuns();
    const int last = std::min(storedRuns, pd.kakoMax);
    for (webRow = 1; webRow <= last; ++webRow) {
        if (!hasRaceCode(pd.umaIdx, webRow))
            continue;
        const auto found = stored.find(makeRaceCode(pd.uZyo(pd.umaIdx, webRow), pd.uDate(pd.umaIdx, webRow),
                                                    pd.uRaceNo(pd.umaIdx, webRow)));
        const StoredRun* known = found == stored.end() ? nullptr : &found->second;
        if (!known || !known->raceStored)
            saveRdataRireki();
        // A run already stored keeps its row; a read of a known race only takes its corners.
        if (!loadTukaKyakusitu(known))
            saveUseisekiRireki();
    }
    try {
        horse.commit();
    } catch (const std::exception& e) {
        reportRefusedPastRuns(e);
    }
}

}

bool readUmaRirekiPage(const QString& url)
{
    bool read = false;
    vbTrap(QStringLiteral("Error-ReadWeb-2"), [&] {
        clearWebCell();
        if (!getWebTable(url, historyFallsShort))
            return;
        parseUmaRireki();
        if (!batchMode())
            storeRuns();
        read = true;
    });
    return read;
}

// The page's cells are checked wherever its header stands; its breadcrumb is not looked for.
bool historyFallsShort()
{
    const int header = historyHeaderRow();
    if (header < 0)
        return false;
    const int needed = std::min(webCellCount(header), runCells);
    VbDate d;
    for (int row = header + 1; row <= lastWebRow; ++row)
        if (webDate(webCell(row, 1), &d) && webCellCount(row) < needed)
            return true;
    return false;
}

void parseUmaRireki()
{
    const int h = pd.umaIdx;
    webRow = 0;
    const int header = historyHeaderRow();
    if (header < 0) {
        if (!batchMode())
            msgBox(QStringLiteral("出走履歴が見つかりません"), vbOKOnly);
        return;
    }
    // The day before the window, counted in 64 bits: the look-back setting may hold any number.
    const int64_t windowStart = int64_t(pd.raceDate.serial()) - pd.kakoKikan;
    // The race read's track file, its lookups of every run in one read transaction: the encrypted
    // file's header is checked once, not before each of its two lookups per run. No tables are
    // checked: a run whose lookup fails says so itself.
    const TrackFileLoan tracks(slotMain, {});
    for (int i = lastWebRow - header; i >= 1; --i)
        vbTrap(QStringLiteral("U_data読込みエラー(err-BA04) %1 %2").arg(h).arg(i), [&] { takeRow(h, header + i, windowStart); });
    compareWithOlderRuns(h);
}

// Corners stored by an earlier import replace the card's; a stored row that holds zeros there
// (a past run stored before) must not wipe them.
bool loadTukaKyakusitu(const StoredRun* stored)
{
    if (!stored)
        return false;
    const int h = pd.umaIdx, r = webRow;
    if (std::any_of(stored->tuka.begin(), stored->tuka.end(), [](int32_t v) { return v != 0; }))
        for (int c = 0; c < 4; ++c)
            pd.uTuka(h, c + 1, r) = stored->tuka[size_t(c)];
    if (!stored->kyakusitu.isEmpty())
        pd.uKyakusitu(h, r) = stored->kyakusitu;
    return true;
}
