#include "core/publicDim.h"

#include <gtest/gtest.h>

// A value of each element type that differs from the empty one and from cell to cell.
static VbDate marked(VbDate, int v) { return VbDate(v); }
static QString marked(const QString&, int v) { return QString::number(v); }
static int32_t marked(int32_t, int v) { return v; }
static float marked(float, int v) { return float(v) / 2; }
static char marked(char, int v) { return char(v % 2); }

// Every per-run array keeps every run, growing by one or far and shrinking; redimUma clears; bounds hold.
TEST(RunTable, ResizesKeepOrClearAndBoundsAreChecked)
{
    redimUma(18, 3);
    forEachRunArray([&](auto& a) {
        for (int h = 0; h <= 18; ++h)
            for (int r = 0; r <= 3; ++r)
                a(h, r) = marked(a(h, r), h * 100 + r + 1);
    });
    pd.uTuka(7, 4, 2) = 9;
    pd.uName(5) = "ミスターX";
    for (const int size : {4, 40, 2}) {
        redimUmaPreserve(18, size);
        forEachRunArray([&](auto& a) {
            using T = std::decay_t<decltype(a(0, 0))>;
            ASSERT_EQ(a.ubound(1) * 1000 + a.ubound(2), 18000 + size);
            for (int h = 0; h <= 18; ++h)
                for (int r = 0; r <= std::min(size, 3); ++r)
                    ASSERT_EQ(a(h, r), marked(T {}, h * 100 + r + 1)) << h << ',' << r;
            EXPECT_EQ(a(18, size), size > 3 ? T {} : marked(T {}, 1800 + size + 1));
        });
    }
    EXPECT_EQ(std::pair(pd.uTuka(7, 4, 2), pd.uName(5)), std::pair(9, QString("ミスターX")));
    EXPECT_THROW(pd.uKyori(7, 3), VbError);
    redimUma(18, 2);
    EXPECT_EQ(pd.uKyori(18, 2) + pd.uTuka(7, 4, 2), 0);
}
