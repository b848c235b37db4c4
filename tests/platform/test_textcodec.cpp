#include "platform/textcodec.h"

#include <gtest/gtest.h>

namespace {

struct Known {
    const char* text;
    QByteArray bytes;
};

// Microsoft's table, including the characters strict Shift_JIS maps elsewhere or lacks.
const Known kKnown[] = {
    {"～", QByteArray("\x81\x60")},
    {"①", QByteArray("\x87\x40")},
    {"－", QByteArray("\x81\x7C")},
    {"髙", QByteArray("\xFB\xFC")},
    {"﨑", QByteArray("\xFA\xB1")},
    {"∥", QByteArray("\x81\x61")},
    {"大井", QByteArray("\x91\xE5\x88\xE4")},
    {"かな", QByteArray("\x82\xA9\x82\xC8")},
    {"ｱｲｳﾞ", QByteArray("\xB1\xB2\xB3\xDE")},
    {"A\\~ 1", QByteArray("A\\~ 1")},
};

TEST(Cp932, EncodesAndDecodesMicrosoftsTable)
{
    for (const auto& k : kKnown) {
        SCOPED_TRACE(k.text);
        const QString text = QString::fromUtf8(k.text);
        EXPECT_EQ(toCp932(text).toHex(' '), k.bytes.toHex(' '));
        EXPECT_EQ(fromCp932(k.bytes), text);
    }
}

TEST(Cp932, DashAndWaveDecodeToFullWidthForms)
{
    EXPECT_EQ(fromCp932(QByteArray("\x81\x7C")), QString(QChar(0xFF0D)));
    EXPECT_EQ(fromCp932(QByteArray("\x81\x60")), QString(QChar(0xFF5E)));
}

TEST(Cp932, MixedTextSurvivesARoundTrip)
{
    const QString text = QString::fromUtf8("大井11R ～① 髙﨑－ｶﾅ 漢字\r\n");
    EXPECT_EQ(fromCp932(toCp932(text)), text);
}

TEST(Cp932, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(toCp932(QString::fromUtf8("a😀b¬")), QByteArray("a?b?"));
    EXPECT_EQ(toCp932(QString::fromUtf8("大😀")), QByteArray("\x91\xE5?"));
}

TEST(Cp932, BrokenBytesDoNotSwallowTheRest)
{
    const QString text = fromCp932(QByteArray("\x91\xE5\x85\x40OK\x81"));
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("大")));
    EXPECT_TRUE(text.contains(u"OK"));
    EXPECT_EQ(text.back(), QChar(QChar::ReplacementCharacter));
}

TEST(DecodeByCharset, ShiftJisAliasesEucAndUtf8)
{
    const QByteArray sjis("\x91\xE5\x88\xE4\x81\x7C");
    const QString expected = QString::fromUtf8("大井－");
    for (const char* name : {"Shift_JIS", "shift-jis", "SJIS", "x-sjis", "windows-31j", "CP932", "", "bogus"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decodeByCharset(sjis, name), expected);
    }
    EXPECT_EQ(decodeByCharset(QByteArray("\xC2\xE7\xB0\xE6"), "EUC-JP"), QString::fromUtf8("大井"));
    EXPECT_EQ(decodeByCharset(QByteArray("\xC2\xE7\xB0\xE6"), "euc-jp"), QString::fromUtf8("大井"));
    EXPECT_EQ(decodeByCharset(QString::fromUtf8("大井～").toUtf8(), " UTF-8 "), QString::fromUtf8("大井～"));
}

}
