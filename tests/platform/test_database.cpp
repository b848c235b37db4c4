#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

const QString kOpenFailed = QStringLiteral("dataファイルが開けません");
const QString kPassword = QStringLiteral("lumo");

// Every test gets a fresh program folder; slot 1 is opened on the file the test names.
class DatabaseTest : public ::testing::Test {
protected:
    void openOk(const QString& path, const QString& password = kPassword)
    {
        ASSERT_NO_THROW(openDbOrThrow(1, path, password));
    }
    int count(const QString& sql, const DbParams& params = {})
    {
        RecordSet rs(1, sql, params);
        return rs.field(0).toInt();
    }
    // The failing open shows the message once and leaves the slot closed, also when it held
    // a connection before.
    void expectOpenFails(const QString& held, const QString& path, const QString& password)
    {
        MsgBoxRecorder rec;
        openOk(held);
        openDb(1, path, password);
        EXPECT_EQ(rec.texts(), QStringList{kOpenFailed}) << path.toStdString();
        EXPECT_FALSE(isDbOpen(1));
    }

    TestAppDir dir;
};

TEST_F(DatabaseTest, OpenRefusesWrongKeysAndNonDatabases)
{
    const QString nar = dir.createNarData();
    const QString plain = createDataFile(DataFileKind::Rana, testSchemaDir(), dir.path());
    QFile junk(dir.filePath(QStringLiteral("junk.dat")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'x'));
    junk.close();

    expectOpenFails(nar, nar, QStringLiteral("wrong"));
    expectOpenFails(nar, nar, QString());    // encrypted file without key
    expectOpenFails(nar, plain, kPassword);  // plain file with a key
    expectOpenFails(nar, junk.fileName(), kPassword);
    expectOpenFails(nar, junk.fileName(), QString());
    expectOpenFails(nar, dir.path(), QString());  // a folder

    openOk(nar);
    openOk(plain, QString());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM T_Rana")), 0);
}

TEST_F(DatabaseTest, MissingFileIsNeverCreated)
{
    const QString missing = dir.filePath(QStringLiteral("NAR_data.dat"));
    MsgBoxRecorder rec;
    openDb(2, missing, kPassword);
    openDb(3, missing, QString());
    EXPECT_EQ(rec.texts(), (QStringList{kOpenFailed, kOpenFailed}));
    EXPECT_FALSE(isDbOpen(2));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(DatabaseTest, DebugModeAndOrThrowReportNothing)
{
    const QString nar = dir.createNarData();
    MsgBoxRecorder rec;
    debugMode = true;
    EXPECT_THROW(openDb(1, nar, QStringLiteral("wrong")), VbError);
    debugMode = false;
    EXPECT_THROW(openDbOrThrow(1, nar, QString()), VbError);
    EXPECT_THROW(openDbOrThrow(6, nar, kPassword), VbError);
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_FALSE(isDbOpen(1));
    try {
        RecordSet(1, QStringLiteral("SELECT 1"));
        ADD_FAILURE() << "query on a closed slot";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), vbErrObjectMissing);
    }
}

TEST_F(DatabaseTest, QuotesInValuesAndParenthesisedColumnsRoundTrip)
{
    openOk(dir.createComment());
    const QString horse = QStringLiteral("O'Brien \"Jr\" ;--");
    const DbRow key = DbRow().set(QStringLiteral("R_code"), QStringLiteral("大井08032411")).set(QStringLiteral("U_name"), horse);
    insertRow(1, QStringLiteral("Comment"), DbRow(key).set(QStringLiteral("comment"), QStringLiteral("it's fast")));
    EXPECT_EQ(updateRow(1, QStringLiteral("Comment"), key, DbRow().set(QStringLiteral("sign01"), QStringLiteral("'◎'"))), 1);
    upsertRow(1, QStringLiteral("Comment"), key, DbRow().set(QStringLiteral("sign02"), QStringLiteral("a'b")));
    upsertRow(1, QStringLiteral("Comment"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("Uma")).set(QStringLiteral("U_name"), horse),
              DbRow().set(QStringLiteral("comment"), QStringLiteral("general")));

    RecordSet rs(1, QStringLiteral("SELECT * FROM Comment WHERE U_name = ? ORDER BY R_code DESC"), {horse});
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field(QStringLiteral("u_name")).toString(), horse);
    EXPECT_EQ(rs[QStringLiteral("COMMENT")].toString(), QStringLiteral("it's fast"));
    EXPECT_EQ(rs[QStringLiteral("sign01")].toString(), QStringLiteral("'◎'"));
    EXPECT_EQ(rs[QStringLiteral("sign02")].toString(), QStringLiteral("a'b"));
    rs.moveNext();
    EXPECT_EQ(rs[QStringLiteral("R_code")].toString(), QStringLiteral("Uma"));
    EXPECT_EQ(rs[QStringLiteral("comment")].toString(), QStringLiteral("general"));
    rs.moveNext();
    EXPECT_TRUE(rs.eof());

    closeDb(1);
    openOk(dir.createNarData());
    const DbRow race = DbRow().set(QStringLiteral("R_code"), QStringLiteral("大井08032411"));
    insertRow(1, QStringLiteral("T_Rdata"), DbRow(race).set(QStringLiteral("R_cyaku(1)"), 7).set(QStringLiteral("R_ninki(16)"), 12));
    upsertRow(1, QStringLiteral("T_Rdata"), race, DbRow().set(QStringLiteral("R_wide(3)"), 450));
    RecordSet r(1, QStringLiteral("SELECT * FROM T_Rdata"));
    EXPECT_EQ(r[QStringLiteral("r_cyaku(1)")].toInt(), 7);
    EXPECT_EQ(r[QStringLiteral("R_ninki(16)")].toInt(), 12);
    EXPECT_EQ(r[QStringLiteral("R_wide(3)")].toInt(), 450);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM T_Rdata")), 1);
}

TEST_F(DatabaseTest, DefaultsAndNullRead)
{
    openOk(dir.createNarData());
    insertRow(1, QStringLiteral("T_Useiseki"),
              DbRow().set(QStringLiteral("R_code"), QStringLiteral("大井08032411")).set(QStringLiteral("U_name"), QStringLiteral("馬")));
    RecordSet rs(1, QStringLiteral("SELECT * FROM T_Useiseki"));
    for (const char* number : {"U_tuka01", "U_tuka02", "U_tuka03", "U_tuka04", "U_zougen", "U_kankaku"}) {
        EXPECT_FALSE(rs[QString::fromLatin1(number)].isNull()) << number;
        EXPECT_EQ(rs[QString::fromLatin1(number)].toInt(), 0);
    }
    // Columns left out stay empty, and read as 0, "", False or the zero date.
    for (const char* empty : {"U_file", "U_kisyu", "U_kyakusitu"}) {
        const DbField f = rs[QString::fromLatin1(empty)];
        EXPECT_TRUE(f.isNull()) << empty;
        EXPECT_EQ(f.toInt(), 0);
        EXPECT_EQ(f.toString(), QString());
        EXPECT_FALSE(f.toBool());
        EXPECT_TRUE(f.toDate().isZero());
    }
    rs.close();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM T_Rdata WHERE R_sisuu = 0")), 0);
    insertRow(1, QStringLiteral("T_Rdata"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("x")));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM T_Rdata WHERE R_sisuu = 0")), 1);
}

TEST_F(DatabaseTest, NumberAndDateConversions)
{
    openOk(dir.createNarData());
    const VbDate day = VbDate::fromYmd(2008, 3, 24);
    insertRow(1, QStringLiteral("T_Rdata"),
              DbRow().set(QStringLiteral("R_code"), QStringLiteral("a")).set(QStringLiteral("R_date"), day).set(QStringLiteral("R_time"), 42.35f));
    insertRow(1, QStringLiteral("T_Rdata"),
              DbRow().set(QStringLiteral("R_code"), QStringLiteral("b")).set(QStringLiteral("R_date"), day.addDays(1)));

    RecordSet rs(1, QStringLiteral("SELECT R_date, R_time, 2.5, 3.5, -2.5, 39531, 39531.75, '2008/3/5', 'x' FROM T_Rdata WHERE R_date <= ?"), {day});
    EXPECT_EQ(rs[QStringLiteral("R_date")].toString(), QStringLiteral("2008-03-24"));
    EXPECT_EQ(rs[QStringLiteral("R_date")].toDate(), day);
    EXPECT_EQ(rs[QStringLiteral("R_time")].toString(), QStringLiteral("42.35"));
    EXPECT_FLOAT_EQ(rs[QStringLiteral("R_time")].toFloat(), 42.35f);
    EXPECT_EQ(rs.field(2).toInt(), 2);
    EXPECT_EQ(rs.field(3).toInt(), 4);
    EXPECT_EQ(rs.field(4).toInt(), -2);
    EXPECT_EQ(rs.field(5).toDate(), day);
    EXPECT_EQ(rs.field(6).toDate(), day);
    EXPECT_EQ(rs.field(7).toDate(), VbDate::fromYmd(2008, 3, 5));
    EXPECT_THROW(rs.field(8).toDate(), VbError);
    EXPECT_THROW(rs.field(8).toInt(), VbError);
    EXPECT_THROW(rs.field(9), VbError);
    EXPECT_THROW(rs.field(QStringLiteral("R_nothing")), VbError);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.field(0), VbError);
    EXPECT_THROW(rs.moveNext(), VbError);
    EXPECT_THROW(RecordSet(1, QStringLiteral("SELECT * FROM T_Rdata WHERE R_code = ?")), VbError);
}

TEST_F(DatabaseTest, TransactionsRollBackAndDuplicateKeysFail)
{
    openOk(dir.createNarData());
    const auto raceRow = [](const char* code, int kyori) {
        return DbRow().set(QStringLiteral("R_code"), QString::fromUtf8(code)).set(QStringLiteral("R_kyori"), kyori);
    };
    {
        DbTransaction t(1);
        insertRow(1, QStringLiteral("T_Rdata"), raceRow("dropped", 1000));
    }
    {
        DbTransaction t(1);
        insertRow(1, QStringLiteral("T_Rdata"), raceRow("rolled", 1000));
        t.rollback();
    }
    {
        DbTransaction t(1);
        insertRow(1, QStringLiteral("T_Rdata"), raceRow("kept", 1200));
        t.commit();
    }
    {
        DbTransaction t(1);
        EXPECT_THROW(insertRow(1, QStringLiteral("T_Rdata"), raceRow("kept", 1800)), VbError);
    }
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM T_Rdata")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT R_kyori FROM T_Rdata WHERE R_code = ?"), {"kept"}), 1200);

    // A transaction whose slot was closed under it leaves the reopened connection alone.
    {
        DbTransaction t(1);
        closeDb(1);
        openOk(dir.filePath(QStringLiteral("NAR_data.dat")));
        insertRow(1, QStringLiteral("T_Rdata"), raceRow("after", 1000));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM T_Rdata")), 2);
    EXPECT_EQ(deleteRows(1, QStringLiteral("T_Rdata"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("after"))), 1);
    EXPECT_EQ(deleteRows(1, QStringLiteral("T_Rdata"), DbRow()), 1);
}

TEST_F(DatabaseTest, CreateDbFileNeverOverwritesNorLeavesHalfFiles)
{
    const QString nar = dir.createNarData();
    EXPECT_THROW(createDbFile(nar, kPassword, QStringLiteral("CREATE TABLE x (a)")), VbError);
    openOk(nar);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'x'")), 0);

    const QString broken = dir.filePath(QStringLiteral("broken.dat"));
    EXPECT_THROW(createDbFile(broken, kPassword, QStringLiteral("CREATE TABLE y (a); CREATE TABLE y (a);")), VbError);
    EXPECT_FALSE(QFile::exists(broken));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("broken*")}, QDir::Files), QStringList());

}

// The race database keeps a write-ahead log while open (fast per-run commits); once closed the
// file alone holds every row. Files that are copied around keep the rollback journal.
TEST_F(DatabaseTest, JournalModes)
{
    const auto journalMode = [this](const QString& path) {
        openOk(path);
        RecordSet mode(1, QStringLiteral("PRAGMA journal_mode"));
        return mode.field(0).toString();
    };
    EXPECT_EQ(journalMode(dir.createComment()), QStringLiteral("delete"));
    EXPECT_EQ(journalMode(dir.createStrevinData()), QStringLiteral("delete"));
    const QString nar = dir.createNarData();
    EXPECT_EQ(journalMode(nar), QStringLiteral("wal"));
    insertRow(1, QStringLiteral("T_Rdata"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("a")));
    closeDb(1);
    EXPECT_EQ(QFileInfo(nar + QStringLiteral("-wal")).size(), 0);

    // The readers scan the race tables again and again; a small cache would decrypt the same pages each time.
    openOk(nar);
    EXPECT_LE(count(QStringLiteral("PRAGMA cache_size")), -8192) << "at least 8 MiB of page cache";

    const QString copy = dir.filePath(QStringLiteral("copy.dat"));
    ASSERT_TRUE(QFile::copy(nar, copy));
    openOk(copy);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM T_Rdata")), 1);
}

// Statements are kept for reuse per connection; a text in use must never be handed out twice,
// a set must survive its connection's close, and a finished set must hold no lock.
TEST_F(DatabaseTest, ReusedStatementsServeNestedSetsAndOutliveTheirConnection)
{
    const QString path = dir.createComment();
    openOk(path);
    const QString byName = QStringLiteral("SELECT R_code FROM Comment WHERE U_name = ? ORDER BY R_code");
    for (const char* name : {"A", "B"})
        for (const char* code : {"1", "2"})
            insertRow(1, QStringLiteral("Comment"), DbRow().set(QStringLiteral("R_code"), QString::fromUtf8(name) + code)
                                                        .set(QStringLiteral("U_name"), QString::fromUtf8(name)));
    QStringList seen;
    for (RecordSet outer(1, byName, {"A"}); !outer.eof(); outer.moveNext()) {
        RecordSet inner(1, byName, {"B"});
        seen << outer[QStringLiteral("R_code")].toString() + inner[QStringLiteral("R_code")].toString();
    }
    EXPECT_EQ(seen, (QStringList {QStringLiteral("A1B1"), QStringLiteral("A2B1")}));

    EXPECT_THROW(RecordSet(1, byName), VbError);  // a failed bind gives its statement back unharmed
    EXPECT_EQ(RecordSet(1, byName, {"B"})[QStringLiteral("R_code")].toString(), QStringLiteral("B1"));
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) + %1 FROM Comment").arg(i)), 4 + i);

    // Half-read sets, once closed, leave the file free for another connection's write.
    {
        RecordSet half(1, byName, {"A"});
    }
    openDbOrThrow(2, path, kPassword);
    slotConnection(2).execute(QStringLiteral("PRAGMA busy_timeout = 0"));
    EXPECT_NO_THROW(insertRow(2, QStringLiteral("Comment"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("C1"))
                                                              .set(QStringLiteral("U_name"), QStringLiteral("C"))));

    RecordSet open(1, byName, {"A"});
    closeDb(1);
    EXPECT_EQ(open[QStringLiteral("R_code")].toString(), QStringLiteral("A1"));
    openOk(path);
    EXPECT_EQ(RecordSet(1, byName, {"C"})[QStringLiteral("R_code")].toString(), QStringLiteral("C1"));
    open.moveNext();
    EXPECT_EQ(open[QStringLiteral("R_code")].toString(), QStringLiteral("A2"));
}

TEST(DatabaseKey, DerivedOncePerPassword)
{
    EXPECT_TRUE(dbKeyFor(QString()).isEmpty());
    const QByteArray a = dbKeyFor(kPassword);
    EXPECT_EQ(a.size(), 32);
    EXPECT_EQ(dbKeyFor(kPassword), a);
    EXPECT_NE(dbKeyFor(QStringLiteral("lumO")), a);
}

// The sqlcipher shell reads our files with the raw key and 4 KiB pages, and not with 1 KiB pages.
TEST_F(DatabaseTest, SqlcipherShellReadsCreatedFile)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        GTEST_SKIP() << "sqlcipher shell not installed";
    const QString file = dir.createStrevinData();
    const auto run = [&](int pageSize) {
        QProcess p;
        p.start(shell, {file});
        p.write(QStringLiteral("PRAGMA key = \"x'%1'\";\nPRAGMA cipher_page_size = %2;\n"
                               "SELECT zyoCode || ':' || zyoName FROM MasterZyo WHERE zyoNo = 8;\n")
                    .arg(QString::fromLatin1(dbKeyFor(kPassword).toHex()))
                    .arg(pageSize)
                    .toUtf8());
        p.closeWriteChannel();
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    EXPECT_EQ(run(4096), QStringLiteral("20:大井"));
    EXPECT_NE(run(1024), QStringLiteral("20:大井"));
}

}  // namespace
