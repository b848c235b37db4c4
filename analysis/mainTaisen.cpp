#include "analysis/mainTaisen.h"

#include "analysis/gridLayout.h"
#include "analysis/mainGrid.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <array>

namespace {

constexpr int runnerSlots = 18;
constexpr int scannedRuns = 100;
constexpr int nameChars = 6;

// A period text that is no list entry keeps the bound of the previous fill.
int32_t taisenBound = 0;

// The dates of every slot's runs 1..100 side by side, so that the scan of some three million
// pairs compares whole numbers before it looks at a track name; and which runnerSlots hold a runner.
struct MeetingTable {
    std::array<std::array<int32_t, scannedRuns + 1>, runnerSlots + 1> dates {};
    std::array<bool, runnerSlots + 1> named {};
};

MeetingTable meetingTable()
{
    MeetingTable t;
    for (int j = 1; j <= runnerSlots; ++j) {
        t.named[size_t(j)] = !pd.uName(j).isEmpty();
        for (int m = 1; m <= scannedRuns; ++m)
            t.dates[size_t(j)][size_t(m)] = pd.uDate(j, m).serial();
    }
    return t;
}

// Opponent j's first run in the race of h's run k (same date, race number and track) with a
// finish; 0 when it has none.
int meetingRun(const MeetingTable& t, int j, int h, int k)
{
    const int32_t date = pd.uDate(h, k).serial();
    const auto& dates = t.dates[size_t(j)];
    for (int m = 1; m <= scannedRuns; ++m)
        if (dates[size_t(m)] == date && pd.uRaceNo(j, m) == pd.uRaceNo(h, k) && pd.uCyaku(j, m) >= 1
            && pd.uZyo(j, m) == pd.uZyo(h, k))
            return m;
    return 0;
}

void calcTaisen(const MeetingTable& t, int h, int32_t bound)
{
    vbTrap(QStringLiteral("Error-mainTaisen-3"), [&] {
        for (int j = 0; j <= runnerSlots; ++j)
            pd.taisenMatrix(h, j, 0) = pd.taisenMatrix(h, j, 1) = 0;
        for (int k = 1; k <= scannedRuns; ++k) {
            const int32_t date = pd.uDate(h, k).serial();
            if (pd.uCyaku(h, k) < 1 || date <= bound || date >= pd.raceDate.serial())
                continue;
            for (int j = 1; j <= runnerSlots; ++j) {
                if (j == h || !t.named[size_t(j)])
                    continue;
                if (const int m = meetingRun(t, j, h, k))
                    ++pd.taisenMatrix(h, j, pd.uCyaku(h, k) < pd.uCyaku(j, m) ? 0 : 1);
            }
        }
        for (int j = 1; j <= runnerSlots; ++j)
            for (int w = 0; w <= 1; ++w)
                pd.taisenMatrix(h, 0, w) += pd.taisenMatrix(h, j, w);
    });
}

QString opponentLabel(int j)
{
    return QString::number(j) + pd.sirusi(j) + pd.uName(j).left(nameChars);
}

}

void calcTaisenMatrix(const QString& kikanText)
{
    vbTrap(QStringLiteral("Error-mainTaisen-1"), [&] {
        if (kikanDays(kikanText) != 0)
            taisenBound = kikanBound(kikanText, pd.raceDate);
        const MeetingTable t = meetingTable();
        const int last = pd.tousuu;
        for (pd.umaIdx = 1; pd.umaIdx <= last; ++pd.umaIdx)
            calcTaisen(t, pd.umaIdx, taisenBound);
    });
}

void setGridTaisenCell(FlexGrid& grid, int row, int h, int group, const QString& label)
{
    vbTrap(QStringLiteral("Error-mainTaisen-2"), [&] {
        const int c0 = taisenGroupCol(group);
        const char* const headers[] {"勝ち", "負け", "勝率"};
        for (int i = 0; i < 3; ++i)
            writeGroupHeaders(grid, c0 + i, label, QString::fromUtf8(headers[i]));
        const float wins = pd.taisenMatrix(h, group, 0), losses = pd.taisenMatrix(h, group, 1);
        if (!(wins + losses > 0))
            return;
        grid.setTextMatrix(row, c0, Format(wins, "###"));
        grid.setTextMatrix(row, c0 + 1, Format(losses, "###"));
        grid.setTextMatrix(row, c0 + 2, Format(float(double(wins) / (double(wins) + double(losses))), "##0%"));
        for (int i = 0; i < 3; ++i)
            grid.setCellForeColor(row, c0 + i, gridTextColor);
    });
}

void drawGridTaisen(FlexGrid& gridTaisen, const QString& kikanText)
{
    calcTaisenMatrix(kikanText);
    vbTrap(QStringLiteral("Error-mainTaisen-1"), [&] {
        const GridFill fill(gridTaisen);
        const int n = pd.tousuu;
        setUpGrid(gridTaisen, {3 * n + 10, n + 2, 1, 4, true});
        writeGroupHeaders(gridTaisen, colYosouSisuu, QStringLiteral("基本指数"), QStringLiteral("予想"));
        writeGroupHeaders(gridTaisen, colKisoSisuu, QStringLiteral("基本指数"), QStringLiteral("基礎"));
        gridTaisen.setColWidth(colUmaName, 1700);
        writeKihonRunners(gridTaisen, [&](int h) {
            setGridTaisenCell(gridTaisen, runnerRow(h), h, 0, QStringLiteral("合計"));
            for (int j = 1; j <= n; ++j)
                setGridTaisenCell(gridTaisen, runnerRow(h), h, j, opponentLabel(j));
        });
        centreRow(gridTaisen, 0);
        styleSubHeader(gridTaisen, 450);
        setRunnerColWidths(gridTaisen);
        gridTaisen.setTextMatrix(0, colUmaName, QStringLiteral("馬名"));
        fitGridHeight(gridTaisen);
    });
}
