#include "core/publicLzh.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "tests/support/lhaTool.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The batch output folder goes in with names below it (CP932 on disk), also with paths written with
// "\" as the batch run writes them; lhasa checks every CRC and extracts the bytes. A folder that is
// missing or an archive that is no archive is reported, and nothing is created or overwritten.
TEST(LzhAdd, PacksTheBatchOutputAndReportsFailures)
{
    QTemporaryDir dir;
    MsgBoxRecorder boxes;
    const QString archive = dir.filePath("予想/0105.lzh");
    writeTestFile(dir.filePath("予想出力/大井/01R.html"), "race 1");
    writeTestFile(dir.filePath("予想出力/index.html"), "first");
    ASSERT_TRUE(lzhAdd(dir.filePath("予想出力/"), archive, 0));
    writeTestFile(dir.filePath("予想出力/index.html"), "second");
    ASSERT_TRUE(lzhAdd(dir.path() + "\\予想出力\\", dir.path() + "\\予想\\0105.lzh", 0));
    EXPECT_TRUE(lhaTestPasses(archive));
    const std::map<std::string, QByteArray> expected {{"index.html", "second"},
                                                      {toCp932("大井/01R.html").toStdString(), "race 1"}};
    EXPECT_EQ(lhaExtract(archive, dir.filePath("extracted")), expected);
    EXPECT_FALSE(lzhAdd(dir.filePath("gone"), dir.filePath("gone.lzh"), 0));
    EXPECT_FALSE(QFile::exists(dir.filePath("gone.lzh")));
    writeTestFile(archive, "not an archive");
    EXPECT_FALSE(lzhAdd(dir.filePath("予想出力"), archive, 0));
    ASSERT_EQ(boxes.texts().size(), 2);
    EXPECT_TRUE(boxes.texts()[0].startsWith("LZHファイルの作成に失敗しました\n") && boxes.texts()[0].contains("gone"));
    EXPECT_TRUE(boxes.texts()[1].startsWith("LZHファイルの作成に失敗しました\n"));
    QFile kept(archive);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "not an archive");
}
