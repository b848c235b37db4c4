#include "tests/platform/errorNumber.h"
#include "platform/vbarray.h"
#include "platform/vbdate.h"

#include <gtest/gtest.h>

namespace {

TEST(Array1, BoundsAreCheckedAndRedimPreserveKeepsContents)
{
    Array1<int> a(3);
    EXPECT_EQ(a.ubound(), 3);
    for (int i = 0; i <= 3; ++i)
        a(i) = i + 10;
    EXPECT_EQ(errorNumberOf([&] { a(4); }), vbErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { a(-1); }), vbErrSubscript);
    EXPECT_EQ(errorNumberOf([] { Array1<int>()(0); }), vbErrSubscript);

    a.redimPreserve(5);
    EXPECT_EQ(a(3), 13);
    EXPECT_EQ(a(5), 0);
    a.redimPreserve(1);
    EXPECT_EQ(a(1), 11);
    EXPECT_EQ(errorNumberOf([&] { a(2); }), vbErrSubscript);
    a.redim(1);
    EXPECT_EQ(a(0), 0);
}

TEST(Arrays, ABoundBelowMinusOneIsAnErrorAndLeavesTheArrayAsItWas)
{
    Array1<int> a(2);
    a(2) = 5;
    EXPECT_EQ(errorNumberOf([&] { a.redim(-2); }), vbErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { a.redimPreserve(-3); }), vbErrSubscript);
    EXPECT_EQ(a(2), 5);
    a.redim(-1);
    EXPECT_EQ(errorNumberOf([&] { a(0); }), vbErrSubscript);

    Array2<int> b(1, 1);
    b(1, 1) = 4;
    EXPECT_EQ(errorNumberOf([&] { b.redimPreserve(1, -5); }), vbErrSubscript);
    EXPECT_EQ(b(1, 1), 4);
    EXPECT_EQ(errorNumberOf([] { Array3<float>(2, -2, 2); }), vbErrSubscript);
}

TEST(Array2, RedimPreserveKeepsCellsInEitherDimension)
{
    Array2<int> a(2, 3);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 3; ++j)
            a(i, j) = 10 * i + j;
    EXPECT_EQ(errorNumberOf([&] { a(3, 0); }), vbErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { a(0, 4); }), vbErrSubscript);

    a.redimPreserve(4, 6);  // both grow
    EXPECT_EQ(a.ubound(1), 4);
    EXPECT_EQ(a.ubound(2), 6);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 3; ++j)
            EXPECT_EQ(a(i, j), 10 * i + j);
    EXPECT_EQ(a(2, 6), 0);
    EXPECT_EQ(a(4, 0), 0);

    a.redimPreserve(1, 2);  // both shrink
    EXPECT_EQ(a(1, 2), 12);
    EXPECT_EQ(a(0, 1), 1);
    EXPECT_EQ(errorNumberOf([&] { a(1, 3); }), vbErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { a(2, 0); }), vbErrSubscript);
}

TEST(Array3, RedimPreserveKeepsCellsWhenOneDimensionGrowsAndAnotherShrinks)
{
    Array3<float> a(1, 2, 3);
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 2; ++j)
            for (int k = 0; k <= 3; ++k)
                a(i, j, k) = float(100 * i + 10 * j + k);
    EXPECT_EQ(errorNumberOf([&] { a(0, 0, 4); }), vbErrSubscript);

    a.redimPreserve(1, 4, 2);
    EXPECT_EQ(a.ubound(3), 2);
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 2; ++j)
            for (int k = 0; k <= 2; ++k)
                EXPECT_EQ(a(i, j, k), float(100 * i + 10 * j + k));
    EXPECT_EQ(a(1, 4, 2), 0.0f);
    EXPECT_EQ(errorNumberOf([&] { a(0, 0, 3); }), vbErrSubscript);
}

TEST(VbDate, SerialsCountFromTheZeroDate)
{
    EXPECT_EQ(VbDate::fromYmd(1899, 12, 30).serial(), 0);
    EXPECT_TRUE(VbDate::fromYmd(1899, 12, 30).isZero());
    const VbDate d = VbDate::fromYmd(2008, 3, 24);
    EXPECT_EQ(d.serial(), 39531);
    EXPECT_EQ(d.toQDate(), QDate(2008, 3, 24));
    EXPECT_EQ(VbDate(39531), d);
    EXPECT_EQ(d.addDays(8) - d, 8);
    EXPECT_EQ(d.addDays(8).month(), 4);
    EXPECT_LT(VbDate(), d);
    EXPECT_TRUE(VbDate::fromQDate(QDate()).isZero());
}

TEST(VbDate, DbTextBothWays)
{
    const VbDate d = VbDate::fromYmd(2008, 3, 4);
    EXPECT_EQ(d.toDbText(), "2008-03-04");
    bool ok = false;
    for (const char* text : {"2008-03-04", "2008/03/04", "2008/3/4", " 2008-3-4 ", "2008-03-04 00:00:00"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(VbDate::fromDbText(text, &ok), d);
        EXPECT_TRUE(ok);
    }
    for (const char* text : {"", "abc", "2008-13-01", "2008-02-30"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(VbDate::fromDbText(text, &ok).isZero());
        EXPECT_FALSE(ok);
    }
}

TEST(VbDate, TodayCanBeFixedForTests)
{
    setVbToday(VbDate::fromYmd(2008, 3, 24));
    EXPECT_EQ(vbToday(), VbDate::fromYmd(2008, 3, 24));
    setVbToday(VbDate());
    EXPECT_EQ(vbToday(), VbDate::fromQDate(QDate::currentDate()));
}

}
