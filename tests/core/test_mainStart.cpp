#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// A function, not a constant: a date built during static initialisation could run before
// the date library's own constants exist.
VbDate kToday()
{
    return VbDate::fromYmd(2008, 4, 1);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The start notice's labels, standing alone as the main window would hand them in.
class DataFileStatus : public ::testing::Test {
protected:
    void SetUp() override
    {
        setVbToday(kToday());
        pd.jraGraphOn = false;
        for (QLabel** l : {&baba_, &babaNotice_, &db_, &dbNotice_, &jra_, &jraNotice_, &version_})
            *l = new QLabel(&frame_);
        setStartNoticeLabels({baba_, babaNotice_, db_, dbNotice_, jra_, jraNotice_, version_});
    }
    void TearDown() override
    {
        setStartNoticeLabels({});
        setVbToday(VbDate());
        pd.jraGraphOn = false;
    }

    // Writes the edition date of a track file (or the last imported day of the race database).
    static void setDate(const QString& path, const QString& table, const QString& column, VbDate d)
    {
        openDb(1, path, dbPassword);
        deleteRows(1, table, DbRow());
        insertRow(1, table, DbRow().set(column, d));
        closeDb(1);
    }
    static bool isStale(QLabel* label)
    {
        return label->autoFillBackground() && label->palette().color(QPalette::Window) == vbColor(0x0000FF)
            && label->palette().color(QPalette::WindowText) == vbColor(0xFFFFFF);
    }
    static bool isFresh(QLabel* label)
    {
        return label->autoFillBackground() && label->palette().color(QPalette::Window) == vbColor(0xFFC0C0)
            && label->palette().color(QPalette::WindowText) == vbColor(0x000000);
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
    QWidget frame_;
    QLabel *baba_, *babaNotice_, *db_, *dbNotice_, *jra_, *jraNotice_, *version_;
};

}

TEST_F(DataFileStatus, DatesColoursAndNotices)
{
    setDate(dir_.createStrevinData(), "version", "date", kToday().addDays(-31));
    setDate(dir_.createNarData(), "LastDate", "LastDate", kToday().addDays(-32));
    dispDataFileInfo();

    EXPECT_EQ(baba_->text(), " 地方馬場情報ファイル：　2008/03/01版を読込み ");
    EXPECT_TRUE(isFresh(baba_));  // exactly 31 days old is not stale
    EXPECT_TRUE(babaNotice_->isHidden());
    EXPECT_EQ(babaNotice_->text(), "馬場情報ファイルを更新しないと正確なスピード指数が表示されません\r\n"
                                   "馬場情報ファイルの購入をお勧めします\r\n"
                                   "詳しくはサポートホームページをご覧ください\r\n");

    EXPECT_EQ(db_->text(), " 過去データ：　2008/02/29まで読込み ");
    EXPECT_TRUE(isStale(db_));
    EXPECT_FALSE(dbNotice_->isHidden());
    EXPECT_EQ(dbNotice_->text(), "過去レース成績を読み込むと、各種適性が正確に表示されます\r\n"
                                 "Webより読み込みをお願いします\r\n"
                                 "(時間が掛かります、出走表のみ読込みでも予想可能です)\r\n");

    EXPECT_TRUE(QRegularExpression(R"(^Ver\.\d+\.\d+\.\d+$)").match(version_->text()).hasMatch())
        << version_->text().toStdString();
    EXPECT_TRUE(msgs_.texts().isEmpty());
    EXPECT_FALSE(isDbOpen(1));
}

TEST_F(DataFileStatus, EmptyDatesCountAsStale)
{
    const QString track = dir_.createStrevinData();
    openDb(1, track, dbPassword);
    deleteRows(1, "version", DbRow());
    closeDb(1);
    dir_.createNarData();  // LastDate is empty until the first import
    dispDataFileInfo();
    EXPECT_EQ(baba_->text(), " 地方馬場情報ファイル：　版の日付がありません ");
    EXPECT_TRUE(isStale(baba_));
    EXPECT_FALSE(babaNotice_->isHidden());
    EXPECT_EQ(db_->text(), " 過去データ：　読込みなし ");
    EXPECT_TRUE(isStale(db_));
}

TEST_F(DataFileStatus, CentralLineFollowsTheFlag)
{
    setDate(dir_.createJraGraph(), "version", "date", kToday());
    dispDataFileInfo();
    // The flag is off: the file is not opened and the labels keep their colours.
    EXPECT_EQ(jra_->text(), "中央馬場情報ファイル：　ファイルが存在しません");
    EXPECT_EQ(jraNotice_->text(), "中央馬場情報ファイルをインストールしないと、中央出走の指数が表示されません\r\n"
                                  "馬場情報ファイルの購入をお勧めします\r\n"
                                  "詳しくはサポートホームページをご覧ください\r\n");
    EXPECT_FALSE(jra_->autoFillBackground());

    pd.jraGraphOn = true;
    dispDataFileInfo();
    EXPECT_EQ(jra_->text(), " 中央馬場情報ファイル：　2008/04/01版を読込み ");
    EXPECT_TRUE(isFresh(jra_));
    EXPECT_TRUE(jraNotice_->isHidden());
    EXPECT_EQ(jraNotice_->text(), babaNotice_->text());
}

TEST_F(DataFileStatus, UnreadableFilesAreSaidSoAndTheRestIsShown)
{
    // No local track file, a race database that is no database, a central file with a wrong key.
    writeFile(dir_.filePath("NAR_data.dat"), QByteArray("this is not a database").repeated(200));
    createDbFile(dir_.filePath("jraGraph.dat"), "other", "CREATE TABLE version (date TEXT);");
    pd.jraGraphOn = true;
    dispDataFileInfo();
    EXPECT_EQ(baba_->text(), " 地方馬場情報ファイル：　ファイルが開けません ");
    EXPECT_TRUE(isStale(baba_));
    EXPECT_EQ(db_->text(), " 過去データ：　ファイルが開けません ");
    EXPECT_TRUE(isStale(db_));
    EXPECT_EQ(jra_->text(), " 中央馬場情報ファイル：　ファイルが開けません ");
    EXPECT_TRUE(version_->text().startsWith("Ver."));
    // The missing file is reported by the open itself; the procedure's own tag comes once, last.
    ASSERT_GE(msgs_.texts().size(), 2);
    EXPECT_EQ(msgs_.texts().first(), "dataファイルが開けません");
    EXPECT_EQ(msgs_.texts().last(), "Error-mainStart-2");
    EXPECT_EQ(msgs_.texts().count("Error-mainStart-2"), 1);
    EXPECT_FALSE(isDbOpen(1));
}

TEST_F(DataFileStatus, DebugModeStillFillsEveryLabel)
{
    setDate(dir_.createNarData(), "LastDate", "LastDate", kToday());
    pd.jraGraphOn = true;  // flagged, but the file went away
    debugMode = true;
    EXPECT_NO_THROW(dispDataFileInfo());
    debugMode = false;
    EXPECT_EQ(baba_->text(), " 地方馬場情報ファイル：　ファイルが開けません ");
    EXPECT_EQ(db_->text(), " 過去データ：　2008/04/01まで読込み ");
    EXPECT_EQ(jra_->text(), " 中央馬場情報ファイル：　ファイルが開けません ");
    EXPECT_TRUE(version_->text().startsWith("Ver."));
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainStart-2"});
}

TEST_F(DataFileStatus, NoRegisteredLabelsIsHarmless)
{
    dir_.createStrevinData();
    setStartNoticeLabels({});
    EXPECT_NO_THROW(dispDataFileInfo());
    setStartNoticeLabels({baba_, babaNotice_, db_, dbNotice_, jra_, jraNotice_, version_});
    delete baba_;  // a label that went away with its window is skipped
    EXPECT_NO_THROW(dispDataFileInfo());
    EXPECT_EQ(db_->text(), " 過去データ：　ファイルが開けません ");
}

TEST(Settings, EachBadKeyFallsBackAloneAndIsReported)
{
    TestAppDir dir;
    iniWrite("System", "tarKikanWebUma", "1100");
    iniWrite("System", "timerInter", "99999999999");
    iniWrite("graph", "iniGraph(2)", "false");
    iniWrite("graph", "iniGraph(7)", "0.x");
    EXPECT_THROW(loadSettings(), VbError);
    EXPECT_EQ(pd.kakoKikan, 1100);
    EXPECT_EQ(pd.timerInter, 5);
    EXPECT_EQ(pd.graphFlags[2], "false");
    EXPECT_EQ(pd.graphFlags[3], "true");
    EXPECT_FLOAT_EQ(pd.lineRatio, 0.2f);

    // The first key that is no number still leaves every later one read.
    iniWrite("System", "tarKikanWebUma", "一年");
    iniWrite("System", "timerInter", "  10 ");
    iniWrite("graph", "iniGraph(7)", "0.35");
    EXPECT_THROW(loadSettings(), VbError);
    EXPECT_EQ(pd.kakoKikan, 730);
    EXPECT_EQ(pd.timerInter, 10);
    EXPECT_FLOAT_EQ(pd.lineRatio, 0.35f);

    iniWrite("System", "tarKikanWebUma", "550");
    EXPECT_NO_THROW(loadSettings());
    EXPECT_EQ(pd.kakoKikan, 550);
}

TEST(Settings, GarbageFileGivesTheDefaults)
{
    TestAppDir dir;
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 151 + 7) % 256));
    writeFile(dir.filePath("Strevin.ini"), garbage);
    EXPECT_NO_THROW(loadSettings());
    EXPECT_EQ(pd.kakoKikan, 730);
    EXPECT_EQ(pd.timerInter, 5);
    EXPECT_EQ(pd.graphFlags[0], "true");
    EXPECT_FLOAT_EQ(pd.lineRatio, 0.2f);
    IniNumbers ini;
    EXPECT_EQ(ini.readLong("parameter", "para(0)", "100"), 100);
    EXPECT_NO_THROW(ini.throwIfAnyBad());
}
