#include "mainwindow/mainComment.h"

#include "analysis/mainGrid.h"
#include "core/dataFiles.h"
#include "core/dialogComment.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"

#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <vector>

namespace {
constexpr int lastListedRun = 100;
constexpr int firstGroupCol = 9;  // run j's group in columns 4j + 9 .. 4j + 12
constexpr int horseNoteCol = 6;

// Every note the page shows, read with one open connection before the grid is touched.
struct CommentPageNotes {
    std::optional<QString> raceComment;
    std::vector<QHash<QString, CommentNote>> horses;  // by runner slot, 0 unused
};

CommentPageNotes readPageNotes()
{
    openCommentDb();
    DbSlotCloser closer(commentSlot);
    CommentPageNotes notes;
    if (const auto race = readComment(pd.raceCode, commentKeyRace))
        notes.raceComment = race->comment;
    notes.horses.resize(size_t(pd.tousuu) + 1);
    for (int h = 1; h <= pd.tousuu; ++h)
        notes.horses[size_t(h)] = readHorseComments(pd.uName(h));
    return notes;
}

// What the page shows notes in, kept beside its grid: where each note stands and the race
// whose comment the box holds. A save anywhere is written into them at once, so the page never
// shows, and its editor never starts from, an older note than the store holds.
class CommentPageState : public QObject {
public:
    CommentPageState(FlexGrid& grid, QLineEdit& box)
        : QObject(&grid), grid_(grid), box_(box)
    {
        connect(&commentStore(), &CommentStore::saved, this, &CommentPageState::noteSaved);
    }

    CommentCells cells;
    QString raceCode;

private:
    void noteSaved(const QString& rCode, const QString& uName, const CommentNote& note)
    {
        if (uName != commentKeyRace) {
            cells.write(grid_, rCode, uName, note);
        } else if (rCode == raceCode && commentBoxSaved(&box_)) {
            box_.setText(note.comment);
            showCommentBoxSaved(&box_, true);
        }
    }

    FlexGrid& grid_;
    QLineEdit& box_;
};

CommentPageState& pageState(FlexGrid& grid, QLineEdit& box)
{
    for (QObject* child : grid.children())
        if (auto* state = dynamic_cast<CommentPageState*>(child))
            return *state;
    return *new CommentPageState(grid, box);
}

void loadRaceCommentBox(QLineEdit& box, const std::optional<QString>& comment)
{
    box.setText(comment.value_or(QString()));
    if (comment)
        showCommentBoxSaved(&box, true);
}

void centreOnFace(FlexGrid& grid, int row, int col)
{
    grid.setCellAlignment(row, col, flexAlignCenterCenter);
    grid.setCellBackColor(row, col, vbButtonFace);
}

// Row 0: the title over the columns; row 1: one heading and width per column.
void writeGroupHeader(FlexGrid& grid, int firstCol, const QString& title,
                      const std::vector<std::pair<QString, int>>& columns)
{
    for (int i = 0; i < int(columns.size()); ++i) {
        const int c = firstCol + i;
        grid.setTextMatrix(0, c, title);
        grid.setTextMatrix(1, c, columns[size_t(i)].first);
        grid.setColWidth(c, columns[size_t(i)].second);
        centreOnFace(grid, 0, c);
        centreOnFace(grid, 1, c);
    }
}

void setUpCommentGrid(FlexGrid& grid)
{
    setUpGrid(grid, {10, pd.tousuu + 2, 1, 4, true});
    setRunnerColWidths(grid);
    grid.setTextMatrix(0, colUmaName, QStringLiteral("馬名"));
    grid.setTextMatrix(0, colYosouSisuu, QStringLiteral("基本"));
    grid.setTextMatrix(0, colKisoSisuu, QStringLiteral("基本"));
    grid.setTextMatrix(subHeaderRow, colYosouSisuu, QStringLiteral("予想"));
    grid.setTextMatrix(subHeaderRow, colKisoSisuu, QStringLiteral("基礎"));
    centreRow(grid, 0);
    for (int c = colUmaName; c < grid.cols(); ++c) {
        centreOnFace(grid, subHeaderRow, c);
        grid.setColWidth(c, 450);
    }
    grid.setColWidth(colUmaName, 1700);
}

// Writes the horse's note on rCode, when it has one, and records the cells as that note's.
void writeNote(FlexGrid& grid, CommentCells& cells, int h, int col, const QHash<QString, CommentNote>& notes,
               const QString& rCode)
{
    const int r = runnerRow(h);
    cells.add(rCode, pd.uName(h), r, col);
    const auto it = notes.find(rCode);
    if (it == notes.end())
        return;
    grid.setTextMatrix(r, col, it->comment);
    grid.setTextMatrix(r, col + 1, it->sign01);
    grid.setTextMatrix(r, col + 2, it->sign02);
}

QString runGroupTitle(int j)
{
    return j == 0 ? QStringLiteral("今回レース馬コメント") : QString::number(j) + QStringLiteral("走前レース馬コメント");
}

int lastRunListed()
{
    return std::min(lastListedRun, pd.uDate.ubound(2));
}

// A run is listed when it has a date after the period start (a run on the start day is not).
bool listedRun(int h, int j, int32_t start)
{
    const int serial = pd.uDate(h, j).serial();
    return serial > 0 && serial > start;
}

// The columns up to the last group any runner lists, and one more: the grid is widened once,
// as each widening copies every cell.
int commentGridCols(int32_t start)
{
    int cols = 10;
    for (int h = 1; h <= pd.tousuu; ++h)
        for (int j = 0; j <= lastRunListed(); ++j)
            if (listedRun(h, j, start))
                cols = std::max(cols, firstGroupCol + 4 * j + 5);
    return cols;
}

void writeRuns(FlexGrid& grid, CommentCells& cells, int h, int32_t start, const QHash<QString, CommentNote>& notes)
{
    const int r = runnerRow(h);
    for (int j = 0; j <= lastRunListed(); ++j) {
        if (!listedRun(h, j, start))
            continue;
        const int c = firstGroupCol + 4 * j;
        if (grid.textMatrix(0, c).isEmpty())
            writeGroupHeader(grid, c, runGroupTitle(j),
                             {{QStringLiteral("レース"), 1000}, {QStringLiteral("コメント"), 5000},
                              {QStringLiteral("ﾏｰｸ1"), 600}, {QStringLiteral("ﾏｰｸ2"), 600}});
        const VbDate date = pd.uDate(h, j);
        grid.setTextMatrix(r, c, pd.uZyo(h, j) + Format(date, QStringLiteral("mm/dd")));
        grid.setCellFontUnderline(r, c, true);
        grid.setCellForeColor(r, c, vbBlue);
        writeNote(grid, cells, h, c + 1, notes, makeRaceCode(pd.uZyo(h, j), date, pd.uRaceNo(h, j)));
    }
}

void fillCommentGrid(FlexGrid& grid, CommentCells& cells, const CommentPageNotes& notes, int32_t start)
{
    const GridFill fill(grid);
    cells.clear();
    setUpCommentGrid(grid);
    grid.setCols(commentGridCols(start));
    for (pd.umaIdx = 1; pd.umaIdx <= pd.tousuu; ++pd.umaIdx) {
        const int h = pd.umaIdx;
        writeRunnerCols(grid, runnerRow(h), h, false);
        writeKihonCols(grid, runnerRow(h), h);
        writeGroupHeader(grid, horseNoteCol, commentHorseLabel,
                         {{QStringLiteral("コメント"), 5000}, {QStringLiteral("ﾏｰｸ1"), 600},
                          {QStringLiteral("ﾏｰｸ2"), 600}});
        const auto& horse = notes.horses[size_t(h)];
        writeNote(grid, cells, h, horseNoteCol, horse, commentKeyUma);
        writeRuns(grid, cells, h, start, horse);
    }
    fitGridHeight(grid);
}
}  // namespace

void drawGridComment(FlexGrid& grid, QLineEdit& box, const QString& kikanText)
{
    vbTrap(QStringLiteral("Error-mainComment"), [&] {
        const int32_t start = kikanBound(kikanText, pd.raceDate);
        const CommentPageNotes notes = readPageNotes();
        CommentPageState& state = pageState(grid, box);
        state.raceCode = pd.raceCode;
        loadRaceCommentBox(box, notes.raceComment);
        fillCommentGrid(grid, state.cells, notes, start);
    });
}

void wireRaceCommentBox(QLineEdit& box, FlexGrid& grid)
{
    QObject::connect(&box, &QLineEdit::textChanged, &box, [&box] { showCommentBoxSaved(&box, false); });
    QObject::connect(&box, &QLineEdit::returnPressed, &box, [&box, &grid] {
        vbTrap(QStringLiteral("Error-frmMain-35"), [&] {
            storeRaceComment(pd.raceCode, box.text());
            showCommentBoxSaved(&box, true);
            grid.setFocus();
        });
    });
}

namespace {
std::optional<CommentTarget> targetOfClick(const FlexGrid& grid)
{
    const int r = grid.row(), c = grid.col();
    const int h = r - 1;
    if (r < 2 || c < 6 || h > pd.tousuu)
        return std::nullopt;
    CommentTarget t;
    t.uName = pd.uName(h);
    t.motoSheet = QStringLiteral("Main");
    if (c < firstGroupCol) {
        t.raceLabel = commentHorseLabel;
        t.rCode = commentKeyUma;
    } else {
        const int j = (c - firstGroupCol) / 4;
        if (j > pd.uDate.ubound(2) || pd.uDate(h, j).serial() <= 0)
            return std::nullopt;
        t.raceLabel = commentRaceLabel(pd.uZyo(h, j), pd.uDate(h, j), pd.uRaceNo(h, j));
        t.rCode = makeRaceCode(pd.uZyo(h, j), pd.uDate(h, j), pd.uRaceNo(h, j));
    }
    return t;
}
}  // namespace

void gridComment_Click(FlexGrid& grid, QWidget* owner)
{
    vbTrap(QStringLiteral("Error-frmMain-11"), [&] {
        if (std::optional<CommentTarget> target = targetOfClick(grid))
            showDialogComment(owner, std::move(*target));
    });
}

void connectCommentPage(FlexGrid& grid, QLineEdit& box, QWidget* owner)
{
    wireRaceCommentBox(box, grid);
    pageState(grid, box);
    QObject::connect(&grid, &FlexGrid::click, &grid, [&grid, owner] { gridComment_Click(grid, owner); });
}
