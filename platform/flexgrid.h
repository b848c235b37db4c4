#pragma once
// The grid control the system fills: a QTableView over our own model with the grid's own
// properties. Sizes are in twips, colours 0xBBGGRR. Setters take an explicit (row, col);
// row() / col() tell where the user clicked, for the handlers.
#include "platform/flexgridmodel.h"
#include <QPixmap>
#include <QTableView>
#include <cstdint>
#include <vector>

struct FlexTextLayout;

enum FlexAlignment {
    flexAlignLeftTop = 0, flexAlignLeftCenter = 1, flexAlignLeftBottom = 2,
    flexAlignCenterTop = 3, flexAlignCenterCenter = 4, flexAlignCenterBottom = 5,
    flexAlignRightTop = 6, flexAlignRightCenter = 7, flexAlignRightBottom = 8,
    flexAlignGeneral = 9,
};
enum FlexSort { flexSortNone = 0, flexSortGenericAscending = 1, flexSortGenericDescending = 2,
                flexSortNumericAscending = 3, flexSortNumericDescending = 4,
                flexSortStringAscending = 7, flexSortStringDescending = 8 };

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    void setRows(int n);
    int rows() const;
    void setCols(int n);
    int cols() const;
    void setFixedRows(int n);
    int fixedRows() const;
    void setFixedCols(int n);
    int fixedCols() const;

    void setTextMatrix(int row, int col, const QString& text);
    QString textMatrix(int row, int col) const;
    // Rows row1..row2 take their texts and formats from maker when they are first drawn, read,
    // printed or changed: a long list costs no more to fill than the rows the user looks at.
    void setRowsFrom(int row1, int row2, FlexRowMaker maker);
    // Clear: every cell's text and format, the grid's shape stays.
    void clear();
    // Redraw off: changes are not painted until it is switched on again.
    void setRedraw(bool on);

    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    void setColAlignment(int col, int alignment);
    void setCellAlignment(int row, int col, int alignment);
    int cellAlignment(int row, int col) const;
    void setCellBackColor(int row, int col, uint32_t bgr);
    uint32_t cellBackColor(int row, int col) const;  // 0 when never set
    void setCellForeColor(int row, int col, uint32_t bgr);
    uint32_t cellForeColor(int row, int col) const;
    void setCellFontBold(int row, int col, bool on);
    bool cellFontBold(int row, int col) const;
    void setCellFontUnderline(int row, int col, bool on);
    bool cellFontUnderline(int row, int col) const;
    void setCellFontSize(int row, int col, double points);
    double cellFontSize(int row, int col) const;
    // The grid's font by the system's face name ("ＭＳゴシック" maps to an installed face).
    void setGridFont(const QString& family, double points);
    void setGridFontSize(double points);
    // ForeColor: the text colour of cells without a colour of their own.
    void setForeColor(uint32_t bgr);
    void setWordWrap(bool on);

    void setRowHeightMin(int twips);
    int rowHeightMin() const;
    // In twips; they hide QTableView's pixel versions of the same names.
    void setRowHeight(int row, int twips);
    int rowHeight(int row) const;
    // MergeCells on and MergeRow(row): neighbouring cells of that row with equal text show as one.
    void setMergeCells(bool on);
    void setMergeRow(int row, bool on);

    // Sorts the non-fixed rows between row1 and row2 (inclusive) by column col; whole rows
    // move, formats included. Generic: numbers by value when both cells hold numbers, else text.
    void sort(int row1, int row2, int col, int how);
    // Picture: an image of the whole grid, every row and column at full size.
    QPixmap picture() const;
    // How the cell's text is drawn where the cell stands: its room inside the margins, width
    // factor and drawn size. Row and column must be in the grid.
    FlexTextLayout cellTextLayout(int row, int col) const;
    // The control's height and width in twips, read back exactly as set while the control keeps that size.
    void setHeightTwips(int twips);
    int heightTwips() const;
    void setWidthTwips(int twips);
    int widthTwips() const;

    // Where the user last clicked (Row/Col) and where the mouse is (MouseRow/MouseCol).
    int row() const { return row_; }
    int col() const { return col_; }
    void setRowCol(int row, int col) { row_ = row; col_ = col; }
    // Tests: a click on a cell as the user makes it (sets Row, Col, MouseRow, MouseCol, emits click).
    void clickCell(int row, int col);

signals:
    void click();  // the grid's Click event

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    struct Span {
        int row, col, count;
    };
    enum Pending { pendingNone = 0, pendingCells = 1, pendingLayout = 2 };

    void setModelFont(const QFont& font);
    void checkCol(int col) const;
    void checkRow(int row) const;
    void cellChanged(int row, int col);
    void textChanged(int row);
    void layoutChanged();
    void flush();
    void computeSpans();
    void applyLayout(QTableView* view) const;
    void placeOverlays();
    void syncOverlayScroll();
    QTableView* makeOverlay();
    void pressedAt(const QModelIndex& index);
    std::vector<int> rowEdges() const;
    std::vector<int> colEdges() const;
    int colPixels(int col) const;
    int rowPixels(int row) const;
    // Width of the first count columns, height of the first count rows, in pixels.
    int colsPixels(int count) const;
    int rowsPixels(int count) const;

    FlexGridModel* model_;
    // Fixed rows and columns stay in place while the rest scrolls underneath.
    QTableView* topOverlay_;
    QTableView* leftOverlay_;
    QTableView* cornerOverlay_;
    std::vector<int> colTwips_;   // -1: default width
    std::vector<int> rowTwips_;   // -1: height from the font
    std::vector<char> mergeRows_;
    std::vector<Span> spans_;
    int rowHeightMin_ = 0;
    int fontRowTwips_ = 0;  // a row's height from the grid font
    bool mergeCells_ = false;
    bool redraw_ = true;
    int pending_ = pendingNone;
    int row_ = 0, col_ = 0;
    int widthTwips_ = -1, heightTwips_ = -1;
};
