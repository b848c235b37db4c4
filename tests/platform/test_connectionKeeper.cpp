#include "platform/database.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A temporary table tells a kept connection from a fresh one.
void markConnection(int slot)
{
    slotConnection(slot).execute("CREATE TEMP TABLE IF NOT EXISTS mark (x)");
}

bool marked(int slot)
{
    return !RecordSet(slot, "SELECT name FROM sqlite_temp_master WHERE name = 'mark'").eof();
}

struct KeeperTest : ::testing::Test {
    TestAppDir dir;
    QString nar, tracks;
    void SetUp() override
    {
        nar = dir.createNarData();
        tracks = dir.createStrevinData();
    }
    // Opens the file on the slot, marks the connection and closes the slot.
    void openMarkClose(int slot, const QString& path)
    {
        openDbOrThrow(slot, path, "lumo");
        markConnection(slot);
        closeDb(slot);
    }
};

}

// Under a keeper a reopen of the same file, in any slot, takes the closed connection back.
TEST_F(KeeperTest, ClosedConnectionsComeBackForTheSameFile)
{
    {
        const DbConnectionKeeper keeper;
        openMarkClose(1, nar);
        openDbOrThrow(1, tracks, "lumo");
        EXPECT_FALSE(marked(1));
        openDbOrThrow(2, nar, "lumo");
        EXPECT_TRUE(marked(2));
        {
            const DbConnectionKeeper nested;
            closeDb(2);
        }
        openDbOrThrow(3, dir.path() + "../" + QDir(dir.path()).dirName() + "/NAR_data.dat", "lumo");
        EXPECT_TRUE(marked(3));
        closeDb(1);
        closeDb(3);
    }
    openMarkClose(1, nar);
    openDbOrThrow(1, nar, "lumo");
    EXPECT_FALSE(marked(1));
    closeDb(1);
}

// Not kept: for a wrong password, or when closed in a transaction (rolled back) or mid-query.
TEST_F(KeeperTest, OnlyIdleConnectionsAreKept)
{
    const DbConnectionKeeper keeper;
    openMarkClose(1, nar);
    EXPECT_THROW(openDbOrThrow(2, nar, "wrong"), VbError);

    openDbOrThrow(1, nar, "lumo");
    ASSERT_TRUE(marked(1));
    slotConnection(1).execute("BEGIN");
    insertRow(1, "LastDate", DbRow().set("LastDate", VbDate::fromYmd(2008, 3, 24)));
    closeDb(1);
    openDbOrThrow(1, nar, "lumo");
    EXPECT_FALSE(marked(1));
    EXPECT_TRUE(RecordSet(1, "SELECT * FROM LastDate").eof());

    markConnection(1);
    insertRow(1, "LastDate", DbRow().set("LastDate", VbDate::fromYmd(2008, 3, 24)));
    insertRow(1, "LastDate", DbRow().set("LastDate", VbDate::fromYmd(2008, 3, 25)));
    {
        RecordSet pending(1, "SELECT * FROM LastDate");
        ASSERT_FALSE(pending.eof());
        closeDb(1);
    }
    openDbOrThrow(1, nar, "lumo");
    EXPECT_FALSE(marked(1));
    closeDb(1);
}

// A stored key is passed over; the transaction goes on and keeps the new rows.
TEST_F(KeeperTest, InsertIfNewKeepsWhatIsStored)
{
    openDbOrThrow(1, nar, "lumo");
    const auto race = [](const QString& code, const QString& name) {
        return DbRow().set("R_code", code).set("R_name", name).set("R_date", VbDate::fromYmd(2008, 3, 24));
    };
    DbTransaction both(1);
    const bool added[] = {insertRowIfNew(1, "T_Rdata", race("大井08032411", "first")),
                          insertRowIfNew(1, "T_Rdata", race("大井08032411", "second")),
                          insertRowIfNew(1, "T_Rdata", race("大井08032412", "third"))};
    both.commit();
    EXPECT_EQ(std::vector<bool>(std::begin(added), std::end(added)), std::vector<bool>({true, false, true}));
    QStringList rows;
    for (RecordSet rs(1, "SELECT R_code, R_name FROM T_Rdata ORDER BY R_code"); !rs.eof(); rs.moveNext())
        rows << rs.field(0).toString() + ':' + rs.field(1).toString();
    EXPECT_EQ(rows, QStringList({"大井08032411:first", "大井08032412:third"}));
    EXPECT_THROW(insertRowIfNew(1, "T_none", race("x", "y")), VbError);
    closeDb(1);
}
