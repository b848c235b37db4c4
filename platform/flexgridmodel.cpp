#include "platform/flexgridmodel.h"

#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/flexgridsort.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <QBrush>
#include <algorithm>

namespace {
constexpr uint32_t vbWindowBackground = 0x80000005;
const FlexCell emptyCell;
}  // namespace

Qt::Alignment flexToQtAlignment(int alignment, const QString& text)
{
    if (alignment < flexAlignLeftTop || alignment > flexAlignRightBottom)
        return Qt::AlignVCenter | (IsNumeric(text) ? Qt::AlignRight : Qt::AlignLeft);
    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[alignment / 3] | vertical[alignment % 3];
}

FlexGridModel::FlexGridModel(QObject* parent)
    : QAbstractTableModel(parent), foreColor_(vbWindowText)
{
}

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : cols_;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const FlexCell& c = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return c.text;
    case Qt::BackgroundRole:
        return QBrush(vbColor(backColorOf(index.row(), index.column(), c)));
    case Qt::ForegroundRole:
        return QBrush(vbColor(c.foreColor.value_or(foreColor_)));
    case Qt::FontRole:
        return cellFont(c);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(flexToQtAlignment(c.alignment >= 0 ? c.alignment
                                                                      : colAlignment_[size_t(index.column())],
                                                     c.text));
    default:
        return {};
    }
}

uint32_t FlexGridModel::backColorOf(int row, int col, const FlexCell& cell) const
{
    if (cell.backColor)
        return *cell.backColor;
    return row < fixedRows_ || col < fixedCols_ ? vbButtonFace : vbWindowBackground;
}

QFont FlexGridModel::cellFont(const FlexCell& cell) const
{
    QFont font = gridFont_;
    if (cell.fontSize > 0)
        font.setPointSizeF(cell.fontSize);
    font.setBold(cell.bold);
    font.setUnderline(cell.underline);
    return font;
}

void FlexGridModel::resize(int rows, int cols)
{
    if (rows < 0 || cols < 0)
        throw VbError(vbErrSubscript, QStringLiteral("Invalid grid size"));
    // Rows added below keep the views where they are (a list growing while the user scrolls it);
    // any other change starts them afresh.
    const bool growing = cols == cols_ && rows > rows_;
    if (growing)
        beginInsertRows({}, rows_, rows - 1);
    else
        beginResetModel();
    rowData_.resize(size_t(rows));
    if (cols != cols_)
        for (Row& row : rowData_)
            if (row.cells)
                row.cells->resize(size_t(cols));
    colAlignment_.resize(size_t(cols), flexAlignGeneral);
    rows_ = rows;
    cols_ = cols;
    fixedRows_ = std::min(fixedRows_, rows);
    fixedCols_ = std::min(fixedCols_, cols);
    if (growing)
        endInsertRows();
    else
        endResetModel();
}

void FlexGridModel::setFixed(int rows, int cols)
{
    if (rows < 0 || rows > rows_ || cols < 0 || cols > cols_)
        throw VbError(vbErrSubscript, QStringLiteral("Invalid fixed rows or columns"));
    fixedRows_ = rows;
    fixedCols_ = cols;
}

void FlexGridModel::checkCell(int row, int col) const
{
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_)
        throw VbError(vbErrSubscript,
                      QStringLiteral("Subscript out of range (cell %1, %2 of %3 x %4)").arg(row).arg(col).arg(rows_).arg(cols_));
}

std::vector<FlexCell>& FlexGridModel::rowCells(int row) const
{
    Row& r = rowData_[size_t(row)];
    if (!r.cells) {
        r.cells = std::make_unique<std::vector<FlexCell>>(size_t(cols_));
        if (r.maker) {
            const auto maker = std::move(r.maker);
            (*maker)(row, *r.cells);
        }
    }
    return *r.cells;
}

FlexCell& FlexGridModel::cell(int row, int col)
{
    checkCell(row, col);
    return rowCells(row)[size_t(col)];
}

const FlexCell& FlexGridModel::cell(int row, int col) const
{
    checkCell(row, col);
    const Row& r = rowData_[size_t(row)];
    if (!r.cells && !r.maker)
        return emptyCell;
    return rowCells(row)[size_t(col)];
}

void FlexGridModel::clearCells()
{
    for (Row& row : rowData_)
        row = Row();
}

void FlexGridModel::setRowMaker(int row1, int row2, FlexRowMaker maker)
{
    checkCell(row1, 0);
    checkCell(row2, 0);
    const auto shared = std::make_shared<const FlexRowMaker>(std::move(maker));
    for (int r = row1; r <= row2; ++r)
        rowData_[size_t(r)] = Row {nullptr, shared};
}

void FlexGridModel::setColAlignment(int col, int alignment)
{
    checkCell(0, col);
    colAlignment_[size_t(col)] = alignment;
}

int FlexGridModel::colAlignment(int col) const
{
    checkCell(0, col);
    return colAlignment_[size_t(col)];
}

void FlexGridModel::sortRows(int row1, int row2, int col, int how)
{
    checkCell(row1, col);
    checkCell(row2, col);
    if (how == flexSortNone || row1 >= row2)
        return;
    for (int r = row1; r <= row2; ++r)
        rowCells(r);
    const bool down = flexSortDescending(how);
    std::stable_sort(rowData_.begin() + row1, rowData_.begin() + row2 + 1,
                     [col, how, down](const Row& a, const Row& b) {
                         const int order = flexCompareTexts((*a.cells)[size_t(col)].text, (*b.cells)[size_t(col)].text, how);
                         return down ? order > 0 : order < 0;
                     });
}

void FlexGridModel::announceCells(int row1, int col1, int row2, int col2)
{
    emit dataChanged(index(row1, col1), index(row2, col2));
}

void FlexGridModel::announceAll()
{
    if (rows_ > 0 && cols_ > 0)
        announceCells(0, 0, rows_ - 1, cols_ - 1);
}
