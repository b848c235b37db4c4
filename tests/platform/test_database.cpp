#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"
#include "tests/support/sqlcipherShell.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

const QString kPassword = "lumo";

static QStringList texts(const RecordSet& rs, const QStringList& columns)
{
    QStringList t;
    for (const QString& c : columns)
        t << rs[c].toString();
    return t;
}

struct DatabaseTest : ::testing::Test {
    TestAppDir dir;
    void openOk(const QString& path, const QString& password = kPassword) { ASSERT_NO_THROW(openDbOrThrow(1, path, password)); }
    // A temporary table tells a kept connection from a fresh one.
    static bool marked(int slot) { return !RecordSet(slot, "SELECT name FROM sqlite_temp_master WHERE name = 'mark'").eof(); }
    static void mark(int slot) { slotConnection(slot).execute("CREATE TEMP TABLE IF NOT EXISTS mark (x)"); }
};

using P = QFileDevice;
const P::Permissions kReadOnly = P::ReadOwner | P::ExeOwner | P::ReadGroup | P::ExeGroup | P::ReadOther | P::ExeOther;
const P::Permissions kWritable = kReadOnly | P::WriteOwner | P::WriteGroup | P::WriteOther;
const P::Permissions kFileReadOnly = P::ReadOwner | P::ReadGroup | P::ReadOther;
const P::Permissions kFileWritable = kFileReadOnly | P::WriteOwner | P::WriteGroup | P::WriteOther;

// A failed open says so once, the file and the cause in Japanese on the lines below, and leaves the slot closed; no
// file is made or left half made. A writable file in the write-ahead log cannot be read in a read-only folder.
TEST_F(DatabaseTest, OpenRefusesNonDatabasesMissingFilesAndReadOnlyFolders)
{
    const QString nar = dir.createNarData(), plain = dir.create(DataFileKind::Rana), junk = dir.filePath("junk.dat");
    writeTestFile(junk, QByteArray(8192, 'x'));
    const QString folder = QFileInfo(nar).absolutePath(), notData = "データファイルではないか、パスワードが違います";
    const struct { QString path, password, why; bool readOnlyFolder = false; } cases[] = {
        {nar, "", notData}, {plain, kPassword, notData}, {junk, "", notData}, {dir.path(), "", "ファイルではありません"},
        {dir.filePath("absent.dat"), "", "ファイルがありません"},
        {nar, kPassword, "フォルダに書き込めません（書き込みが許可されていないフォルダです）", true}};
    for (const auto& c : cases) {
        MsgBoxRecorder rec;
        QFile::remove(nar + "-wal"), QFile::remove(nar + "-shm");
        openOk(plain, "");
        ASSERT_TRUE(QFile::setPermissions(folder, c.readOnlyFolder ? kReadOnly : kWritable) && QFile::setPermissions(nar, kFileWritable));
        asNobody([&] { openDb(1, c.path, c.password); });
        QFile::setPermissions(folder, kReadOnly | P::WriteOwner);
        EXPECT_EQ(rec.texts(), QStringList {"dataファイルが開けません\n" + c.path + "\n" + c.why}) << c.password.toStdString();
        EXPECT_FALSE(isDbOpen(1));
    }
    EXPECT_THROW(createDbFile(dir.filePath("broken.dat"), kPassword, "CREATE TABLE y (a); CREATE TABLE y (a);"), VbError);
    EXPECT_EQ(QDir(dir.path()).entryList({"absent*", "broken*"}, QDir::Files), QStringList());
    MsgBoxRecorder rec;
    EXPECT_THROW(openDbOrThrow(6, nar, kPassword), VbError);
    EXPECT_TRUE(rec.texts().isEmpty());
    openOk(plain, "");
    openOk(nar);
    // A file that may grow no more is full as the user sees it.
    slotConnection(1).execute("PRAGMA max_page_count = 1");
    try {
        insertRow(1, "LastDate", DbRow().set("LastDate", QString(100000, 'x')));
        ADD_FAILURE() << "a full file took a row";
    } catch (const VbError& e) {
        EXPECT_EQ(japaneseCause(e), "ディスクの空き容量が足りません") << e.description().toStdString();
    }
}

// A read-only file in a writable folder (and in a read-only one) is read as it stands, again and again, and leaves no
// -wal or -shm beside it; a write says the file is read-only. Made writable again, it opens and takes writes as ever.
// A read-only file whose log still holds pages is refused, saying why; so is a writable one beside a read-only log.
TEST_F(DatabaseTest, ReadOnlyFileIsReadWithoutLeavingFilesBehind)
{
    const QString nar = dir.createNarData(), folder = QFileInfo(nar).absolutePath();
    const auto sidecars = [&] { return QDir(folder).entryList({"NAR_data.dat-*"}, QDir::Files); };
    const auto days = [] { return RecordSet(1, "SELECT count(*) FROM LastDate").field(0).toInt(); };
    const auto addDay = [](int slot, int day) { insertRow(slot, "LastDate", DbRow().set("LastDate", VbDate::fromYmd(2008, 3, day))); };
    openOk(nar);
    addDay(1, 1);
    closeDb(1);
    QFile::remove(nar + "-wal"), QFile::remove(nar + "-shm");
    ASSERT_TRUE(QFile::setPermissions(nar, kFileReadOnly));
    for (const P::Permissions folderMode : {kWritable, kReadOnly, kWritable}) {
        ASSERT_TRUE(QFile::setPermissions(folder, folderMode));
        asNobody([&] {
            openOk(nar);
            EXPECT_EQ(days(), 1);
            try {
                addDay(1, 2);
                ADD_FAILURE() << "a read-only file took a row";
            } catch (const VbError& e) {
                EXPECT_EQ(japaneseCause(e), "ファイルが読み取り専用です") << e.description().toStdString();
            }
            closeDb(1);
        });
        EXPECT_EQ(sidecars(), QStringList());
    }
    ASSERT_TRUE(QFile::setPermissions(nar, kFileWritable));
    asNobody([&] {
        openOk(nar);
        addDay(1, 2);
        EXPECT_EQ(days(), 2);
    });
    EXPECT_EQ(sidecars(), (QStringList {"NAR_data.dat-shm", "NAR_data.dat-wal"}));

    // Rows committed to the log of a connection still open, then the file made read-only.
    addDay(1, 3);
    ASSERT_GT(QFileInfo(nar + "-wal").size(), 0);
    ASSERT_TRUE(QFile::setPermissions(nar, kFileReadOnly));
    MsgBoxRecorder rec;
    asNobody([&] { openDb(2, nar, kPassword); });
    EXPECT_EQ(rec.texts(), QStringList {"dataファイルが開けません\n" + nar + "\nファイルが読み取り専用です"});
    EXPECT_FALSE(isDbOpen(2));
    // A log left read-only beside a writable file (as an earlier version left it) is named, and the file opens once
    // the log is writable again.
    QFile::setPermissions(nar, kFileWritable);
    closeDb(1);
    QFile::setPermissions(nar + "-wal", kFileReadOnly), QFile::setPermissions(nar + "-shm", kFileReadOnly);
    rec.clear();
    asNobody([&] { openDb(2, nar, kPassword); });
    EXPECT_EQ(rec.texts(), QStringList {"dataファイルが開けません\n" + nar + "\n同じフォルダの作業用ファイル（-wal、-shm）が読み取り専用です"});
    QFile::setPermissions(nar + "-wal", kFileWritable), QFile::setPermissions(nar + "-shm", kFileWritable);
    asNobody([&] { openOk(nar); });
    QFile::setPermissions(folder, kReadOnly | P::WriteOwner);
}

// Values are bound; "R_cyaku(1)" is a column name; a reused statement is never in use twice; the sqlcipher shell reads
// our files with the raw key and 4 KiB pages.
TEST_F(DatabaseTest, QuotesInValuesParenthesisedColumnsAndReusedStatements)
{
    const QString comments = dir.createComment();
    openOk(comments);
    {
        const QString horse = "O'Brien \"Jr\" ;--";
        const DbRow key = DbRow().set("R_code", "大井08032411").set("U_name", horse);
        insertRow(1, "Comment", DbRow(key).set("comment", "it's fast"));
        upsertRow(1, "Comment", key, DbRow().set("sign01", "'◎'").set("sign02", "a'b"));
        upsertRow(1, "Comment", DbRow().set("R_code", "Uma").set("U_name", horse), DbRow().set("comment", "general"));
        RecordSet rs(1, "SELECT * FROM Comment WHERE U_name = ? ORDER BY R_code DESC", {horse});
        EXPECT_EQ(texts(rs, {"u_name", "COMMENT", "sign01", "sign02"}), (QStringList{horse, "it's fast", "'◎'", "a'b"}));
        rs.moveNext();
        EXPECT_EQ(texts(rs, {"R_code", "comment"}), (QStringList{"Uma", "general"}));

    }
    const QString byName = "SELECT R_code FROM Comment WHERE U_name = ? ORDER BY R_code";
    for (const char* code : {"A1", "A2", "B1"})
        insertRow(1, "Comment", DbRow().set("R_code", code).set("U_name", QString(code).left(1)));
    EXPECT_THROW(RecordSet(1, byName), VbError);
    QStringList seen;
    for (RecordSet outer(1, byName, {"A"}); !outer.eof(); outer.moveNext())
        seen << outer["R_code"].toString() + RecordSet(1, byName, {"B"})["R_code"].toString();
    EXPECT_EQ(seen, (QStringList{"A1B1", "A2B1"}));
    RecordSet(1, byName, {"A"});
    openDbOrThrow(2, comments, kPassword);
    slotConnection(2).execute("PRAGMA busy_timeout = 0");
    EXPECT_NO_THROW(insertRow(2, "Comment", DbRow().set("R_code", "C1").set("U_name", "C")));
    RecordSet open(1, byName, {"A"});
    closeDb(1);
    open.moveNext();
    EXPECT_EQ(open["R_code"].toString(), "A2");

    openOk(dir.createNarData());
    insertRow(1, "T_Rdata", DbRow().set("R_code", "a").set("R_cyaku(1)", 7).set("R_ninki(16)", 12));
    upsertRow(1, "T_Rdata", DbRow().set("R_code", "a"), DbRow().set("R_wide(3)", 450));
    EXPECT_EQ(texts(RecordSet(1, "SELECT * FROM T_Rdata"), {"r_cyaku(1)", "R_ninki(16)", "R_wide(3)"}), (QStringList{"7", "12", "450"}));
    if (!QStandardPaths::findExecutable("sqlcipher").isEmpty()) {
        EXPECT_EQ(sqlcipherQuery(dir.createStrevinData(), kPassword, "SELECT zyoCode || ':' || zyoName FROM MasterZyo WHERE zyoNo = 8"),
                  QStringList {"20:大井"});
    }
}

// The table check names the first table the file lacks, in the order asked; a view stands for a table, and a name
// with a quote is only a name.
TEST_F(DatabaseTest, MissingTableNamesTheFirstTableTheFileLacks)
{
    openOk(dir.createComment());
    slotConnection(1).execute("CREATE VIEW Q_date AS SELECT R_code FROM Comment");
    EXPECT_EQ((QStringList {missingTable(1, {"Comment", "Q_date"}), missingTable(1, {"Comment", "T_Rana", "Q_date", "X"}),
                            missingTable(1, {"Comment' OR '1'='1"}), missingTable(1, {"comment_x"})}),
              (QStringList {"", "T_Rana", "Comment' OR '1'='1", "comment_x"}));
}

// Null reads as 0, "", False or the zero date; day numbers beyond 100-01-01 .. 9999-12-31 are bad values; a transaction
// whose slot was closed under it leaves the reopened connection alone.
TEST_F(DatabaseTest, ConversionsTransactionsAndInsertIfNew)
{
    openOk(dir.createNarData());
    const VbDate day = VbDate::fromYmd(2008, 3, 24);
    insertRow(1, "T_Rdata", DbRow().set("R_code", "a").set("R_date", day).set("R_time", 42.35f));
    insertRow(1, "T_Rdata", DbRow().set("R_code", "b").set("R_date", day.addDays(1)));
    {
        RecordSet rs(1, "SELECT R_date, R_time, 2.5, 3.5, -2.5, 39531.75, '2008/3/5', NULL FROM T_Rdata WHERE R_date <= ?", {day});
        EXPECT_EQ(std::tuple(texts(rs, {"R_date", "R_time"}), rs.field(2).toInt(), rs.field(3).toInt(), rs.field(4).toInt(), rs.field(0).toDate(),
                             rs.field(5).toDate(), rs.field(6).toDate()),
                  std::tuple(QStringList{"2008-03-24", "42.35"}, 2, 4, -2, day, day, VbDate::fromYmd(2008, 3, 5)));
        const DbField null = rs.field(7);
        EXPECT_TRUE(null.isNull() && null.toInt() == 0 && null.toString().isEmpty() && !null.toBool() && null.toDate().isZero());
        EXPECT_THROW(rs.field("R_nothing"), VbError);
        RecordSet bounds(1, "SELECT -657434, 2958465.5, -657435, 2958466, 1e300, -1e300, 9.2e18");
        EXPECT_EQ(Format(bounds.field(0).toDate(), "yyyy/mm/dd") + " " + Format(bounds.field(1).toDate(), "yyyy/mm/dd"),
                  "0100/01/01 9999/12/31");
        for (int i = 2; i < bounds.fieldCount(); ++i)
            EXPECT_THROW(bounds.field(i).toDate(), VbError) << i;
    }

    const auto row = [](const char* code, const char* name) { return DbRow().set("R_code", code).set("R_name", name); };
    const auto insert = [](const char* code, int kyori) { insertRow(1, "T_Rdata", DbRow().set("R_code", code).set("R_kyori", kyori)); };
    { DbTransaction t(1); insert("dropped", 1000); }
    { DbTransaction t(1); insert("kept", 1200); t.commit(); }
    { DbTransaction t(1); EXPECT_THROW(insert("kept", 1800), VbError); }
    { DbTransaction t(1); openOk(dir.filePath("NAR_data.dat")); insert("after", 1000); }
    EXPECT_EQ(RecordSet(1, "SELECT sum(R_kyori) FROM T_Rdata").field(0).toInt(), 2200);
    DbTransaction both(1);
    const QList<bool> added({insertRowIfNew(1, "T_Rdata", row("大井08032411", "first")), insertRowIfNew(1, "T_Rdata", row("大井08032411", "second")),
                             insertRowIfNew(1, "T_Rdata", row("大井08032412", "third"))});
    both.commit();
    EXPECT_EQ(added, QList<bool>({true, false, true}));
    EXPECT_EQ(RecordSet(1, "SELECT group_concat(x, ' ') FROM (SELECT R_code || ':' || R_name AS x FROM T_Rdata ORDER BY R_code)")
                  .field(0).toString(), "大井08032411:first 大井08032412:third");
    EXPECT_THROW(insertRowIfNew(1, "T_none", row("x", "y")), VbError);
    closeDb(1);
    EXPECT_EQ(QFileInfo(dir.filePath("NAR_data.dat-wal")).size(), 0) << "once closed, the file alone holds every row";
}

// A transaction that reads before it writes still writes when another connection wants to commit in between: the other
// waits for it.
TEST_F(DatabaseTest, ATransactionReadThenWrittenIsNotRefusedByAnotherConnectionsCommit)
{
    const QString file = dir.createNarData();
    openOk(file);
    std::thread other;
    {
        DbTransaction t(1);
        EXPECT_TRUE(RecordSet(1, "SELECT R_code FROM T_Rdata").eof());
        other = std::thread([file] {
            Connection c(file, dbKeyFor(kPassword));
            c.execute("INSERT INTO T_Rdata (R_code) VALUES ('other')");
        });
        QThread::msleep(200);  // begun deferred, the transaction would have seen the other commit by now
        EXPECT_NO_THROW(insertRow(1, "T_Rdata", DbRow().set("R_code", "mine")));
        t.commit();
    }
    other.join();
    EXPECT_EQ(RecordSet(1, "SELECT group_concat(R_code, ' ') FROM (SELECT R_code FROM T_Rdata ORDER BY rowid)").field(0).toString(),
              "mine other");
    closeDb(1);
}

// Telling why a write failed asks the file system and never opens the file or its -wal and -shm: closing such a descriptor
// would release every lock that the connections of this process hold on the file. While one connection writes, another
// program still cannot, in either journal mode.
TEST_F(DatabaseTest, TellingWhyAWriteFailedLeavesTheLocksOfThisProcessInPlace)
{
    const QString file = dir.createNarData();
    for (const QString mode : {"WAL", "DELETE"}) {
        Connection(file, dbKeyFor(kPassword)).execute("PRAGMA journal_mode = " + mode);
        Connection writer(file, dbKeyFor(kPassword)), refused(file, dbKeyFor(kPassword));
        writer.execute("BEGIN IMMEDIATE");
        writer.execute("INSERT INTO LastDate VALUES ('2008-03-01')");
        refused.execute("PRAGMA query_only = 1");
        EXPECT_THROW(refused.execute("INSERT INTO LastDate VALUES ('2008-03-02')"), VbError);
        EXPECT_EQ(sqlcipherQuery(file, kPassword, "INSERT INTO LastDate VALUES ('2008-03-03');\nSELECT count(*) FROM LastDate"),
                  QStringList {"0"}) << mode.toStdString();
        writer.execute("COMMIT");
        EXPECT_EQ(sqlcipherQuery(file, kPassword, "SELECT LastDate FROM LastDate"), QStringList {"2008-03-01"}) << mode.toStdString();
        writer.execute("DELETE FROM LastDate");
    }
}

// A keeper hands a closed idle connection back to a reopen of the same file, in any slot and by any spelling of its path.
TEST_F(DatabaseTest, OnlyIdleConnectionsAreKeptAndComeBackForTheSameFile)
{
    const QString nar = dir.createNarData();
    const auto addDay = [](int day) { insertRow(1, "LastDate", DbRow().set("LastDate", VbDate::fromYmd(2008, 3, day))); };
    const auto openMarkClose = [&] {
        openOk(nar);
        mark(1);
        closeDb(1);
    };
    {
        const DbConnectionKeeper keeper;
        openMarkClose();
        openDbOrThrow(2, nar, kPassword);
        EXPECT_TRUE(marked(2));
        closeDb(2);
        openDbOrThrow(3, dir.path() + "../" + QDir(dir.path()).dirName() + "/NAR_data.dat", kPassword);
        EXPECT_TRUE(marked(3));
        closeDb(3);
        EXPECT_THROW(openDbOrThrow(2, nar, "wrong"), VbError);
        openOk(nar);
        ASSERT_TRUE(marked(1));
        slotConnection(1).execute("BEGIN");
        addDay(24);
        closeDb(1);
        openOk(nar);
        EXPECT_FALSE(marked(1));
        EXPECT_TRUE(RecordSet(1, "SELECT * FROM LastDate").eof());
        mark(1);
        addDay(25);
        {
            RecordSet pending(1, "SELECT * FROM LastDate");
            ASSERT_FALSE(pending.eof());
            closeDb(1);
        }
        openOk(nar);
        EXPECT_FALSE(marked(1));
    }
    openMarkClose();
    openOk(nar);
    EXPECT_FALSE(marked(1));
}
