#pragma once
// The cells behind a FlexGrid: text and format of every cell, the column alignments and the
// grid's font and text colour. It sends no signal when a cell changes; the grid decides when
// the views hear of changes, so that a fill with redraw off costs no repaint work.
#include <QAbstractTableModel>
#include <QFont>
#include <cstdint>
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

    int rows_ = 0, cols_ = 0, fixedRows_ = 0, fixedCols_ = 0;
    std::vector<FlexCell> cells_;  // row by row
    std::vector<int> colAlignment_;
    QFont gridFont_;
    uint32_t foreColor_;
};

// The cell alignment codes (flexAlign...) as Qt alignment; "general" puts numbers right.
Qt::Alignment flexToQtAlignment(int alignment, const QString& text);
