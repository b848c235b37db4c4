#include "platform/flexgrid.h"

#include "platform/colors.h"
#include "platform/flexgriddraw.h"
#include "platform/flexgridmodel.h"
#include "platform/fonts.h"
#include "platform/vberror.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {
constexpr int defaultColTwips = 960;

// The next row (column) edge after `from` in the direction of `step` (+1 or -1); the scroll bar
// keeps the result within its range.
int nextEdge(const std::vector<int>& edges, int from, int step)
{
    if (step > 0) {
        const auto next = std::upper_bound(edges.begin(), edges.end(), from);
        return next == edges.end() ? edges.back() : *next;
    }
    const auto previous = std::lower_bound(edges.begin(), edges.end(), from);
    return previous == edges.begin() ? 0 : *std::prev(previous);
}

// A page further (back): the last edge that keeps the page's rows whole, at least one row on.
int pageEdge(const std::vector<int>& edges, int from, int page)
{
    const int target = from + page;
    if (page > 0) {
        const auto last = std::upper_bound(edges.begin(), edges.end(), target);
        const int edge = last == edges.begin() ? 0 : *std::prev(last);
        return edge > from ? edge : nextEdge(edges, from, 1);
    }
    const auto first = std::lower_bound(edges.begin(), edges.end(), target);
    const int edge = first == edges.end() ? edges.back() : *first;
    return edge < from ? edge : nextEdge(edges, from, -1);
}

// The edge a move from `from` towards `asked` goes on to, so that no row (column) stays cut in half
// under the fixed ones and every move shows at least one more.
int edgeToward(const std::vector<int>& edges, int from, int asked)
{
    if (asked > from) {
        const auto next = std::lower_bound(edges.begin(), edges.end(), asked);
        return next == edges.end() ? edges.back() : *next;
    }
    if (asked < from) {
        const auto after = std::upper_bound(edges.begin(), edges.end(), asked);
        return after == edges.begin() ? 0 : *std::prev(after);
    }
    return asked;
}

// The wheel, the scroll bar's arrows, its trough and its slider move the bar by pixels.
void snapToEdge(QScrollBar* bar, const std::vector<int>& edges)
{
    bar->setSliderPosition(edgeToward(edges, bar->value(), bar->sliderPosition()));
}

// A new range (the grid refilled, resized or laid out anew) leaves the bar at the last edge at
// or before where it stood; at the very end it stays, the last row (column) shown whole.
void keepOnEdge(QScrollBar* bar, const std::vector<int>& edges)
{
    const int at = std::min(bar->value(), bar->maximum());
    if (at >= bar->maximum())
        return;
    const auto after = std::upper_bound(edges.begin(), edges.end(), at);
    bar->setValue(after == edges.begin() ? 0 : *std::prev(after));
}

// What every view of the grid shares: no headers (fixed cells are drawn as cells), no
// editing or selection highlight, the grid's own cell drawing, smooth scrolling so
// that the fixed overlays line up with the cells underneath.
void setupView(QTableView* view)
{
    view->setItemDelegate(new FlexGridDelegate(view));
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->horizontalHeader()->setMinimumSectionSize(0);
    view->verticalHeader()->setMinimumSectionSize(0);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void hideScrollBars(QTableView* view)
{
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}
}  // namespace

FlexGrid::FlexGrid(QWidget* parent)
    : QTableView(parent), model_(new FlexGridModel(this))
{
    setModel(model_);
    setupView(this);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractItemView::pressed, this, &FlexGrid::pressedAt);
    connect(this, &QAbstractItemView::clicked, this, &FlexGrid::click);
    topOverlay_ = makeOverlay();
    leftOverlay_ = makeOverlay();
    cornerOverlay_ = makeOverlay();
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &FlexGrid::syncOverlayScroll);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &FlexGrid::syncOverlayScroll);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { snapToEdge(horizontalScrollBar(), colEdges()); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { snapToEdge(verticalScrollBar(), rowEdges()); });
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { keepOnEdge(horizontalScrollBar(), colEdges()); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { keepOnEdge(verticalScrollBar(), rowEdges()); });
    setModelFont(vbFont(QStringLiteral("ＭＳゴシック"), 9));
    setRows(2);
    setCols(2);
    setFixedRows(1);
    setFixedCols(1);
}

FlexGrid::~FlexGrid() = default;

QTableView* FlexGrid::makeOverlay()
{
    auto* view = new QTableView(this);
    setupView(view);
    hideScrollBars(view);
    view->setModel(model_);
    view->setFocusPolicy(Qt::NoFocus);
    view->viewport()->installEventFilter(this);
    for (QScrollBar* bar : {view->horizontalScrollBar(), view->verticalScrollBar()}) {
        connect(bar, &QScrollBar::rangeChanged, this, &FlexGrid::syncOverlayScroll);
        connect(bar, &QScrollBar::valueChanged, this, &FlexGrid::syncOverlayScroll);
    }
    connect(view, &QAbstractItemView::pressed, this, &FlexGrid::pressedAt);
    connect(view, &QAbstractItemView::clicked, this, &FlexGrid::click);
    view->hide();
    return view;
}

// The overlays never scroll on their own: the wheel over them scrolls the grid exactly as over
// its cells. The grid also watches its own scroll bars (the scroll area's hover handling), and
// those pass the wheel on to the grid: only the overlays' wheel is taken here.
bool FlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    const bool overOverlay = watched == topOverlay_->viewport() || watched == leftOverlay_->viewport()
        || watched == cornerOverlay_->viewport();
    if (overOverlay && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

// The arrow keys scroll one row or column, the page keys a screenful of the scrolling rows,
// always to a row boundary, so that no row hides half under the fixed ones. The current cell
// does not move: Row and Col are where the user last clicked.
void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    const int rowsPage = viewport()->height() - rowsPixels(fixedRows());
    switch (event->key()) {
    case Qt::Key_Down: v->setValue(nextEdge(rowEdges(), v->value(), 1)); break;
    case Qt::Key_Up: v->setValue(nextEdge(rowEdges(), v->value(), -1)); break;
    case Qt::Key_Right: h->setValue(nextEdge(colEdges(), h->value(), 1)); break;
    case Qt::Key_Left: h->setValue(nextEdge(colEdges(), h->value(), -1)); break;
    case Qt::Key_PageDown: v->setValue(pageEdge(rowEdges(), v->value(), rowsPage)); break;
    case Qt::Key_PageUp: v->setValue(pageEdge(rowEdges(), v->value(), -rowsPage)); break;
    default: QTableView::keyPressEvent(event); return;
    }
    event->accept();
}

// The sizes cover every row (column) of the model at every moment: the scroll bars read them
// while the model announces its new shape.
void FlexGrid::setRows(int n)
{
    rowTwips_.resize(std::max(rowTwips_.size(), size_t(n)), -1);
    model_->resize(n, model_->cols());
    rowTwips_.resize(size_t(n));
    mergeRows_.resize(size_t(n), 0);
    layoutChanged();
}

int FlexGrid::rows() const
{
    return model_->rows();
}

void FlexGrid::setCols(int n)
{
    colTwips_.resize(std::max(colTwips_.size(), size_t(n)), -1);
    model_->resize(model_->rows(), n);
    colTwips_.resize(size_t(n));
    layoutChanged();
}

int FlexGrid::cols() const
{
    return model_->cols();
}

void FlexGrid::setFixedRows(int n)
{
    model_->setFixed(n, model_->fixedCols());
    pending_ |= pendingCells;
    layoutChanged();
}

int FlexGrid::fixedRows() const
{
    return model_->fixedRows();
}

void FlexGrid::setFixedCols(int n)
{
    model_->setFixed(model_->fixedRows(), n);
    pending_ |= pendingCells;
    layoutChanged();
}

int FlexGrid::fixedCols() const
{
    return model_->fixedCols();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    model_->cell(row, col).text = text;
    textChanged(row);
    cellChanged(row, col);
}

QString FlexGrid::textMatrix(int row, int col) const
{
    return model_->cell(row, col).text;
}

void FlexGrid::setRowsFrom(int row1, int row2, FlexRowMaker maker)
{
    model_->setRowMaker(row1, row2, std::move(maker));
    for (int r = row1; r <= row2; ++r)
        textChanged(r);
    pending_ |= pendingCells;
    flush();
}

void FlexGrid::clear()
{
    model_->clearCells();
    pending_ |= pendingCells;
    layoutChanged();
}

void FlexGrid::setRedraw(bool on)
{
    redraw_ = on;
    setUpdatesEnabled(on);
    flush();
}

void FlexGrid::checkCol(int col) const
{
    if (col < 0 || col >= cols())
        throw VbError(vbErrSubscript, QStringLiteral("Subscript out of range (column %1 of %2)").arg(col).arg(cols()));
}

void FlexGrid::checkRow(int row) const
{
    if (row < 0 || row >= rows())
        throw VbError(vbErrSubscript, QStringLiteral("Subscript out of range (row %1 of %2)").arg(row).arg(rows()));
}

void FlexGrid::setColWidth(int col, int twips)
{
    checkCol(col);
    colTwips_[size_t(col)] = std::max(0, twips);
    layoutChanged();
}

int FlexGrid::colWidth(int col) const
{
    checkCol(col);
    return colTwips_[size_t(col)] < 0 ? defaultColTwips : colTwips_[size_t(col)];
}

void FlexGrid::setColAlignment(int col, int alignment)
{
    model_->setColAlignment(col, alignment);
    pending_ |= pendingCells;
    flush();
}

void FlexGrid::setCellAlignment(int row, int col, int alignment)
{
    model_->cell(row, col).alignment = alignment;
    cellChanged(row, col);
}

int FlexGrid::cellAlignment(int row, int col) const
{
    const int own = model_->cell(row, col).alignment;
    return own >= 0 ? own : model_->colAlignment(col);
}

void FlexGrid::setCellBackColor(int row, int col, uint32_t bgr)
{
    model_->cell(row, col).backColor = bgr;
    cellChanged(row, col);
}

uint32_t FlexGrid::cellBackColor(int row, int col) const
{
    return model_->cell(row, col).backColor.value_or(0);
}

void FlexGrid::setCellForeColor(int row, int col, uint32_t bgr)
{
    model_->cell(row, col).foreColor = bgr;
    cellChanged(row, col);
}

uint32_t FlexGrid::cellForeColor(int row, int col) const
{
    return model_->cell(row, col).foreColor.value_or(model_->foreColor());
}

void FlexGrid::setCellFontBold(int row, int col, bool on)
{
    model_->cell(row, col).bold = on;
    cellChanged(row, col);
}

bool FlexGrid::cellFontBold(int row, int col) const
{
    return model_->cell(row, col).bold;
}

void FlexGrid::setCellFontUnderline(int row, int col, bool on)
{
    model_->cell(row, col).underline = on;
    cellChanged(row, col);
}

bool FlexGrid::cellFontUnderline(int row, int col) const
{
    return model_->cell(row, col).underline;
}

void FlexGrid::setCellFontSize(int row, int col, double points)
{
    model_->cell(row, col).fontSize = points;
    cellChanged(row, col);
}

double FlexGrid::cellFontSize(int row, int col) const
{
    const double own = model_->cell(row, col).fontSize;
    return own > 0 ? own : model_->gridFont().pointSizeF();
}

// The height a row takes from the font is measured once per font: a layout asks it of every row.
void FlexGrid::setModelFont(const QFont& font)
{
    model_->setGridFont(font);
    fontRowTwips_ = pixelsToTwips(QFontMetrics(font).height() + 3);
}

void FlexGrid::setGridFont(const QString& family, double points)
{
    setModelFont(vbFont(family, points));
    pending_ |= pendingCells;
    layoutChanged();
}

void FlexGrid::setGridFontSize(double points)
{
    QFont font = model_->gridFont();
    font.setPointSizeF(points);
    setModelFont(font);
    pending_ |= pendingCells;
    layoutChanged();
}

void FlexGrid::setForeColor(uint32_t bgr)
{
    model_->setForeColor(bgr);
    pending_ |= pendingCells;
    flush();
}

void FlexGrid::setWordWrap(bool on)
{
    for (QTableView* view : {static_cast<QTableView*>(this), topOverlay_, leftOverlay_, cornerOverlay_})
        view->QTableView::setWordWrap(on);
}

void FlexGrid::setRowHeightMin(int twips)
{
    rowHeightMin_ = std::max(0, twips);
    layoutChanged();
}

int FlexGrid::rowHeightMin() const
{
    return rowHeightMin_;
}

void FlexGrid::setRowHeight(int row, int twips)
{
    checkRow(row);
    rowTwips_[size_t(row)] = std::max(0, twips);
    layoutChanged();
}

// A row is as high as set (or as the font needs), never lower than RowHeightMin.
int FlexGrid::rowHeight(int row) const
{
    checkRow(row);
    const int own = rowTwips_[size_t(row)] < 0 ? fontRowTwips_ : rowTwips_[size_t(row)];
    return std::max(own, rowHeightMin_);
}

void FlexGrid::setMergeCells(bool on)
{
    mergeCells_ = on;
    layoutChanged();
}

void FlexGrid::setMergeRow(int row, bool on)
{
    checkRow(row);
    mergeRows_[size_t(row)] = on;
    layoutChanged();
}

void FlexGrid::sort(int row1, int row2, int col, int how)
{
    model_->sortRows(std::max(row1, fixedRows()), row2, col, how);
    pending_ |= pendingCells;
    layoutChanged();
}

QPixmap FlexGrid::picture() const
{
    QTableView view;
    setupView(&view);
    hideScrollBars(&view);
    view.setModel(model_);
    applyLayout(&view);
    view.resize(colsPixels(cols()), rowsPixels(rows()));
    return view.grab();
}

FlexTextLayout FlexGrid::cellTextLayout(int row, int col) const
{
    const QModelIndex index = model_->index(row, col);
    return flexTextLayout(index.data(Qt::FontRole).value<QFont>(), textMatrix(row, col), visualRect(index), wordWrap());
}

void FlexGrid::setHeightTwips(int twips)
{
    heightTwips_ = std::max(0, twips);
    resize(width(), twipsToPixels(heightTwips_));
}

// The twips last set while the widget still has their pixels (a layout may have resized it since).
int FlexGrid::heightTwips() const
{
    return heightTwips_ >= 0 && twipsToPixels(heightTwips_) == height() ? heightTwips_ : pixelsToTwips(height());
}

void FlexGrid::setWidthTwips(int twips)
{
    widthTwips_ = std::max(0, twips);
    resize(twipsToPixels(widthTwips_), height());
}

int FlexGrid::widthTwips() const
{
    return widthTwips_ >= 0 && twipsToPixels(widthTwips_) == width() ? widthTwips_ : pixelsToTwips(width());
}

void FlexGrid::clickCell(int row, int col)
{
    checkRow(row);
    checkCol(col);
    pressedAt(model_->index(row, col));
    emit click();
}

// A click on a fixed cell lands on an overlay, which never takes the focus itself.
void FlexGrid::pressedAt(const QModelIndex& index)
{
    setFocus(Qt::MouseFocusReason);
    row_ = index.row();
    col_ = index.column();
}

// A clicked cell that shows only in part is brought into view by whole rows and columns.
void FlexGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    const int fromH = h->value(), fromV = v->value();
    QTableView::scrollTo(index, hint);
    h->setValue(edgeToward(colEdges(), fromH, h->value()));
    v->setValue(edgeToward(rowEdges(), fromV, v->value()));
}

void FlexGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    placeOverlays();
}

// With redraw on, one changed cell is repainted at once; with redraw off the change waits
// for the single refresh when redraw comes back on.
void FlexGrid::cellChanged(int row, int col)
{
    if (redraw_)
        model_->announceCells(row, col, row, col);
    else
        pending_ |= pendingCells;
}

void FlexGrid::textChanged(int row)
{
    if (mergeCells_ && mergeRows_[size_t(row)])
        layoutChanged();
}

void FlexGrid::layoutChanged()
{
    pending_ |= pendingLayout;
    flush();
}

void FlexGrid::flush()
{
    if (!redraw_)
        return;
    if (pending_ & pendingLayout) {
        computeSpans();
        for (QTableView* view : {static_cast<QTableView*>(this), topOverlay_, leftOverlay_, cornerOverlay_})
            applyLayout(view);
        placeOverlays();
    }
    if (pending_ & pendingCells)
        model_->announceAll();
    pending_ = pendingNone;
}

// Neighbouring cells of a merged row with equal text show as one; fixed and scrolling
// columns never merge with each other.
void FlexGrid::computeSpans()
{
    spans_.clear();
    if (!mergeCells_)
        return;
    for (int r = 0; r < rows(); ++r) {
        if (!mergeRows_[size_t(r)])
            continue;
        int c = 0;
        while (c < cols()) {
            int end = c + 1;
            while (end < cols() && (end < fixedCols()) == (c < fixedCols())
                   && textMatrix(r, end) == textMatrix(r, c))
                ++end;
            if (end - c > 1)
                spans_.push_back({r, c, end - c});
            c = end;
        }
    }
}

void FlexGrid::applyLayout(QTableView* view) const
{
    for (int c = 0; c < cols(); ++c)
        view->setColumnWidth(c, colPixels(c));
    // Rows of the last row's height take it as the header's default: one call, where a call per
    // row re-measures the header each time (thousands of rows took seconds).
    const int usual = rows() > 0 ? rowPixels(rows() - 1) : 0;
    view->verticalHeader()->setDefaultSectionSize(usual);
    for (int r = 0; r < rows(); ++r)
        if (view->rowHeight(r) != rowPixels(r))
            view->setRowHeight(r, rowPixels(r));
    view->clearSpans();
    for (const Span& span : spans_)
        view->setSpan(span.row, span.col, 1, span.count);
}

void FlexGrid::placeOverlays()
{
    const QRect area = viewport()->geometry();
    const int w = std::min(colsPixels(fixedCols()), area.width());
    const int h = std::min(rowsPixels(fixedRows()), area.height());
    topOverlay_->setGeometry(area.x(), area.y(), area.width(), h);
    leftOverlay_->setGeometry(area.x(), area.y(), w, area.height());
    cornerOverlay_->setGeometry(area.x(), area.y(), w, h);
    topOverlay_->setVisible(h > 0);
    leftOverlay_->setVisible(w > 0);
    cornerOverlay_->setVisible(w > 0 && h > 0);
    syncOverlayScroll();
}

// The top overlay follows the grid sideways, the left one up and down, the corner neither;
// an overlay that scrolled by itself (to show a clicked cell, say) is put back.
void FlexGrid::syncOverlayScroll()
{
    topOverlay_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    topOverlay_->verticalScrollBar()->setValue(0);
    leftOverlay_->horizontalScrollBar()->setValue(0);
    leftOverlay_->verticalScrollBar()->setValue(verticalScrollBar()->value());
    cornerOverlay_->horizontalScrollBar()->setValue(0);
    cornerOverlay_->verticalScrollBar()->setValue(0);
}

// Scroll positions at which a scrolling row (column) starts right below (beside) the fixed ones.
std::vector<int> FlexGrid::rowEdges() const
{
    std::vector<int> edges {0};
    for (int r = fixedRows(); r < rows(); ++r)
        edges.push_back(edges.back() + rowPixels(r));
    return edges;
}

std::vector<int> FlexGrid::colEdges() const
{
    std::vector<int> edges {0};
    for (int c = fixedCols(); c < cols(); ++c)
        edges.push_back(edges.back() + colPixels(c));
    return edges;
}

int FlexGrid::colPixels(int col) const
{
    return twipsToPixels(colWidth(col));
}

int FlexGrid::rowPixels(int row) const
{
    return twipsToPixels(rowHeight(row));
}

int FlexGrid::colsPixels(int count) const
{
    int width = 0;
    for (int c = 0; c < count; ++c)
        width += colPixels(c);
    return width;
}

int FlexGrid::rowsPixels(int count) const
{
    int height = 0;
    for (int r = 0; r < count; ++r)
        height += rowPixels(r);
    return height;
}
