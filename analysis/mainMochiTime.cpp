#include "analysis/mainMochiTime.h"

#include "analysis/gridLayout.h"
#include "analysis/mainAnalSisuu.h"
#include "analysis/mainGrid.h"
#include "analysis/tekiseiGroups.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"

namespace {

constexpr int mochiGroupCount = 13;
constexpr int todayPos = 3;
// A best time still at its start value means no run counted.
constexpr float noTime = 1000;

MochiKyori mochiKyori {};
// The race read whose race the grid shows (pd.raceReadNo); -1 before the first fill.
int filledForRead = -1;

// The two nearest distinct standard-time distances on one side of today's, nearest first. Two
// classes share a distance, so the distances are taken once each.
std::array<int32_t, 2> nearestKyori(const QString& side, const QString& order)
{
    std::array<int32_t, 2> found {};
    RecordSet rs(slotMain,
                 "SELECT DISTINCT A_kyori FROM T_avetime WHERE A_class = ? AND A_kyori " + side
                     + " ? AND A_zyo = ? AND A_siba = ? ORDER BY A_kyori " + order + " LIMIT 2",
                 {"ave", pd.raceKyori, pd.raceZyo, pd.raceSiba});
    for (size_t i = 0; i < found.size() && !rs.eof(); ++i, rs.moveNext())
        found[i] = rs.field(0).toInt();
    return found;
}

// The aptitude group that group g of this grid takes its test from: the track, then every
// course, the goings, the draw groups and the running styles.
int tekiseiGroupOf(int g)
{
    return g == 1 ? 3 : g + 4;
}

QString mochiLabel(int g)
{
    return g == 6 ? QStringLiteral("不") : tekiseiLabel(tekiseiGroupOf(g));
}

void writeGroups(FlexGrid& grid, int h, int32_t bound)
{
    const std::vector<int> runs = tekiseiRuns(h, bound);
    for (int g = 1; g <= mochiGroupCount; ++g) {
        std::array<float, 6> best {};
        for (int i = 1; i <= 5; ++i) {
            best[size_t(i)] = noTime;
            for (int k : runs)
                if (pd.uKyori(h, k) == mochiKyori[size_t(i)] && tekiseiGroupTest(tekiseiGroupOf(g), h, k)
                    && pd.uTime(h, k) < best[size_t(i)])
                    best[size_t(i)] = pd.uTime(h, k);
            if (best[size_t(i)] == noTime)
                best[size_t(i)] = 0;
        }
        setGridMochiTimeCell(grid, runnerRow(h), g, best, mochiLabel(g));
    }
}

// The ladder from the track file open on slot 1; a query fails when it is not open.
MochiKyori ladderOnSlot()
{
    MochiKyori ladder {};
    ladder[todayPos] = pd.raceKyori;
    const auto shorter = nearestKyori("<", "DESC");
    ladder[2] = shorter[0];
    ladder[1] = shorter[1];
    const auto longer = nearestKyori(">", "ASC");
    ladder[4] = longer[0];
    ladder[5] = longer[1];
    return ladder;
}

// The ladder through the track-file loan. A fill of a newly read race shows today's distance
// alone when the file cannot be read: the read has said why. A refill of the race shown (a period
// pick) is told the failure again, as an analysis begun afresh is, and ends with the fill's own
// tag before the grid is touched.
MochiKyori readLadder(bool refill)
{
    if (refill)
        beginRaceAnalysis();
    const TrackFileLoan loan(slotMain, {"T_avetime"});
    if (loan.isOpen())
        return ladderOnSlot();
    if (refill)
        throw VbError(vbErrObjectMissing, QStringLiteral("Strevin_data.dat is not open"));
    MochiKyori ladder {};
    ladder[todayPos] = pd.raceKyori;
    return ladder;
}

}

void setGridMochiTimeCell(FlexGrid& grid, int row, int group, const std::array<float, 6>& bestTimes,
                          const QString& label)
{
    vbTrap(QStringLiteral("Error-mainMochiTime-2"), [&] {
        for (int i = 1; i <= 5; ++i) {
            if (!(mochiKyori[size_t(i)] > 0))
                continue;
            const int col = mochiTimeCol(group, i);
            grid.setTextMatrix(row, col, timeToText(bestTimes[size_t(i)]));
            writeGroupHeaders(grid, col, label, QString::number(mochiKyori[size_t(i)]));
        }
    });
}

MochiKyori readMochiKyori()
{
    return readLadder(false);
}

void drawGridMochiTime(FlexGrid& gridMochiTime, const QString& kikanText)
{
    vbTrap(QStringLiteral("Error-mainMochiTime-1"), [&] {
        mochiKyori = readLadder(pd.raceReadNo == filledForRead);
        filledForRead = pd.raceReadNo;
        const int32_t bound = kikanBound(kikanText, pd.raceDate);
        const GridFill fill(gridMochiTime);
        setUpTekiseiGrid(gridMochiTime, 75, QStringLiteral("基本指数"), 600);
        writeKihonRunners(gridMochiTime, [&](int h) { writeGroups(gridMochiTime, h, bound); });
        fitGridHeight(gridMochiTime);
    });
}
