#pragma once
// Reading a filled grid back as a user sees it, and saving its picture among the test artefacts.
#include "platform/flexgrid.h"

#include <QDir>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

// f of columns first..last (last -1: the last column) joined by "|".
inline std::string joinCells(const FlexGrid& grid, int first, int last, const std::function<QString(int)>& f)
{
    QStringList cells;
    for (int c = first; c <= (last < 0 ? grid.cols() - 1 : last); ++c)
        cells << f(c);
    return cells.join('|').toStdString();
}

inline std::string rowText(const FlexGrid& grid, int row, int first = 0, int last = -1)
{
    return joinCells(grid, first, last, [&](int c) { return grid.textMatrix(row, c); });
}

// A cell's look in a few letters: B bold, U underlined, the size when not 9, then fore and back
// colour in hex when set apart from the grid's text colour RGB(1, 1, 1), then "c" when centred.
inline std::string rowLook(const FlexGrid& grid, int row, int first = 0, int last = -1)
{
    return joinCells(grid, first, last, [&](int c) {
        QString look = QString(grid.cellFontBold(row, c) ? "B" : "") + (grid.cellFontUnderline(row, c) ? "U" : "");
        if (grid.cellFontSize(row, c) != 9)
            look += QString::number(grid.cellFontSize(row, c));
        if (grid.cellForeColor(row, c) != 0x010101)
            look += QStringLiteral(" f%1").arg(grid.cellForeColor(row, c), 0, 16);
        if (grid.cellBackColor(row, c) != 0)
            look += QStringLiteral(" b%1").arg(grid.cellBackColor(row, c), 0, 16);
        if (grid.cellAlignment(row, c) == flexAlignCenterCenter)
            look += QStringLiteral(" c");
        return look.trimmed();
    });
}

inline void saveGridPicture(const FlexGrid& grid, const QString& name)
{
    const QString dir = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR) + "/analysis";
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(grid.picture().save(dir + '/' + name + ".png")) << name.toStdString();
}
