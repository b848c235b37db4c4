#include "mainwindow/mainGridClick.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "sheets/sheetGrid.h"
#include "sheets/sheetOpen.h"

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
    if (col < 9)
        return 0;
    return card == RaceCard::ByFinish ? col - 8 : int(Int((col - 9) / 3.0)) + 1;
}

void raceCardClick(const FlexGrid& grid, RaceCard card)
{
    const int c = grid.col();
    const int r = grid.row();
    if (c == 3 || c == 4) {
        const SheetKind kind = c == 3 ? SheetKind::Uma : SheetKind::Syuboba;
        unloadSheet(kind);
        if (!isRunnerSlot(r))
            return;
        pd.umaIdx = r;
        openSheet(kind, c == 3 ? pd.uName(r) : pd.uChichi(r));
    } else if ((c == 6 || c == 8) && isRunnerSlot(r)) {
        openSheet(c == 6 ? SheetKind::Kisyu : SheetKind::Cyoukyou, grid.textMatrix(r, c));
    } else if (c >= 9 && isRunnerSlot(r)) {
        const int k = raceCardRun(card, c);
        if (k > pd.uDate.ubound(2))
            return;
        pd.umaIdx = r;
        openSheet(SheetKind::Kextuka, pd.uZyo(r, k) + Format(pd.uDate(r, k), "yymmdd") + Format(pd.uRaceNo(r, k), "00"));
    }
}

void sortRunnersClick(FlexGrid& grid)
{
    const int c = grid.col();
    if (c == 3 || c < 0 || c >= grid.cols() || grid.rows() < 4)
        return;
    RedrawOff redraw(grid);
    grid.sort(2, grid.rows() - 1, c, flexSortGenericDescending);
}

void mochiTimeClick(FlexGrid& grid)
{
    const int c = grid.col();
    if (c < 4 || c >= grid.cols() || grid.rows() < 3)
        return;
    if (c < 6) {
        sortRunnersClick(grid);
        return;
    }
    const int last = std::min(pd.tousuu + 1, grid.rows() - 1);
    std::vector<std::optional<float>> seconds;
    for (int row = 2; row <= last; ++row) {
        const QString t = grid.textMatrix(row, c);
        seconds.push_back(t.isEmpty() ? std::nullopt : std::optional<float>(secondsOf(t)));
    }
    RedrawOff redraw(grid);
    const QString subHeader = grid.textMatrix(1, c);
    grid.setTextMatrix(1, c, QString());
    for (int row = 2; row <= last; ++row) {
        const auto& s = seconds[size_t(row - 2)];
        grid.setTextMatrix(row, c, s ? Format(*s, "##.0") : QStringLiteral("1000"));
    }
    grid.sort(1, last, c, flexSortGenericAscending);
    for (int row = 2; row <= last; ++row) {
        const QString t = grid.textMatrix(row, c);
        grid.setTextMatrix(row, c, t == "1000" || t.isEmpty() ? QString() : timeToText(CSngText(t)));
    }
    grid.setTextMatrix(1, c, subHeader);
}

void runnerListClick(FlexGrid& grid, const std::function<void()>& drawGraph)
{
    const int runner = grid.row() - 1;
    if (runner < 1 || runner > pd.tousuu || grid.cols() <= 3 || grid.row() >= grid.rows())
        return;
    RedrawOff redraw(grid);
    pd.umaIdx = runner;
    for (int row = 0; row < grid.rows(); ++row) {
        grid.setCellFontUnderline(row, 3, true);
        grid.setCellForeColor(row, 3, sheetLinkColor);
    }
    pd.graphShiftDays = 0;
    drawGraph();
    grid.setCellFontUnderline(runner + 1, 3, false);
    grid.setCellForeColor(runner + 1, 3, 0);
}
