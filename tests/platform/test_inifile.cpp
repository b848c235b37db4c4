#include "platform/inifile.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct IniFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath("Strevin.ini");
    IniFile ini {path};

    void writeBytes(const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString read(const QString& section, const QString& key, const QString& def = "DEF", int* count = nullptr)
    {
        QString value;
        const int n = ini.getString(section, key, def, value);
        if (count)
            *count = n;
        EXPECT_EQ(n, value.size());
        return value;
    }
};

// Mixed line ends, a comment, a garbage line, a quoted value, a duplicate key, CP932 text.
const QByteArray kSample = QByteArray("; settings\r\n")
    + "[System]\r\n"
    + "Zyo = " + toCp932(QString::fromUtf8("大井")) + " \t\r\n"
    + "this line is garbage\n"
    + "Race=11\n"
    + "Empty=\r\n"
    + "Quoted=\"a b\"\r\n"
    + "race=99\r\n"
    + ";Hidden=1\r\n"
    + "\r\n"
    + "[Other]\r\n"
    + "Only=here";

TEST_F(IniFileTest, ReadsWithoutRegardToCaseAndTrimsBlanks)
{
    writeBytes(kSample);
    EXPECT_EQ(read("system", "ZYO"), QString::fromUtf8("大井"));
    EXPECT_EQ(read("SYSTEM", "race"), "11");
    EXPECT_EQ(read("System", "Quoted"), "\"a b\"");
    EXPECT_EQ(read("Other", "Only"), "here");
    EXPECT_EQ(read("System", "Only"), "DEF");
    EXPECT_EQ(read("System", ";Hidden"), "DEF");
    EXPECT_EQ(read("System", "Hidden"), "DEF");
}

TEST_F(IniFileTest, MissingGivesTheDefaultAsGivenAndEmptyGivesNothing)
{
    int n = -1;
    EXPECT_EQ(read("System", "Zyo", " d ", &n), " d ");  // no file yet
    EXPECT_EQ(n, 3);
    writeBytes(kSample);
    EXPECT_EQ(read("Nothing", "Zyo", "x", &n), "x");
    EXPECT_EQ(read("System", "Nothing", "", &n), "");
    EXPECT_EQ(n, 0);
    EXPECT_EQ(read("System", "Empty", "x", &n), "");
    EXPECT_EQ(n, 0);
}

TEST_F(IniFileTest, LongValuesAreCutTo255Characters)
{
    const QString longValue(300, u'あ');
    writeBytes("[S]\r\nK=" + toCp932(longValue) + "\r\n");
    EXPECT_EQ(read("S", "K"), longValue.left(255));
    EXPECT_EQ(read("S", "Missing", longValue), longValue.left(255));
}

TEST_F(IniFileTest, WriteCreatesFileSectionAndKeyInCp932WithCrLf)
{
    ASSERT_TRUE(ini.writeString("System", "Zyo", QString::fromUtf8("大井")));
    EXPECT_EQ(bytes(), QByteArray("[System]\r\nZyo=\x91\xE5\x88\xE4\r\n"));
    ASSERT_TRUE(ini.writeString("Web", "Host", "example.test"));
    EXPECT_EQ(bytes(), QByteArray("[System]\r\nZyo=\x91\xE5\x88\xE4\r\n[Web]\r\nHost=example.test\r\n"));
    EXPECT_EQ(read("web", "host"), "example.test");
}

TEST_F(IniFileTest, ReplacingAKeyKeepsEveryOtherLineByteForByte)
{
    writeBytes(kSample);
    ASSERT_TRUE(ini.writeString("SYSTEM", "RACE", "12"));
    QByteArray expected = kSample;
    expected.replace("Race=11\n", "RACE=12\r\n");
    EXPECT_EQ(bytes(), expected);
    EXPECT_EQ(read("System", "race"), "12");
}

TEST_F(IniFileTest, NewKeyGoesAtTheEndOfItsSection)
{
    writeBytes(kSample);
    ASSERT_TRUE(ini.writeString("System", "Kikan", "1"));
    QByteArray expected = kSample;
    expected.replace(";Hidden=1\r\n", ";Hidden=1\r\nKikan=1\r\n");
    EXPECT_EQ(bytes(), expected);

    ASSERT_TRUE(ini.writeString("other", "More", "2"));
    expected += "\r\nMore=2\r\n";
    EXPECT_EQ(bytes(), expected);
}

TEST_F(IniFileTest, FailedWriteReturnsFalseAndCreatesNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(IniFile(dir.filePath("folder")).writeString("S", "K", "v"));
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());

    writeBytes(kSample);
    EXPECT_FALSE(IniFile(path + "/inside.ini").writeString("S", "K", "v"));
    EXPECT_EQ(bytes(), kSample);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"Strevin.ini"});
}

}
