#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <gtest/gtest.h>

namespace {

const VbDate kDay = VbDate::fromYmd(2008, 3, 24);

// A track information file with one variant and one standard time.
class SpeedIndex : public ::testing::Test {
protected:
    void SetUp() override
    {
        redimUma(18, 10);
        path_ = dir_.createStrevinData();
        openDb(1, path_, dbPassword);
    }
    void TearDown() override { closeDb(1); }

    void addVariant(const QString& zyo, int siba, float sisuu, VbDate date = kDay)
    {
        insertRow(1, "T_sisuu",
                  DbRow().set("S_date", date).set("S_zyo", zyo).set("S_siba", siba).set("S_sisuu", sisuu));
    }
    void addStandard(const QString& zyo, int kyori, int siba, float time, int sinKyu = 1,
                     const QString& cls = "ave")
    {
        insertRow(1, "T_avetime",
                  DbRow().set("A_zyo", zyo).set("A_kyori", kyori).set("A_class", cls).set("A_sin_kyu", sinKyu)
                      .set("A_siba", siba).set("A_time", time));
    }
    static void setRun(int h, int r, const QString& zyo, int kyori, float time, float f3, float hutan)
    {
        pd.uDate(h, r) = kDay;
        pd.uZyo(h, r) = zyo;
        pd.uSiba(h, r) = 0;
        pd.uKyori(h, r) = kyori;
        pd.uTime(h, r) = time;
        pd.u3f(h, r) = f3;
        pd.uHutan(h, r) = hutan;
    }

    TestAppDir dir_;
    QString path_;
    MsgBoxRecorder msgs_;
};

}

TEST_F(SpeedIndex, LocalWorkedExamples)
{
    addVariant("大井", 0, 0.5f);
    addStandard("大井", 1500, 0, 90.0f);
    setRun(1, 1, "大井", 1500, 89.5f, 38.0f, 56.0f);
    calcUSisuu(1, 1, 1);
    EXPECT_FLOAT_EQ(pd.uSisuu(1, 1), 61.0f);
    EXPECT_FLOAT_EQ(pd.uSisuu3f(1, 1), 42.35f);
    EXPECT_FLOAT_EQ(pd.uFile(1, 1), 0.5f);

    addVariant("川崎", 0, -0.4f);
    addStandard("川崎", 1800, 0, 120.0f);
    setRun(2, 3, "川崎", 1800, 121.2f, 39.0f, 54.0f);
    calcUSisuu(2, 3, 1);
    EXPECT_NEAR(pd.uSisuu(2, 3), 34.8f, 1e-4);
    EXPECT_NEAR(pd.uSisuu3f(2, 3), 66.31f, 0.005);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(SpeedIndex, MissingVariantOrStandardTime)
{
    addStandard("大井", 1500, 0, 90.0f);
    addStandard("大井", 1600, 0, 100.0f, 1, "B1");  // a class row is not the standard time
    addStandard("大井", 1200, 0, 0.0f);            // broken rows: no index rather than inf or NaN
    addStandard("大井", 0, 0, 90.0f);
    // No variant for the day: b = 0 and no variant flag.
    setRun(1, 1, "大井", 1500, 89.5f, 38.0f, 55.0f);
    pd.uFile(1, 1) = 9;
    calcUSisuu(1, 1, 1);
    EXPECT_FLOAT_EQ(pd.uSisuu(1, 1), 55.0f);
    EXPECT_FLOAT_EQ(pd.uFile(1, 1), 0.0f);

    // No "ave" standard time: index 0, the last-3F index keeps what it held.
    setRun(1, 2, "大井", 1600, 99.0f, 38.0f, 55.0f);
    pd.uSisuu(1, 2) = 44;
    pd.uSisuu3f(1, 2) = 33;
    calcUSisuu(1, 2, 1);
    EXPECT_EQ(pd.uSisuu(1, 2), 0.0f);
    EXPECT_EQ(pd.uSisuu3f(1, 2), 33.0f);

    for (const int kyori : {1200, 0}) {
        setRun(1, 3, "大井", kyori, 75.0f, 38.0f, 55.0f);
        pd.uSisuu3f(1, 3) = 33;
        calcUSisuu(1, 3, 1);
        EXPECT_EQ(pd.uSisuu(1, 3), 0.0f) << kyori;
        EXPECT_EQ(pd.uSisuu3f(1, 3), 33.0f) << kyori;
    }

    // Did not finish: the index keeps its value even with a standard time.
    setRun(1, 4, "大井", 1500, 0.0f, 0.0f, 55.0f);
    pd.uSisuu(1, 4) = 12;
    calcUSisuu(1, 4, 1);
    EXPECT_EQ(pd.uSisuu(1, 4), 12.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

// A Null variant or standard time is the index error; the run keeps what it held at that moment.
TEST_F(SpeedIndex, NullValuesShowTheIndexErrorAndKeepTheRun)
{
    insertRow(1, "T_sisuu", DbRow().set("S_date", kDay).set("S_zyo", "大井").set("S_siba", 0).set("S_sisuu", DbValue()));
    addStandard("大井", 1500, 0, 90.0f);
    setRun(1, 1, "大井", 1500, 89.5f, 38.0f, 55.0f);
    pd.uSisuu(1, 1) = 44;
    pd.uSisuu3f(1, 1) = 33;
    pd.uFile(1, 1) = 0.7f;
    calcUSisuu(1, 1, 1);
    EXPECT_EQ(msgs_.texts(), QStringList {"U_sisuu算出エラー(err-BA06)"});
    EXPECT_EQ(pd.uSisuu(1, 1), 44.0f);
    EXPECT_EQ(pd.uSisuu3f(1, 1), 33.0f);
    EXPECT_EQ(pd.uFile(1, 1), 0.7f);

    addVariant("川崎", 0, 0.5f);
    insertRow(1, "T_avetime", DbRow().set("A_zyo", "川崎").set("A_kyori", 1500).set("A_class", "ave")
                                  .set("A_sin_kyu", 1).set("A_siba", 0).set("A_time", DbValue()));
    setRun(1, 2, "川崎", 1500, 89.5f, 38.0f, 55.0f);
    pd.uSisuu(1, 2) = 44;
    calcUSisuu(1, 2, 1);
    EXPECT_EQ(msgs_.texts().size(), 2);
    EXPECT_EQ(pd.uSisuu(1, 2), 44.0f);
    EXPECT_EQ(pd.uFile(1, 2), 0.5f);
}

TEST_F(SpeedIndex, TrackNameWithQuoteIsJustText)
{
    addStandard("大'井", 1500, 0, 90.0f);
    setRun(1, 1, "大'井", 1500, 89.5f, 0.0f, 55.0f);
    calcUSisuu(1, 1, 1);
    EXPECT_FLOAT_EQ(pd.uSisuu(1, 1), 55.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(SpeedIndex, ClosedSlotShowsTheIndexErrorOnce)
{
    closeDb(1);
    setRun(1, 1, "大井", 1500, 89.5f, 38.0f, 55.0f);
    pd.uSisuu(1, 1) = 7;
    calcUSisuu(1, 1, 1);
    EXPECT_EQ(msgs_.texts(), QStringList {"U_sisuu算出エラー(err-BA06)"});
    EXPECT_EQ(pd.uSisuu(1, 1), 7.0f);
}

TEST_F(SpeedIndex, CentralRunsUseTheCentralFileAndAlwaysCloseSlot2)
{
    const QString jra = dir_.createJraGraph();
    openDb(2, jra, dbPassword);
    insertRow(2, "T_sisuu", DbRow().set("S_date", kDay).set("S_zyo", "06").set("S_siba", 0).set("S_sisuu", 0.3f));
    insertRow(2, "T_avetime",
              DbRow().set("A_zyo", "06").set("A_kyori", 1600).set("A_class", "ave").set("A_sin_kyu", 0)
                  .set("A_siba", 0).set("A_time", 96.0f));
    closeDb(2);

    setRun(3, 1, "Ｊ中山", 1600, 95.0f, 35.5f, 57.0f);
    calcUSisuuJra(3, 1);
    EXPECT_FLOAT_EQ(pd.uSisuu(3, 1), 99.0f);
    EXPECT_NEAR(pd.uSisuu3f(3, 1), 81.8f, 1e-4);
    EXPECT_FALSE(isDbOpen(2));

    // A central name missing from the code table finds no standard time.
    setRun(3, 2, "Ｊ大井", 1600, 95.0f, 35.5f, 57.0f);
    calcUSisuuJra(3, 2);
    EXPECT_EQ(pd.uSisuu(3, 2), 0.0f);
    EXPECT_TRUE(msgs_.texts().isEmpty());

    // An error after the open, trapped or (in debug mode) passed on, still closes slot 2.
    openDb(2, jra, dbPassword);
    insertRow(2, "T_avetime",
              DbRow().set("A_zyo", "05").set("A_kyori", 1600).set("A_class", "ave").set("A_sin_kyu", 0)
                  .set("A_siba", 0).set("A_time", DbValue()));
    closeDb(2);
    setRun(3, 3, "Ｊ東京", 1600, 95.0f, 35.5f, 57.0f);
    calcUSisuuJra(3, 3);
    EXPECT_EQ(msgs_.texts(), QStringList {"U_sisuu算出エラー(err-BA06)"});
    EXPECT_FALSE(isDbOpen(2));
    debugMode = true;
    EXPECT_THROW(calcUSisuuJra(3, 3), VbError);
    debugMode = false;
    EXPECT_FALSE(isDbOpen(2));
    msgs_.clear();

    // Without the central file: the open's message, then the index error; slot 2 stays closed.
    QFile::remove(jra);
    calcUSisuuJra(3, 1);
    EXPECT_EQ(msgs_.texts(), (QStringList {"dataファイルが開けません", "U_sisuu算出エラー(err-BA06)"}));
    EXPECT_FALSE(isDbOpen(2));
}
