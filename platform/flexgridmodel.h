#pragma once
// The cells behind a FlexGrid: text and format of every cell, the column alignments and the
// grid's font and text colour. It sends no signal when a cell changes; the grid decides when
// the views hear of changes, so that a fill with redraw off costs no repaint work. Cells are kept
// row by row, and a row nothing has written holds no cells at all: a long list filled from
// values makes each row's texts only when the row is first drawn, read or changed.
#include <QAbstractTableModel>
#include <QFont>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct FlexCell {
    QString text;
    std::optional<uint32_t> backColor;  // none: the grid's colour for the cell's kind
    std::optional<uint32_t> foreColor;  // none: the grid's ForeColor
    bool bold = false;
    bool underline = false;
    double fontSize = 0;  // 0: the grid's font size
    int alignment = -1;   // -1: the column's alignment
};

// Writes the cells of one row (as many as the grid has columns) the first time they are needed.
using FlexRowMaker = std::function<void(int row, std::vector<FlexCell>& cells)>;

class FlexGridModel : public QAbstractTableModel {
public:
    explicit FlexGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // New shape; cells inside both shapes keep text and format.
    void resize(int rows, int cols);
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }
    void setFixed(int rows, int cols);

    // An index out of the grid is a run-time error (VbError, subscript out of range).
    FlexCell& cell(int row, int col);
    const FlexCell& cell(int row, int col) const;
    void clearCells();
    // Rows row1..row2 are made by maker when first needed, as if it had written them now; the
    // rows made so far by an earlier maker keep their cells. A clear forgets the maker.
    void setRowMaker(int row1, int row2, FlexRowMaker maker);

    void setColAlignment(int col, int alignment);
    int colAlignment(int col) const;
    void setGridFont(const QFont& font) { gridFont_ = font; }
    const QFont& gridFont() const { return gridFont_; }
    void setForeColor(uint32_t bgr) { foreColor_ = bgr; }
    uint32_t foreColor() const { return foreColor_; }

    // Moves whole rows row1..row2 (cells and formats) into the order of column col.
    void sortRows(int row1, int row2, int col, int how);

    void announceCells(int row1, int col1, int row2, int col2);
    void announceAll();

private:
    void checkCell(int row, int col) const;
    QFont cellFont(const FlexCell& cell) const;
    uint32_t backColorOf(int row, int col, const FlexCell& cell) const;
    // The row's cells, made (by the maker, or empty) when it has none yet.
    std::vector<FlexCell>& rowCells(int row) const;

    struct Row {
        std::unique_ptr<std::vector<FlexCell>> cells;  // null: every cell empty, or not made yet
        std::shared_ptr<const FlexRowMaker> maker;     // set while the row waits to be made
    };

    int rows_ = 0, cols_ = 0, fixedRows_ = 0, fixedCols_ = 0;
    mutable std::vector<Row> rowData_;
    std::vector<int> colAlignment_;
    QFont gridFont_;
    uint32_t foreColor_;
};

// The cell alignment codes (flexAlign...) as Qt alignment; "general" puts numbers right.
Qt::Alignment flexToQtAlignment(int alignment, const QString& text);
