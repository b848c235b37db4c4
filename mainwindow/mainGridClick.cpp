#include "mainwindow/mainGridClick.h"

#include "analysis/gridLayout.h"
#include "charts/graphDrawGraph.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/flexgridredraw.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "sheets/sheetOpen.h"
#include "webimport/ReadWeb.h"
#include "webimport/importGuard.h"

#include <optional>
#include <vector>

namespace {
// The runner slot of a race-card row, when the row holds one.
bool isRunnerSlot(int r)
{
    return r >= 1 && r <= pd.tousuu && r <= pd.uName.ubound() && r <= pd.uZyo.ubound(1);
}

// Seconds of a time text "m:ss:t" or "ss:t"; VbError for anything else.
float secondsOf(const QString& t)
{
    const auto digits = [&t](int from, int count) { return CLngText(t.mid(from, count)); };
    if (t.size() == 6 && t[1] == ':' && t[4] == ':')
        return float(60 * digits(0, 1) + digits(2, 2) + digits(5, 1) / 10.0);
    if (t.size() == 4 && t[2] == ':')
        return float(digits(0, 2) + digits(3, 1) / 10.0);
    throw VbError(vbErrTypeMismatch, "not a time: " + t);
}
}  // namespace

int raceCardRun(RaceCard card, int col)
{
    if (col < firstRunCol)
        return 0;
    return card == RaceCard::ByFinish ? syuxtusouHyouColRun(col) : spSisuuColRun(col);
}

void raceCardClick(const FlexGrid& grid, RaceCard card)
{
    const int c = grid.col();
    const int r = grid.row();
    if (c == colUmaName || c == colChichi) {
        // While an import holds the data files an open sheet keeps its content.
        if (saidImportBusy())
            return;
        const SheetKind kind = c == colUmaName ? SheetKind::Uma : SheetKind::Syuboba;
        unloadSheet(kind);
        if (!isRunnerSlot(r))
            return;
        pd.umaIdx = r;
        openSheet(kind, c == colUmaName ? pd.uName(r) : pd.uChichi(r));
    } else if ((c == colKisyu || c == colCyoukyou) && isRunnerSlot(r)) {
        openSheet(c == colKisyu ? SheetKind::Kisyu : SheetKind::Cyoukyou, grid.textMatrix(r, c));
    } else if (c >= firstRunCol && isRunnerSlot(r)) {
        const int k = raceCardRun(card, c);
        if (k > pd.uDate.ubound(2))
            return;
        pd.umaIdx = r;
        openSheet(SheetKind::Kextuka, makeRaceCode(pd.uZyo(r, k), pd.uDate(r, k), pd.uRaceNo(r, k)));
    }
}

void sortRunnersClick(FlexGrid& grid)
{
    const int c = grid.col();
    if (c == colUmaName || c < 0 || c >= grid.cols() || grid.rows() <= runnerRow(2))
        return;
    FlexRedrawOff redraw(grid);
    grid.sort(runnerRow(1), grid.rows() - 1, c, flexSortGenericDescending);
}

void mochiTimeClick(FlexGrid& grid)
{
    const int c = grid.col();
    if (c < colYosouSisuu || c >= grid.cols() || grid.rows() <= runnerRow(1))
        return;
    if (c < firstMochiTimeCol) {
        sortRunnersClick(grid);
        return;
    }
    const int last = std::min(runnerRow(pd.tousuu), grid.rows() - 1);
    std::vector<std::optional<float>> seconds;
    for (int row = runnerRow(1); row <= last; ++row) {
        const QString t = grid.textMatrix(row, c);
        seconds.push_back(t.isEmpty() ? std::nullopt : std::optional<float>(secondsOf(t)));
    }
    FlexRedrawOff redraw(grid);
    const QString subHeader = grid.textMatrix(subHeaderRow, c);
    grid.setTextMatrix(subHeaderRow, c, QString());
    for (int row = runnerRow(1); row <= last; ++row) {
        const auto& s = seconds[size_t(row - runnerRow(1))];
        grid.setTextMatrix(row, c, s ? Format(*s, "##.0") : QStringLiteral("1000"));
    }
    grid.sort(subHeaderRow, last, c, flexSortGenericAscending);
    for (int row = runnerRow(1); row <= last; ++row) {
        const QString t = grid.textMatrix(row, c);
        grid.setTextMatrix(row, c, t == "1000" || t.isEmpty() ? QString() : timeToText(CSngText(t)));
    }
    grid.setTextMatrix(subHeaderRow, c, subHeader);
}

void runnerListClick(const FlexGrid& grid, const std::function<void()>& drawGraph)
{
    const int runner = graphRowRunner(grid.row());
    if (runner < 1 || grid.row() >= grid.rows())
        return;
    pd.umaIdx = runner;
    pd.graphShiftDays = 0;
    drawGraph();
    markGraphRunner(runner);
}
