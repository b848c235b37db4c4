#include "analysis/mainCorce.h"

#include "analysis/mainGrid.h"
#include "core/dataFiles.h"
#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicQuery.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "webimport/importGuard.h"

namespace {

constexpr int groups = 5;
constexpr int frames = 8;
constexpr int frameRow(int f) { return f + 1; }

void setUpCorce(FlexGrid& grid)
{
    setUpGrid(grid, {2, 10, 2, 1, true});
    grid.setRowHeight(1, 650);
    grid.setColWidth(0, 400);
    for (int f = 1; f <= frames; ++f) {
        grid.setTextMatrix(frameRow(f), 0, QString::number(f) + QStringLiteral("枠"));
        grid.setCellBackColor(frameRow(f), 0, wakuColor(f));
        if (f == 2 || f == 4)
            grid.setCellForeColor(frameRow(f), 0, white);
    }
}

QString groupLabel(int g)
{
    const char* const goings[] {"(良)", "(稍)", "(重)", "(不)"};
    return g == 1 ? pd.raceZyo + QString::number(pd.raceKyori) : QString::fromUtf8(goings[g - 2]);
}

// The runs of frame f on today's course after the bound; in the going groups of one going only.
QueryCondition corceCondition(int32_t bound, int g, int f)
{
    QueryCondition condition;
    condition.add("R_date", ">", VbDate(bound))
        .add("R_zyo", "=", pd.raceZyo)
        .add("R_kyori", "=", pd.raceKyori)
        .add("R_siba", "=", pd.raceSiba)
        .add("U_waku", "=", f);
    if (g > 1)
        condition.add("R_baba", "=", g - 1);
    return condition;
}

}

void setGridCorceCell(FlexGrid& grid, int group, int frame, const QueryCondition& condition, const QString& label)
{
    vbTrap(QStringLiteral("Error-mainAnalCorce-2"), [&] {
        const int col = 2 * group - 1;
        grid.setCols(2 * group + 1);
        writeGroupHeaders(grid, col, label, QStringLiteral("指数"));
        writeGroupHeaders(grid, col + 1, label, QStringLiteral("勝率"));
        grid.setColWidth(col, 600);
        grid.setColWidth(col + 1, 600);
        if (!isDbOpen(slotMain))
            return;
        const float average = avgSisuu(condition);
        const float rate = winRate(condition);
        grid.setTextMatrix(frameRow(frame), col, Format(average, "###"));
        grid.setTextMatrix(frameRow(frame), col + 1, Format(rate, "##0%"));
    });
}

void drawGridCorce(FlexGrid& gridCorce, const QString& kikanText)
{
    // The results import keeps slot 1 open across its page loads.
    if (saidImportBusy())
        return;
    vbTrap(QStringLiteral("Error-mainAnalCorce-1"), [&] {
        const DialogSincyokuUnloader unloader;
        showDialogSincyoku();
        dialogSincyoku().setMax(groups);
        const DbSlotCloser closer(slotMain);
        openDb(slotMain, DataFileKind::NarData);
        const int32_t bound = kikanBound(kikanText, pd.raceDate);
        const GridFill fill(gridCorce);
        setUpCorce(gridCorce);
        for (int g = 1; g <= groups; ++g) {
            for (int f = 1; f <= frames; ++f)
                setGridCorceCell(gridCorce, g, f, corceCondition(bound, g, f), groupLabel(g));
            dialogSincyoku().setValue(float(g));
        }
        closeDb(slotMain);
        centreRow(gridCorce, 0);
        centreRow(gridCorce, 1);
        fitGridHeight(gridCorce, 350);
    });
}
