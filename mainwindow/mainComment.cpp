#include "mainwindow/mainComment.h"

#include "core/dialogComment.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <vector>

namespace {
constexpr uint32_t unsavedColor = 0x808080;
constexpr int lastListedRun = 100;
constexpr int firstRunCol = 9;

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

void setBoxColor(QLineEdit& box, uint32_t bgr)
{
    QPalette pal = box.palette();
    pal.setColor(QPalette::Text, vbColor(bgr));
    box.setPalette(pal);
}

void loadRaceCommentBox(QLineEdit& box, const std::optional<QString>& comment)
{
    box.setText(comment.value_or(QString()));
    if (comment)
        setBoxColor(box, vbMenuText);
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

void setUpGrid(FlexGrid& grid)
{
    grid.clear();
    grid.setCols(10);
    grid.setRows(pd.tousuu + 2);
    grid.setRowHeightMin(300);
    grid.setFixedRows(1);
    grid.setFixedCols(4);
    grid.setMergeCells(true);
    grid.setMergeRow(0, true);
    grid.setGridFont(QStringLiteral("ＭＳゴシック"), 9);
    grid.setForeColor(RGB(1, 1, 1));
    const int widths[] = {200, 250, 290, 1700};
    for (int c = 0; c < 4; ++c)
        grid.setColWidth(c, widths[c]);
    grid.setTextMatrix(0, 3, QStringLiteral("馬名"));
    grid.setTextMatrix(0, 4, QStringLiteral("基本"));
    grid.setTextMatrix(0, 5, QStringLiteral("基本"));
    grid.setTextMatrix(1, 4, QStringLiteral("予想"));
    grid.setTextMatrix(1, 5, QStringLiteral("基礎"));
    for (int c = 0; c < grid.cols(); ++c)
        grid.setCellAlignment(0, c, flexAlignCenterCenter);
    for (int c = 3; c < grid.cols(); ++c) {
        centreOnFace(grid, 1, c);
        grid.setColWidth(c, 450);
    }
    grid.setColWidth(3, 1700);
}

void writeRunner(FlexGrid& grid, int h)
{
    const int r = h + 1;
    const int waku = pd.uWaku(h, 0);
    grid.setCellBackColor(r, 0, wakuColor(waku));
    if (waku != pd.uWaku(h - 1, 0))
        grid.setTextMatrix(r, 0, QString::number(waku));
    if (waku == 2 || waku == 4)
        grid.setCellForeColor(r, 0, RGB(255, 255, 255));
    grid.setTextMatrix(r, 1, QString::number(h));
    grid.setTextMatrix(r, 2, pd.sirusi(h));
    grid.setCellFontBold(r, 2, true);
    grid.setTextMatrix(r, 3, pd.uName(h));
    grid.setCellFontBold(r, 3, true);
    for (int c = 1; c <= 3; ++c)
        grid.setCellBackColor(r, c, RGB(255, 255, 255));
    grid.setTextMatrix(r, 4, Format(pd.yosouSisuu(h), QStringLiteral("###")));
    grid.setTextMatrix(r, 5, Format(pd.kisoSisuu(h, 0), QStringLiteral("###")));
}

void writeNote(FlexGrid& grid, int r, int col, const QHash<QString, CommentNote>& notes, const QString& rCode)
{
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

void writeRuns(FlexGrid& grid, int h, int32_t start, const QHash<QString, CommentNote>& notes)
{
    const int r = h + 1;
    const int last = std::min(lastListedRun, pd.uDate.ubound(2));
    for (int j = 0; j <= last; ++j) {
        const VbDate date = pd.uDate(h, j);
        if (date.serial() <= 0 || date.serial() <= start)
            continue;
        const int c = firstRunCol + 4 * j;
        if (grid.cols() < c + 5) {
            grid.setCols(c + 5);
            writeGroupHeader(grid, c, runGroupTitle(j),
                             {{QStringLiteral("レース"), 1000}, {QStringLiteral("コメント"), 5000},
                              {QStringLiteral("ﾏｰｸ1"), 600}, {QStringLiteral("ﾏｰｸ2"), 600}});
        }
        grid.setTextMatrix(r, c, pd.uZyo(h, j) + Format(date, QStringLiteral("mm/dd")));
        grid.setCellFontUnderline(r, c, true);
        grid.setCellForeColor(r, c, 0xFF0000);
        writeNote(grid, r, c + 1, notes, makeRaceCode(pd.uZyo(h, j), date, pd.uRaceNo(h, j)));
    }
}

void fillCommentGrid(FlexGrid& grid, const CommentPageNotes& notes, int32_t start)
{
    FlexRedrawOff redrawOff(grid);
    setUpGrid(grid);
    for (pd.umaIdx = 1; pd.umaIdx <= pd.tousuu; ++pd.umaIdx) {
        const int h = pd.umaIdx;
        writeRunner(grid, h);
        writeGroupHeader(grid, 6, commentHorseLabel,
                         {{QStringLiteral("コメント"), 5000}, {QStringLiteral("ﾏｰｸ1"), 600},
                          {QStringLiteral("ﾏｰｸ2"), 600}});
        const auto& horse = notes.horses[size_t(h)];
        writeNote(grid, h + 1, 6, horse, commentKeyUma);
        writeRuns(grid, h, start, horse);
    }
    grid.setHeightTwips((grid.rows() + 1) * grid.rowHeightMin() + 50);
}
}  // namespace

void drawGridComment(FlexGrid& grid, QLineEdit& box, const QString& kikanText)
{
    vbTrap(QStringLiteral("Error-mainComment"), [&] {
        const int32_t start = kikanBound(kikanText, pd.raceDate);
        const CommentPageNotes notes = readPageNotes();
        loadRaceCommentBox(box, notes.raceComment);
        fillCommentGrid(grid, notes, start);
    });
}

bool raceCommentSaved(const QLineEdit& box)
{
    return box.palette().color(QPalette::Text) != vbColor(unsavedColor);
}

void wireRaceCommentBox(QLineEdit& box, FlexGrid& grid)
{
    QObject::connect(&box, &QLineEdit::textChanged, &box, [&box] { setBoxColor(box, unsavedColor); });
    QObject::connect(&box, &QLineEdit::returnPressed, &box, [&box, &grid] {
        vbTrap(QStringLiteral("Error-frmMain-35"), [&] {
            openCommentDb();
            DbSlotCloser closer(commentSlot);
            saveRaceComment(pd.raceCode, box.text());
            setBoxColor(box, vbMenuText);
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
    int noteCol = 6;
    if (c <= 8) {
        t.raceLabel = commentHorseLabel;
        t.rCode = commentKeyUma;
    } else {
        const int j = (c - firstRunCol) / 4;
        if (j > pd.uDate.ubound(2) || pd.uDate(h, j).serial() <= 0)
            return std::nullopt;
        t.raceLabel = commentRaceLabel(pd.uZyo(h, j), pd.uDate(h, j), pd.uRaceNo(h, j));
        t.rCode = makeRaceCode(pd.uZyo(h, j), pd.uDate(h, j), pd.uRaceNo(h, j));
        noteCol = firstRunCol + 4 * j + 1;
    }
    t.note = {grid.textMatrix(r, noteCol), grid.textMatrix(r, noteCol + 1), grid.textMatrix(r, noteCol + 2)};
    return t;
}
}  // namespace

void gridComment_Click(FlexGrid& grid, QWidget* owner, std::function<void()> refresh)
{
    vbTrap(QStringLiteral("Error-frmMain-11"), [&] {
        std::optional<CommentTarget> target = targetOfClick(grid);
        if (!target)
            return;
        target->refresh = std::move(refresh);
        showDialogComment(owner, std::move(*target));
    });
}

void connectCommentPage(FlexGrid& grid, QLineEdit& box, const QComboBox& kikan, QWidget* owner)
{
    wireRaceCommentBox(box, grid);
    QObject::connect(&grid, &FlexGrid::click, &grid, [&grid, &box, &kikan, owner] {
        gridComment_Click(grid, owner, [&grid, &box, &kikan] { drawGridComment(grid, box, kikan.currentText()); });
    });
}
