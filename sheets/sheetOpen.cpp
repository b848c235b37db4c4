#include "sheets/sheetOpen.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "platform/widgets.h"
#include "sheets/frmKextuka.h"
#include "sheets/frmPerson.h"
#include "sheets/frmUma.h"
#include "webimport/ReadWeb.h"
#include "webimport/importGuard.h"

#include <QApplication>
#include <QDate>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>

namespace {
// The sheets in the order they were opened; closed ones drop out as they are deleted.
QList<QPointer<QWidget>> openedSheets;

QWidget* lastShownSheet()
{
    for (auto it = openedSheets.crbegin(); it != openedSheets.crend(); ++it)
        if (*it && (*it)->isVisible() && !(*it)->objectName().isEmpty())
            return *it;
    return nullptr;
}

// A sheet replacing one of its kind takes its frame's place; any other opens one title bar down and
// right of the sheet shown last, so that no sheet lies exactly on another. Where that would leave
// the screen its frame starts again at the screen's top left. The place given is that of the inside
// of the frame, which the shown sheets tell exactly: the new sheet already has a native window (its
// fill's progress dialog made one), and move() would put its inside at the frame's corner.
void placeSheet(QWidget* sheet, const std::optional<QPoint>& replacedInside)
{
    if (replacedInside) {
        sheet->setGeometry(QRect(*replacedInside, sheet->size()));
        return;
    }
    const QWidget* last = lastShownSheet();
    if (!last)
        return;
    const QMargins frame = windowFrame(last);
    const int step = frame.top() > 0 ? frame.top() : std::max(24, sheet->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    QRect inside(last->geometry().topLeft() + QPoint(step, step), sheet->size());
    if (const QScreen* screen = last->screen()) {
        const QRect area = screen->availableGeometry();
        if (!area.contains(inside.marginsAdded(frame)))
            inside.moveTopLeft(area.topLeft() + QPoint(frame.left(), frame.top()));
    }
    sheet->setGeometry(inside);
}

// The race code of a run row: track & "yymmdd" & the race number as two digits.
QString raceCodeOfRow(const FlexGrid& grid, int row)
{
    static const QRegularExpression datePattern("^(\\d\\d)/(\\d\\d)/(\\d\\d)$");
    const auto date = datePattern.match(grid.textMatrix(row, 0));
    const QString raceText = grid.textMatrix(row, 2);
    if (!date.hasMatch() || !raceText.endsWith('R'))
        throw VbError(vbErrTypeMismatch, "no race in this row");
    const int yy = date.captured(1).toInt();
    const QDate day(yy < 30 ? 2000 + yy : 1900 + yy, date.captured(2).toInt(), date.captured(3).toInt());
    if (!day.isValid())
        throw VbError(vbErrTypeMismatch, "no race in this row");
    return makeRaceCode(grid.textMatrix(row, 1), VbDate::fromQDate(day), CLngText(raceText.chopped(1)));
}

SheetFrame* createSheet(SheetKind kind, const QString& key)
{
    switch (kind) {
    case SheetKind::Uma: return new FrmUma(key);
    case SheetKind::Kextuka: return new FrmKextuka(key);
    default: return new FrmPerson(kind, key);
    }
}
}  // namespace

std::optional<SheetTarget> sheetTargetOfCell(const FlexGrid& grid, int row, int col)
{
    if (row < 1 || row >= grid.rows() || col < 0 || col >= grid.cols())
        return std::nullopt;
    const QString header = grid.textMatrix(0, col);
    if (header == "レース名")
        return SheetTarget {SheetKind::Kextuka, raceCodeOfRow(grid, row)};
    if (header == "馬名")
        return SheetTarget {SheetKind::Uma, grid.textMatrix(row, col)};
    if (header == "騎手")
        return SheetTarget {SheetKind::Kisyu, grid.textMatrix(row, col)};
    if (header == "厩舎")
        return SheetTarget {SheetKind::Cyoukyou, grid.textMatrix(row, col)};
    return std::nullopt;
}

QWidget* loadedSheet(SheetKind kind)
{
    return loadedForm(sheetFormName(kind));
}

void unloadSheet(SheetKind kind)
{
    if (QWidget* old = loadedSheet(kind)) {
        // Nameless at once, so that the new window is the only one of its name; deleted later,
        // so that a sheet reopening itself from its own handler is not destroyed under it.
        old->setObjectName(QString());
        old->close();
    }
}

bool openSheet(SheetKind kind, const QString& key)
{
    if (saidImportBusy())
        return false;
    std::optional<QPoint> replacedInside;
    if (const QWidget* old = loadedSheet(kind); old && old->isVisible())
        replacedInside = old->geometry().topLeft();
    unloadSheet(kind);
    pd.sheetKey = key;
    SheetFrame* sheet = createSheet(kind, key);
    if (kind != SheetKind::Kextuka)
        pd.sheetForm = sheet;
    sheet->load();
    keepOnScreen(sheet);
    placeSheet(sheet, replacedInside);
    openedSheets.removeAll(nullptr);
    openedSheets.append(sheet);
    sheet->show();
    return true;
}
