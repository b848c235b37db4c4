#include "core/dialogBabaFile.h"
#include "core/mainBabaFile.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"

static QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class TrackFileInstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        pd.jraGraphOn = false;
        before_ = fileBytes(dir_.createStrevinData());
        dir_.createNarData();  // the status refresh after an install reads it too
        setBabaFilePicker([this](const QString& title, const QString& filter) {
            titles_ << title + ' ' + filter;
            return pick_;
        });
    }
    void TearDown() override { setBabaFilePicker({}); }
    QString download(DataFileKind kind, const QString& name, VbDate edition = VbDate::fromYmd(2008, 3, 1))
    {
        return createTrackFile(kind, downloads_.filePath(name), edition);
    }
    QStringList programFiles() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("(?<!-wal|-shm)$"));
    }

    TestAppDir dir_;
    QTemporaryDir downloads_;
    MsgBoxRecorder msgs_;
    QString pick_;
    QByteArray before_;
    QStringList titles_;
};

// The copy leaves no temporary file; the first central install sets the flag. The chooser offers both kinds and cancel.
TEST_F(TrackFileInstall, LocalAndFirstCentralInstall)
{
    pick_ = download(DataFileKind::StrevinData, "地方馬場ファイル080301版.dat");
    EXPECT_TRUE(updateNarBabaFile());
    EXPECT_EQ(fileBytes(dir_.filePath("Strevin_data.dat")), fileBytes(pick_));
    pick_ = download(DataFileKind::JraGraph, "jra.dat", VbDate::fromYmd(2008, 2, 2));
    EXPECT_TRUE(updateJraBabaFile());
    EXPECT_EQ(fileBytes(dir_.filePath("jraGraph.dat")), fileBytes(pick_));
    EXPECT_TRUE(pd.jraGraphOn && titles_.size() == 2);
    EXPECT_EQ(programFiles(), (QStringList {"jraGraph.dat", "NAR_data.dat", "Strevin_data.dat"}));
    for (const char* button : {"cmdCancel", "cmdJra"}) {
        showDialogBabaFile();
        showDialogBabaFile();  // one chooser at a time
        childNamed<QPushButton>(shownWindow("dialogBabaFile"), button)->click();
        EXPECT_EQ(shownWindow("dialogBabaFile"), nullptr);  // gone before the file dialog opens
    }
    EXPECT_TRUE(titles_.size() == 3 && titles_[2].startsWith("中央"));
}

// Silent: cancelled, the installed file itself, no edition. Reported: the other kind, no password, 0 bytes,
// a missing table, an unwritable program folder. Nothing changes.
TEST_F(TrackFileInstall, RefusedPicksChangeNothing)
{
    const QString noWaku = download(DataFileKind::StrevinData, "no_waku.dat"), plain = downloads_.filePath("plain.dat");
    openDb(1, noWaku, dbPassword);
    slotConnection(1).execute("DROP TABLE T_waku");
    closeDb(1);
    createDbFile(plain, "", "CREATE TABLE T_sisuu (S_date TEXT, S_zyo TEXT, S_siba INT, S_sisuu REAL);"
                            "CREATE TABLE version (date TEXT); INSERT INTO version VALUES ('2008-03-01');");
    writeTestFile(downloads_.filePath("empty.dat"), "");
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("blocked/Strevin_data.dat")));
    const QString unusable = "馬場情報ファイルを選択してください", unwritable = "馬場情報ファイルを書き込めませんでした";
    const std::vector<std::tuple<QString, bool, QString>> picks {{"", false, ""}, {dir_.filePath("Strevin_data.dat"), false, ""},
        {download(DataFileKind::StrevinData, "undated.dat", VbDate()), false, ""},
        {download(DataFileKind::JraGraph, "jra.dat"), false, "地方版ファイルを選択してください"},
        {noWaku, true, "中央版ファイルを選択してください"},
        {plain, false, unusable}, {downloads_.filePath("empty.dat"), false, unusable}, {noWaku, false, unusable},
        {download(DataFileKind::StrevinData, "nar.dat"), false, unwritable}};
    for (const auto& [path, jra, message] : picks) {
        SCOPED_TRACE(path.toStdString());
        msgs_.clear();
        pick_ = path;
        setAppPathForTests(message == unwritable ? dir_.filePath("blocked") : dir_.path());
        EXPECT_FALSE(jra ? updateJraBabaFile() : updateNarBabaFile());
        EXPECT_EQ(msgs_.texts().size(), message.isEmpty() ? 0 : 1);
        EXPECT_EQ(msgs_.texts().join("").left(message.size()), message);
        EXPECT_EQ(fileBytes(dir_.filePath("Strevin_data.dat")), before_);
        EXPECT_EQ(programFiles(), (QStringList {"NAR_data.dat", "Strevin_data.dat"}));
        EXPECT_FALSE(pd.jraGraphOn || isDbOpen(1));
    }
    EXPECT_EQ(QDir(dir_.filePath("blocked")).entryList(QDir::Files | QDir::Hidden), QStringList());
}
