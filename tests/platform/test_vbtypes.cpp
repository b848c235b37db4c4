#include "platform/vbarray.h"
#include "platform/vbdate.h"
#include "platform/vbformat.h"

#include <cmath>
#include <gtest/gtest.h>

static int errorNumberOf(const std::function<void()>& f)
{
    try { f(); } catch (const VbError& e) { return e.number(); }
    return 0;
}

// Bounds are checked, also by a redim. (Preserving resizes of both shapes: the run table's tests.)
TEST(VbValues, ArraysDatesWholeNumbersAndNumberTexts)
{
    Array2<int> a(2, 3);
    Array3<int> b(1, 2, 3);
    for (const auto& outside : std::initializer_list<std::function<void()>>{
             [&] { a(3, 0); }, [&] { a(0, -1); }, [&] { b(0, 0, 4); }, [] { Array1<int>()(0); }, [&] { a.redimPreserve(1, -2); },
             [] { Array3<float>(2, -2, 2); }})
        EXPECT_EQ(errorNumberOf(outside), vbErrSubscript);
    a(2, 3) = 23;
    a.redimPreserve(4, 6);
    EXPECT_EQ(QList<int>({a(2, 3), a(4, 6), errorNumberOf([&] { a(5, 0); })}), QList<int>({23, 0, vbErrSubscript}));

    EXPECT_TRUE(VbDate::fromYmd(1899, 12, 30).isZero() && VbDate::fromQDate(QDate()).isZero());
    const VbDate d = VbDate::fromYmd(2008, 3, 4);
    EXPECT_EQ(std::tuple(d.serial(), d.addDays(28).toQDate(), d.toDbText()), std::tuple(39511, QDate(2008, 4, 1), QString("2008-03-04")));
    bool ok = false;
    for (const char* text : {"2008-03-04", "2008/03/04", "2008/3/4", " 2008-3-4 ", "2008-03-04 00:00:00"})
        EXPECT_TRUE(VbDate::fromDbText(text, &ok) == d && ok) << text;
    for (const char* text : {"", "abc", "2008-13-01", "2008-02-30", "2008-0x-04", "20080-3-04"})
        EXPECT_TRUE(VbDate::fromDbText(text, &ok).isZero() && !ok) << text;
    // Format: the zero date shows as nothing.
    for (const auto& [pattern, expected] : {std::pair("yyyy/mm/dd", "2008/03/04"), {"yymmdd", "080304"}, {"m/d", "3/4"}})
        EXPECT_EQ(Format(d, pattern) + "|" + Format(VbDate(), pattern), QString(expected) + "|");
    EXPECT_EQ(Format(VbDate::fromYmd(2010, 11, 25), "m/d"), "11/25");

    // CLng rounds halves to even and checks its range; Int floors.
    const struct { double value; int expected; } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-7.6, -8}, {2147483647.0, 2147483647}};
    for (const auto& c : cases)
        EXPECT_EQ(CLng(c.value), c.expected) << c.value;
    for (double overflow : {2147483648.0, -3e9, std::nan("")})
        EXPECT_EQ(errorNumberOf([&] { CLng(overflow); }), vbErrOverflow) << overflow;
    EXPECT_EQ(QList<double>({Int(-1.5), Int(1.7)}), QList<double>({-2, 1}));
    // Texts: trimmed signed decimals or a type mismatch; Val takes the leading number.
    EXPECT_EQ(QList<int>({CLngText(" 12 "), CLngText("\t+7"), CLngText("-3.5"), CLngText("2.5")}), QList<int>({12, 7, -4, 2}));
    for (const char* bad : {"", "  ", "abc", "12a", "1 2", "-", ".", "1.2.3", "１２"}) {
        EXPECT_EQ(errorNumberOf([&] { CSngText(bad); }), vbErrTypeMismatch) << bad;
        EXPECT_FALSE(IsNumeric(bad)) << bad;
    }
    EXPECT_EQ(errorNumberOf([] { CLngText("99999999999"); }), vbErrOverflow);
    EXPECT_EQ(QList<double>({Val("12abc"), Val("  -3.5kg"), Val(".5"), Val("1 2"), Val("abc"), Val("-")}),
              QList<double>({12, -3.5, 0.5, 12, 0, 0}));
    // A number text reads to the same double as the general reading: 15 and 16 digits, zero's sign.
    for (const char* text : {"0", "-0", "+0.0", "7", " 12 ", "\t+7", "-3.5", "0.1", "0.3", ".5", "5.", "-.25", "1.10", "58.7", "123456789012345",
                             "999999999999999", "0.000000000000001", "1234567890.12345", "-99999999999999.9", "1234567890123456",
                             "0.1234567890123456", "00000000000000000001", "9007199254740993", "3.14159265358979323846"}) {
        const double expected = QString::fromLatin1(text).trimmed().toDouble(), read = CDblText(QString::fromLatin1(text));
        EXPECT_EQ(std::pair(read, std::signbit(read)), std::pair(expected, std::signbit(expected))) << text;
    }
}

// Halves round away from zero; "#" shows nothing for 0.
TEST(FormatNumber, PatternsOfTheGridsAndTexts)
{
    const struct { double value; const char *pattern, *expected; } cases[] = {
        {0, "###", ""}, {0.4, "###", ""}, {0.5, "###", "1"}, {72.5, "###", "73"}, {-5, "###", "-5"}, {0, "0", "0"}, {-2.5, "0", "-3"},
        {-0.4, "0", "0"}, {7, "00", "07"}, {123, "00", "123"}, {5.25, "00.0", "05.3"}, {9.96, "#0.0", "10.0"}, {-0.04, "#0.0", "0.0"},
        {0.5, "##.0", ".5"}, {0, "##.0", ".0"}, {1.005, "0.00", "1.01"}, {99.5, "##", "100"}, {0.255, "#0%", "26%"},
        {0.004, "##0%", "0%"}, {-0.1234, "#0.0%", "-12.3%"}, {0, "+##0;-##", "+0"}, {-123.4, "+##0;-##", "-123"},
        {999, "#,###", "999"}, {0, "#,###", ""}, {-12345, "#,###", "-12,345"}, {999.96, "#,##0.0", "1,000.0"},
        {0.00005, "0.0000", "0.0001"}, {0.000049, "0.0000", "0.0000"}, {-3, "(0)", "-(3)"}, {1e15, "###", "1000000000000000"},
        {0.995, "#.##", "1."}, {1234567, "#,###", "1,234,567"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, c.pattern).toStdString(), c.expected) << c.value << " " << c.pattern;
    // A Single rounds on the 7 digits it shows: 0.145f is 0.14499999582... as a double.
    EXPECT_EQ(QStringList({FormatSingle(92.7f, "#0.0"), FormatSingle(0.125f, "0.00"), FormatSingle(0.145f, "0.00"),
                           Format(0.145f, "0.00"), Format(double(0.145f), "0.00"), FormatSingle(0.285f, "#0%"),
                           FormatSingle(12345678.0f, "###"), Format(int64_t(7), "00")}),
              QStringList({"92.7", "0.13", "0.15", "0.15", "0.14", "29%", "12345680", "07"}));
    // A Single's shortest text that reads back the same; percentages round its own 7 digits.
    EXPECT_EQ(QStringList({singleText(56.0f), singleText(55.5f), singleText(0.1f), singleText(-2.25f), singleText(1e7f),
                           singleText(0.3f + 0.6f), singleText(0)}),
              QStringList({"56", "55.5", "0.1", "-2.25", "10000000", "0.90000004", "0"}));
    EXPECT_EQ(QStringList({Format(0.2f, "00%"), Format(0.25f, "00%"), Format(0.05f, "00%"), Format(0.125f, "00%"),
                           Format(0.005f, "00%"), Format(1.5f, "00%")}),
              QStringList({"20%", "25%", "05%", "13%", "01%", "150%"}));
}
