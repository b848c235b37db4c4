// The background build of the person indexes beside the program's own writes: a write that
// arrives while the build is inside an index goes first, one kept out by another program fails at
// the time-out as without a build, a build without a thread is told once, and a full disk is named
// by the folder that filled.
#include "core/publicFunction.h"
#include "core/raceIndexes.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"
#include "tests/support/noNewThreads.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <future>
#include <sys/mount.h>

namespace {
const QStringList kIndexes {"T_Rdata_R_date", "T_Useiseki_chichi_year", "T_Useiseki_cyoukyou_year", "T_Useiseki_kisyu_year"};

QString failure(const QString& cause)
{
    return "NAR_data.dat：過去データの索引を作成できませんでした（" + cause + "）。\n騎手・調教師・種牡馬のシートは索引なしで表示します。";
}

// Those of the build's indexes the file has.
QStringList indexesOf(const QString& path)
{
    openDbOrThrow(2, path, dbPassword);
    DbSlotCloser closer(2);
    QStringList found;
    for (RecordSet rs(2, "SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name"); !rs.eof(); rs.moveNext())
        if (kIndexes.contains(rs.field(0).toString()))
            found << rs.field(0).toString();
    return found;
}

// A race database of the schema before: runs of jockeys with names of 600 letters, alike but for
// their ends, and of no trainer and no sire, so that the build spends its time on the jockeys'
// index (about a second for 80,000 runs here), sorting in parts on disk.
QString olderFileWithLongNames(const QString& folder, int runs)
{
    const QString path = createDataFile(DataFileKind::NarData, testSchemaDir(), folder);
    Connection c(path, dbKeyFor(dbPassword));
    for (const QString& index : kIndexes)
        c.execute("DROP INDEX " + index);
    c.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?1) "
              "INSERT INTO T_Useiseki (R_code, U_name, U_kisyu) "
              "SELECT printf('大井%02d%02d%02d%02d', 5 + i / 40000, 1 + i / 4000 % 10, 1 + i / 100 % 40, 1 + i % 100), '馬', "
              "printf('%.600c', 'x') || (i * 7919 % 5000) FROM n",
              {runs});
    return path;
}

// A run written as a race read writes one, on slot 1.
void writeRun(const QString& path, const QString& horse)
{
    openDbOrThrow(1, path, dbPassword);
    DbSlotCloser closer(1);
    DbTransaction t(1);
    insertRow(1, "T_Useiseki", DbRow().set("R_code", "浦和26010101").set("U_name", horse).set("U_kisyu", "騎手"));
    t.commit();
}

// Waits until the build holds the file's write lock (found taken by a connection that does not wait).
bool buildHoldsTheFile(const QString& path)
{
    Connection probe(path, dbKeyFor(dbPassword));
    probe.execute("PRAGMA busy_timeout = 0");
    QElapsedTimer clock;
    clock.start();
    while (raceIndexBuildRunning() && clock.elapsed() < 20000) {
        try {
            probe.execute("BEGIN IMMEDIATE");
            probe.execute("ROLLBACK");
        } catch (const VbError&) {
            return true;
        }
        QThread::msleep(2);
    }
    return false;
}

// A file system of that size at a folder of its own, where the test may mount one.
class SmallDisk {
public:
    explicit SmallDisk(int megabytes)
        : mounted_(mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", 0,
                         QByteArray("size=" + QByteArray::number(megabytes) + "m").constData())
                   == 0)
    {
    }
    ~SmallDisk()
    {
        if (mounted_)
            umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    bool mounted_;
};

class RaceIndexBuildTest : public ::testing::Test {
protected:
    void TearDown() override { stopRaceIndexBuild(); }
    void build(const QString& path)
    {
        buildRaceIndexesInBackground(path, dbKeyFor(dbPassword));
        QElapsedTimer clock;
        clock.start();
        while (raceIndexBuildRunning() && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents();
    }

    TestAppDir dir;
    MsgBoxRecorder messages;
};
}  // namespace

TEST_F(RaceIndexBuildTest, ARunWrittenWhileTheBuildIsInsideAnIndexGoesFirstAndTheBuildStillEndsWithEveryIndex)
{
    const QString nar = olderFileWithLongNames(dir.path(), 80000);
    buildRaceIndexesInBackground(nar, dbKeyFor(dbPassword));
    ASSERT_TRUE(buildHoldsTheFile(nar));
    QElapsedTimer clock;
    clock.start();
    writeRun(nar, "割込馬");
    const qint64 writeMs = clock.elapsed();
    EXPECT_EQ(indexesOf(nar), QStringList()) << writeMs << " ms";  // the write did not wait for the jockeys' index
    EXPECT_LT(writeMs, 2000);
    build(nar);
    EXPECT_EQ(indexesOf(nar), kIndexes);
    EXPECT_EQ(messages.texts(), QStringList());
    openDbOrThrow(1, nar, dbPassword);
    EXPECT_EQ(RecordSet(1, "SELECT COUNT(*) FROM T_Useiseki WHERE U_name = '割込馬'").field(0).toInt(), 1);
    closeDb(1);
}

// Two copies of the program on one folder: the other one's write lock is none of the build's.
TEST_F(RaceIndexBuildTest, AWriteKeptOutByAnotherProgramWhileTheBuildWaitsFailsAtTheTimeOutAsItWouldWithoutIt)
{
    const QString nar = olderFileWithLongNames(dir.path(), 100);
    Connection other(nar, dbKeyFor(dbPassword));
    other.execute("BEGIN IMMEDIATE");
    buildRaceIndexesInBackground(nar, dbKeyFor(dbPassword));
    auto write = std::async(std::launch::async, [&] {
        try {
            writeRun(nar, "待ち馬");
            return QStringLiteral("written");
        } catch (const VbError& e) {
            return japaneseCause(e);
        }
    });
    const bool ended = write.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    other.execute("ROLLBACK");
    EXPECT_TRUE(ended);
    EXPECT_EQ(write.get(), "ほかのプログラムがファイルを使用中です");
    build(nar);
    EXPECT_EQ(indexesOf(nar), kIndexes);
}

TEST_F(RaceIndexBuildTest, ABuildWithoutAThreadIsToldOnceAndNotLeftRunning)
{
    const QString nar = olderFileWithLongNames(dir.path(), 100);
    withoutNewThreads([&] { EXPECT_NO_THROW(buildRaceIndexesInBackground(nar, dbKeyFor(dbPassword))); });
    EXPECT_FALSE(raceIndexBuildRunning());
    build(nar);  // not tried again in this run of the program
    EXPECT_EQ(messages.texts(), QStringList {failure("システムの資源が足りません")});
    EXPECT_EQ(indexesOf(nar), QStringList());
    stopRaceIndexBuild();  // as the program starts again
    build(nar);
    EXPECT_EQ(indexesOf(nar), kIndexes);
    EXPECT_EQ(messages.texts().size(), 1);
}

// The sort's parts go to SQLite's temporary folder, the index into the file's log.
TEST_F(RaceIndexBuildTest, AFullDiskIsNamedByTheFolderThatFilled)
{
    const QString nar = olderFileWithLongNames(dir.path(), 10000);  // about 6 MB of keys
    const SmallDisk sortDisk(1), dataDisk(int(QFileInfo(nar).size() >> 20) + 2);
    if (!sortDisk.mounted() || !dataDisk.mounted())
        GTEST_SKIP() << "mounting a small file system needs the right to mount";
    {
        Connection c(nar, dbKeyFor(dbPassword));
        c.execute("PRAGMA temp_store_directory = '" + sortDisk.path() + "'");
        build(nar);
        c.execute("PRAGMA temp_store_directory = ''");
    }
    EXPECT_EQ(messages.texts(), QStringList {failure("一時ファイルのフォルダ「" + sortDisk.path() + "」の空き容量が足りません")});
    messages.clear();
    ASSERT_TRUE(QFile::copy(nar, dataDisk.path() + "/NAR_data.dat"));
    build(dataDisk.path() + "/NAR_data.dat");
    EXPECT_EQ(messages.texts(), QStringList {failure("ディスクの空き容量が足りません")});
    EXPECT_EQ(indexesOf(nar), QStringList());
}
