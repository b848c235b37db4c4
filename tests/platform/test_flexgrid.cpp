#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/fonts.h"
#include "platform/vberror.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// A race-card-like grid: one fixed header row, four fixed columns, runner rows below.
struct FlexGridTest : ::testing::Test {
    FlexGrid grid;

    void SetUp() override
    {
        grid.setRedraw(false);
        grid.setCols(8);
        grid.setRows(6);
        grid.setRowHeightMin(300);
        grid.setFixedRows(1);
        grid.setFixedCols(4);
        grid.setGridFont(QStringLiteral("ＭＳゴシック"), 9);
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                grid.setTextMatrix(r, c, QStringLiteral("%1-%2").arg(r).arg(c));
        grid.setRedraw(true);
    }

    QVariant shown(int row, int col, int role) const
    {
        return grid.model()->data(grid.model()->index(row, col), role);
    }

    QPoint cellCentre(int row, int col) const
    {
        return grid.viewport()->mapTo(&grid, grid.visualRect(grid.model()->index(row, col)).center());
    }

    // Sends a mouse event to whatever part of the grid (cells or fixed overlay) lies at pos.
    void mouse(QEvent::Type type, QPoint pos)
    {
        QWidget* target = grid.childAt(pos);
        ASSERT_NE(target, nullptr);
        const QPoint local = target->mapFrom(&grid, pos);
        QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    void showAt(int width, int height)
    {
        grid.resize(width, height);
        grid.show();
        QApplication::processEvents();
    }
};

TEST_F(FlexGridTest, CellTextsAndFormatsReadBackAndReachTheView)
{
    grid.setRedraw(false);
    grid.setCellBackColor(2, 5, RGB(255, 200, 200));
    grid.setCellForeColor(2, 5, 0xFF0000);
    grid.setCellFontBold(2, 5, true);
    grid.setCellFontUnderline(2, 6, true);
    grid.setCellFontSize(2, 6, 8);
    grid.setCellAlignment(0, 5, flexAlignCenterCenter);
    grid.setColAlignment(7, flexAlignLeftCenter);
    grid.setTextMatrix(3, 3, QStringLiteral("ハルウララ"));
    grid.setRedraw(true);

    EXPECT_EQ(grid.textMatrix(3, 3), QStringLiteral("ハルウララ"));
    EXPECT_EQ(grid.cellBackColor(2, 5), RGB(255, 200, 200));
    EXPECT_EQ(grid.cellBackColor(2, 4), 0u);
    EXPECT_EQ(grid.cellForeColor(2, 5), 0xFF0000u);
    EXPECT_TRUE(grid.cellFontBold(2, 5));
    EXPECT_FALSE(grid.cellFontBold(2, 6));
    EXPECT_TRUE(grid.cellFontUnderline(2, 6));
    EXPECT_DOUBLE_EQ(grid.cellFontSize(2, 6), 8);
    EXPECT_DOUBLE_EQ(grid.cellFontSize(2, 5), 9);
    EXPECT_EQ(grid.cellAlignment(0, 5), flexAlignCenterCenter);
    EXPECT_EQ(grid.cellAlignment(4, 7), flexAlignLeftCenter);
    EXPECT_EQ(grid.cellAlignment(4, 6), flexAlignGeneral);

    EXPECT_EQ(shown(3, 3, Qt::DisplayRole).toString(), QStringLiteral("ハルウララ"));
    EXPECT_EQ(shown(2, 5, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 200, 200));
    EXPECT_EQ(shown(2, 5, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 255));
    EXPECT_EQ(shown(0, 6, Qt::BackgroundRole).value<QBrush>().color(), vbColor(vbButtonFace));
    EXPECT_EQ(shown(2, 1, Qt::BackgroundRole).value<QBrush>().color(), vbColor(vbButtonFace));
    const QFont font = shown(2, 6, Qt::FontRole).value<QFont>();
    EXPECT_TRUE(font.underline());
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 8);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(shown(0, 5, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    // General alignment puts numbers right and words left.
    grid.setTextMatrix(4, 6, QStringLiteral("72.5"));
    EXPECT_EQ(shown(4, 6, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(shown(3, 3, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignLeft | Qt::AlignVCenter);

    EXPECT_THROW(grid.textMatrix(6, 0), VbError);
    EXPECT_THROW(grid.setTextMatrix(0, 8, QStringLiteral("x")), VbError);
    EXPECT_THROW(grid.setCellBackColor(-1, 0, 0), VbError);
}

TEST_F(FlexGridTest, FontNamesMapToTheInstalledJapaneseFaces)
{
    EXPECT_EQ(QFontInfo(vbFont(QStringLiteral("ＭＳゴシック"), 9)).family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(QFontInfo(vbFont(QStringLiteral("ＭＳ Ｐゴシック"), 9)).family(), QStringLiteral("IPAPGothic"));
    EXPECT_DOUBLE_EQ(vbFont(QStringLiteral("ＭＳゴシック"), 7.5).pointSizeF(), 7.5);
}

TEST_F(FlexGridTest, GrowingAndShrinkingKeepsTheCellsInsideBothShapes)
{
    grid.setCellBackColor(5, 7, 0x00FFFF);
    grid.setColWidth(2, 1700);
    grid.setRows(20);
    grid.setCols(12);
    EXPECT_EQ(grid.textMatrix(5, 7), QStringLiteral("5-7"));
    EXPECT_EQ(grid.cellBackColor(5, 7), 0x00FFFFu);
    EXPECT_EQ(grid.textMatrix(19, 11), QString());
    EXPECT_EQ(grid.colWidth(2), 1700);

    grid.setRows(3);
    grid.setCols(5);
    EXPECT_EQ(grid.textMatrix(2, 4), QStringLiteral("2-4"));
    EXPECT_THROW(grid.textMatrix(5, 7), VbError);
    grid.setRows(6);
    grid.setCols(8);
    EXPECT_EQ(grid.textMatrix(5, 7), QString()) << "a cut cell comes back empty";
    EXPECT_EQ(grid.cellBackColor(5, 7), 0u);

    // Fewer columns than fixed ones leaves them all fixed, as the sheets' set-up needs.
    grid.setCols(1);
    EXPECT_EQ(grid.fixedCols(), 1);
    grid.setFixedCols(0);
    EXPECT_EQ(grid.fixedCols(), 0);
    EXPECT_THROW(grid.setFixedRows(7), VbError);
}

TEST_F(FlexGridTest, ClearEmptiesCellsAndKeepsTheShape)
{
    grid.setCellFontBold(1, 1, true);
    grid.setCellBackColor(1, 1, 0xFF);
    grid.setColWidth(0, 200);
    grid.clear();
    EXPECT_EQ(grid.rows(), 6);
    EXPECT_EQ(grid.cols(), 8);
    EXPECT_EQ(grid.fixedCols(), 4);
    EXPECT_EQ(grid.colWidth(0), 200);
    EXPECT_EQ(grid.textMatrix(1, 1), QString());
    EXPECT_FALSE(grid.cellFontBold(1, 1));
    EXPECT_EQ(grid.cellBackColor(1, 1), 0u);
}

TEST_F(FlexGridTest, MergedRowShowsEqualNeighboursAsOneCell)
{
    grid.setMergeCells(true);
    grid.setMergeRow(0, true);
    grid.setRedraw(false);
    for (int c = 0; c < 8; ++c) {
        const char* header[] = {"枠", "番", "番", "番", "番", "指数", "指数", "予想確率"};
        grid.setTextMatrix(0, c, QString::fromUtf8(header[c]));
        grid.setTextMatrix(1, c, QStringLiteral("同"));
    }
    grid.setRedraw(true);
    EXPECT_EQ(grid.columnSpan(0, 5), 2);
    EXPECT_EQ(grid.columnSpan(0, 7), 1);
    EXPECT_EQ(grid.columnSpan(0, 1), 3) << "fixed columns 1-3 merge";
    EXPECT_EQ(grid.columnSpan(0, 4), 1) << "a fixed and a scrolling column never merge";
    EXPECT_EQ(grid.columnSpan(1, 4), 1) << "row 1 is not a merged row";
    EXPECT_TRUE(grid.mergeRow(0));
    EXPECT_FALSE(grid.mergeRow(1));

    grid.setTextMatrix(0, 7, QStringLiteral("指数"));
    EXPECT_EQ(grid.columnSpan(0, 5), 3) << "a text written with redraw on merges at once";
    grid.setMergeCells(false);
    EXPECT_EQ(grid.columnSpan(0, 5), 1);
}

TEST_F(FlexGridTest, SortOrdersTheScrollingRowsByNumberTextOrGuess)
{
    const QStringList values = {"10", "9", "100", "", "abc"};
    for (int r = 1; r <= 5; ++r)
        grid.setTextMatrix(r, 5, values[r - 1]);
    grid.setCellFontBold(2, 0, true);  // the "9" row's format travels with it
    const auto column = [this] {
        QStringList texts;
        for (int r = 1; r <= 5; ++r)
            texts << grid.textMatrix(r, 5);
        return texts;
    };

    grid.sort(0, 5, 5, flexSortNumericAscending);
    EXPECT_EQ(column(), QStringList({"", "abc", "9", "10", "100"}));
    EXPECT_EQ(grid.textMatrix(0, 5), QStringLiteral("0-5")) << "the fixed header row stays";
    EXPECT_TRUE(grid.cellFontBold(3, 0));
    EXPECT_EQ(grid.textMatrix(3, 1), QStringLiteral("2-1")) << "whole rows move";

    grid.sort(1, 5, 5, flexSortStringAscending);
    EXPECT_EQ(column(), QStringList({"", "10", "100", "9", "abc"}));
    grid.sort(1, 5, 5, flexSortGenericAscending);
    EXPECT_EQ(column(), QStringList({"", "9", "10", "100", "abc"}));
    grid.sort(1, 5, 5, flexSortGenericDescending);
    EXPECT_EQ(column(), QStringList({"abc", "100", "10", "9", ""}));
    grid.sort(1, 5, 5, flexSortNumericDescending);
    EXPECT_EQ(column(), QStringList({"100", "10", "9", "abc", ""})) << "equal values keep their order";
    EXPECT_THROW(grid.sort(1, 5, 8, flexSortGenericAscending), VbError);
}

TEST_F(FlexGridTest, SizesAreInTwips)
{
    grid.setColWidth(3, 1700);
    grid.setRowHeight(1, 650);
    EXPECT_EQ(grid.QTableView::columnWidth(3), 113);
    EXPECT_EQ(grid.rowHeight(1), 650);
    EXPECT_EQ(grid.QTableView::rowHeight(1), 43);
    EXPECT_EQ(grid.rowHeight(2), 300);
    EXPECT_EQ(grid.QTableView::rowHeight(2), 20);
    grid.setRowHeight(1, 100);
    EXPECT_EQ(grid.rowHeight(1), 300) << "RowHeightMin is the floor";
    grid.setHeightTwips((grid.rows() + 1) * grid.rowHeightMin() + 50);
    EXPECT_EQ(grid.height(), 143);
    EXPECT_EQ(grid.heightTwips(), 2145);
}

TEST_F(FlexGridTest, ClicksSetRowAndColumnAndRaiseEvents)
{
    int clicks = 0, doubleClicks = 0;
    QObject::connect(&grid, &FlexGrid::click, [&] { ++clicks; });
    QObject::connect(&grid, &FlexGrid::dblClick, [&] { ++doubleClicks; });

    grid.clickCell(3, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 5);
    EXPECT_EQ(grid.mouseRow(), 3);
    EXPECT_EQ(grid.mouseCol(), 5);
    EXPECT_THROW(grid.clickCell(9, 0), VbError);
    EXPECT_EQ(clicks, 1);

    showAt(400, 200);
    mouse(QEvent::MouseButtonPress, cellCentre(2, 4));
    mouse(QEvent::MouseButtonRelease, cellCentre(2, 4));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 4);
    // A fixed cell (the horse-name column of the race cards) is clickable as well.
    mouse(QEvent::MouseButtonPress, cellCentre(4, 3));
    mouse(QEvent::MouseButtonRelease, cellCentre(4, 3));
    mouse(QEvent::MouseButtonDblClick, cellCentre(4, 3));
    mouse(QEvent::MouseButtonRelease, cellCentre(4, 3));
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.col(), 3);
}

TEST_F(FlexGridTest, RenderedCellsShowTheirColoursAndFixedColumnsStayWhileScrolling)
{
    grid.setRedraw(false);
    grid.setCols(30);
    for (int c = 0; c < 30; ++c)
        grid.setColWidth(c, 900);
    grid.setCellBackColor(2, 5, RGB(255, 200, 128));
    grid.setCellBackColor(2, 0, RGB(200, 255, 255));
    grid.setRedraw(true);
    showAt(500, 200);

    const QPoint changed = cellCentre(2, 5);
    const QPoint fixedCell = cellCentre(2, 0);
    QImage image = grid.grab().toImage();
    EXPECT_EQ(image.pixelColor(changed), QColor(255, 200, 128));
    EXPECT_EQ(image.pixelColor(fixedCell), QColor(200, 255, 255));
    EXPECT_EQ(image.pixelColor(cellCentre(0, 6)), vbColor(vbButtonFace));
    EXPECT_EQ(image.pixelColor(cellCentre(3, 6)), QColor(Qt::white));

    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    QApplication::processEvents();
    image = grid.grab().toImage();
    EXPECT_EQ(image.pixelColor(fixedCell), QColor(200, 255, 255)) << "fixed column frozen";
    EXPECT_NE(image.pixelColor(changed), QColor(255, 200, 128)) << "scrolling cells moved";
}

TEST_F(FlexGridTest, PictureHoldsTheWholeGridAtFullSize)
{
    grid.setRows(90);
    grid.setCellBackColor(89, 7, RGB(1, 2, 250));
    showAt(200, 100);
    const QImage image = grid.picture().toImage();
    const int width = 8 * 64;
    EXPECT_EQ(image.width(), width);
    EXPECT_EQ(image.height(), 90 * 20);
    EXPECT_EQ(image.pixelColor(width - 30, 90 * 20 - 10), QColor(1, 2, 250));
}

// Filling with redraw off must not make the views do work per cell.
TEST_F(FlexGridTest, RedrawOffFillAnnouncesChangesOnce)
{
    int announcements = 0;
    QObject::connect(grid.model(), &QAbstractItemModel::dataChanged, [&] { ++announcements; });
    grid.setRedraw(false);
    grid.setCols(60);
    grid.setRows(19);
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 60; ++c) {
            grid.setTextMatrix(r, c, QString::number(r * c));
            grid.setCellBackColor(r, c, 0xFFFFFF);
            grid.setCellFontBold(r, c, true);
        }
    EXPECT_EQ(announcements, 0);
    grid.setRedraw(true);
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(grid.textMatrix(18, 59), QStringLiteral("1062"));
    grid.setTextMatrix(1, 1, QStringLiteral("x"));
    EXPECT_EQ(announcements, 2);
}

}  // namespace
