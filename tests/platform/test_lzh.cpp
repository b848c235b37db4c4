// Our LZH archives checked with two independent readers: lhasa's `lha` and libarchive.
#include "platform/lzh.h"
#include "platform/textcodec.h"
#include "tests/support/lhaTool.h"
#include "tests/support/sampleText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <clocale>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct LibarchiveMember {
    QString name;
    QByteArray data;
    qint64 headerOffset = 0;
};

// Every member as libarchive reads it (it checks each member's CRC at its end).
std::vector<LibarchiveMember> readWithLibarchive(const QString& path)
{
    std::vector<LibarchiveMember> members;
    // libarchive converts CP932 names through the C library's locale, which may be plain ASCII.
    setlocale(LC_CTYPE, "C.UTF-8");
    archive* a = archive_read_new();
    archive_read_support_format_lha(a);
    EXPECT_EQ(archive_read_set_options(a, "hdrcharset=CP932"), ARCHIVE_OK);
    if (archive_read_open_filename(a, QFile::encodeName(path).constData(), 65536) != ARCHIVE_OK) {
        ADD_FAILURE() << "libarchive: " << archive_error_string(a);
        archive_read_free(a);
        return members;
    }
    archive_entry* entry = nullptr;
    int status;
    while ((status = archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
        LibarchiveMember m{QString::fromUtf8(archive_entry_pathname_utf8(entry)), {}, archive_read_header_position(a)};
        char buffer[65536];
        la_ssize_t n;
        while ((n = archive_read_data(a, buffer, sizeof buffer)) > 0)
            m.data.append(buffer, n);
        EXPECT_EQ(n, 0) << m.name.toStdString() << ": " << archive_error_string(a);
        members.push_back(m);
    }
    EXPECT_EQ(status, ARCHIVE_EOF) << archive_error_string(a);
    archive_read_free(a);
    return members;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char(value >> (8 * i)));
    return b;
}

// A stored member with a level-0 or level-1 header, as older archivers wrote them; a level-1
// member may carry its folder in a directory extended header.
QByteArray oldStyleMember(int level, const QByteArray& name, const QByteArray& data, const QByteArray& dir = {})
{
    QByteArray ext;
    if (level == 1 && !dir.isEmpty())
        ext = char(0x02) + dir + littleEndian(0, 2);
    QByteArray body = "-lh0-" + littleEndian(quint32(data.size() + ext.size()), 4) + littleEndian(quint32(data.size()), 4)
                      + littleEndian(0, 4) + char(0x20) + char(level) + char(name.size()) + name
                      + littleEndian(lzhCrc16(data), 2);
    if (level == 1)
        body += 'M' + littleEndian(ext.isEmpty() ? 0 : quint32(ext.size()), 2);
    quint8 sum = 0;
    for (const char c : body)
        sum += quint8(c);
    return QByteArray(1, char(body.size())) + char(sum) + body + ext + data;
}

class LzhArchive : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return dir.filePath(relative); }

    // Writes the files under src/ and adds that folder to the archive.
    LzhResult addFolder(const std::map<QString, QByteArray>& files, const QString& archive)
    {
        QDir(path("src")).removeRecursively();
        for (const auto& [name, bytes] : files)
            writeTestFile(path("src/" + name), bytes);
        QList<LzhSource> sources;
        const LzhResult collected = lzhCollectSources(path("src"), sources);
        return collected ? lzhAddFiles(archive, sources) : collected;
    }

    // Both readers find exactly these members with these bytes.
    void expectReadersFind(const QString& archive, const std::map<QString, QByteArray>& expected)
    {
        EXPECT_TRUE(lhaTestPasses(archive));
        std::map<std::string, QByteArray> rawExpected;
        for (const auto& [name, bytes] : expected)
            rawExpected[toCp932(name).toStdString()] = bytes;
        static int extraction = 0;
        EXPECT_EQ(lhaExtract(archive, path(QStringLiteral("x%1").arg(++extraction))), rawExpected);

        const std::vector<LibarchiveMember> members = readWithLibarchive(archive);
        std::map<QString, QByteArray> read;
        for (const LibarchiveMember& m : members)
            read[m.name] = m.data;
        EXPECT_EQ(read, expected);
        EXPECT_EQ(members.size(), expected.size()) << "a name is in the archive twice";
    }

    QTemporaryDir dir;
};

TEST(LzhCrc16, IsTheReflectedA001Checksum)
{
    EXPECT_EQ(lzhCrc16("123456789"), 0xBB3D);
    EXPECT_EQ(lzhCrc16(""), 0);
    EXPECT_EQ(lzhCrc16("56789", lzhCrc16("1234")), 0xBB3D);
}

TEST(Lh5CodeLengths, StayWithinSixteenBitsAndFormACompleteCode)
{
    // Fibonacci frequencies make an unrestricted Huffman tree 29 levels deep.
    std::vector<quint32> freq(40, 0);
    for (quint32 i = 0, a = 1, b = 1; i < 30; ++i, b = a + b, a = b - a)
        freq[i] = a;
    const std::vector<quint8> len = lh5CodeLengths(freq);
    ASSERT_EQ(len.size(), freq.size());
    quint64 kraft = 0;
    for (size_t s = 0; s < freq.size(); ++s) {
        if (freq[s] == 0) {
            EXPECT_EQ(len[s], 0);
            continue;
        }
        EXPECT_GE(len[s], 1);
        EXPECT_LE(len[s], 16);
        kraft += quint64(1) << (16 - len[s]);
        if (s > 0) {
            EXPECT_LE(len[s], len[s - 1]) << "a more frequent symbol got a longer code";
        }
    }
    EXPECT_EQ(kraft, quint64(1) << 16);

    EXPECT_EQ(lh5CodeLengths({0, 5, 0}), (std::vector<quint8>{0, 0, 0}));
    EXPECT_EQ(lh5CodeLengths({0, 5, 1}), (std::vector<quint8>{0, 1, 1}));
}

TEST_F(LzhArchive, EveryKindOfContentComesBackByteForByte)
{
    QByteArray windowEdge = randomBytes(8192, 3).repeated(6);  // matches exactly one window back
    const std::map<QString, QByteArray> files = {
        {"empty.dat", QByteArray()},
        {"one.dat", QByteArray("x")},
        {"random.dat", randomBytes(100000, 1)},
        {"repeat.dat", QByteArray("0123456789abcdef").repeated(65536)},
        {"text.txt", mixedCp932Text(200000, 2)},
        {"large.txt", mixedCp932Text(3 * 1024 * 1024, 4)},
        {"window.dat", windowEdge},
        {"allbytes.dat", [] { QByteArray b; for (int i = 0; i < 256 * 40; ++i) b.append(char(i * 7 % 256)); return b; }()},
    };
    ASSERT_TRUE(addFolder(files, path("all.lzh")));
    expectReadersFind(path("all.lzh"), files);

    const std::map<std::string, std::string> methods = lhaMethods(path("all.lzh"));
    const std::map<std::string, std::string> expectedMethods = {
        {"empty.dat", "-lh0-"}, {"one.dat", "-lh0-"}, {"random.dat", "-lh0-"},
        {"repeat.dat", "-lh5-"}, {"text.txt", "-lh5-"}, {"large.txt", "-lh5-"},
        {"window.dat", "-lh5-"}, {"allbytes.dat", "-lh5-"},
    };
    EXPECT_EQ(methods, expectedMethods);
}

TEST_F(LzhArchive, PacksRepetitiveDataAndTextWell)
{
    const QByteArray repeat = QByteArray("0123456789abcdef").repeated(65536);
    EXPECT_LT(lh5Compress(repeat).size(), repeat.size() / 100);
    const QByteArray text = mixedCp932Text(1024 * 1024, 5);
    EXPECT_LT(lh5Compress(text).size(), text.size() * 45 / 100);
    // Incompressible data costs little more than storing it; the member is then stored as is.
    const QByteArray random = randomBytes(100000, 6);
    EXPECT_LT(lh5Compress(random).size(), random.size() * 102 / 100);
}

TEST_F(LzhArchive, JapaneseNamesAndNestedFoldersKeepTheirPaths)
{
    // 表 and ソ end in the byte 0x5C, which must not be taken for a folder separator.
    const std::map<QString, QByteArray> files = {
        {"index.html", "<html></html>"},
        {"memo推奨.txt", toCp932("本命は３番")},
        {"レース/大井/01R.html", "<p>1R</p>"},
        {"ソ/表/表示.txt", "hyouji"},
    };
    ASSERT_TRUE(addFolder(files, path("names.lzh")));
    expectReadersFind(path("names.lzh"), files);
}

TEST_F(LzhArchive, UpdateReplacesSameNamedMembersAndKeepsTheOthersVerbatim)
{
    const QString archive = path("update.lzh");
    ASSERT_TRUE(addFolder({{"a.txt", "alpha"}, {"sub/b.txt", "bravo"}, {"z.txt", "zulu old"}}, archive));
    const QByteArray before = readFile(archive);
    qint64 replacedAt = 0;
    for (const LibarchiveMember& m : readWithLibarchive(archive)) {
        if (m.name == "z.txt")
            replacedAt = m.headerOffset;
    }
    ASSERT_GT(replacedAt, 0);

    ASSERT_TRUE(addFolder({{"z.txt", "zulu new"}, {"d/e.txt", "echo"}}, archive));
    expectReadersFind(archive, {{"a.txt", "alpha"}, {"sub/b.txt", "bravo"}, {"z.txt", "zulu new"}, {"d/e.txt", "echo"}});
    EXPECT_TRUE(readFile(archive).startsWith(before.left(replacedAt)));
}

TEST_F(LzhArchive, AnArchiveWithOlderHeaderLevelsIsUpdatedToo)
{
    const QByteArray old = oldStyleMember(0, "same.txt", "old same") + oldStyleMember(0, "old\\zero.txt", "zero")
                           + oldStyleMember(1, "one.txt", "one", "sub\xFF") + QByteArray(1, '\0');
    writeTestFile(path("old.lzh"), old);
    expectReadersFind(path("old.lzh"), {{"same.txt", "old same"}, {"old/zero.txt", "zero"}, {"sub/one.txt", "one"}});

    // Names are matched across levels: a level-0 path with "\\" and a level-1 directory header.
    ASSERT_TRUE(addFolder({{"old/zero.txt", "new zero"}, {"sub/one.txt", "new one"}, {"new.txt", "new"}}, path("old.lzh")));
    expectReadersFind(path("old.lzh"),
                      {{"same.txt", "old same"}, {"old/zero.txt", "new zero"}, {"sub/one.txt", "new one"}, {"new.txt", "new"}});
}

TEST_F(LzhArchive, AFolderOfThreeThousandFilesGoesInWhole)
{
    std::map<QString, QByteArray> files;
    for (int i = 0; i < 3000; ++i)
        files[QStringLiteral("d%1/f%2.txt").arg(i % 10).arg(i, 4, 10, QLatin1Char('0'))] = QByteArray::number(i).repeated(1 + i % 50);
    ASSERT_TRUE(addFolder(files, path("many.lzh")));
    EXPECT_TRUE(lhaTestPasses(path("many.lzh")));
    std::map<QString, QByteArray> read;
    for (const LibarchiveMember& m : readWithLibarchive(path("many.lzh")))
        read[m.name] = m.data;
    EXPECT_EQ(read, files);
}

TEST_F(LzhArchive, ASingleFileIsAddedUnderItsOwnName)
{
    writeTestFile(path("dir/solo.txt"), "solo");
    QList<LzhSource> sources;
    ASSERT_TRUE(lzhCollectSources(path("dir/solo.txt"), sources));
    ASSERT_TRUE(lzhAddFiles(path("solo.lzh"), sources));
    expectReadersFind(path("solo.lzh"), {{"solo.txt", "solo"}});
}

TEST_F(LzhArchive, AnEmptyExistingArchiveFileIsStartedAfresh)
{
    writeTestFile(path("zero.lzh"), QByteArray());
    ASSERT_TRUE(addFolder({{"a.txt", "alpha"}, {"empty.txt", QByteArray()}}, path("zero.lzh")));
    expectReadersFind(path("zero.lzh"), {{"a.txt", "alpha"}, {"empty.txt", QByteArray()}});
}

TEST_F(LzhArchive, TheArchiveIsNeverAMemberOfItself)
{
    writeTestFile(path("src/a.txt"), "alpha");
    QList<LzhSource> sources;
    ASSERT_TRUE(lzhCollectSources(path("src"), sources));
    ASSERT_TRUE(lzhAddFiles(path("src/self.lzh"), sources));
    ASSERT_TRUE(lzhCollectSources(path("src"), sources));
    ASSERT_TRUE(lzhAddFiles(path("src/self.lzh"), sources));
    expectReadersFind(path("src/self.lzh"), {{"a.txt", "alpha"}});
}

TEST_F(LzhArchive, MissingOrEmptyInputIsReportedAndWritesNothing)
{
    QList<LzhSource> sources;
    LzhResult r = lzhCollectSources(path("nowhere"), sources);
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.error.contains("nowhere") && r.error.contains("見つかりません")) << r.error.toStdString();

    QDir().mkpath(path("empty"));
    r = lzhCollectSources(path("empty"), sources);
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.error.contains("追加するファイルがありません")) << r.error.toStdString();
}

TEST_F(LzhArchive, AnUnreadableArchiveIsLeftUntouched)
{
    const QByteArray garbage = "This is no archive at all, just text that happens to be here.";
    writeTestFile(path("garbage.lzh"), garbage);
    LzhResult r = addFolder({{"a.txt", "alpha"}}, path("garbage.lzh"));
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.error.contains("読めません")) << r.error.toStdString();
    EXPECT_EQ(readFile(path("garbage.lzh")), garbage);

    // A 0 byte first would read as an empty archive; the bytes after it say otherwise.
    const QByteArray binary = QByteArray(1, '\0') + randomBytes(300, 9);
    writeTestFile(path("binary.lzh"), binary);
    EXPECT_FALSE(addFolder({{"a.txt", "alpha"}}, path("binary.lzh")));
    EXPECT_EQ(readFile(path("binary.lzh")), binary);

    ASSERT_TRUE(addFolder({{"a.txt", mixedCp932Text(5000, 8)}}, path("cut.lzh")));
    const QByteArray cut = readFile(path("cut.lzh")).chopped(100);
    writeTestFile(path("cut.lzh"), cut);
    EXPECT_FALSE(addFolder({{"b.txt", "bravo"}}, path("cut.lzh")));
    EXPECT_EQ(readFile(path("cut.lzh")), cut);
}

TEST_F(LzhArchive, AFailedWriteLeavesNoFileBehind)
{
    writeTestFile(path("plain"), "not a folder");
    const LzhResult r = addFolder({{"a.txt", "alpha"}}, path("plain/out.lzh"));
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(readFile(path("plain")), "not a folder");

    // A name CP932 cannot hold fails the whole update; the earlier archive and its folder stay as they were.
    QDir().mkpath(path("out"));
    ASSERT_TRUE(addFolder({{"a.txt", "alpha"}}, path("out/keep.lzh")));
    const QByteArray before = readFile(path("out/keep.lzh"));
    const LzhResult bad = addFolder({{"b.txt", "bravo"}, {QString::fromUtf8("\xF0\x9F\x90\x8E.txt"), "horse"}}, path("out/keep.lzh"));
    EXPECT_FALSE(bad);
    EXPECT_TRUE(bad.error.contains("Shift-JIS")) << bad.error.toStdString();
    EXPECT_EQ(readFile(path("out/keep.lzh")), before);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.lzh"});
}

}  // namespace
