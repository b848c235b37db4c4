#include "tests/platform/errorNumber.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <gtest/gtest.h>

namespace {

TEST(WholeNumbers, CLngRoundsHalvesToEvenAndChecksRange)
{
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(0.5), 0);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(7.4), 7);
    EXPECT_EQ(CLng(-7.6), -8);
    EXPECT_EQ(CLng(2147483647.0), 2147483647);
    EXPECT_EQ(errorNumberOf([] { CLng(2147483648.0); }), vbErrOverflow);
    EXPECT_EQ(errorNumberOf([] { CLng(-3e9); }), vbErrOverflow);
    EXPECT_EQ(errorNumberOf([] { CLng(std::nan("")); }), vbErrOverflow);
}

TEST(WholeNumbers, IntFloorsAndFixTruncates)
{
    EXPECT_EQ(Int(-1.5), -2.0);
    EXPECT_EQ(Int(1.7), 1.0);
    EXPECT_EQ(Fix(-1.5), -1.0);
    EXPECT_EQ(Fix(1.7), 1.0);
}

TEST(TextToNumber, AcceptsTrimmedSignedDecimals)
{
    EXPECT_EQ(CLngText(" 12 "), 12);
    EXPECT_EQ(CLngText("\t+7"), 7);
    EXPECT_EQ(CLngText("-3.5"), -4);
    EXPECT_EQ(CLngText("2.5"), 2);
    EXPECT_EQ(CLngText(".5"), 0);
    EXPECT_FLOAT_EQ(CSngText("92.7"), 92.7f);
    EXPECT_DOUBLE_EQ(CDblText(" -0.25 "), -0.25);
    EXPECT_TRUE(IsNumeric(" 3.0 "));
}

TEST(TextToNumber, RejectsEmptyAndNonNumericWithTypeMismatch)
{
    for (const char* bad : {"", "  ", "abc", "12a", "1 2", "-", ".", "1.2.3", "１２"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorNumberOf([&] { CLngText(QString::fromUtf8(bad)); }), vbErrTypeMismatch);
        EXPECT_EQ(errorNumberOf([&] { CSngText(QString::fromUtf8(bad)); }), vbErrTypeMismatch);
        EXPECT_FALSE(IsNumeric(QString::fromUtf8(bad)));
    }
    EXPECT_EQ(errorNumberOf([] { CLngText("99999999999"); }), vbErrOverflow);
}

TEST(TextToNumber, ValTakesTheLeadingNumber)
{
    EXPECT_EQ(Val("12abc"), 12.0);
    EXPECT_EQ(Val("  -3.5kg"), -3.5);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("1 2"), 12.0);
    EXPECT_EQ(Val("abc"), 0.0);
    EXPECT_EQ(Val(""), 0.0);
    EXPECT_EQ(Val("-"), 0.0);
}

struct NumberCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(FormatNumber, PatternsOfTheGridsAndTexts)
{
    const NumberCase cases[] = {
        {0, "###", ""}, {0.4, "###", ""}, {0.5, "###", "1"}, {72.5, "###", "73"}, {1234, "###", "1234"},
        {-5, "###", "-5"}, {7, "##", "7"}, {0, "#", ""}, {0, "0", "0"}, {2.5, "0", "3"},
        {7, "00", "07"}, {123, "00", "123"}, {5, "000", "005"}, {5.25, "00.0", "05.3"},
        {0, "#0.0", "0.0"}, {9.96, "#0.0", "10.0"}, {0.5, "##.0", ".5"}, {0, "##.0", ".0"},
        {0.96, "##.0", "1.0"}, {12.34, "##.0", "12.3"}, {0.05, "0.0", "0.1"}, {1.005, "0.00", "1.01"},
        {99.5, "##", "100"}, {-2.5, "0", "-3"}, {-0.4, "0", "0"}, {-0.04, "#0.0", "0.0"},
        {0.255, "#0%", "26%"}, {0, "#0%", "0%"}, {1, "#0%", "100%"}, {0.5, "##0%", "50%"},
        {0.004, "##0%", "0%"}, {0.1234, "#0.0%", "12.3%"}, {-0.1234, "#0.0%", "-12.3%"},
        {5, "+##0;-##", "+5"}, {0, "+##0;-##", "+0"}, {-5, "+##0;-##", "-5"}, {-123.4, "+##0;-##", "-123"},
        {12345678, "###", "12345678"},
        {1234567, "#,###", "1,234,567"}, {999, "#,###", "999"}, {1000, "#,###", "1,000"}, {0, "#,###", ""},
        {-12345, "#,###", "-12,345"}, {1234.5, "#,##0.0", "1,234.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " " << c.pattern);
        EXPECT_EQ(Format(c.value, c.pattern).toStdString(), c.expected);
    }
}

TEST(FormatNumber, SinglesRoundOnTheirSevenDigitText)
{
    EXPECT_EQ(FormatSingle(92.7f, "#0.0"), "92.7");
    EXPECT_EQ(FormatSingle(0.125f, "0.00"), "0.13");
    // 0.145f is 0.14499999582... as a double; as a Single it shows 0.145.
    EXPECT_EQ(FormatSingle(0.145f, "0.00"), "0.15");
    EXPECT_EQ(Format(double(0.145f), "0.00"), "0.14");
    EXPECT_EQ(Format(0.145f, "0.00"), "0.15");
    EXPECT_EQ(FormatSingle(0.285f, "#0%"), "29%");
    EXPECT_EQ(FormatSingle(12345678.0f, "###"), "12345680");
    EXPECT_EQ(Format(12345678, "###"), "12345678");
    EXPECT_EQ(Format(int64_t(7), "00"), "07");
}

TEST(FormatDate, DatePatternsAndTheZeroDate)
{
    const VbDate d = VbDate::fromYmd(2008, 3, 4);
    EXPECT_EQ(Format(d, "yyyy/mm/dd"), "2008/03/04");
    EXPECT_EQ(Format(d, "yy/mm/dd"), "08/03/04");
    EXPECT_EQ(Format(d, "yymmdd"), "080304");
    EXPECT_EQ(Format(d, "mm/dd"), "03/04");
    EXPECT_EQ(Format(d, "m/d"), "3/4");
    EXPECT_EQ(Format(VbDate::fromYmd(2010, 11, 25), "m/d"), "11/25");
    EXPECT_EQ(Format(d, "yyyy"), "2008");
    EXPECT_EQ(Format(d, "mm"), "03");
    EXPECT_EQ(Format(d, "dd"), "04");
    for (const char* p : {"yyyy/mm/dd", "yy/mm/dd", "yymmdd", "mm/dd", "m/d", "yyyy", "mm", "dd"})
        EXPECT_EQ(Format(VbDate(), p), "") << p;
}

}
