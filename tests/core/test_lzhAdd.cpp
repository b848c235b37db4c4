#include "core/publicLzh.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "tests/support/lhaTool.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LzhAdd : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return dir.filePath(relative); }

    std::map<std::string, QByteArray> extracted(const QString& archive)
    {
        EXPECT_TRUE(lhaTestPasses(archive));
        return lhaExtract(archive, path("extracted"));
    }

    static std::string raw(const QString& name) { return toCp932(name).toStdString(); }

    QTemporaryDir dir;
    MsgBoxRecorder boxes;
};

TEST_F(LzhAdd, PacksTheBatchOutputFolderWithNamesBelowIt)
{
    writeTestFile(path("予想出力/index.html"), "<html>index</html>");
    writeTestFile(path("予想出力/memo推奨.txt"), toCp932("大井１Ｒ　本命３番"));
    writeTestFile(path("予想出力/大井/01R.html"), "<html>1R</html>");

    ASSERT_TRUE(lzhAdd(path("予想出力/"), path("予想/0105.lzh"), 0));
    EXPECT_TRUE(boxes.texts().isEmpty());
    const std::map<std::string, QByteArray> expected = {
        {raw("index.html"), "<html>index</html>"},
        {raw("memo推奨.txt"), toCp932("大井１Ｒ　本命３番")},
        {raw("大井/01R.html"), "<html>1R</html>"},
    };
    EXPECT_EQ(extracted(path("予想/0105.lzh")), expected);
}

TEST_F(LzhAdd, ASecondRunOfTheDayReplacesPagesAndKeepsTheEarlierOnes)
{
    writeTestFile(path("予想出力/index.html"), "first");
    writeTestFile(path("予想出力/01R.html"), "race 1");
    ASSERT_TRUE(lzhAdd(path("予想出力"), path("予想/0105.lzh"), 0));

    QDir(path("予想出力")).removeRecursively();
    writeTestFile(path("予想出力/index.html"), "second");
    writeTestFile(path("予想出力/02R.html"), "race 2");
    // Paths written with "\" as the batch run writes them.
    const QString folder = dir.path() + QStringLiteral("\\予想出力\\");
    ASSERT_TRUE(lzhAdd(folder, dir.path() + QStringLiteral("\\予想\\0105.lzh"), 0));

    EXPECT_TRUE(boxes.texts().isEmpty());
    const std::map<std::string, QByteArray> expected = {
        {"index.html", "second"}, {"01R.html", "race 1"}, {"02R.html", "race 2"}};
    EXPECT_EQ(extracted(path("予想/0105.lzh")), expected);
}

TEST_F(LzhAdd, AMissingFolderIsReportedAndNoArchiveAppears)
{
    EXPECT_FALSE(lzhAdd(path("予想出力/"), path("予想/0105.lzh"), 0));
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith("LZHファイルの作成に失敗しました\n")) << boxes.texts()[0].toStdString();
    EXPECT_TRUE(boxes.texts()[0].contains("予想出力")) << boxes.texts()[0].toStdString();
    EXPECT_FALSE(QFile::exists(path("予想/0105.lzh")));
}

TEST_F(LzhAdd, AnUnwritableOrBrokenArchiveIsReportedAndLeftAlone)
{
    writeTestFile(path("予想出力/index.html"), "index");
    writeTestFile(path("予想"), "a file where the archive folder should be");
    EXPECT_FALSE(lzhAdd(path("予想出力"), path("予想/0105.lzh"), 0));
    EXPECT_EQ(boxes.texts().size(), 1);
    QFile::remove(path("予想"));

    writeTestFile(path("予想/0105.lzh"), "not an archive");
    EXPECT_FALSE(lzhAdd(path("予想出力"), path("予想/0105.lzh"), 0));
    ASSERT_EQ(boxes.texts().size(), 2);
    EXPECT_TRUE(boxes.texts()[1].startsWith("LZHファイルの作成に失敗しました\n"));
    QFile archive(path("予想/0105.lzh"));
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    EXPECT_EQ(archive.readAll(), "not an archive");
}

}  // namespace
