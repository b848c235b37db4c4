#include "mainwindow/mainCsv.h"
#include "tests/mainwindow/frmMainFixture.h"

#include <QProcess>

// Cancel is silent; an unwritable path shows the tag and leaves no file. Ties to even; index 0, run 51
// and today's index left out; CP932 by iconv (not our encoder), byte for byte over a longer old file.
TEST(CsvExport, CancelUnwritablePathsAndEveryNamedRunnerByteForByte)
{
    initPublic();
    redimUma(18, 150);
    for (int h = 1; h <= 18; ++h)
        pd.uName(h) = QString("ウマ%1").arg(h), pd.uWaku(h, 0) = std::min((h + 1) / 2, 8);
    pd.uName(5) = "";
    pd.uName(2) = "髙﨑①";
    const float runs[] = {56.5f, 0, 57.5f, -0.5f, -1.5f, 0.4f, 72.4999f, 104.6f};
    for (int j = 0; j < 8; ++j)
        pd.uSisuu(1, j + 1) = runs[j];
    pd.uSisuu(3, 50) = 61;
    pd.uSisuu(3, 51) = 99;
    pd.uSisuu(18, 1) = 40.5f;
    pd.uSisuu(1, 0) = 77;
    QTemporaryDir dir;
    MsgBoxRecorder rec;
    answerFileDialog("");
    menuCsv_Click(nullptr);
    EXPECT_EQ(std::pair(rec.texts(), QDir(dir.path()).isEmpty()), std::pair(QStringList(), true));
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.csv"));  // a missing folder, and a name taken by a folder
    for (const auto& [bad, cause] : {std::pair(dir.filePath("missing/x.csv"), QString("保存先のフォルダがありません")),
                                      std::pair(dir.filePath("taken.csv"), QString("同じ名前のフォルダがあります"))}) {
        rec.clear();
        exportCsv(bad);
        EXPECT_EQ(rec.texts(), QStringList {"Error-frmMain-22\n" + cause}) << bad.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList {"taken.csv"});
    rec.clear();
    pd.umaIdx = 3;
    QString expected = "枠番,馬番,馬名\r\n1,1,ウマ1,56,58,0,-2,0,72,105\r\n1,2,髙﨑①\r\n2,3,ウマ3,61\r\n2,4,ウマ4\r\n";
    for (int h = 6; h <= 18; ++h)
        expected += QString("%1,%2,ウマ%2%3\r\n").arg(std::min((h + 1) / 2, 8)).arg(h).arg(h == 18 ? ",40" : "");
    const QString path = dir.filePath("out.csv");
    writeTestFile(path, QByteArray(5000, 'x'));
    answerFileDialog(path);
    menuCsv_Click(nullptr);
    EXPECT_EQ(rec.texts(), QStringList {path + "へ出力しました"});
    QProcess iconv;
    iconv.start("iconv", {"-f", "UTF-8", "-t", "CP932"});
    iconv.write((expected + "\r\n").toUtf8());
    iconv.closeWriteChannel();
    ASSERT_TRUE(iconv.waitForFinished(10000));
    const QByteArray want = iconv.readAllStandardOutput();
    ASSERT_FALSE(want.isEmpty());
    EXPECT_EQ(std::pair(readTestFile(path), pd.umaIdx), std::pair(want, 3));
}
