#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/fonts.h"
#include "platform/vberror.h"

#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

// A race-card-like grid on screen: one fixed header row, four fixed columns, runner rows below.
struct FlexGridTest : ::testing::Test {
    FlexGrid grid;

    void SetUp() override
    {
        grid.setCols(8);
        grid.setRows(6);
        grid.setRowHeightMin(300);
        grid.setFixedRows(1);
        grid.setFixedCols(4);
        grid.setGridFont("ＭＳゴシック", 9);
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                grid.setTextMatrix(r, c, QStringLiteral("%1-%2").arg(r).arg(c));
        grid.resize(500, 200);
        grid.show();
    }
    QVariant shown(int row, int col, int role) const { return grid.model()->data(grid.model()->index(row, col), role); }
    QPoint centre(int row, int col) const
    {
        return grid.viewport()->mapTo(&grid, grid.visualRect(grid.model()->index(row, col)).center());
    }
    QColor pixel(QPoint at)
    {
        QApplication::processEvents();
        return grid.grab().toImage().pixelColor(at);
    }
    // Sends mouse events to whatever part of the grid (cells or fixed overlay) lies at the cell.
    void mouse(int row, int col, std::initializer_list<QEvent::Type> types)
    {
        QApplication::processEvents();
        QWidget* target = grid.childAt(centre(row, col));
        ASSERT_NE(target, nullptr);
        const QPoint local = target->mapFrom(&grid, centre(row, col));
        for (const QEvent::Type type : types) {
            QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
    }
};

// Sizes are in twips: 900 make 60 pixels, the minimum row height of 300 makes 20.
TEST_F(FlexGridTest, CellTextsAndFormatsReadBackAndReachTheScreenAndThePicture)
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
    EXPECT_EQ(grid.textMatrix(3, 3), "ハルウララ");
    EXPECT_EQ(QList<uint32_t>({grid.cellBackColor(2, 5), grid.cellBackColor(2, 4)}), QList<uint32_t>({RGB(255, 200, 128), 0}));
    EXPECT_TRUE(grid.cellFontBold(2, 5) && !grid.cellFontBold(2, 6));
    EXPECT_EQ(shown(2, 5, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 255));
    EXPECT_TRUE(shown(2, 5, Qt::FontRole).value<QFont>().bold());
    const QFont font = shown(2, 6, Qt::FontRole).value<QFont>();
    EXPECT_TRUE(font.underline() && !font.bold() && font.pointSizeF() == 8);
    EXPECT_EQ(QFontInfo(font).family() + " " + QFontInfo(vbFont("ＭＳ Ｐゴシック", 9)).family(), "IPAGothic IPAPGothic");
    // General alignment puts numbers right and words left.
    const auto align = [this](int r, int c) { return int(shown(r, c, Qt::TextAlignmentRole).value<Qt::Alignment>()); };
    EXPECT_EQ(QList<int>({align(4, 6), align(3, 3)}), QList<int>({Qt::AlignRight | Qt::AlignVCenter, Qt::AlignLeft | Qt::AlignVCenter}));
    EXPECT_THROW(grid.textMatrix(6, 0), VbError);
    EXPECT_THROW(grid.setCellBackColor(-1, 0, 0), VbError);

    const QPoint scrolled = centre(2, 5), fixedCell = centre(2, 0);
    EXPECT_EQ(QList<QColor>({pixel(scrolled), pixel(fixedCell), pixel(centre(0, 6)), pixel(centre(3, 6))}),
              QList<QColor>({QColor(255, 200, 128), QColor(200, 255, 255), vbColor(vbButtonFace), Qt::white}));
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    EXPECT_EQ(pixel(fixedCell), QColor(200, 255, 255)) << "fixed column frozen";
    EXPECT_NE(pixel(scrolled), QColor(255, 200, 128)) << "scrolling cells moved";
    const QImage image = grid.picture().toImage();
    EXPECT_EQ(image.size(), QSize(30 * 60, 6 * 20));
    EXPECT_EQ(image.pixelColor(30 * 60 - 30, 6 * 20 - 10), QColor(1, 2, 250));
}

// Cells inside both shapes keep text and format; a cut cell comes back empty; Clear keeps the shape.
TEST_F(FlexGridTest, ResizingKeepsTheCellsInsideBothShapesAndClearKeepsTheShape)
{
    grid.setCellBackColor(5, 7, 0x00FFFF);
    grid.setCellBackColor(2, 4, 0x00FFFF);
    grid.setColWidth(2, 1700);
    grid.setRows(3);
    grid.setCols(5);
    grid.setRows(6);
    grid.setCols(8);
    EXPECT_EQ(grid.textMatrix(2, 4) + grid.textMatrix(5, 7), "2-4");
    EXPECT_EQ(QList<uint32_t>({grid.cellBackColor(2, 4), grid.cellBackColor(5, 7)}), QList<uint32_t>({0x00FFFF, 0}));
    grid.clear();
    EXPECT_TRUE(grid.textMatrix(1, 1).isEmpty() && grid.cellBackColor(2, 4) == 0);
    EXPECT_EQ(QList<int>({grid.rows(), grid.cols(), grid.fixedCols(), grid.colWidth(2)}), QList<int>({6, 8, 4, 1700}));
    // 5750 twips are 383.3 pixels: the height reads back as set until the control is resized.
    grid.setHeightTwips(5750);
    EXPECT_EQ(QList<int>({grid.heightTwips(), grid.height()}), QList<int>({5750, 383}));
    grid.resize(grid.width(), 100);
    EXPECT_EQ(grid.heightTwips(), 1500);
}

// A fixed cell (the horse-name column of the race cards) takes clicks like any other.
TEST_F(FlexGridTest, ClicksSetRowAndColumnAndRaiseEvents)
{
    int clicks = 0, doubleClicks = 0;
    QObject::connect(&grid, &FlexGrid::click, [&] { ++clicks; });
    QObject::connect(&grid, &FlexGrid::dblClick, [&] { ++doubleClicks; });
    mouse(4, 3, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease});
    EXPECT_EQ(QList<int>({clicks, doubleClicks, grid.row(), grid.col(), grid.mouseRow(), grid.mouseCol()}), QList<int>({1, 1, 4, 3, 4, 3}));
}
