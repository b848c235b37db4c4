#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <QFile>

const VbDate kDay = VbDate::fromYmd(2008, 3, 24);
const QString kError = "U_sisuu算出エラー(err-BA06)";
using Result = std::tuple<float, float, float>;  // index, last-3F index, variant flag

static void addTrack(int slot, const QString& zyo, std::optional<DbValue> variant, int kyori, DbValue time,
                     const QString& cls = "ave")
{
    if (variant)
        insertRow(slot, "T_sisuu", DbRow().set("S_date", kDay).set("S_zyo", zyo).set("S_siba", 0).set("S_sisuu", *variant));
    insertRow(slot, "T_avetime", DbRow().set("A_zyo", zyo).set("A_kyori", kyori).set("A_class", cls).set("A_sin_kyu", slot == 1)
                                     .set("A_siba", 0).set("A_time", time));
}

// The indices of run r of runner 1, which held 44, 33 and flag 9 before.
static Result calc(int r, const QString& zyo, int kyori, float time, float f3 = 38.0f, float hutan = 55.0f)
{
    std::tie(pd.uDate(1, r), pd.uZyo(1, r), pd.uKyori(1, r), pd.uTime(1, r), pd.u3f(1, r), pd.uHutan(1, r)) =
        std::tuple(kDay, zyo, kyori, time, f3, hutan);
    std::tie(pd.uSisuu(1, r), pd.uSisuu3f(1, r), pd.uFile(1, r)) = Result(44, 33, 9);
    zyo.startsWith("Ｊ") ? calcUSisuuJra(1, r) : calcUSisuu(1, r, 1);
    return {pd.uSisuu(1, r), pd.uSisuu3f(1, r), pd.uFile(1, r)};
}

class SpeedIndex : public ::testing::Test {
protected:
    void SetUp() override
    {
        redimUma(18, 10);
        openDb(1, dir_.createStrevinData(), dbPassword);
    }
    TestAppDir dir_;
    MsgBoxRecorder msgs_;
};

// Worked examples, local and central. Slot 2 is closed on every exit path: an error trapped, one
// passed on in debug mode, a missing central file.
TEST_F(SpeedIndex, WorkedExamplesAndSlot2AlwaysClosed)
{
    addTrack(1, "大井", 0.5f, 1500, 90.0f);
    addTrack(1, "川崎", -0.4f, 1800, 120.0f);
    EXPECT_EQ(calc(1, "大井", 1500, 89.5f, 38.0f, 56.0f), Result(61.0f, 42.35f, 0.5f));
    const auto [kawasaki, kawasaki3f, kawasakiFlag] = calc(2, "川崎", 1800, 121.2f, 39.0f, 54.0f);
    EXPECT_NEAR(kawasaki, 34.8f, 1e-4);
    EXPECT_NEAR(kawasaki3f, 66.31f, 0.005);
    const QString jra = dir_.createJraGraph();
    openDb(2, jra, dbPassword);
    addTrack(2, "06", 0.3f, 1600, 96.0f);
    addTrack(2, "05", std::nullopt, 1600, DbValue());
    closeDb(2);
    const auto [nakayama, nakayama3f, nakayamaFlag] = calc(1, "Ｊ中山", 1600, 95.0f, 35.5f, 57.0f);
    EXPECT_FLOAT_EQ(nakayama, 99.0f);
    EXPECT_NEAR(nakayama3f, 81.8f, 1e-4);
    EXPECT_TRUE(msgs_.texts().isEmpty() && !isDbOpen(2));
    calc(2, "Ｊ東京", 1600, 95.0f);
    EXPECT_FALSE(isDbOpen(2));
    debugMode = true;
    EXPECT_THROW(calcUSisuuJra(1, 2), VbError);
    debugMode = false;
    EXPECT_FALSE(isDbOpen(2));
    QFile::remove(jra);
    pd.jraGraphOn = true;
    calc(1, "Ｊ中山", 1600, 95.0f);
    EXPECT_EQ(msgs_.texts(), (QStringList {kError, "dataファイルが開けません\n" + jra + "\nファイルがありません", kError}));
    EXPECT_FALSE(isDbOpen(2) || pd.jraGraphOn);  // no more central runs asked of a file that cannot be opened
}

// No variant: b = 0, no flag. No "ave" time, or time or distance 0: index 0, never inf or NaN. A Null
// value or a closed slot is the index error and the run keeps what it held.
TEST_F(SpeedIndex, MissingBrokenOrNullRows)
{
    for (const auto& [kyori, time, cls] :
         {std::tuple(1500, 90.0f, "ave"), {1600, 100.0f, "B1"}, {1200, 0.0f, "ave"}, {0, 90.0f, "ave"}})
        addTrack(1, "大'井", std::nullopt, kyori, time, cls);
    const auto [noVariant, noVariant3f, flag] = calc(1, "大'井", 1500, 89.5f);
    EXPECT_EQ(std::pair(noVariant, flag), std::pair(55.0f, 0.0f));
    for (const int kyori : {1600, 1200, 0})
        EXPECT_EQ(calc(2, "大'井", kyori, 75.0f), Result(0.0f, 33.0f, 0.0f)) << kyori;
    addTrack(1, "大井", DbValue(), 1500, 90.0f);
    addTrack(1, "川崎", 0.5f, 1500, DbValue());
    EXPECT_EQ(calc(1, "大井", 1500, 89.5f), Result(44.0f, 33.0f, 9.0f));
    EXPECT_EQ(calc(2, "川崎", 1500, 89.5f), Result(44.0f, 33.0f, 0.5f));
    closeDb(1);
    EXPECT_EQ(calc(3, "大井", 1500, 89.5f), Result(44.0f, 33.0f, 9.0f));
    EXPECT_EQ(msgs_.texts(), QStringList(3, kError));
}

// Inside the memo a lookup is answered as first read, file by file; after it ends the file is read
// again. 1 s slower standard time = 10 x 1500 / 1200 = 12.5 points.
TEST_F(SpeedIndex, LookupMemoRemembersPerFileUntilItEnds)
{
    addTrack(1, "大井", 1.0f, 1200, 75.0f);
    const QString tracks = dir_.filePath("Strevin_data.dat"), copy = dir_.filePath("copy.dat");
    closeDb(1);
    ASSERT_TRUE(QFile::copy(tracks, copy));
    openDb(1, tracks, dbPassword);
    openDb(2, copy, dbPassword);
    slotConnection(2).execute("UPDATE T_avetime SET A_time = 77");
    const auto index = [](int slot) {
        IndexedRun run {kDay, "大井", 0, 1200, 74.0f, 37.0f, 55.0f};
        computeLocalIndex(run, slot);
        return run.sisuu;
    };
    const float first = index(1);
    {
        const TrackLookupMemo memo;
        index(1);
        slotConnection(1).execute("UPDATE T_avetime SET A_time = 76");
        EXPECT_EQ(std::pair(index(1), index(2) - first), std::pair(first, 25.0f));
    }
    EXPECT_FLOAT_EQ(index(1) - first, 12.5f);
}
