#include "platform/inifile.h"
#include "platform/textcodec.h"
#include "tests/support/lhaTool.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Case-blind names, trimmed blanks, 255 characters at most; CP932 with CR LF; a new key ends its section; a replaced key
// keeps every other line byte for byte; a failed write creates nothing.
TEST(IniFile, ReadsAndWritesAsThePrivateProfileFunctionsDo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Strevin.ini");
    IniFile ini(path);
    // The value, checking that the count the call reports is its length.
    const auto read = [&](const QString& section, const QString& key, const QString& def = "") {
        QString value;
        const int n = ini.getString(section, key, def, value);
        EXPECT_EQ(n, value.size());
        return value;
    };
    EXPECT_EQ(read("System", "Zyo", " d "), " d ");  // no file yet
    // Mixed line ends, a comment, a garbage line, a quoted value, a duplicate key, CP932 text.
    const QByteArray sample = "; settings\r\n[System]\r\nZyo = " + toCp932("大井") + " \t\r\nthis line is garbage\nRace=11\n"
                              "Empty=\r\nQuoted=\"a b\"\r\nrace=99\r\n;Hidden=1\r\n\r\n[Other]\r\nOnly=here";
    writeTestFile(path, sample);
    const struct { const char *section, *key, *def, *expected; } cases[] = {
        {"system", "ZYO", "", "大井"}, {"SYSTEM", "race", "", "11"}, {"System", "Quoted", "", "\"a b\""}, {"Other", "Only", "", "here"},
        {"System", "Only", "x", "x"}, {"System", ";Hidden", "x", "x"}, {"System", "Hidden", "x", "x"}, {"Nothing", "Zyo", "x", "x"},
        {"System", "Empty", "x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.section, c.key, c.def), c.expected) << c.section << "/" << c.key;
    ASSERT_TRUE(ini.writeString("SYSTEM", "RACE", "12"));
    ASSERT_TRUE(ini.writeString("System", "Kikan", "1"));
    ASSERT_TRUE(ini.writeString("other", "More", "2"));
    QByteArray expected = sample;
    expected.replace("Race=11\n", "RACE=12\r\n").replace(";Hidden=1\r\n", ";Hidden=1\r\nKikan=1\r\n").append("\r\nMore=2\r\n");
    EXPECT_EQ(readTestFile(path), expected);
    EXPECT_FALSE(IniFile(path + "/inside.ini").writeString("S", "K", "v"));
    EXPECT_EQ(std::pair(readTestFile(path), QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)), std::pair(expected, QStringList{"Strevin.ini"}));

    const QString longValue(300, u'あ');
    writeTestFile(path, "[S]\r\nK=" + toCp932(longValue) + "\r\n");
    EXPECT_EQ(QStringList({read("S", "K"), read("S", "Missing", longValue)}), QStringList(2, longValue.left(255)));
}
