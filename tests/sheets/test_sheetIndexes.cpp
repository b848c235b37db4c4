// The person indexes: the usual regional careers (one or two tracks, retired years ago) show at
// once what one whole read shows. A race file of an older schema gains the indexes in the
// background: its sheets read the slower way meanwhile and show the same lists, a horse sheet
// starts nothing, a failed build is told once, and a build stopped at the program's end leaves the
// file as it was.
#include "core/raceIndexes.h"
#include "sheets/sheetStatement.h"
#include "sheets/subjectSheet.h"
#include "webimport/importGuard.h"
#include "tests/sheets/wholeRead.h"

#include <sys/fsuid.h>

namespace {
constexpr int kRuns = 2100;

// The index statements of a file, by name.
QStringList indexesOf(const QString& path)
{
    Connection c(path, dbKeyFor(dbPassword));
    QStringList indexes;
    SheetStatement rows(c, "SELECT name || ':' || sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
    for (rows.start({}); rows.next();)
        indexes << QString::fromUtf8(rows.bytes(0));
    return indexes;
}

// The person indexes as the two earlier schemas had them.
const QStringList kOlderSchemas[] = {
    {"CREATE INDEX T_Rdata_R_date ON T_Rdata (R_date)", "CREATE INDEX T_Useiseki_U_kisyu ON T_Useiseki (U_kisyu)",
     "CREATE INDEX T_Useiseki_U_cyoukyou ON T_Useiseki (U_cyoukyou)", "CREATE INDEX T_Useiseki_U_chichi ON T_Useiseki (U_chichi)"},
    {"CREATE INDEX T_Rdata_race_day ON T_Rdata (R_date, R_no, R_code, R_zyo, R_name, R_siba, R_kyori, R_baba, R_tousuu)",
     "CREATE INDEX T_Useiseki_kisyu_race ON T_Useiseki (U_kisyu, R_code)",
     "CREATE INDEX T_Useiseki_cyoukyou_race ON T_Useiseki (U_cyoukyou, R_code)",
     "CREATE INDEX T_Useiseki_chichi_race ON T_Useiseki (U_chichi, R_code)"},
};

// Takes the file's person indexes back to an older schema.
void toOlderSchema(const QString& path, const QStringList& schema)
{
    Connection c(path, dbKeyFor(dbPassword));
    for (const char* index : {"T_Rdata_R_date", "T_Useiseki_kisyu_year", "T_Useiseki_cyoukyou_year", "T_Useiseki_chichi_year"})
        c.execute(QStringLiteral("DROP INDEX ") + index);
    for (const QString& create : schema)
        c.execute(create);
}

void waitForBuild()
{
    QElapsedTimer clock;
    clock.start();
    while (raceIndexBuildRunning() && clock.elapsed() < 20000)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Runs of one race day and number apart from the others, kisyu's unless another is given.
void writeRuns(int count, int firstDay, const std::function<QString(int)>& zyo, const QString& kisyu,
               const QString& chichi, const std::function<QString(int)>& otherKisyu = {})
{
    openDb(1, appPath() + "NAR_data.dat", dbPassword);
    DbTransaction t(1);
    for (int i = 0; i < count; ++i) {
        const VbDate day = ago(firstDay + i / 4);
        const int no = 1 + (i % 4) / 2;
        const QString code = zyo(i) + Format(day, "yymmdd") + Format(no, "00");
        insertRowIfNew(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", zyo(i)).set("R_date", day).set("R_no", no)
                                         .set("R_kyori", 1200 + 200 * (i % 3)).set("R_baba", 1 + i % 4));
        insertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", QString("馬%1").arg(i % 50))
                                       .set("U_kisyu", otherKisyu && !otherKisyu(i).isEmpty() ? otherKisyu(i) : kisyu)
                                       .set("U_cyoukyou", QString("調教師%1").arg(i % 3)).set("U_chichi", chichi)
                                       .set("U_sisuu", 40 + i % 30).set("U_cyaku", 1 + i % 12).set("U_taizyu", 450 + i % 20));
    }
    t.commit();
    closeDb(1);
}

class SheetIndexTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        nar = appPath() + "NAR_data.dat";
        // 長騎手: two runs at 大井 and 川崎 on each race day and number, the oldest 60 at 船橋.
        writeRuns(kRuns, 1, [](int i) { return QString(i >= kRuns - 60 ? "船橋" : i % 2 ? "大井" : "川崎"); }, "長騎手", "長父");
        // 引退騎手: all old, at 笠松, the oldest 40 runs of the sire 引退父 at 園田 (20 of them under 古騎手).
        writeRuns(2050, 900, [](int i) { return QString(i >= 2010 ? "園田" : "笠松"); }, "引退騎手", "引退父",
                  [](int i) { return QString(i >= 2030 ? "古騎手" : ""); });
        fresh = indexesOf(nar);
    }
    void TearDown() override
    {
        stopRaceIndexBuild();
        SheetTest::TearDown();
    }
    bool arriving(SheetKind kind) { return qobject_cast<SubjectSheet*>(loadedSheet(kind))->runsArriving(); }
    void waitForArrival(SheetKind kind)
    {
        QElapsedTimer clock;
        clock.start();
        while (arriving(kind) && clock.elapsed() < 20000)
            QCoreApplication::processEvents();
    }

    QString nar;
    QStringList fresh;
};
}  // namespace

TEST_F(SheetIndexTest, AnOlderFileGainsTheIndexesInTheBackgroundWhileItsSheetsReadEveryRunAtOnce)
{
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "長騎手"));
    EXPECT_TRUE(arriving(SheetKind::Kisyu));  // a file of this schema: the newest runs first
    const Expected whole(SheetKind::Kisyu, "長騎手", "1年以内対象");
    for (const QStringList& older : kOlderSchemas) {
        closeAllSheets();
        toOlderSchema(nar, older);
        ASSERT_TRUE(openSheet(SheetKind::Uma, "馬1"));
        EXPECT_FALSE(raceIndexBuildRunning());  // the horse sheet reads none of them
        {
            Connection writer(nar, dbKeyFor(dbPassword));  // holds the file until the sheet is read
            writer.execute("BEGIN IMMEDIATE");
            ASSERT_TRUE(openSheet(SheetKind::Kisyu, "長騎手"));
            EXPECT_TRUE(raceIndexBuildRunning());
            EXPECT_FALSE(arriving(SheetKind::Kisyu));
            EXPECT_EQ(allTexts(gridOf(SheetKind::Kisyu)), allTexts(&whole.rireki));
            writer.execute("ROLLBACK");
        }
        waitForBuild();
        EXPECT_EQ(indexesOf(nar), fresh);  // the older ones replaced
        ASSERT_TRUE(openSheet(SheetKind::Kisyu, "長騎手"));
        EXPECT_TRUE(arriving(SheetKind::Kisyu));
        stopRaceIndexBuild();  // as the program starts again
    }
    openDb(1, nar, dbPassword);
    EXPECT_EQ(RecordSet(1, "SELECT COUNT(*) FROM T_Useiseki").field(0).toInt(), kRuns + 2050);
    closeDb(1);
}

TEST_F(SheetIndexTest, AFileThatRefusesTheIndexesIsToldOnceAndNotTriedAgainUntilTheProgramStartsAgain)
{
    toOlderSchema(nar, kOlderSchemas[0]);
    QFile::remove(nar + "-wal"), QFile::remove(nar + "-shm");
    using P = QFileDevice;
    ASSERT_TRUE(QFile::setPermissions(nar, P::ReadOwner | P::ReadGroup | P::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(QFileInfo(nar).absolutePath(), P::ReadOwner | P::WriteOwner | P::ExeOwner | P::ReadGroup | P::ExeGroup | P::ReadOther | P::ExeOther));
    // Root may write anything; the build's thread takes the user of the thread that starts it.
    const struct Nobody {
        Nobody() { setfsuid(65534); }
        ~Nobody() { setfsuid(0); }
    } nobody;
    for (int opening = 0; opening < 3; ++opening) {
        ASSERT_TRUE(openSheet(opening == 1 ? SheetKind::Cyoukyou : SheetKind::Kisyu, opening == 1 ? "調教師1" : "長騎手"));
        waitForBuild();
        EXPECT_EQ(messages.texts(), opening ? QStringList() : QStringList {
            "NAR_data.dat：過去データの索引を作成できませんでした（ファイルが読み取り専用です）。\n"
            "騎手・調教師・種牡馬のシートは索引なしで表示します。"}) << messages.texts().join('\n').toStdString();
        messages.clear();
    }
    stopRaceIndexBuild();
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "長騎手"));
    waitForBuild();
    EXPECT_EQ(messages.texts().size(), 1);
    messages.clear();
    const Expected whole(SheetKind::Kisyu, "長騎手", "1年以内対象");
    EXPECT_EQ(allTexts(gridOf(SheetKind::Kisyu)), allTexts(&whole.rireki));
}

TEST_F(SheetIndexTest, ABuildStoppedAtTheEndLeavesTheFileAsItWasAndRunsWholeNextTime)
{
    toOlderSchema(nar, kOlderSchemas[1]);
    const QStringList older = indexesOf(nar);
    {
        Connection writer(nar, dbKeyFor(dbPassword));  // the build waits for the file when it stops
        writer.execute("BEGIN IMMEDIATE");
        buildRaceIndexesInBackground(nar, dbKeyFor(dbPassword));
        QTest::qWait(500);  // until it waits for the file
        EXPECT_TRUE(raceIndexBuildRunning());
        stopRaceIndexBuild();
        EXPECT_FALSE(raceIndexBuildRunning());
        writer.execute("ROLLBACK");
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.texts().isEmpty());  // a stop is no failure
    EXPECT_EQ(indexesOf(nar), older);
    buildRaceIndexesInBackground(nar, dbKeyFor(dbPassword));
    waitForBuild();
    EXPECT_EQ(indexesOf(nar), fresh);
}

TEST_F(SheetIndexTest, PeopleOfOneOrTwoTracksAndRetiredOnesShowTheListsOfEveryRunAtOnceAndTheirRunsInOrder)
{
    // The lists' last entries lie past the first 2,000 runs: 船橋 for 長騎手, 園田 for 引退騎手, 園田 and
    // 古騎手 for 引退父; on each race day and number 大井 comes before 川崎 (the order of the race codes).
    const std::pair<SheetKind, QString> careers[] = {
        {SheetKind::Kisyu, "長騎手"}, {SheetKind::Kisyu, "引退騎手"}, {SheetKind::Syuboba, "引退父"}};
    for (const auto& [kind, key] : careers) {
        for (const QString period : {"1年以内対象", "全期間対象"}) {
            const Expected expected(kind, key, period);
            ASSERT_TRUE(openSheet(kind, key));
            if (period != "1年以内対象") {
                auto* combo = childNamed<QComboBox>(loadedSheet(kind), "cmbTarKikan");
                combo->setFocus();
                QTest::keyClick(combo, Qt::Key_Down);  // 2年以内対象
                QTest::keyClick(combo, Qt::Key_Down);
                ASSERT_EQ(combo->currentText(), period);
            }
            EXPECT_EQ(arriving(kind), period == "1年以内対象") << key.toStdString();  // ten years hold every run
            EXPECT_EQ(allTexts(gridOf(kind, "gridTekiseiSisuu")), allTexts(&expected.sisuu)) << key.toStdString();
            EXPECT_EQ(allTexts(gridOf(kind, "gridTekiseiRentai")), allTexts(&expected.rentai)) << key.toStdString();
            waitForArrival(kind);
            EXPECT_EQ(allTexts(gridOf(kind)), allTexts(&expected.rireki)) << key.toStdString();
        }
    }
    EXPECT_EQ(lineTexts(gridOf(SheetKind::Syuboba, "gridTekiseiSisuu"), 1).filter(QRegularExpression("^(園田|古騎手)$")).size(), 2);
}

TEST_F(SheetIndexTest, AnImportHoldsTheBuildUntilItEnds)
{
    toOlderSchema(nar, kOlderSchemas[0]);
    const QStringList older = indexesOf(nar);
    {
        const ImportGuard import;
        buildRaceIndexesInBackground(nar, dbKeyFor(dbPassword));
        QTest::qWait(500);  // a build let go on would be done by now
        EXPECT_TRUE(raceIndexBuildRunning());
        EXPECT_EQ(indexesOf(nar), older);
    }
    waitForBuild();
    EXPECT_EQ(indexesOf(nar), fresh);
}
