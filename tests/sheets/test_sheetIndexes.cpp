// A race file of an older schema gains the person indexes in the background: its sheets read the
// slower way meanwhile and show the same lists, a horse sheet starts nothing, a failed build is
// told once, and a build stopped at the program's end leaves the file as it was.
#include "tests/sheets/sheetFixture.h"
#include "core/raceIndexes.h"
#include "sheets/sheetStatement.h"
#include "sheets/subjectSheet.h"
#include "sheets/umaRIreki.h"

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
    for (const QString& index : {"T_Rdata_R_date", "T_Useiseki_kisyu_day", "T_Useiseki_cyoukyou_day", "T_Useiseki_chichi_day"})
        c.execute("DROP INDEX " + index);
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

class SheetIndexTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        nar = appPath() + "NAR_data.dat";
        openDb(1, nar, dbPassword);
        DbTransaction t(1);
        for (int i = 0; i < kRuns; ++i) {
            const VbDate day = ago(1 + i / 3);
            const QString code = QString(i % 2 ? "浦和" : "大井") + Format(day, "yymmdd") + Format(1 + i % 3, "00");
            insertRow(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", code.left(2)).set("R_date", day).set("R_no", 1 + i % 3));
            insertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", QString("馬%1").arg(i % 50))
                                           .set("U_kisyu", "長騎手").set("U_cyoukyou", QString("調教師%1").arg(i % 3)));
        }
        t.commit();
        closeDb(1);
        fresh = indexesOf(nar);
    }
    void TearDown() override
    {
        stopRaceIndexBuild();
        SheetTest::TearDown();
    }
    // The jockey's list as one whole read draws it.
    QStringList wholeList()
    {
        openDb(1, nar, dbPassword);
        FlexGrid grid;
        drawSheetGridRireki(grid, SheetKind::Kisyu, listedRuns(readSubjectRuns(SheetKind::Kisyu, "長騎手"), pd.raceDate));
        closeDb(1);
        QStringList rows;
        for (int r = 0; r < grid.rows(); ++r)
            rows << lineTexts(&grid, r).join('|');
        return rows;
    }
    QStringList shownList()
    {
        QStringList rows;
        for (int r = 0; r < gridOf(SheetKind::Kisyu)->rows(); ++r)
            rows << lineTexts(gridOf(SheetKind::Kisyu), r).join('|');
        return rows;
    }
    bool arriving() { return qobject_cast<SubjectSheet*>(loadedSheet(SheetKind::Kisyu))->runsArriving(); }

    QString nar;
    QStringList fresh;
};
}  // namespace

TEST_F(SheetIndexTest, AnOlderFileGainsTheIndexesInTheBackgroundWhileItsSheetsReadEveryRunAtOnce)
{
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "長騎手"));
    EXPECT_TRUE(arriving());  // a file of this schema: the newest runs first
    const QStringList whole = wholeList();
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
            EXPECT_FALSE(arriving());
            EXPECT_EQ(shownList(), whole);
            writer.execute("ROLLBACK");
        }
        waitForBuild();
        EXPECT_EQ(indexesOf(nar), fresh);  // the older ones replaced
        ASSERT_TRUE(openSheet(SheetKind::Kisyu, "長騎手"));
        EXPECT_TRUE(arriving());
        stopRaceIndexBuild();  // as the program starts again
    }
    openDb(1, nar, dbPassword);
    EXPECT_EQ(RecordSet(1, "SELECT COUNT(*) FROM T_Useiseki").field(0).toInt(), kRuns);
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
    EXPECT_EQ(shownList(), wholeList());
}

TEST_F(SheetIndexTest, ABuildStoppedAtTheEndLeavesTheFileAsItWasAndRunsWholeNextTime)
{
    toOlderSchema(nar, kOlderSchemas[1]);
    const QStringList older = indexesOf(nar);
    {
        Connection writer(nar, dbKeyFor(dbPassword));  // the build waits for the file when it stops
        writer.execute("BEGIN IMMEDIATE");
        buildRaceIndexesInBackground(nar, dbKeyFor(dbPassword));
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
