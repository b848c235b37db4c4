#include "platform/textcodec.h"

#include <gtest/gtest.h>

// Microsoft's table, with the characters strict Shift_JIS maps elsewhere or lacks; unmappable: "?" or an HTML reference.
TEST(Cp932, EncodesAndDecodesMicrosoftsTable)
{
    const struct { const char* text; QByteArray bytes; } cases[] = {
        {"～", "\x81\x60"}, {"①", "\x87\x40"}, {"－", "\x81\x7C"}, {"髙", "\xFB\xFC"}, {"﨑", "\xFA\xB1"}, {"∥", "\x81\x61"},
        {"大井", "\x91\xE5\x88\xE4"}, {"ｱｲｳﾞ", "\xB1\xB2\xB3\xDE"}, {"A\\~ 1", "A\\~ 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toCp932(c.text).toHex(' ') + " " + fromCp932(c.bytes).toUtf8(), c.bytes.toHex(' ') + " " + c.text);
    for (const char* name : {"Shift_JIS", "shift-jis", "SJIS", "x-sjis", "windows-31j", "CP932", "", "bogus"})
        EXPECT_EQ(decodeByCharset("\x91\xE5\x88\xE4\x81\x7C", name), "大井－") << name;
    EXPECT_EQ(decodeByCharset("\xC2\xE7\xB0\xE6", "euc-jp") + decodeByCharset("大井～", " UTF-8 "), "大井大井～");
    EXPECT_EQ(toCp932("a😀b¬大") + "|" + toCp932Html("a😀b¬大&"), QByteArray("a?b?\x91\xE5|a&#128512;b&#172;\x91\xE5&"));

    // A cut double-byte character is marked; 0xFA-0xFC lead, but a trail byte in that range does not.
    const QString cut = QString(QChar(QChar::ReplacementCharacter));
    const struct { QByteArray bytes; QString text; } cuts[] = {
        {"\xFB", cut}, {"\xFA", cut}, {"\xFC", cut}, {"A\xFB\xFC\xFA", "A髙" + cut}, {"\xFA\xB1\xFB\xFC", "﨑髙"},
        {"\xFB\xFC\xFB\xFC\xFB", "髙髙" + cut}, {"\xFB\xFC", "髙"}, {"\xB1\xFB\xFC", "ｱ髙"}, {"\x91\xE5\xFA\xB1\x81", "大﨑" + cut},
    };
    for (const auto& c : cuts)
        EXPECT_EQ(fromCp932(c.bytes), c.text) << c.bytes.toHex(' ').toStdString();
    const QString text = fromCp932("\x91\xE5\x85\x40OK\x81");
    EXPECT_TRUE(text.startsWith("大") && text.contains("OK") && text.back() == cut[0]) << text.toStdString();
}
