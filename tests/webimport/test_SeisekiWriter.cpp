#include "core/publicDim.h"
#include "tests/webimport/seisekiFixture.h"
#include "webimport/ReadWebSeiseki.h"

namespace {

constexpr VbDate kDay(39531);  // 2008-03-24
const QString kCode = QStringLiteral("大井08032411");

class SeisekiWriter : public SeisekiFolder {
protected:
    void SetUp() override
    {
        SeisekiFolder::SetUp();
        openWriterSlots();
    }

    void addTrackInfo()
    {
        insertRow(1, "T_sisuu", DbRow().set("S_date", kDay).set("S_zyo", "大井").set("S_siba", 0).set("S_sisuu", 0.5));
        insertRow(1, "T_avetime",
                  DbRow().set("A_zyo", "大井").set("A_kyori", 1600).set("A_class", "ave").set("A_sin_kyu", 1)
                      .set("A_siba", 0).set("A_time", 102.0));
    }

    static bool save(const QByteArray& page)
    {
        cutPage(page);
        SeisekiRace race;
        EXPECT_TRUE(parseSeiseki(race));
        return saveSeiseki(race);
    }

    static RecordSet raceRow(const QString& code = kCode)
    {
        return RecordSet(2, "SELECT * FROM T_Rdata WHERE R_code = ?", {code});
    }

    static RecordSet runnerRow(const QString& name, const QString& code = kCode)
    {
        return RecordSet(2, "SELECT * FROM T_Useiseki WHERE R_code = ? AND U_name = ?", {code, name});
    }
};

}

TEST_F(SeisekiWriter, StoresTheRaceAndEveryRunner)
{
    addTrackInfo();
    ASSERT_TRUE(save(seisekiPage("seiseki_normal.htm")));

    RecordSet r = raceRow();
    ASSERT_FALSE(r.eof());
    EXPECT_EQ(r["R_zyo"].toString(), "大井");
    EXPECT_EQ(r["R_zyo02"].toString(), "南関");
    EXPECT_EQ(r["R_date"].toDate(), kDay);
    EXPECT_EQ(r["R_no"].toInt(), 11);
    EXPECT_EQ(r["R_baba"].toInt(), 2);
    EXPECT_EQ(r["R_kyori"].toInt(), 1600);
    EXPECT_EQ(r["R_name"].toString(), "Ｃ２六組特別");
    EXPECT_EQ(r["R_class"].toString(), "Ｃ２");
    EXPECT_EQ(r["R_tousuu"].toInt(), 12);
    EXPECT_NEAR(r["R_time"].toFloat(), 102.33, 1e-4);
    EXPECT_EQ(r["R_syurui"].toInt(), 1);
    EXPECT_EQ(r["R_siba"].toInt(), 0);
    EXPECT_EQ(r["R_tansyo"].toInt(), 380);
    EXPECT_EQ(r["R_umahuku"].toInt(), 520);
    EXPECT_EQ(r["R_umatan"].toInt(), 1230);
    EXPECT_EQ(r["R_3huku"].toInt(), 1870);
    EXPECT_EQ(r["R_3tan"].toInt(), 12340);
    EXPECT_EQ((std::array {r["R_cyaku(1)"].toInt(), r["R_cyaku(2)"].toInt(), r["R_cyaku(3)"].toInt()}),
              (std::array {5, 3, 1}));
    EXPECT_EQ(r["R_hukusyo(3)"].toInt(), 290);
    EXPECT_EQ(r["R_wide(2)"].toInt(), 640);
    EXPECT_EQ(r["R_ninki(1)"].toInt(), 3);
    EXPECT_EQ(r["R_ninki(2)"].toInt(), 5);
    EXPECT_EQ(r["R_ninki(12)"].toInt(), 10);
    EXPECT_EQ(r["R_flag"].toString(), "Seiseki");
    EXPECT_EQ(count(2, "SELECT COUNT(*) FROM T_Useiseki WHERE R_code = ?", {kCode}), 12);

    RecordSet winner = runnerRow("サンプルホース");
    ASSERT_FALSE(winner.eof());
    EXPECT_EQ(winner["U_no"].toInt(), 5);
    EXPECT_EQ(winner["U_waku"].toInt(), 4);
    EXPECT_EQ(winner["U_cyaku"].toInt(), 1);
    EXPECT_FLOAT_EQ(winner["U_time"].toFloat(), 101.3f);
    EXPECT_NEAR(winner["U_cyakusa"].toFloat(), -0.2, 1e-4);
    EXPECT_EQ(winner["U_kisyu"].toString(), "山田太");
    EXPECT_EQ(winner["U_taizyu"].toInt(), 480);
    EXPECT_EQ(winner["U_syozoku"].toString(), "大井");
    EXPECT_EQ(winner["U_cyoukyou"].toString(), "井上一");
    EXPECT_EQ(winner["U_ninki"].toInt(), 2);
    EXPECT_EQ((std::array {winner["U_tuka01"].toInt(), winner["U_tuka02"].toInt(), winner["U_tuka03"].toInt(),
                           winner["U_tuka04"].toInt()}),
              (std::array {2, 2, 1, 1}));
    EXPECT_EQ(winner["U_kyakusitu"].toString(), "逃");
    // Standard time 102.0 over 1600 m, variant +0.5, 1 kg above 55.
    EXPECT_NEAR(winner["U_sisuu"].toFloat(), 62.629, 1e-3);
    EXPECT_NEAR(winner["U_sisuu3f"].toFloat(), 60.030, 1e-3);
    EXPECT_TRUE(winner["U_file"].toBool());

    EXPECT_EQ(runnerRow("テストラン")["U_kyakusitu"].toString(), "先");
    EXPECT_EQ(runnerRow("クモノウエ")["U_kyakusitu"].toString(), "差");
    RecordSet last = runnerRow("ハルカゼ");
    EXPECT_EQ(last["U_kyakusitu"].toString(), "追");
    EXPECT_NEAR(last["U_cyakusa"].toFloat(), 3.7, 1e-4);
    EXPECT_EQ(runnerRow("オーシャンズ'ワン")["U_cyaku"].toInt(), 2);
    EXPECT_TRUE(msgs_.texts().isEmpty()) << msgs_.texts().join("|").toStdString();
}

TEST_F(SeisekiWriter, ImportingAgainUpdatesInPlaceAndKeepsOtherColumns)
{
    // The history import stored this race and runner first, with a variant flag since withdrawn.
    insertRow(2, "T_Rdata", DbRow().set("R_code", kCode).set("R_zyo", "大井").set("R_date", kDay).set("R_sisuu", 1.5));
    insertRow(2, "T_Useiseki",
              DbRow().set("R_code", kCode).set("U_name", "ハルカゼ").set("U_chichi", "チチウマ").set("U_zougen", -2)
                  .set("U_file", true).set("U_sisuu", 70.0));
    ASSERT_TRUE(save(seisekiPage("seiseki_normal.htm")));
    ASSERT_TRUE(save(pageWith(seisekiPage("seiseki_normal.htm"), "1:45:0", "1:44:9")));

    EXPECT_EQ(count(2, "SELECT COUNT(*) FROM T_Rdata"), 1);
    EXPECT_EQ(count(2, "SELECT COUNT(*) FROM T_Useiseki"), 12);
    RecordSet r = raceRow();
    EXPECT_EQ(r["R_flag"].toString(), "Seiseki");
    EXPECT_FLOAT_EQ(r["R_sisuu"].toFloat(), 1.5f);
    RecordSet u = runnerRow("ハルカゼ");
    EXPECT_FLOAT_EQ(u["U_time"].toFloat(), 104.9f);
    EXPECT_EQ(u["U_chichi"].toString(), "チチウマ");
    EXPECT_EQ(u["U_zougen"].toInt(), -2);
    EXPECT_FALSE(u["U_file"].toBool());
    EXPECT_FLOAT_EQ(u["U_sisuu"].toFloat(), 0.0f);  // no standard time for the course
}

TEST_F(SeisekiWriter, MarginsWithDeadHeatsAndRunnersWithoutPlace)
{
    ASSERT_TRUE(save(seisekiPage("seiseki_deadheat.htm")));
    // Nobody was placed second: the winners have no lead to show.
    EXPECT_FLOAT_EQ(runnerRow("ドウチャクエー", "川崎08032505")["U_cyakusa"].toFloat(), 0.0f);
    EXPECT_FLOAT_EQ(runnerRow("ドウチャクビー", "川崎08032505")["U_cyakusa"].toFloat(), 0.0f);
    EXPECT_NEAR(runnerRow("サンバンテ", "川崎08032505")["U_cyakusa"].toFloat(), 0.3, 1e-4);
    EXPECT_EQ(raceRow("川崎08032505")["R_cyaku(2)"].toInt(), 0);

    ASSERT_TRUE(save(seisekiPage("seiseki_scratch.htm")));
    for (const char* name : {"トリケシボシ", "チュウシボシ"}) {
        RecordSet u = runnerRow(name, "船橋08032603");
        ASSERT_FALSE(u.eof()) << name;
        EXPECT_EQ(u["U_cyaku"].toInt(), 0);
        EXPECT_FLOAT_EQ(u["U_cyakusa"].toFloat(), 0.0f);
        EXPECT_FLOAT_EQ(u["U_time"].toFloat(), 0.0f);
    }
    EXPECT_EQ(raceRow("船橋08032603")["R_tousuu"].toInt(), 10);
}

TEST_F(SeisekiWriter, RaceNameIsCutTo100Characters)
{
    const QString longName = QString(150, QChar(u'長'));
    ASSERT_TRUE(save(pageWith(seisekiPage("seiseki_normal.htm"), "Ｃ２六組特別", longName)));
    EXPECT_EQ(raceRow()["R_name"].toString(), longName.left(100));
}

TEST_F(SeisekiWriter, AFailedWriteLeavesNothingOfThatRace)
{
    ASSERT_TRUE(save(seisekiPage("seiseki_deadheat.htm")));
    slotConnection(2).execute("CREATE TRIGGER refuse BEFORE INSERT ON T_Useiseki WHEN NEW.U_name = 'ハルカゼ' "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(save(seisekiPage("seiseki_normal.htm")));
    EXPECT_EQ(msgs_.texts(), QStringList {"成績data書込みエラー"});
    EXPECT_TRUE(raceRow().eof());
    EXPECT_EQ(count(2, "SELECT COUNT(*) FROM T_Useiseki WHERE R_code = ?", {kCode}), 0);
    EXPECT_EQ(count(2, "SELECT COUNT(*) FROM T_Useiseki WHERE R_code = ?", {"川崎08032505"}), 8);
}

TEST_F(SeisekiWriter, PageOutcomesAndTheRaceOnScreen)
{
    // The race on screen: header, run table and loop state that the import must not touch.
    redimUma(18, 150);
    pd.kakoMax = 150;
    pd.umaIdx = 3;
    pd.tousuu = 9;
    pd.raceZyo = "浦和";
    pd.raceCode = "浦和08032011";
    pd.raceClass = "Ａ１";
    pd.uName(5) = "ガメンノウマ";
    pd.uTime(5, 0) = 70.5f;
    pd.uTuka(5, 2, 4) = 7;
    pd.uKyakusitu(2, 3) = "先";
    pd.uSisuu(4, 120) = 55.0f;

    server_.addPage(resultsPath("20", kDay, 11), seisekiPage("seiseki_normal.htm"));
    server_.addPage(resultsPath("20", kDay, 12), seisekiPage("seiseki_none.htm"));
    const QString base = webServerUrl();
    EXPECT_EQ(readSeisekiPage(base + resultsPath("20", kDay, 12)), SeisekiPage::NotResults);
    EXPECT_EQ(readSeisekiPage(base + resultsPath("20", kDay, 10)), SeisekiPage::NotResults);  // 404
    setVbToday(kDay);
    EXPECT_EQ(readSeisekiPage(base + resultsPath("20", kDay, 11)), SeisekiPage::DatedToday);
    EXPECT_TRUE(raceRow().eof());
    setVbToday(kDay.addDays(1));
    EXPECT_EQ(readSeisekiPage(base + resultsPath("20", kDay, 11)), SeisekiPage::Saved);
    setVbToday(VbDate());
    EXPECT_FALSE(raceRow().eof());

    EXPECT_EQ(pd.kakoMax, 150);
    EXPECT_EQ(pd.umaIdx, 3);
    EXPECT_EQ(pd.tousuu, 9);
    EXPECT_EQ(pd.raceZyo, "浦和");
    EXPECT_EQ(pd.raceCode, "浦和08032011");
    EXPECT_EQ(pd.raceClass, "Ａ１");
    EXPECT_EQ(pd.uName.ubound(), 18);
    EXPECT_EQ(pd.uTime.ubound(2), 150);
    EXPECT_EQ(pd.uTuka.ubound(3), 150);
    EXPECT_EQ(pd.uName(5), "ガメンノウマ");
    EXPECT_FLOAT_EQ(pd.uTime(5, 0), 70.5f);
    EXPECT_EQ(pd.uTuka(5, 2, 4), 7);
    EXPECT_EQ(pd.uKyakusitu(2, 3), "先");
    EXPECT_FLOAT_EQ(pd.uSisuu(4, 120), 55.0f);
    EXPECT_EQ(pd.uKyakusitu(5, 0), "");
    EXPECT_TRUE(msgs_.texts().isEmpty()) << msgs_.texts().join("|").toStdString();
}

TEST_F(SeisekiWriter, ASpeedIndexFailureIsReportedWithTheRaceOnScreenInPlace)
{
    redimUma(18, 150);
    pd.tousuu = 9;
    pd.uTime(5, 0) = 70.5f;
    slotConnection(1).execute("DROP TABLE T_avetime");
    // A message box runs the message loop: whatever other windows do then must find their own race.
    QList<int> runsSeen;
    msgs_.setAnswerer([&](const QString&) {
        runsSeen << pd.uTime.ubound(2);
        return vbOK;
    });
    ASSERT_TRUE(save(seisekiPage("seiseki_normal.htm")));
    EXPECT_EQ(msgs_.texts(), QStringList(12, "U_sisuu算出エラー(err-BA06)"));
    EXPECT_EQ(runsSeen, QList<int>(12, 150));
    // The runners are stored all the same, without an index.
    EXPECT_EQ(count(2, "SELECT COUNT(*) FROM T_Useiseki WHERE R_code = ? AND U_sisuu = 0", {kCode}), 12);
    EXPECT_EQ(runnerRow("サンプルホース")["U_kyakusitu"].toString(), "逃");
    EXPECT_EQ(pd.tousuu, 9);
    EXPECT_FLOAT_EQ(pd.uTime(5, 0), 70.5f);
}

TEST_F(SeisekiWriter, InDebugModeTheErrorPassesAndTheRaceOnScreenComesBack)
{
    redimUma(18, 150);
    pd.tousuu = 9;
    pd.uTuka(5, 2, 0) = 7;
    slotConnection(1).execute("DROP TABLE T_avetime");
    cutPage(seisekiPage("seiseki_normal.htm"));
    SeisekiRace race;
    ASSERT_TRUE(parseSeiseki(race));
    debugMode = true;
    EXPECT_THROW(saveSeiseki(race), VbError);
    debugMode = false;
    EXPECT_EQ(pd.tousuu, 9);
    EXPECT_EQ(pd.uTuka.ubound(3), 150);
    EXPECT_EQ(pd.uTuka(5, 2, 0), 7);
    EXPECT_EQ(race.tousuu, 12);
    EXPECT_TRUE(raceRow().eof());
    EXPECT_TRUE(msgs_.texts().isEmpty());
}
