#include "platform/canvas.h"
#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/flexgriddraw.h"
#include "platform/flexgridsort.h"
#include "platform/fonts.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

// A race-card-like grid on screen: one fixed header row, four fixed columns, runner rows below.
struct FlexGridTest : ::testing::Test {
    FlexGrid grid;

    void SetUp() override
    {
        grid.setCols(8);
        grid.setRows(6);
        grid.setRowHeightMin(300);
        grid.setFixedCols(4);
        grid.setGridFont("ＭＳゴシック", 9);
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                grid.setTextMatrix(r, c, QStringLiteral("%1-%2").arg(r).arg(c));
        grid.resize(500, 200);
        grid.show();
    }
    QVariant shown(int row, int col, int role) const { return grid.model()->data(grid.model()->index(row, col), role); }
    QPoint centre(int row, int col) const { return grid.viewport()->mapTo(&grid, grid.visualRect(grid.model()->index(row, col)).center()); }
    QColor pixel(QPoint at)
    {
        QApplication::processEvents();
        return grid.grab().toImage().pixelColor(at);
    }
    // A left click on whatever part of the grid (cells or fixed overlay) lies at the point.
    void clickAt(QPoint at)
    {
        QApplication::processEvents();
        QTest::mouseClick(grid.childAt(at), Qt::LeftButton, {}, grid.childAt(at)->mapFrom(&grid, at));
    }
};

// Fixed cells follow a change of the desktop's palette; a drawing's window colours stay white and black.
TEST_F(FlexGridTest, FixedCellsFollowTheDesktopPaletteCanvasesDoNot)
{
    grid.setCellBackColor(1, 5, RGB(255, 128, 0));
    const QPalette desktop = QApplication::palette();
    QPalette dark = desktop;
    dark.setColor(QPalette::Button, QColor(40, 40, 60));
    dark.setColor(QPalette::Base, Qt::darkGray);
    dark.setColor(QPalette::WindowText, Qt::yellow);
    QApplication::setPalette(dark);
    grid.viewport()->update();
    const auto seen = std::tuple(pixel(centre(0, 5) + QPoint(0, 6)), pixel(centre(1, 5) + QPoint(0, 6)),
                                 canvasColor(vbWindowBackground), canvasColor(vbWindowText));
    QApplication::setPalette(desktop);
    EXPECT_EQ(seen, std::tuple(QColor(40, 40, 60), QColor(255, 128, 0), QColor(Qt::white), QColor(Qt::black)));
}

// Texts stand a margin in from their cell's edges: a right-aligned text and the left-aligned one in the
// next cell never touch. A text a little too wide is drawn narrower to fit; one too wide for the
// narrowest factor is set smaller as well; only one too wide even at the smallest size is cut at its
// cell's edge, never spilling into the next cell.
TEST_F(FlexGridTest, TextsKeepTheirMarginsAndAreNarrowedShrunkOrCutNeverSpilled)
{
    grid.setColWidth(4, 600);
    grid.setColWidth(5, 600);
    grid.setCellAlignment(1, 4, flexAlignRightCenter);
    grid.setCellAlignment(1, 5, flexAlignLeftCenter);
    grid.setTextMatrix(1, 4, "888888");   // 36 pixels in a room of 35
    grid.setTextMatrix(1, 5, "888888");
    grid.setTextMatrix(2, 4, "8888888888");  // 60 pixels: 48 at the narrowest factor, still too wide
    grid.setTextMatrix(2, 5, "");
    grid.setTextMatrix(3, 4, QString(30, u'8'));  // 96 pixels at the smallest size and factor
    grid.setTextMatrix(3, 5, "");
    const QImage image = grid.picture().toImage();
    const int left = grid.visualRect(grid.model()->index(1, 4)).left() + grid.horizontalScrollBar()->value();
    const auto inked = [&image](int row, int from, int to) {
        std::vector<int> xs;
        for (int x = from; x < to; ++x)
            if (qGray(image.pixel(x, row)) < 128)
                xs.push_back(x);
        return xs;
    };
    const int y1 = 20 + 10, y2 = 20 + 20 + 10, y3 = y2 + 20;
    const std::vector<int> row1 = inked(y1 - 2, left, left + 80), row1b = inked(y1 + 2, left, left + 80);
    const auto gapAtBorder = [left](const std::vector<int>& xs) {
        const auto after = std::find_if(xs.begin(), xs.end(), [left](int x) { return x >= left + 40; });
        return after == xs.begin() || after == xs.end() ? 0 : *after - *std::prev(after) - 1;
    };
    const FlexTextLayout narrowed = grid.cellTextLayout(1, 4), smaller = grid.cellTextLayout(2, 4),
                         cut = grid.cellTextLayout(3, 4);
    EXPECT_EQ(std::tuple(narrowed.factor < 1, narrowed.font.pointSizeF(), narrowed.fits()),
              std::tuple(true, 9.0, true));
    EXPECT_EQ(std::tuple(smaller.factor >= textMinWidthFactor, smaller.font.pointSizeF() < 9, smaller.fits()),
              std::tuple(true, true, true));
    EXPECT_EQ(std::tuple(cut.factor, cut.font.pointSizeF(), cut.fits()), std::tuple(textMinWidthFactor, textMinPoints, false));
    // The smaller text is drawn in its smaller size: its ink is less high than the narrowed one's.
    const auto inkRows = [&](int row) {
        int rows = 0;
        for (int y = 20 * row + 1; y < 20 * row + 18; ++y)
            rows += inked(y, left + flexTextMargin, left + 40 - flexTextMargin).empty() ? 0 : 1;
        return rows;
    };
    EXPECT_LT(inkRows(2), inkRows(1));
    // The grid line between the two cells is ink too: at least a margin of background on each side of it.
    EXPECT_GE(gapAtBorder(row1) + gapAtBorder(row1b), 2 * flexTextMargin);
    EXPECT_EQ(inked(y3, left + 40, left + 78), std::vector<int>());
}

// Sizes are in twips: 900 make 60 pixels, the minimum row height of 300 makes 20.
TEST_F(FlexGridTest, CellsFormatsSizesAndShapes)
{
    grid.setRedraw(false);
    grid.setCols(30);
    for (int c = 0; c < 30; ++c)
        grid.setColWidth(c, 900);
    grid.setCellBackColor(2, 5, RGB(255, 200, 128));
    grid.setCellBackColor(2, 0, RGB(200, 255, 255));
    grid.setCellBackColor(5, 29, RGB(1, 2, 250));
    grid.setCellForeColor(2, 5, 0xFF0000);
    grid.setCellFontBold(2, 5, true);
    grid.setCellFontUnderline(2, 6, true);
    grid.setCellFontSize(2, 6, 8);
    grid.setTextMatrix(3, 3, "ハルウララ");
    grid.setTextMatrix(4, 6, "72.5");
    grid.setRedraw(true);
    const QFont bold = shown(2, 5, Qt::FontRole).value<QFont>(), font = shown(2, 6, Qt::FontRole).value<QFont>();
    const auto align = [this](int r, int c) { return int(shown(r, c, Qt::TextAlignmentRole).value<Qt::Alignment>()); };
    EXPECT_EQ(std::tuple(grid.textMatrix(3, 3), grid.cellBackColor(2, 5), grid.cellBackColor(2, 4), grid.cellFontBold(2, 5),
                         grid.cellFontBold(2, 6), shown(2, 5, Qt::ForegroundRole).value<QBrush>().color(), bold.bold(), font.underline(),
                         font.bold(), font.pointSizeF(), align(4, 6), align(3, 3)),
              std::tuple(QString("ハルウララ"), RGB(255, 200, 128), 0u, true, false, QColor(0, 0, 255), true, true, false, 8.0,
                         int(Qt::AlignRight | Qt::AlignVCenter), int(Qt::AlignLeft | Qt::AlignVCenter)));
    EXPECT_THROW(grid.textMatrix(6, 0), VbError);
    EXPECT_THROW(grid.setCellBackColor(-1, 0, 0), VbError);

    const QPoint scrolled = centre(2, 5), fixedCell = centre(2, 0);
    EXPECT_EQ(QList<QColor>({pixel(scrolled), pixel(fixedCell), pixel(centre(0, 6)), pixel(centre(3, 6))}),
              QList<QColor>({QColor(255, 200, 128), QColor(200, 255, 255), vbColor(vbButtonFace), Qt::white}));
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    EXPECT_EQ(pixel(fixedCell), QColor(200, 255, 255)) << "fixed column frozen";
    EXPECT_NE(pixel(scrolled), QColor(255, 200, 128)) << "scrolling cells moved";
    const QImage image = grid.picture().toImage();
    EXPECT_EQ(std::pair(image.size(), image.pixelColor(30 * 60 - 30, 6 * 20 - 10)), std::pair(QSize(30 * 60, 6 * 20), QColor(1, 2, 250)));

    // Cells inside both shapes keep text and format; Clear keeps the shape; rows follow the grid font, not below RowHeightMin.
    grid.setCellBackColor(5, 7, 0x00FFFF);
    grid.setCellBackColor(2, 4, 0x00FFFF);
    grid.setColWidth(2, 1700);
    grid.setRows(3);
    grid.setCols(5);
    grid.setRows(6);
    grid.setCols(8);
    EXPECT_EQ(std::tuple(grid.textMatrix(2, 4) + grid.textMatrix(5, 7), grid.cellBackColor(2, 4), grid.cellBackColor(5, 7)),
              std::tuple(QString("2-4"), 0x00FFFFu, 0u));
    grid.clear();
    EXPECT_TRUE(grid.textMatrix(1, 1).isEmpty() && grid.cellBackColor(2, 4) == 0);
    EXPECT_EQ(QList<int>({grid.rows(), grid.cols(), grid.fixedCols(), grid.colWidth(2)}), QList<int>({6, 8, 4, 1700}));
    // 5750 twips are 383.3 pixels: the height reads back as set until the control is resized.
    grid.setHeightTwips(5750);
    EXPECT_EQ(QList<int>({grid.heightTwips(), grid.height()}), QList<int>({5750, 383}));
    grid.resize(grid.width(), 100);
    EXPECT_EQ(grid.heightTwips(), 1500);

    grid.setRowHeightMin(0);
    grid.setRowHeight(2, 900);
    const auto fontTwips = [](double points) { return pixelsToTwips(QFontMetrics(vbFont("ＭＳゴシック", points)).height() + 3); };
    for (const double points : {20.0, 9.0, 14.0}) {
        grid.setGridFontSize(points);
        EXPECT_EQ(QList<int>({grid.rowHeight(1), grid.rowHeight(2), grid.rowViewportPosition(4) - grid.rowViewportPosition(3)}),
                  QList<int>({fontTwips(points), 900, twipsToPixels(fontTwips(points))}))
            << points;
    }
    grid.setGridFont("ＭＳゴシック", 24);
    EXPECT_EQ(grid.rowHeight(5), fontTwips(24));
    grid.setRowHeightMin(5000);
    EXPECT_EQ(grid.rowHeight(5), 5000);
}

// Each row has its own colour, so a frozen column out of line with the cells shows in the pixels.
struct ScrollingGrid : FlexGridTest {
    void SetUp() override
    {
        FlexGridTest::SetUp();
        grid.setRows(60);
        grid.setCols(30);
        grid.setFixedCols(1);
        for (int r = 1; r < 60; ++r)
            for (int c = 0; c < 30; ++c)
                grid.setCellBackColor(r, c, RGB(r * 4, 255 - r * 4, c * 8));
        QApplication::setActiveWindow(&grid);
        QApplication::processEvents();
    }
    QScrollBar* v() { return grid.verticalScrollBar(); }
    QScrollBar* h() { return grid.horizontalScrollBar(); }
    int rowPixels() { return twipsToPixels(grid.rowHeight(1)); }
    int colPixels() { return twipsToPixels(grid.colWidth(1)); }
    // The row just below the fixed header, told by its colour's red part in the fixed column and far right.
    int topRow()
    {
        const int y = grid.viewport()->y() + twipsToPixels(grid.rowHeight(0)) + 3;
        const auto rowAt = [&](int x) { const QColor c = pixel({x, y}); return c.green() == 255 - c.red() ? c.red() / 4 : -1; };
        const int fixedRow = rowAt(grid.viewport()->x() + 5);
        EXPECT_EQ(rowAt(grid.viewport()->x() + grid.viewport()->width() - 5), fixedRow) << "fixed column out of line";
        return fixedRow;
    }
    void wheelAt(QPoint at, QPoint angle)
    {
        QWidget* target = grid.childAt(at);
        const QPoint local = target->mapFrom(&grid, at);
        QWheelEvent event(local, target->mapToGlobal(local), {}, angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
    void key(Qt::Key code, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(QApplication::focusWidget(), code);
    }
};

// The wheel over the frozen parts scrolls as over the cells; wheel and bars stop at whole rows and columns; sizes cover the
// model while a scrolled grid changes shape.
TEST_F(ScrollingGrid, WheelAndScrollBarsScrollByWholeRowsOverCellsAndFrozenParts)
{
    const QPoint cells = centre(3, 5), left = centre(3, 0), top = centre(0, 5);
    QList<int> down, sideways;
    for (const QPoint at : {cells, left, top, centre(0, 0)}) {
        v()->setValue(0);
        h()->setValue(0);
        wheelAt(at, {0, -120});
        down << v()->value();
        wheelAt(at, {-120, 0});
        sideways << h()->value();
    }
    ASSERT_TRUE(down[0] > 0 && sideways[0] > 0);
    EXPECT_EQ(std::pair(down, sideways), std::pair(QList<int>(4, down[0]), QList<int>(4, sideways[0])));
    EXPECT_GT(topRow(), 1);
    wheelAt(left, {0, 120 * 50});
    EXPECT_EQ(std::pair(v()->value(), topRow()), std::pair(0, 1));
    wheelAt(cells, {0, -360});
    EXPECT_GT(topRow(), 2);
    EXPECT_EQ(QList<int>({v()->value() % rowPixels(), h()->value() % colPixels()}), QList<int>({0, 0})) << v()->value() << " " << h()->value();

    // The bars' arrows step one row or column; a click in the trough stops on a whole row.
    v()->setValue(0);
    h()->setValue(0);
    QTest::mouseClick(v(), Qt::LeftButton, {}, QPoint(v()->width() / 2, v()->height() - 3));
    EXPECT_EQ(std::pair(v()->value(), topRow()), std::pair(rowPixels(), 2));
    QTest::mouseClick(v(), Qt::LeftButton, {}, QPoint(v()->width() / 2, v()->height() * 2 / 3));
    EXPECT_TRUE(v()->value() % rowPixels() == 0 || v()->value() == v()->maximum()) << v()->value();
    EXPECT_GT(topRow(), 2);
    QTest::mouseClick(h(), Qt::LeftButton, {}, QPoint(h()->width() - 3, h()->height() / 2));
    EXPECT_EQ(h()->value(), colPixels());

    for (const auto& [rows, cols] : {std::pair(40, 30), std::pair(5, 3), std::pair(60, 2), std::pair(2, 50), std::pair(30, 30)}) {
        v()->setValue(v()->maximum());
        h()->setValue(h()->maximum());
        grid.setRows(rows);
        grid.setCols(cols);
        QApplication::processEvents();
        EXPECT_EQ(QList<int>({grid.rows(), grid.cols(), grid.rowHeight(rows - 1), grid.colWidth(cols - 1)}),
                  QList<int>({rows, cols, grid.rowHeight(0), 960}));
    }
}

// A click on a frozen cell gives the grid the keyboard; keys scroll by whole rows and never click; a column shown in part
// comes in whole when clicked; a refill or a new size leaves the columns whole.
TEST_F(ScrollingGrid, KeysClicksRefillsAndResizesKeepRowsAndColumnsWhole)
{
    int clicks = 0;
    QObject::connect(&grid, &FlexGrid::click, [&] { ++clicks; });
    clickAt(centre(2, 0));
    ASSERT_EQ(std::tuple(clicks, grid.row(), grid.col(), QApplication::focusWidget()), std::tuple(1, 2, 0, &grid));
    const int wholeRowsOnAPage = (grid.viewport()->height() - rowPixels()) / rowPixels();
    QList<int> tops;
    for (const Qt::Key code : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp}) {
        key(code);
        tops << topRow();
    }
    EXPECT_EQ(tops, QList<int>({2, 3, 4, 3, 3 + wholeRowsOnAPage, 3}));
    key(Qt::Key_PageDown, 30);
    EXPECT_EQ(v()->value(), v()->maximum());
    EXPECT_EQ(std::tuple(grid.row(), grid.col(), clicks), std::tuple(2, 0, 1)) << "keys scroll, they do not click";

    v()->setValue(0);
    int cut = 1;
    while (grid.columnViewportPosition(cut) + colPixels() <= grid.viewport()->width())
        ++cut;
    ASSERT_LT(grid.columnViewportPosition(cut), grid.viewport()->width() - 4) << "a column shows in part";
    clickAt(grid.viewport()->mapTo(&grid, QPoint(grid.viewport()->width() - 3, grid.rowViewportPosition(5) + 3)));
    EXPECT_EQ(std::pair(grid.row(), grid.col()), std::pair(5, cut));
    // The view brings the clicked cell into view once the time for a double click has passed.
    EXPECT_TRUE(QTest::qWaitFor([this] { return h()->value() > 0; }));
    EXPECT_EQ(h()->value() % colPixels(), 0) << h()->value();
    EXPECT_LE(grid.columnViewportPosition(cut) + colPixels(), grid.viewport()->width()) << "the clicked column shows whole";

    h()->setValue(0);
    key(Qt::Key_Right, 3);
    ASSERT_EQ(h()->value(), 3 * colPixels());
    grid.setRedraw(false);
    grid.clear();
    grid.setCols(2);
    grid.setCols(30);
    for (int c = 1; c < 30; ++c)
        grid.setColWidth(c, 1200);
    grid.setRedraw(true);
    QApplication::processEvents();
    EXPECT_EQ(h()->value() % colPixels(), 0) << h()->value();
    h()->setValue(h()->maximum());
    for (const int change : {colPixels() / 2, -colPixels() / 2}) {
        grid.resize(grid.width() + change, grid.height());
        QApplication::processEvents();
    }
    EXPECT_TRUE(h()->value() % colPixels() == 0 || h()->value() == h()->maximum()) << h()->value();
}

// Numbers by value (signs and "%" too), empty cells first going up and last going down. (Runners: the sort clicks' tests.)
TEST(FlexGridSort, GenericOrderKeepsEqualKeysAndMovesRowsWithTheirFormats)
{
    const struct { QStringList keys; int how; const char* sorted; } cases[] = {
        {{"9", "10", "", "-2", "+4"}, flexSortGenericAscending, ":2 -2:3 +4:4 9:0 ff00 10:1 bold"},
        {{"5%", "100%", "33%", "", "0%"}, flexSortGenericDescending, "100%:1 bold 33%:2 5%:0 ff00 0%:4 :3"},
        {{"52.5", "52.25", "7"}, flexSortGenericAscending, "7:2 52.25:1 bold 52.5:0 ff00"},
        {{"b", "", "a", "3"}, flexSortGenericAscending, ":1 bold 3:3 a:2 b:0 ff00"},
        {{"1", "3", "1", "", "3"}, flexSortGenericDescending, "3:1 bold 3:4 1:0 ff00 1:2 :3"},
    };
    for (const auto& c : cases) {
        FlexGrid g;
        g.setFixedCols(0);
        g.setCols(2);
        g.setRows(int(c.keys.size()) + 1);
        for (int i = 0; i < c.keys.size(); ++i) {
            g.setTextMatrix(i + 1, 0, c.keys[i]);
            g.setTextMatrix(i + 1, 1, QString::number(i));
        }
        g.setCellBackColor(1, 1, 0x00FF00);
        g.setCellFontBold(2, 1, true);
        g.sort(1, g.rows() - 1, 0, c.how);
        QStringList rows;
        for (int r = 1; r < g.rows(); ++r)
            rows << g.textMatrix(r, 0) + ":" + g.textMatrix(r, 1) + (g.cellBackColor(r, 1) ? " " + QString::number(g.cellBackColor(r, 1), 16) : "")
                    + (g.cellFontBold(r, 1) ? " bold" : "");
        EXPECT_EQ(rows.join(' '), c.sorted) << c.keys.join(',').toStdString();
    }
}

// Rows filled from values answer every reader as rows written cell by cell, and each is made once, when first
// needed: drawn, read, printed, sorted or changed.
TEST(FlexGridRowsFrom, RowsMadeWhenNeededAnswerAsWrittenRows)
{
    const auto writeRow = [](int row, auto&& cell) {
        for (int c = 0; c < 3; ++c) {
            FlexCell& x = cell(c);
            x.text = QString::number((row * 7) % 5) + QChar('a' + c);
            x.bold = c == 1;
            if (row % 2)
                x.backColor = 0x00FF00;
        }
    };
    FlexGrid written, made;
    for (FlexGrid* g : {&written, &made}) {
        g->setFixedCols(0);
        g->setCols(3);
        g->setRows(9);
        g->setTextMatrix(0, 0, "見出し");
    }
    for (int r = 1; r < 9; ++r) {
        FlexCell cells[3];
        writeRow(r, [&](int c) -> FlexCell& { return cells[c]; });
        for (int c = 0; c < 3; ++c) {
            written.setTextMatrix(r, c, cells[c].text);
            written.setCellFontBold(r, c, cells[c].bold);
            if (cells[c].backColor)
                written.setCellBackColor(r, c, *cells[c].backColor);
        }
    }
    std::vector<int> madeRows;
    made.setRowsFrom(1, 8, [&](int row, std::vector<FlexCell>& cells) {
        madeRows.push_back(row);
        writeRow(row, [&](int c) -> FlexCell& { return cells[size_t(c)]; });
    });
    EXPECT_TRUE(madeRows.empty());
    EXPECT_EQ(made.textMatrix(5, 2) + made.textMatrix(5, 1), written.textMatrix(5, 2) + written.textMatrix(5, 1));
    EXPECT_EQ(made.model()->data(made.model()->index(7, 1), Qt::FontRole), written.model()->data(written.model()->index(7, 1), Qt::FontRole));
    made.setTextMatrix(3, 0, "上書き");
    written.setTextMatrix(3, 0, "上書き");
    EXPECT_EQ(made.cellBackColor(3, 2), 0x00FF00u);  // the rest of the row as made
    EXPECT_EQ(madeRows, std::vector<int>({5, 7, 3}));
    EXPECT_EQ(made.picture().toImage(), written.picture().toImage());  // printed: every row made
    EXPECT_EQ(madeRows.size(), 8u);
    made.sort(1, 8, 0, flexSortGenericAscending);
    written.sort(1, 8, 0, flexSortGenericAscending);
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(std::make_tuple(made.textMatrix(r, c), made.cellFontBold(r, c), made.cellBackColor(r, c)),
                      std::make_tuple(written.textMatrix(r, c), written.cellFontBold(r, c), written.cellBackColor(r, c)));
    made.setRowsFrom(1, 8, [&](int row, std::vector<FlexCell>&) { madeRows.push_back(row); });
    made.setCols(4);
    made.clear();
    EXPECT_EQ(made.textMatrix(2, 3) + made.textMatrix(4, 0), "");
    EXPECT_EQ(madeRows.size(), 8u);  // a clear forgets the rows not made yet
}

// A merged header narrower than its text at the normal size is drawn whole, as one cell of its span's
// width draws it: narrowed to fit, the same pixels inside the grid lines.
TEST_F(FlexGridTest, AMergedHeaderIsDrawnWholeAsOneCellOfItsWidth)
{
    const QString head = "18◎トウカイリボ";  // about 96 pixels at 9 points over three cells of 30
    grid.setMergeCells(true);
    grid.setMergeRow(0, true);
    for (int c = 4; c <= 6; ++c) {
        grid.setColWidth(c, 450);
        grid.setTextMatrix(0, c, head);
    }
    const auto drawn = [this] {  // the header over columns 4 to 6
        QApplication::processEvents();
        const QRect first = grid.visualRect(grid.model()->index(0, 4));
        const QRect cells(grid.viewport()->mapTo(&grid, first.topLeft()), QSize(3 * twipsToPixels(450), first.height()));
        return grid.grab(cells.adjusted(0, 1, -1, -1)).toImage();
    };
    const QImage merged = drawn();
    const FlexTextLayout layout = grid.cellTextLayout(0, 5);
    EXPECT_EQ(std::tuple(layout.room.width() > 2 * twipsToPixels(450), layout.factor < 1, layout.font.pointSizeF(), layout.fits()),
              std::tuple(true, true, 9.0, true));
    grid.setColWidth(4, 3 * 450);
    grid.setTextMatrix(0, 5, "0-5");
    grid.setTextMatrix(0, 6, "0-6");
    EXPECT_TRUE(drawn() == merged) << "the merged header is drawn otherwise than one cell of its width";
}
