// Our LZH archives checked with two independent readers: lhasa's `lha` and libarchive.
#include "platform/lzh.h"
#include "platform/textcodec.h"
#include "tests/support/lhaTool.h"
#include "tests/support/sampleText.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

using Files = std::map<QString, QByteArray>;

struct LzhArchive : ::testing::Test {
    QTemporaryDir dir;

    QString path(const QString& relative) const { return dir.filePath(relative); }
    // Writes the files under src/ and adds that folder (or the one file given) to the archive.
    LzhResult add(const Files& files, const QString& archive, const QString& source = "src")
    {
        QDir(path("src")).removeRecursively();
        for (const auto& [name, bytes] : files)
            writeTestFile(path("src/" + name), bytes);
        QList<LzhSource> sources;
        const LzhResult collected = lzhCollectSources(path(source), sources);
        return collected ? lzhAddFiles(path(archive), sources) : collected;
    }
    // Both readers find exactly these members with these bytes.
    void expectReadersFind(const QString& archive, const Files& expected)
    {
        EXPECT_TRUE(lhaTestPasses(path(archive)));
        std::map<std::string, QByteArray> raw;
        for (const auto& [name, bytes] : expected)
            raw[toCp932(name).toStdString()] = bytes;
        EXPECT_EQ(lhaExtract(path(archive), path("extracted")), raw);
        Files read;
        for (const auto& [name, member] : libarchiveMembers(path(archive)))
            read[name] = member.first;
        EXPECT_EQ(read, expected);
    }
};

// -lh0- only when empty or incompressible; 表 and ソ end in the byte 0x5C, which is no folder separator.
TEST_F(LzhArchive, EveryKindOfContentAndNameComesBackByteForByte)
{
    // Fibonacci frequencies make an unrestricted Huffman tree 29 levels deep; the format allows 16.
    std::vector<quint32> freq(40, 0);
    for (quint32 i = 0, a = 1, b = 1; i < 30; ++i, b = a + b, a = b - a)
        freq[i] = a;
    const std::vector<quint8> len = lh5CodeLengths(freq);
    quint64 kraft = 0;
    for (size_t s = 0; s < freq.size(); ++s) {
        EXPECT_LE(len[s], s ? std::max<int>(len[s - 1], 1) : 16) << "longer than 16 bits, or than a rarer symbol's";
        kraft += len[s] ? quint64(1) << (16 - len[s]) : 0;
    }
    EXPECT_EQ(kraft, quint64(1) << 16) << "not a complete code";
    EXPECT_EQ(lh5CodeLengths({0, 5, 1}), (std::vector<quint8>{0, 1, 1}));

    const std::map<QString, std::pair<QByteArray, QByteArray>> files = {
        {"empty.dat", {"", "-lh0-"}}, {"one.dat", {"x", "-lh0-"}}, {"random.dat", {randomBytes(100000, 1), "-lh0-"}},
        {"repeat.dat", {QByteArray("0123456789abcdef").repeated(65536), "-lh5-"}},
        {"large.txt", {mixedCp932Text(3 * 1024 * 1024, 4), "-lh5-"}}, {"レース/大井/memo推奨.txt", {toCp932("本命は３番"), "-lh0-"}},
        {"ソ/表/window.dat", {randomBytes(8192, 3).repeated(6), "-lh5-"}},  // every byte value; matches one window back
    };
    Files contents;
    for (const auto& [name, file] : files)
        contents[name] = file.first;
    ASSERT_TRUE(add(contents, "all.lzh"));
    expectReadersFind("all.lzh", contents);
    const QByteArray archive = readTestFile(path("all.lzh"));
    for (const auto& [name, member] : libarchiveMembers(path("all.lzh")))
        EXPECT_EQ(archive.mid(member.second + 2, 5), files.at(name).second) << name.toStdString();
}

// An unreadable archive or a name CP932 lacks is reported, and nothing is touched.
TEST_F(LzhArchive, FailuresAreReportedAndTouchNothing)
{
    LzhResult r;
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    ASSERT_TRUE(add({{"a.txt", mixedCp932Text(5000, 8)}}, "out/keep.lzh"));
    const QByteArray kept = readTestFile(path("out/keep.lzh"));
    for (const QByteArray& bad : {QByteArray("This is no archive at all, just text."), QByteArray(1, '\0') + randomBytes(300, 9),
                                  kept.chopped(100)}) {
        writeTestFile(path("bad.lzh"), bad);
        r = add({{"b.txt", "bravo"}}, "bad.lzh");
        EXPECT_TRUE(!r && r.error.contains("読めません")) << r.error.toStdString();
        EXPECT_EQ(readTestFile(path("bad.lzh")), bad);
    }
    r = add({{"b.txt", "bravo"}, {"\xF0\x9F\x90\x8E.txt", "horse"}}, "out/keep.lzh");
    EXPECT_TRUE(!r && r.error.contains("Shift-JIS")) << r.error.toStdString();
    EXPECT_EQ(readTestFile(path("out/keep.lzh")), kept);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.lzh"});
}

static QByteArray le(quint32 v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char(v >> (8 * i)));
    return b;
}

using ExtHeaders = QList<std::pair<char, QByteArray>>;

// A stored member as other archivers write it. Level 0 closes its header by the byte sum after its first two bytes;
// level 1 too, with the extended headers after it; level 2 has only extended headers. A common header (type 0) holds
// the CRC of the whole header, spoilt on request.
static QByteArray storedMember(int level, const QByteArray& name, const QByteArray& data, const ExtHeaders& ext = {}, bool spoil = false,
                               const QByteArray& method = "-lh0-")
{
    QByteArray chain;
    qsizetype crcAt = -1;
    for (const auto& [type, bytes] : ext) {
        crcAt = type == 0 && bytes.size() >= 2 ? chain.size() + 3 : crcAt;
        chain += le(bytes.size() + 3, 2) + type + bytes;
    }
    chain += le(0, 2);
    const qsizetype extSize = level == 0 ? 0 : chain.size() - 2;
    QByteArray fixed = method + le(data.size() + (level == 1 ? extSize : 0), 4) + le(data.size(), 4) + le(0x38780000, 4) + "\x20" + char(level);
    QByteArray header;
    if (level == 2) {
        header = le(0, 2) + fixed + le(lzhCrc16(data), 2) + 'M' + chain;
        header.replace(0, 2, le(header.size(), 2));
        crcAt += crcAt >= 0 ? 24 : 0;
    } else {
        const QByteArray base = fixed + char(name.size()) + name + le(lzhCrc16(data), 2) + (level == 1 ? 'M' + chain.left(2) : QByteArray());
        quint8 sum = 0;
        for (const char c : base)
            sum = quint8(sum + quint8(c));
        header = char(base.size()) + QByteArray(1, char(sum)) + base + (level == 1 ? chain.mid(2) : QByteArray());
        crcAt += crcAt >= 0 ? base.size() : 0;
    }
    if (crcAt >= 0)
        header.replace(crcAt, 2, le(lzhCrc16(header) ^ (spoil ? 0x5555 : 0), 2));
    return header + data;
}

// An archive whose headers do not check out (a level-0 byte sum, a level-2 CRC, a method id) is refused and left as it
// was: lha reads nothing from the first broken header on, so a member added after it could not be read either. Sound
// archives of every level take the new member. The archive's folder must exist: none is made.
TEST_F(LzhArchive, HeadersThatDoNotCheckOutAreRefused)
{
    const QByteArray zero = storedMember(0, "old.txt", "kept as it was") + '\0';
    writeTestFile(path("zero.lzh"), zero);
    ASSERT_TRUE(add({{"b.txt", "bravo"}}, "zero.lzh"));
    expectReadersFind("zero.lzh", {{"old.txt", "kept as it was"}, {"b.txt", "bravo"}});
    ASSERT_TRUE(add({{"a.txt", "alpha"}}, "two.lzh"));
    const QByteArray two = readTestFile(path("two.lzh"));
    ASSERT_EQ(two.mid(2, 5), "-lh0-");
    // Byte sum, name under the sum; level-2 CRC, name under the CRC, method id.
    QList<QByteArray> broken {zero, zero, two, two, two};
    broken[0][1] = char(zero[1] + 1);
    broken[1][22] = char(zero[22] ^ 0x20);
    broken[2][27] = char(two[27] ^ 1);
    broken[3][32] = char(two[32] ^ 0x20);
    broken[4][3] = 'x';
    for (int i = 0; i < broken.size(); ++i) {
        writeTestFile(path("bad.lzh"), broken[i]);
        EXPECT_EQ(lhaExtract(path("bad.lzh"), path("extracted")).size(), 0u) << i << ": lha reads no member of it";
        const LzhResult r = add({{"c.txt", "charlie"}}, "bad.lzh");
        EXPECT_TRUE(!r && r.error.contains("LZHファイルとして読めません")) << i << r.error.toStdString();
        EXPECT_EQ(readTestFile(path("bad.lzh")), broken[i]) << i;
    }

    // Levels 1 and 2 with a common header of any size, an attribute header, folder entries named by their folders alone:
    // the new member goes after them. A wrong CRC in a level-1 common header or in one longer than its CRC, two CRC
    // headers of which only the last holds the header's CRC, or a file without a name (none at level 0 or 1, no file-name
    // header or one of 0 bytes at level 2) makes lha read nothing of the archive from there on: it is refused, left
    // as it was.
    const QByteArray crc(2, '\0'), longCrc = crc + "\x07\x00", attr("\x20\x00", 2);
    const QByteArray sound = storedMember(1, "one.txt", "level one", {{0, crc}, {0x40, attr}}) + storedMember(1, "", "named", {{1, "ext.txt"}})
        + storedMember(2, "", "level two", {{0, longCrc}, {1, "two.txt"}}) + storedMember(2, "", "", {{0, crc}, {2, "sub\xFF"}}, false, "-lhd-")
        + storedMember(2, "", "no crc", {{0, QByteArray(1, '\0')}, {1, "nocrc.txt"}}) + storedMember(0, "dir\\", "", {}, false, "-lhd-") + '\0';
    writeTestFile(path("sound.lzh"), sound);
    ASSERT_TRUE(add({{"c.txt", "charlie"}}, "sound.lzh"));
    EXPECT_EQ(lhaExtract(path("sound.lzh"), path("extracted")),
              (std::map<std::string, QByteArray> {{"one.txt", "level one"}, {"ext.txt", "named"}, {"two.txt", "level two"},
                                                  {"nocrc.txt", "no crc"}, {"c.txt", "charlie"}}));
    EXPECT_TRUE(lhaTestPasses(path("sound.lzh")));
    const QByteArray after = storedMember(2, "", "after", {{0, crc}, {1, "after.txt"}});
    for (const QByteArray& bad : {storedMember(1, "one.txt", "level one", {{0, crc}}, true), storedMember(2, "", "two", {{0, longCrc}, {1, "two.txt"}}, true),
                                  storedMember(2, "", "two", {{0, "\x34\x12"}, {0, crc}, {1, "two.txt"}}),
                                  storedMember(1, "one.txt", "one", {{0, "\x34\x12"}, {0, crc}}),
                                  storedMember(2, "", "nameless", {{0, crc}}), storedMember(2, "", "nameless", {{0, crc}, {1, ""}}),
                                  storedMember(0, "", "nameless"), storedMember(1, "", "nameless", {{0, crc}})}) {
        writeTestFile(path("bad.lzh"), bad + after + '\0');
        EXPECT_EQ(lhaExtract(path("bad.lzh"), path("extracted")).size(), 0u);
        const LzhResult r = add({{"c.txt", "charlie"}}, "bad.lzh");
        EXPECT_TRUE(!r && r.error.contains("LZHファイルとして読めません")) << r.error.toStdString();
        EXPECT_EQ(readTestFile(path("bad.lzh")), bad + after + '\0');
    }
    const LzhResult r = add({{"c.txt", "charlie"}}, "absent/new.lzh");
    EXPECT_EQ(r.error, "フォルダ「" + path("absent") + "」がありません");
    EXPECT_FALSE(QFileInfo::exists(path("absent")));
}

// A header of a multiple of 256 bytes would start with the end mark 0 and is written one byte longer. A 0-byte archive
// starts afresh; an update keeps the members before the replaced one byte for byte; a single file goes in by its name.
TEST_F(LzhArchive, LongHeadersThreeThousandFilesAndUpdates)
{
    writeTestFile(path("a.lzh"), QByteArray());
    Files files = {{"z.txt", "zulu old"}};
    for (int i = 0; i < 3000; ++i)
        files[QStringLiteral("d%1/f%2.txt").arg(i % 10).arg(i, 4, 10, QLatin1Char('0'))] = QByteArray::number(i).repeated(1 + i % 50);
    for (const int nameBytes : {221, 222, 223})
        files[QString(nameBytes - 4, QLatin1Char('a' + nameBytes % 3)) + ".txt"] = QByteArray::number(nameBytes).repeated(40);
    // 34 + 3 + two folders of 80 characters (160 bytes and a separator each) + 153 = 512.
    files[QString(80, u'競') + "/" + QString(80, u'馬') + "/" + QString(149, u'x') + ".txt"] = toCp932("二バイト文字のフォルダ");
    ASSERT_TRUE(add(files, "a.lzh"));
    const QByteArray before = readTestFile(path("a.lzh"));
    std::multiset<int> headerSizes;
    for (const auto& [name, member] : libarchiveMembers(path("a.lzh")))
        if (name.size() > 200)
            headerSizes.insert(quint8(before[member.second]) | quint8(before[member.second + 1]) << 8);
    EXPECT_EQ(headerSizes, std::multiset<int>({255, 257, 257, 513}));
    const qint64 replacedAt = libarchiveMembers(path("a.lzh"))["z.txt"].second;
    ASSERT_GT(replacedAt, 0);
    ASSERT_TRUE(add({{"z.txt", "zulu new"}, {"next.txt", "after the long ones"}}, "a.lzh"));
    ASSERT_TRUE(add({{"solo.txt", "solo"}}, "a.lzh", "src/solo.txt"));
    files.insert({{"next.txt", "after the long ones"}, {"solo.txt", "solo"}});
    files["z.txt"] = "zulu new";
    expectReadersFind("a.lzh", files);
    EXPECT_TRUE(readTestFile(path("a.lzh")).startsWith(before.left(replacedAt)));
}
