#include "platform/vbformat.h"
#include "tests/webimport/seisekiFixture.h"

#include <QWidget>
#include <limits>

namespace {

const QString horsePage = "/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=2004100001";
const QString aveInsert = "INSERT INTO T_avetime (A_class, A_zyo, A_kyori, A_siba, A_time, A_sin_kyu) VALUES ";

struct HorseHistory : WebImportTest {
    void SetUp() override
    {
        WebImportTest::SetUp();
        execute("Strevin_data.dat", aveInsert + "('ave', ?, ?, 0, ?, 1), ('ave', ?, ?, 0, ?, 1)", {"大井", 1200, 75.0, "大井", 1400, 88.0});
        // A variant of exactly 0 is a variant: the run's U_file is True, as with 0.5.
        execute("Strevin_data.dat", "INSERT INTO T_sisuu (S_date, S_zyo, S_siba, S_sisuu) VALUES (?, '大井', 0, 0.5), (?, '大井', 0, 0)",
                {VbDate::fromYmd(2008, 2, 10), VbDate::fromYmd(2008, 3, 1)});
        clearRace();
        pd.uDate(1, 0) = pd.raceDate = VbDate::fromYmd(2008, 3, 24);
        // With the card's corners of the latest run.
        std::tie(pd.kakoKikan, pd.jraGraphOn, pd.tousuu, pd.umaIdx, pd.uName(1), pd.uChichi(1), pd.uTaizyu(1, 0), pd.uTuka(1, 1, 1),
                 pd.uTuka(1, 2, 1), pd.uTuka(1, 3, 1), pd.uTuka(1, 4, 1), pd.uKyakusitu(1, 1)) =
            std::tuple {730, false, 12, 1, "ミスター'ズ", "父馬01", 478, 3, 3, 2, 1, "先"};
    }

    bool readHistory(const QString& file) { server.addFile(horsePage, file); return readUmaRirekiPage(url(horsePage)); }
    static std::string count(const char* table) { return stored(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)); }
    // Reads the page at path for a race of 2008/03/24 looking back kikan days: "runs read:date of the oldest".
    QString oldestRead(const QString& path, int kikan)
    {
        clearRace();
        std::tie(pd.raceDate, pd.kakoKikan, pd.umaIdx, pd.uName(1)) = std::tuple(VbDate::fromYmd(2008, 3, 24), kikan, 1, "ハヤテ");
        EXPECT_TRUE(readUmaRirekiPage(url(path)));
        int n = 0;
        while (!pd.uDate(1, n + 1).isZero())
            ++n;
        return QString::number(n) + ":" + pd.uDate(1, n).toDbText();
    }
};

// Runs of the race day itself and of 731 days back and older stay out; "&nbsp;1200" is dirt, "障3000" neither distance nor
// surface, a scratched run has no place, field or time.
TEST_F(HorseHistory, RunsOfTheWindowLandCellByCellASecondReadStoresNothingALongHistoryGrowsTheTable)
{
    appDir.createJraGraph();
    execute("jraGraph.dat", aveInsert + "('ave', ?, ?, 1, ?, 0)", {"06", 1800, 110.0});
    pd.jraGraphOn = true;
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    std::string runs;
    for (int r = 1; r <= 6; ++r)
        runs += joined(pd.uDate(1, r), pd.uZyo(1, r), pd.uChiku(1, r), pd.uRaceNo(1, r), pd.uRname(1, r), pd.uKyori(1, r),
                       pd.uSiba(1, r), pd.uBaba(1, r), pd.uWaku(1, r), pd.uNo(1, r), pd.uNinki(1, r), pd.uCyaku(1, r),
                       pd.uTousuu(1, r), pd.uTime(1, r), pd.uCyakusa(1, r), pd.u3f(1, r), pd.uTaizyu(1, r), pd.uKisyu(1, r),
                       pd.uHutan(1, r), pd.uCyoukyou(1, r), pd.uKankaku(1, r), pd.uZougen(1, r)) + "\n";
    EXPECT_EQ(runs,
              "2008-03-01|大井|南関|9|Ｃ２五組|1400|0|2|7|10|3|1|11|88.6|-0.2|38|476|鈴木一|56|松本|20|4\n"
              "2008-02-10|大井|南関|11|Ｃ２六組|1200|0|1|3|5|2|3|12|74.2|0.4|38.5|472|山田太|56|松本|43|6\n"
              "2007-12-29|川崎|南関|10|障害特別|0|0|3|6|11|2|2|12|200|0.3|40|466|山田太|56|松本|56|-2\n"
              "2007-11-03|大井|南関|8|取消の競走|1600|0|1|5|9|0|0|0|0|0|0|468|山田太|56|松本|49|2\n"
              "2007-09-15|Ｊ中山|Ｊ|7|ＪＲＡ交流|1800|1|2|4|7|9|4|16|110.3|0.9|35.5|466|高橋三|57|松本|105|0\n"
              "2007-06-02|浦和|南関|3|３歳特別|800|0|4|2|3|4|5|10|49.8|1.2|36.1|0|佐藤次|54|松本|0|0\n");
    EXPECT_EQ(joined(pd.uDate(1, 7), pd.kakoMax, pd.uKankaku(1, 0), pd.uZougen(1, 0), pd.uFile(1, 1), pd.uFile(1, 2), shown()),
              "1899-12-30|150|23|0|0|0.5|");
    // Every run with a time got its index here (川崎 and 浦和 have no standard time: 0), so the index pass leaves them;
    // the scratched run has none to get.
    EXPECT_EQ(joined(int(pd.uIndexed(1, 1)), int(pd.uIndexed(1, 2)), int(pd.uIndexed(1, 3)), int(pd.uIndexed(1, 4)),
                     int(pd.uIndexed(1, 5)), int(pd.uIndexed(1, 6))),
              "1|1|1|0|1|1");
    EXPECT_EQ(stored("SELECT R_code, R_baba, R_kyori, R_name, R_siba, R_flag FROM T_Rdata ORDER BY R_date"),
              "浦和07060203|4|800|３歳特別|0|\nＪ中山07091507|2|1800|ＪＲＡ交流|1|\n大井07110308|1|1600|取消の競走|0|\n"
              "川崎07122910|3|0|障害特別|0|\n大井08021011|1|1200|Ｃ２六組|0|\n大井08030109|2|1400|Ｃ２五組|0|");
    // Indices: 1400 standard 88.0, 56 kg (44.5048, 57.2654); 1200, 75.0, variant +0.5 (65.8, 49.78); "Ｊ中山" from the central
    // file, 110.0 (83.5833, 86.0579). No change or interval for the oldest run nor change after a run without weight: Null.
    EXPECT_EQ(stored("SELECT DISTINCT U_name, U_chichi, U_tuka01 FROM T_Useiseki"), "ミスター'ズ|父馬01|0");
    EXPECT_EQ(stored("SELECT U_no, U_waku, U_cyaku, U_time, U_taizyu, U_zougen, U_cyakusa, U_kisyu, U_hutan, U_3f, ROUND(U_sisuu, 2), "
                     "ROUND(U_sisuu3f, 2), U_file, U_kankaku FROM T_Useiseki JOIN T_Rdata USING (R_code) ORDER BY R_date"),
              "3|2|5|49.8|0||1.2|佐藤次|54|36.1|0|0|0|\n7|4|4|110.3|466||0.9|高橋三|57|35.5|83.58|86.06|0|105\n"
              "9|5|0|0|468|2|0|山田太|56|0|0|0|0|49\n11|6|2|200|466|-2|0.3|山田太|56|40|0|0|0|56\n"
              "5|3|3|74.2|472|6|0.4|山田太|56|38.5|65.8|49.78|1|43\n10|7|1|88.6|476|4|-0.2|鈴木一|56|38|44.5|57.27|1|20");

    // Stored corners replace the card's only when one is non-zero (results have them, history rows none); a second read of the
    // stored horse changes nothing.
    execute("NAR_data.dat", "UPDATE T_Useiseki SET U_tuka01 = 5, U_tuka02 = 4, U_tuka03 = 3, U_tuka04 = 2, U_kyakusitu = '差' "
                            "WHERE R_code = '大井08021011'");
    const auto before = stored("SELECT * FROM T_Rdata JOIN T_Useiseki USING (R_code) ORDER BY R_code");
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_EQ(stored("SELECT * FROM T_Rdata JOIN T_Useiseki USING (R_code) ORDER BY R_code"), before);
    EXPECT_EQ(joined(pastRun(1, 1), pastRun(1, 2), count("T_Rdata"), count("T_Useiseki"), shown()), "3|3|2|1|先|5|4|3|2|差|6|6|");

    pd.kakoKikan = 5000;
    ASSERT_TRUE(readHistory("horse_long.htm"));
    EXPECT_EQ(joined(pd.kakoMax, pd.uDate(1, 160), pd.uRname(1, 1), pd.uKankaku(1, 159)), "160|1996-01-10|競走160|25");
    EXPECT_EQ(joined(pd.uName(1), pastRun(1, 1), count("T_Useiseki"), shown()), "ミスター'ズ|3|3|2|1|先|106|");
    EXPECT_EQ(stored("SELECT COUNT(*), MIN(R_name) FROM T_Rdata WHERE R_name LIKE '競走%'"), "100|競走061");
}

// A run row short of cells (the page ended inside it) makes a cut page: nothing of it is taken or stored, the page named. A
// run without track or race number is not stored; a bad cell costs its row from there, named by its place. Batch mode stores
// nothing but computes the weight change; without the database the runs are read, the user told once.
TEST_F(HorseHistory, BadPagesBatchModeAndAMissingDatabase)
{
    ASSERT_TRUE(readHistory("horse_none.htm"));
    const QByteArray mixed = samplePage("horse_mixed.htm");
    server.addPage("/short", pageWith(mixed, "<td>476</td><td>鈴木一郎</td><td>56.0</td><td>松本</td>", "<td>476</td><td>鈴木一</td>"));
    EXPECT_FALSE(readUmaRirekiPage(url("/short")));
    EXPECT_EQ(joined(pd.uDate(1, 1), count("T_Rdata"), server.requestCount("/short"), webLoadFailure.text()),
              joined(VbDate(), 0, 3, "ページ " + url("/short") + " が途中で切れています"));
    QByteArray page = mixed;
    for (const auto& [from, to] : {std::pair {"<td>2008/02/10</td><td>大井</td>", "<td>2008/02/10</td><td>　</td>"},
                                   {"<td>川崎</td><td>10</td>", "<td>川崎</td><td>十</td>"}, {"<td>4/16</td>", "<td>x/16</td>"}})
        page = pageWith(page, from, to);
    server.addPage("/bad", page, "text/html; charset=Shift_JIS");
    ASSERT_TRUE(readUmaRirekiPage(url("/bad")));
    EXPECT_EQ(joined(pd.uDate(1, 1), pd.uDate(1, 2), pd.uZyo(1, 2), pd.uRaceNo(1, 2), pd.uDate(1, 3), pd.uZyo(1, 3), pd.uRaceNo(1, 3),
                     pd.uNinki(1, 5), pd.uTime(1, 5), pd.uDate(1, 6)),
              "2008-03-01|2008-02-10||11|2007-12-29|川崎|0|9|0|2007-06-02");
    EXPECT_EQ(stored("SELECT R_code FROM T_Rdata ORDER BY R_date"), "浦和07060203\nＪ中山07091507\n大井07110308\n大井08030109");
    EXPECT_EQ(stored("SELECT R_code FROM T_Useiseki ORDER BY R_code"), "大井07110308\n大井08030109\n浦和07060203\nＪ中山07091507");
    ASSERT_TRUE(QFile::remove(appDir.filePath("NAR_data.dat")) && appDir.createNarData() != "");
    {
        QWidget kanri;
        kanri.setObjectName(QStringLiteral("frmKanri"));
        ASSERT_TRUE(readHistory("horse_none.htm"));
        ASSERT_TRUE(readHistory("horse_mixed.htm"));
        EXPECT_EQ(joined(count("T_Useiseki"), pd.uZougen(1, 1), pd.uKankaku(1, 1)), "0|4|20");
    }
    QFile::remove(appDir.filePath("NAR_data.dat"));
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_EQ(joined(pd.uTaizyu(1, 1), shown()), "476|出走履歴が見つかりません|U_data読込みエラー(err-BA04) 1 4|dataファイルが開けません\n"
                           + appDir.filePath("NAR_data.dat").toStdString() + "\nファイルがありません");
}

// The look-back setting counts whole days: a run exactly that many days before the race is out, one a day later is in, at
// 730 and at 365 (2008 has a 29 February).
TEST_F(HorseHistory, TheLookBackEndsExactlyItsNumberOfDaysBeforeTheRace)
{
    QStringList oldest;
    for (const int kikan : {730, 365}) {
        const VbDate raceDay = VbDate::fromYmd(2008, 3, 24);
        const QString out = Format(raceDay.addDays(-kikan), "yyyy/mm/dd"), in = Format(raceDay.addDays(1 - kikan), "yyyy/mm/dd");
        const QByteArray page = pageWith(pageWith(samplePage("horse_mixed.htm"), "<td>2006/03/20</td>", "<td>" + out + "</td>"),
                                         "<td>2006/03/24</td>", "<td>" + in + "</td>");
        server.addPage("/edge", page, "text/html; charset=Shift_JIS");
        oldest << oldestRead("/edge", kikan);
    }
    EXPECT_EQ(joined(oldest.join(' '), shown()), "7:2006-03-26 7:2007-03-26|");
}

// Any look-back setting is counted without overflow: the largest takes every run before the race day, none of zero or less takes
// any; a row dated in a year of five digits is no run.
TEST_F(HorseHistory, AnyLookBackIsCountedWithoutOverflow)
{
    server.addPage("/far", pageWith(samplePage("horse_mixed.htm"), "<td>2007/06/02</td>", "<td>99999/06/02</td>"), "text/html; charset=Shift_JIS");
    QStringList runs;
    for (const int kikan : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), -1, 0})
        runs << oldestRead("/far", kikan);
    EXPECT_EQ(joined(runs.join(' '), shown()), "7:2006-03-20 0:1899-12-30 0:1899-12-30 0:1899-12-30|");
}

}
