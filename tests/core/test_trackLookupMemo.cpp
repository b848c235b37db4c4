#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/database.h"
#include "tests/support/dataFiles.h"

#include <QFile>
#include <gtest/gtest.h>

static void setAveTime(const QString& file, double time)
{
    openDbOrThrow(0, file, dbPassword);
    deleteRows(0, "T_avetime", DbRow());
    insertRow(0, "T_avetime", DbRow().set("A_zyo", "大井").set("A_kyori", 1200).set("A_class", "ave")
                                  .set("A_sin_kyu", 1).set("A_siba", 0).set("A_time", time));
    closeDb(0);
}

static float index(int slot)
{
    IndexedRun run {VbDate::fromYmd(2008, 3, 24), "大井", 0, 1200, 74.0f, 37.0f, 55.0f};
    computeLocalIndex(run, slot);
    return run.sisuu;
}

// Inside the memo a lookup is answered as first read, file by file; after it ends the file is read
// again. 1 s slower standard time = 10 x 1500 / 1200 = 12.5 points.
TEST(LookupMemo, RemembersPerFileUntilItEnds)
{
    TestAppDir dir;
    const QString tracks = dir.createStrevinData(), copy = dir.filePath("copy.dat");
    setAveTime(tracks, 75.0);
    openDbOrThrow(0, tracks, dbPassword);
    insertRow(0, "T_sisuu", DbRow().set("S_date", VbDate::fromYmd(2008, 3, 24)).set("S_zyo", "大井").set("S_siba", 0)
                                .set("S_sisuu", 1.0));
    closeDb(0);
    ASSERT_TRUE(QFile::copy(tracks, copy));
    setAveTime(copy, 77.0);
    openDbOrThrow(1, tracks, dbPassword);
    openDbOrThrow(2, copy, dbPassword);
    const float first = index(1);
    {
        const TrackLookupMemo memo;
        EXPECT_EQ(index(1), first);
        setAveTime(tracks, 76.0);
        EXPECT_EQ(index(1), first);
        EXPECT_FLOAT_EQ(index(2) - first, 25.0f);
    }
    EXPECT_FLOAT_EQ(index(1) - first, 12.5f);
    closeDb(1);
    closeDb(2);
}
