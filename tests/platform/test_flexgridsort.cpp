// Numbers by value, empty cells first going up, equal keys stable, rows moved with their formats.
#include "platform/flexgrid.h"
#include "platform/flexgridsort.h"

#include <gtest/gtest.h>

namespace {
QStringList column(const FlexGrid& g, int col)
{
    QStringList texts;
    for (int r = g.fixedRows(); r < g.rows(); ++r)
        texts << g.textMatrix(r, col);
    return texts;
}

void fill(FlexGrid& g, const QStringList& keys)
{
    g.setFixedRows(1);
    g.setFixedCols(0);
    g.setCols(2);
    g.setRows(int(keys.size()) + 1);
    for (int i = 0; i < keys.size(); ++i) {
        g.setTextMatrix(i + 1, 0, keys[i]);
        g.setTextMatrix(i + 1, 1, QString::number(i));
    }
}
}  // namespace

TEST(FlexGridSort, GenericOrderOfCellTexts)
{
    struct Case {
        QStringList keys;
        int how;
        QStringList sorted;
    };
    const std::vector<Case> cases {
        {{"9", "10", "", "-2", "+4"}, flexSortGenericAscending, {"", "-2", "+4", "9", "10"}},
        {{"9", "10", "", "-2", "+4"}, flexSortGenericDescending, {"10", "9", "+4", "-2", ""}},
        {{"5%", "100%", "33%", "", "0%"}, flexSortGenericDescending, {"100%", "33%", "5%", "0%", ""}},
        {{"52.5", "52.25", "7"}, flexSortGenericAscending, {"7", "52.25", "52.5"}},
        {{"b", "", "a", "3"}, flexSortGenericAscending, {"", "3", "a", "b"}},
    };
    for (const Case& c : cases) {
        FlexGrid g;
        fill(g, c.keys);
        g.sort(1, g.rows() - 1, 0, c.how);
        EXPECT_EQ(column(g, 0), c.sorted) << c.keys.join(',').toStdString();
    }
}

TEST(FlexGridSort, EqualKeysKeepTheirOrderAndRowsMoveWithTheirFormats)
{
    FlexGrid g;
    fill(g, {"1", "3", "1", "", "3"});
    g.setCellBackColor(2, 1, 0x00FF00);
    g.setCellFontBold(4, 1, true);
    g.sort(1, g.rows() - 1, 0, flexSortGenericDescending);
    EXPECT_EQ(column(g, 1), QStringList({"1", "4", "0", "2", "3"}));
    EXPECT_EQ(g.cellBackColor(1, 1), 0x00FF00u);
    EXPECT_TRUE(g.cellFontBold(5, 1));  // the empty key went last
    EXPECT_FALSE(g.cellFontBold(1, 1));
}
