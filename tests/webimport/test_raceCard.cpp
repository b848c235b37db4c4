#include "tests/webimport/webImportFixture.h"

namespace {

const QString cardPath = "/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf?k_babaCode=20&k_raceNo=11&k_raceDate=2008%2F03%2F24";

struct RaceCard : WebImportTest {
    void SetUp() override { WebImportTest::SetUp(); clearRace(); }
    bool readCard(const QString& file) { server.addFile(cardPath, file); return readSyuxtubaPage(url(cardPath)); }
    static std::string header()
    {
        return joined(pd.raceCode, pd.raceZyo, pd.raceChiku, pd.raceDate, pd.raceNo, pd.raceSiba, pd.raceKyori, pd.raceBaba,
                      pd.raceSyurui, pd.raceName, pd.raceClass, pd.tousuu);
    }
    std::string runner(int k) const
    {
        return joined(pd.uWaku(k, 0), pd.uName(k), pd.uSeirei(k), pd.uChichi(k), pd.uHutan(k, 0), pd.uKisyu(k, 0), pd.uCyoukyou(k, 0),
                      pd.uTaizyu(k, 0), pd.uUrl(k).remove(url("/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=")));
    }
};

// A jockey change mark shifts weight and jockey (7); a scratched runner has no weight (9); 12-12-11-10 is judged against all 12.
// End tags change nothing. "Ａ" is tried before "Ｂ"; 12 <= 2 x 18 / 3. A cut card is no card: nothing of it is read, the page named.
TEST_F(RaceCard, CardsOf12And18RunnersFillTheHeaderAndTheRunTableCellByCell)
{
    server.addPage("/empty", QByteArray());
    EXPECT_FALSE(readCard("racecard_notcard.htm") || readSyuxtubaPage(url("/empty")));
    EXPECT_EQ(joined(pd.tousuu, pd.raceTitle, shown()), "0||");
    ASSERT_TRUE(readCard("racecard_12.htm"));
    EXPECT_EQ(joined(pd.raceTitle, header(), pd.umaIdx), "2008年3月24日（月）　大井　第11競走　ダート　1200ｍ　天候：晴　馬場：良|"
                                                         "大井08032411|大井|南関|2008-03-24|11|0|1200|1|1|Ｃ２六組特別|Ｃ２|12|19");
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(joined(pd.uDate(k, 0), pd.uZyo(k, 0), pd.uKyori(k, 0), pd.uRaceNo(k, 0)), "2008-03-24|大井|1200|11");
    EXPECT_EQ(runner(1) + " " + runner(7) + " " + runner(9),
              "1|テストホース01|牡4|父馬01|55|佐藤次|井上|441|2004100001 6|ミスター'ズ|牡4|父馬07|55|鈴木一|井上|447|2004100007 "
              "7|ﾊﾟｲﾛｯﾄｳｨﾝｸﾞ|牡4|父馬09|54|山田太|林|0|2004100009");
    EXPECT_EQ(joined(webCell(81, 5), pd.uUrl(13), shown()), "－||");  // 0x81 0x7C of the page
    EXPECT_EQ(joined(pastRun(1, 1), pastRun(1, 2), pastRun(2, 2), pastRun(2, 3), pastRun(2, 4), pastRun(3, 1), pastRun(3, 2),
                     pastRun(8, 1)), "1|1|1|1|逃|0|0|0|0||5|4|0|0|先|2|2|0|0|先|0|0|0|0||12|12|11|10|追|3|3|2|1|先|8|8|8|8|差");
    const QString reference = webHtml;
    for (const QByteArray& page : {samplePage("racecard_12_noendtags.htm"),
                                   samplePage("racecard_12.htm").replace("<table class=\"deba\"", "</body></html><table class=\"deba\"")}) {
        server.addPage(cardPath, page);
        ASSERT_TRUE(readSyuxtubaPage(url(cardPath)));
        EXPECT_TRUE(webHtml == reference);
    }
    clearRace();  // as the race read does before each card
    ASSERT_TRUE(readCard("racecard_18.htm"));
    QString brackets;
    for (int k = 1; k <= 18; ++k)
        brackets += QString::number(pd.uWaku(k, 0));
    EXPECT_EQ(joined(header(), brackets, runner(14), pd.uTaizyu(16, 0), pd.uUrl(18).right(10)),
              "川崎08040609|川崎|南関|2008-04-06|9|1|800|2|1|ＪＲＡ交流Ｂ３|Ａ交|18|112233445566777888|"
              "7|テストホース14|牝5|父馬14|53|小林八|木村|454|2004100014|0|2004100018");
    EXPECT_EQ(pastRun(2, 1) + " " + pastRun(12, 1) + " " + pastRun(13, 1), "4|4|3|2|先 12|12|12|12|差 13|13|13|13|追");
    clearRace();
    const QString cut = QStringLiteral(BRENNOCK_PAGES_DIR "/racecard_truncated.htm");
    EXPECT_FALSE(readSyuxtubaPage(cut));
    EXPECT_EQ(joined(shown(), pd.tousuu, pd.uName(1), webLoadFailure.text()), joined("", 0, "", "ページ " + cut + " が途中で切れています"));
    pd.webCancel = true;
    EXPECT_FALSE(readSyuxtubaPage(url(cardPath)));
    EXPECT_EQ(messages.texts().last(), "キャンセルしました");
}

}
