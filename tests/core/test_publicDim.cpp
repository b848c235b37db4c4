#include "core/publicDim.h"

#include <gtest/gtest.h>

namespace {

VbDate marked(VbDate) { return VbDate(7); }
QString marked(const QString&) { return QStringLiteral("印"); }
int32_t marked(int32_t) { return 7; }
float marked(float) { return 7.5f; }

void fillRun(int h, int r, int value)
{
    pd.uKyori(h, r) = value;
    pd.uZyo(h, r) = QString::number(value);
    pd.uSisuu(h, r) = float(value) / 2;
    pd.uDate(h, r) = VbDate(value);
    pd.uTuka(h, 4, r) = value;
}

}

TEST(RunTable, InitPublicEmptiesTheHeader)
{
    pd.raceZyo = "大井";
    pd.tousuu = 12;
    pd.umaIdx = 5;
    pd.webCancel = true;
    pd.graphMode = false;
    pd.raceDate = VbDate::fromYmd(2008, 3, 24);
    initPublic();
    EXPECT_EQ(pd.raceZyo, "");
    EXPECT_EQ(pd.tousuu, 0);
    EXPECT_EQ(pd.umaIdx, 0);
    EXPECT_TRUE(pd.raceDate.isZero());
    EXPECT_FALSE(pd.webCancel);
    EXPECT_TRUE(pd.graphMode);
}

TEST(RunTable, RedimClearsAndSizesEveryArray)
{
    redimUma(18, 150);
    fillRun(18, 150, 7);
    pd.kakuritu1(18) = 0.5f;
    pd.taisenMatrix(18, 18, 1) = 2;
    redimUma(18, 150);
    EXPECT_EQ(pd.uKyori(18, 150), 0);
    EXPECT_EQ(pd.uZyo(18, 150), "");
    EXPECT_TRUE(pd.uDate(18, 150).isZero());
    EXPECT_EQ(pd.kakuritu1(18), 0.0f);
    EXPECT_EQ(pd.taisenMatrix(18, 18, 1), 0.0f);
    EXPECT_EQ(pd.tekiseiFactor.ubound(2), 7);
    EXPECT_EQ(pd.kisoSisuu.ubound(2), 1);
    EXPECT_THROW(pd.uKyori(19, 0), VbError);
    EXPECT_THROW(pd.uKyori(0, 151), VbError);
    EXPECT_THROW(pd.uTuka(0, 5, 0), VbError);
    EXPECT_THROW(pd.uName(-1), VbError);
}

TEST(RunTable, PreservingResizeKeepsEveryRunOfEveryRunner)
{
    redimUma(18, 3);
    for (int h = 0; h <= 18; ++h)
        for (int r = 0; r <= 3; ++r)
            fillRun(h, r, h * 100 + r);
    pd.uName(5) = "ミスターX";
    pd.yosouSisuu(5) = 61.5f;

    redimUmaPreserve(18, 4);  // grows by one, as the history parser does
    redimUmaPreserve(18, 40);
    for (int h = 0; h <= 18; ++h)
        for (int r = 0; r <= 3; ++r) {
            EXPECT_EQ(pd.uKyori(h, r), h * 100 + r);
            EXPECT_EQ(pd.uZyo(h, r), QString::number(h * 100 + r));
            EXPECT_EQ(pd.uTuka(h, 4, r), h * 100 + r);
            EXPECT_EQ(pd.uDate(h, r), VbDate(h * 100 + r));
        }
    EXPECT_EQ(pd.uKyori(18, 40), 0);
    EXPECT_EQ(pd.uName(5), "ミスターX");
    EXPECT_EQ(pd.yosouSisuu(5), 61.5f);

    redimUmaPreserve(18, 2);  // shrinking keeps what still fits
    EXPECT_EQ(pd.uKyori(7, 2), 702);
    EXPECT_THROW(pd.uKyori(7, 3), VbError);
}

TEST(RunTable, EveryRunArrayIsSizedAndKept)
{
    redimUma(18, 150);
    int arrays = 0;
    forEachRunArray([&](auto& a) {
        ++arrays;
        EXPECT_EQ(a.ubound(1), 18);
        EXPECT_EQ(a.ubound(2), 150);
        a(18, 150) = marked(a(18, 150));
    });
    EXPECT_EQ(arrays, 27) << "every per-run array of the run table";
    redimUmaPreserve(18, 151);
    forEachRunArray([](auto& a) {
        using T = std::decay_t<decltype(a(0, 0))>;
        EXPECT_EQ(a(18, 150), marked(T {}));
        EXPECT_EQ(a(18, 151), T {});
    });
    EXPECT_EQ(pd.uTuka.ubound(3), 151);
    redimUma(16, 0);  // the results page reader
    forEachRunArray([](auto& a) {
        EXPECT_EQ(a.ubound(1), 16);
        EXPECT_EQ(a.ubound(2), 0);
    });
}
