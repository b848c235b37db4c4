#include "core/dialogBabaFile.h"
#include "core/mainBabaFile.h"
#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicLzh.h"
#include "platform/colors.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vberror.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"

// Own password only; number defaults 0 unless absence means "not known"; existing files and settings are kept.
TEST(DataFiles, PasswordsNumberDefaultsNoReplacingAndTheDefaultSettings)
{
    TestAppDir dir;
    for (const DataFileEntry& entry : dataFileEntries()) {
        const QString path = dir.create(entry.kind);
        EXPECT_THROW(openDbOrThrow(1, path, entry.password.isEmpty() ? dbPassword : QString()), VbError) << entry.fileName.toStdString();
        ASSERT_NO_THROW(openDbOrThrow(1, entry.kind));  // the program folder's file with the table's password
        QStringList tables;
        for (RecordSet rs(1, "SELECT name FROM sqlite_master WHERE type = 'table'"); !rs.eof(); rs.moveNext())
            tables << rs.field(0).toString();
        for (const QString& table : tables)
            for (RecordSet c(1, "PRAGMA table_info(" + quoteIdent(table) + ")"); !c.eof(); c.moveNext())
                EXPECT_TRUE(c["pk"].toInt() > 0 || !QStringList({"INTEGER", "REAL"}).contains(c["type"].toString())
                    || c["dflt_value"].toString()
                        == (QStringList({"U_file", "U_zougen", "U_kankaku"}).contains(c["name"].toString()) ? "" : "0"))
                    << table.toStdString() << '.' << c["name"].toString().toStdString();
    }
    const QByteArray comment = readTestFile(dir.filePath("Comment.dat"));  // a new file would have a new salt
    EXPECT_THROW(createDataFile(DataFileKind::Comment, testSchemaDir(), dir.path()), VbError);
    EXPECT_EQ(readTestFile(dir.filePath("Comment.dat")), comment);
    ASSERT_TRUE(createDefaultSettings(dir.path()));  // CP932, CR LF; one the user has is kept byte for byte
    EXPECT_EQ(readTestFile(dir.filePath("Strevin.ini")), QByteArray("[System]\r\nwebHost=localhost\r\n"));
    const QByteArray own = "[System]\r\nwebHost=" + QByteArray("\x91\xE5\x88\xE4.example:8080") + "\r\ntimerInter=20\r\n";
    writeTestFile(dir.filePath("Strevin.ini"), own);
    ASSERT_TRUE(createDefaultSettings(dir.path()));
    EXPECT_EQ(readTestFile(dir.filePath("Strevin.ini")), own);
    EXPECT_FALSE(createDefaultSettings(dir.filePath("Strevin.ini/inside")));
}

// An open by kind fails as an open by path does: openDb's message, the slot left closed.
TEST(DataFiles, OpenByKindSaysAFailureAsOpenDb)
{
    TestAppDir dir;
    MsgBoxRecorder msgs;
    openDb(1, DataFileKind::JraGraph);
    EXPECT_FALSE(isDbOpen(1));
    EXPECT_EQ(msgs.texts(), QStringList {"dataファイルが開けません\n" + dir.filePath("jraGraph.dat") + "\nファイルがありません"});
    dir.create(DataFileKind::Rana);
    openDb(1, DataFileKind::Rana);
    EXPECT_TRUE(isDbOpen(1));
    closeDb(1);
}

// Paths may come with "\" as the batch run wrote them; the names inside are relative to the folder. The archive's
// folder is never made: without it the add fails, says so and writes nothing.
TEST(LzhAdd, TakesPathsWithBackslashes)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("予想出力/大井/01R.html"), "race 1");
    MsgBoxRecorder msgs;
    EXPECT_FALSE(lzhAdd(dir.path() + "\\予想出力\\", dir.path() + "\\予想\\0105.lzh"));
    EXPECT_EQ(msgs.texts(), QStringList {"LZHファイルの作成に失敗しました\nフォルダ「" + dir.filePath("予想") + "」がありません"});
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("予想")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("予想"));
    ASSERT_TRUE(lzhAdd(dir.path() + "\\予想出力\\", dir.path() + "\\予想\\0105.lzh"));
    EXPECT_EQ(lhaExtract(dir.filePath("予想/0105.lzh"), dir.filePath("extracted")),
              (std::map<std::string, QByteArray> {{toCp932("大井/01R.html").toStdString(), "race 1"}}));
}

struct TrackFileInstall : ::testing::Test {
    void SetUp() override
    {
        pd.jraGraphOn = false;
        before_ = readTestFile(dir_.createStrevinData());
        dir_.createNarData();  // the status refresh after an install reads it too
        setBabaFilePicker([this](const QString& title, const QString&) {
            titles_ << title;
            return pick_;
        });
    }
    void TearDown() override { setBabaFilePicker({}); }
    QString download(DataFileKind kind, const QString& name, VbDate edition = VbDate::fromYmd(2008, 3, 1))
    { return createTrackFile(kind, downloads_.filePath(name), edition); }
    QStringList programFiles() const
    { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("(?<!-wal|-shm)$")); }
    TestAppDir dir_;
    QTemporaryDir downloads_;
    MsgBoxRecorder msgs_;
    QString pick_;
    QByteArray before_;
    QStringList titles_;
};

// The first central install copies the file whole and sets the flag; the chooser offers both kinds and cancel.
TEST_F(TrackFileInstall, FirstCentralInstallAndTheChooser)
{
    pick_ = download(DataFileKind::JraGraph, "jra.dat", VbDate::fromYmd(2008, 2, 2));
    EXPECT_TRUE(updateJraBabaFile() && readTestFile(dir_.filePath("jraGraph.dat")) == readTestFile(pick_) && pd.jraGraphOn);
    EXPECT_EQ(programFiles(), (QStringList {"jraGraph.dat", "NAR_data.dat", "Strevin_data.dat"}));
    for (const char* button : {"cmdCancel", "cmdJra"}) {
        showDialogBabaFile();
        showDialogBabaFile();
        childNamed<QPushButton>(shownWindow("dialogBabaFile"), button)->click();
        EXPECT_EQ(shownWindow("dialogBabaFile"), nullptr);  // gone before the file dialog opens
    }
    EXPECT_TRUE(titles_.size() == 2 && titles_[1].startsWith("中央")) << titles_.join('|').toStdString();
}

// Cancel, the same file, no edition: silent; wrong kind, empty file, missing table, unwritable folder: reported.
TEST_F(TrackFileInstall, RefusedPicksChangeNothing)
{
    const QString nar = download(DataFileKind::StrevinData, "nar.dat"), central = download(DataFileKind::JraGraph, "jra.dat");
    const QString noTrackTables = createDataFile(DataFileKind::JraGraph, testSchemaDir(), downloads_.path());  // no central rows
    writeTestFile(downloads_.filePath("empty.dat"), "");
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("blocked/Strevin_data.dat")));
    const QString unusable = "馬場情報ファイルを選択してください", unwritable = "馬場情報ファイルを書き込めませんでした";
    const std::vector<std::tuple<QString, bool, QString>> picks {{"", false, ""}, {dir_.filePath("Strevin_data.dat"), false, ""},
        {download(DataFileKind::StrevinData, "undated.dat", VbDate()), false, ""},
        {central, false, "地方版ファイルを選択してください"}, {nar, true, "中央版ファイルを選択してください"},
        {downloads_.filePath("empty.dat"), false, unusable}, {noTrackTables, false, unusable}, {nar, false, unwritable}};
    for (const auto& [path, jra, message] : picks) {
        msgs_.clear();
        pick_ = path;
        setAppPathForTests(message == unwritable ? dir_.filePath("blocked") : dir_.path());
        EXPECT_FALSE(jra ? updateJraBabaFile() : updateNarBabaFile()) << path.toStdString();
        EXPECT_EQ(std::tuple(msgs_.texts().size(), msgs_.texts().join("").left(message.size()), pd.jraGraphOn || isDbOpen(1)),
                  std::tuple(message.isEmpty() ? 0 : 1, message, false)) << path.toStdString();
        EXPECT_EQ(std::pair(readTestFile(dir_.filePath("Strevin_data.dat")), programFiles()),
                  std::pair(before_, QStringList {"NAR_data.dat", "Strevin_data.dat"})) << path.toStdString();
    }
    EXPECT_EQ(QDir(dir_.filePath("blocked")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// Stale is strictly older than today less 31 days, or no date at all; the central line follows the flag.
TEST(DataFileStatus, DatesColoursAndNotices)
{
    TestAppDir dir;
    MsgBoxRecorder msgs;
    setVbToday(VbDate::fromYmd(2008, 4, 1));
    pd.jraGraphOn = false;
    QLabel l[7];  // lblBabaFileRecnt, lblBabaNotice, lblDbKikan, lblDbNotice, lblJraFileRecnt, lblJraNotice, lblVersion
    setStartNoticeLabels({&l[0], &l[1], &l[2], &l[3], &l[4], &l[5], &l[6]});
    const auto status = [&](int i) {
        const QColor back = l[i].palette().color(QPalette::Window), text = l[i].palette().color(QPalette::WindowText);
        return l[i].text() + (!l[i].autoFillBackground() ? "" : back == vbColor(0x0000FF) && text == vbColor(0xFFFFFF) ? "/stale"
                               : back == vbColor(0xFFC0C0) && text == vbColor(0) ? "/fresh" : "/?");
    };
    setDateRow(dir.createStrevinData(), VbDate::fromYmd(2008, 3, 1));  // 31 days before
    dir.createNarData();  // LastDate is empty until the first import
    setDateRow(dir.createJraGraph(), VbDate::fromYmd(2008, 2, 29));
    dispDataFileInfo();
    EXPECT_EQ(QStringList({status(0), status(2), status(4)}),
              QStringList({" 地方馬場情報ファイル：　2008/03/01版を読込み /fresh", " 過去データ：　読込みなし /stale",
                           "中央馬場情報ファイル：　ファイルが存在しません"}));
    EXPECT_TRUE(l[1].isHidden() && !l[3].isHidden());
    pd.jraGraphOn = true;
    dispDataFileInfo();
    EXPECT_EQ(status(4), " 中央馬場情報ファイル：　2008/02/29版を読込み /stale");
    EXPECT_TRUE(l[5].text() == l[1].text() && !l[5].isHidden() && msgs.texts().isEmpty() && !isDbOpen(1));
    setStartNoticeLabels({});
    setVbToday(VbDate());
}

// A settings number beyond its range, or no number, takes the default, and the first such key is named.
TEST(Settings, NumbersOutsideTheirRangeTakeTheDefault)
{
    TestAppDir dir;
    const struct { const char *kikan, *timer, *ratio; int32_t kakoKikan, timerInter; float lineRatio; const char* firstBad; } cases[] = {
        {"1", "5", "0", 1, 5, 0.0f, ""}, {"36500", "3600", "1", 36500, 3600, 1.0f, ""}, {" 400 ", "10", "0.35", 400, 10, 0.35f, ""},
        {"0", "4", "1.01", 730, 5, 0.2f, "[System] tarKikanWebUma"}, {"36501", "2147484", "-0.1", 730, 5, 0.2f, "[System] tarKikanWebUma"},
        {"-2147483648", "3601", "nan", 730, 5, 0.2f, "[System] tarKikanWebUma"}, {"730", "99999999999", "0.2", 730, 5, 0.2f, "[System] timerInter"},
        {"550", "-5", "x", 550, 5, 0.2f, "[System] timerInter"}, {"550", "20", "1e30", 550, 20, 0.2f, "[graph] iniGraph(7)"}};
    for (const auto& c : cases) {
        iniWrite("System", "tarKikanWebUma", c.kikan);
        iniWrite("System", "timerInter", c.timer);
        iniWrite("graph", "iniGraph(7)", c.ratio);
        pd.kakoKikan = pd.timerInter = -1;
        const QString bad = loadSettings();
        EXPECT_EQ(std::tuple(pd.kakoKikan, pd.timerInter, pd.lineRatio, bad),
                  std::tuple(c.kakoKikan, c.timerInter, c.lineRatio, QString(c.firstBad)))
            << c.kikan << ' ' << c.timer << ' ' << c.ratio;
    }
}
