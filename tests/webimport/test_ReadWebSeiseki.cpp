#include "core/publicDim.h"
#include "tests/webimport/seisekiFixture.h"
#include "webimport/ReadWebSeiseki.h"

namespace {

constexpr VbDate kDay(39531);  // 2008-03-24

SeisekiRace parsed(const QByteArray& page, bool expectTitle = true)
{
    cutPage(page);
    SeisekiRace race;
    EXPECT_EQ(parseSeiseki(race), expectTitle);
    return race;
}

std::array<int, 4> corners(const SeisekiRace& race, int horse)
{
    return {race.uTuka(horse, 1, 0), race.uTuka(horse, 2, 0), race.uTuka(horse, 3, 0), race.uTuka(horse, 4, 0)};
}

class SeisekiParse : public ::testing::Test {
protected:
    MsgBoxRecorder msgs_;
};

}

TEST_F(SeisekiParse, NormalRaceHeaderRunnersCornersAndPayouts)
{
    const SeisekiRace race = parsed(seisekiPage("seiseki_normal.htm"));
    EXPECT_EQ(race.raceZyo, "大井");
    EXPECT_EQ(race.raceChiku, "南関");
    EXPECT_EQ(race.raceDate, kDay);
    EXPECT_EQ(race.raceNo, 11);
    EXPECT_EQ(race.raceCode, "大井08032411");
    EXPECT_EQ(race.raceSiba, 0);
    EXPECT_EQ(race.raceKyori, 1600);
    EXPECT_EQ(race.raceBaba, 2);
    EXPECT_EQ(race.raceSyurui, 1);
    EXPECT_EQ(race.raceName, "Ｃ２六組特別");
    EXPECT_EQ(race.raceClass, "Ｃ２");
    EXPECT_EQ(race.tousuu, 12);

    // The winner, horse 5: blanks leave the name, the affiliation leaves the jockey.
    EXPECT_EQ(race.uName(5), "サンプルホース");
    EXPECT_EQ(race.uCyaku(5, 0), 1);
    EXPECT_EQ(race.uWaku(5, 0), 4);
    EXPECT_EQ(race.uTaizyu(5, 0), 480);
    EXPECT_EQ(race.uKisyu(5, 0), "山田太");
    EXPECT_FLOAT_EQ(race.uHutan(5, 0), 56.0f);
    EXPECT_EQ(race.uCyoukyou(5, 0), "井上一");
    EXPECT_EQ(race.uSyozoku(5, 0), "大井");
    EXPECT_EQ(race.uNinki(5, 0), 2);
    EXPECT_FLOAT_EQ(race.u3f(5, 0), 38.5f);
    EXPECT_FLOAT_EQ(race.uTime(5, 0), 101.3f);
    // Apprentice marks go with the fourth character; a full-width blank inside a name goes too.
    EXPECT_EQ(race.uKisyu(3, 0), "佐藤次");
    EXPECT_EQ(race.uKisyu(7, 0), "松本八");
    EXPECT_EQ(race.uName(1), "テストラン");
    EXPECT_EQ(race.uName(3), "オーシャンズ'ワン");

    // Bracketed horses take consecutive places in their written order.
    EXPECT_EQ(corners(race, 5), (std::array {2, 2, 1, 1}));
    EXPECT_EQ(corners(race, 1), (std::array {3, 3, 3, 3}));
    EXPECT_EQ(corners(race, 6), (std::array {6, 6, 5, 5}));
    EXPECT_EQ(corners(race, 12), (std::array {9, 9, 9, 7}));
    EXPECT_EQ(corners(race, 10), (std::array {12, 12, 12, 12}));

    // Middle finisher: 6th (horse 8, 1:42:4); within 1.5 s are the first ten.
    EXPECT_NEAR(race.aveTime, 1023.3 / 10, 1e-4);
    EXPECT_EQ(race.cyakuUma(1), 5);
    EXPECT_EQ(race.cyakuUma(2), 3);
    EXPECT_EQ(race.cyakuUma(3), 1);

    EXPECT_EQ(race.payTansyo, 380);
    EXPECT_EQ((std::array {race.payHukusyo(1), race.payHukusyo(2), race.payHukusyo(3)}), (std::array {150, 120, 290}));
    EXPECT_EQ(race.payUmahuku, 520);
    EXPECT_EQ(race.payUmatan, 1230);
    EXPECT_EQ((std::array {race.payWide(1), race.payWide(2), race.payWide(3)}), (std::array {210, 640, 450}));
    EXPECT_EQ(race.pay3huku, 1870);
    EXPECT_EQ(race.pay3tan, 12340);
    EXPECT_TRUE(msgs_.texts().isEmpty()) << msgs_.texts().join("|").toStdString();
}

TEST_F(SeisekiParse, DeadHeatTwoCornersAndTwoWinAmounts)
{
    const SeisekiRace race = parsed(seisekiPage("seiseki_deadheat.htm"));
    EXPECT_EQ(race.raceCode, "川崎08032505");
    EXPECT_EQ(race.raceBaba, 3);
    EXPECT_EQ(race.raceClass, "Ｂ３");
    EXPECT_EQ(race.tousuu, 8);
    // Both winners are placed 1st; the higher number takes the place, nobody is 2nd.
    EXPECT_EQ(race.uCyaku(2, 0), 1);
    EXPECT_EQ(race.uCyaku(6, 0), 1);
    EXPECT_EQ(race.cyakuUma(1), 6);
    EXPECT_EQ(race.cyakuUma(2), 0);
    EXPECT_EQ(race.cyakuUma(3), 4);
    // Two listed corners fill corners 1 and 2.
    EXPECT_EQ(corners(race, 2), (std::array {1, 1, 0, 0}));
    EXPECT_EQ(corners(race, 7), (std::array {8, 8, 0, 0}));
    EXPECT_EQ(race.payTansyo, 240);
    EXPECT_EQ(race.payUmatan, 1020);
}

TEST_F(SeisekiParse, ScratchedAndNonFinishingRunnersCountButHaveNoPlace)
{
    const SeisekiRace race = parsed(seisekiPage("seiseki_scratch.htm"));
    EXPECT_EQ(race.raceKyori, 800);  // " 800ｍ"
    EXPECT_EQ(race.tousuu, 10);
    EXPECT_EQ(race.uName(4), "トリケシボシ");
    EXPECT_EQ(race.uCyaku(4, 0), 0);
    EXPECT_EQ(race.uTaizyu(4, 0), 0);
    EXPECT_EQ(race.uTime(4, 0), 0.0f);
    EXPECT_EQ(race.uCyaku(9, 0), 0);
    EXPECT_EQ(race.uTime(9, 0), 0.0f);
    EXPECT_EQ(race.uNinki(9, 0), 7);
    // 5th place (horse 10, 51.3 s) is the middle; 53.1 s is too slow, the runners without a time
    // do not count.
    EXPECT_NEAR(race.aveTime, (50.1 + 50.4 + 50.6 + 50.9 + 51.3 + 51.5 + 52.0) / 7, 1e-4);
}

TEST_F(SeisekiParse, MissingPayoutsLeaveThemZero)
{
    const SeisekiRace race = parsed(seisekiPage("seiseki_nopay.htm"));
    EXPECT_EQ(race.raceCode, "園田08033001");
    EXPECT_EQ(race.tousuu, 6);
    EXPECT_EQ(race.cyakuUma(1), 2);
    EXPECT_EQ(race.payTansyo + race.payUmahuku + race.payUmatan + race.pay3huku + race.pay3tan, 0);
    EXPECT_EQ(race.payHukusyo(1) + race.payWide(1), 0);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(SeisekiParse, ClassFollowsEachTracksWriting)
{
    struct Case {
        const char* page;
        const char* nameLine;
        const char* zyoText;  // the track in the title, when changed
        const char* expected;
        int syurui;
    };
    const Case cases[] = {
        {"seiseki_nagoya.htm", "Ｃ１２組（サラ系一般）", nullptr, "Ｃ１２", 1},
        {"seiseki_nagoya.htm", "Ｃ１組（サラ系一般）", nullptr, "Ｃ１", 1},
        {"seiseki_nagoya.htm", "Ｂ１０組（サラ系一般）", "笠松", "Ｂ１０", 1},
        {"seiseki_arao.htm", "Ｃ－１２組（サラ系一般）", nullptr, "Ｃ１２", 1},
        {"seiseki_arao.htm", "Ｃ－１組（サラ系一般）", nullptr, "Ｃ１", 1},
        {"seiseki_arao.htm", "Ｃ１組（サラ系一般）", nullptr, "Ｃ１", 1},
        {"seiseki_fukuyama.htm", "Ｂ１４組（混合）", nullptr, "Ｂ１４", 1},
        {"seiseki_fukuyama.htm", "Ａ１（アラ系一般）", nullptr, "アラＡ１", 2},
        {"seiseki_fukuyama.htm", "Ｃ１２３組（サラ系一般）", nullptr, "Ｃ１２３", 1},
        {"seiseki_nagoya.htm", "Ｃ１選抜（サラ系一般）", "高知", "Ｃ１選抜", 1},
        {"seiseki_nagoya.htm", "Ｃ１選手権（サラ系一般）", "高知", "Ｃ１", 1},
        // Iwate: the last letter in the order Ａ..Ｆ decides, the age is appended.
        {"seiseki_nagoya.htm", "Ｃ２Ｂ１級３歳（サラ系）", "水沢", "Ｃ２３歳", 1},
        {"seiseki_nagoya.htm", "Ｃ１特別（サラ系）", "大井", "Ｃ１", 1},
    };
    for (const Case& c : cases) {
        QByteArray page = seisekiPage(c.page);
        const QString line = fromCp932(page).section("racename\">", 1).section('<', 0, 0);
        page = pageWith(page, line, QString::fromUtf8(c.nameLine));
        if (c.zyoText)
            page = pageWith(page, QStringLiteral("　名古屋　"), QStringLiteral("　%1　").arg(c.zyoText));
        const SeisekiRace race = parsed(page);
        EXPECT_EQ(race.raceClass, QString::fromUtf8(c.expected)) << c.nameLine;
        EXPECT_EQ(race.raceSyurui, c.syurui) << c.nameLine;
    }
    EXPECT_EQ(parsed(seisekiPage("seiseki_nagoya.htm")).raceZyo, "名古");
}

TEST_F(SeisekiParse, EveryPageStartsFromAnEmptyHeader)
{
    SeisekiRace race = parsed(seisekiPage("seiseki_normal.htm"));
    // A name without class letter or breed marker keeps nothing of the page before.
    cutPage(pageWith(seisekiPage("seiseki_nopay.htm"), "Ｃ３（サラ系一般）", "スプリング賞"));
    ASSERT_TRUE(parseSeiseki(race));
    EXPECT_EQ(race.raceClass, "");
    EXPECT_EQ(race.raceSyurui, 0);
    EXPECT_EQ(race.payTansyo, 0);
    EXPECT_EQ(race.uName(12), "");
    EXPECT_EQ(race.tousuu, 6);
}

TEST_F(SeisekiParse, TitleThatDoesNotParseGivesNothing)
{
    for (const auto& [from, to] : {std::pair {"第11競走", "11競走"}, std::pair {"1600ｍ", "千六百ｍ"},
                                   std::pair {"3月24日", "3月32日"}}) {
        msgs_.clear();
        const SeisekiRace race =
            parsed(pageWith(seisekiPage("seiseki_normal.htm"), QString::fromUtf8(from), QString::fromUtf8(to)), false);
        EXPECT_EQ(msgs_.texts(), QStringList {"成績data変換エラー"}) << from;
    }
}

TEST_F(SeisekiParse, BadSectionsCostOnlyThemselves)
{
    // A payout cell with text: that bet stays 0, the others and the field are read.
    SeisekiRace race = parsed(pageWith(seisekiPage("seiseki_normal.htm"), "380円", "特払70円"));
    EXPECT_EQ(msgs_.texts(), QStringList {"成績data変換エラー"});
    EXPECT_EQ(race.payTansyo, 0);
    EXPECT_EQ(race.pay3tan, 12340);
    EXPECT_EQ(race.tousuu, 12);

    // A 17th number in a corner ends the corners there; everything after them is still read.
    msgs_.clear();
    race = parsed(pageWith(seisekiPage("seiseki_normal.htm"), "１角　3,5(1,2)-4=6,8(7,12)9-11,10",
                           "１角　3,5(1,2)-4=6,8(7,12)9-11,10,13,14,15,16,17"));
    EXPECT_EQ(msgs_.texts(), QStringList {"成績data変換エラー"});
    EXPECT_EQ(corners(race, 5), (std::array {0, 0, 0, 0}));
    EXPECT_EQ(race.tousuu, 12);
    EXPECT_NEAR(race.aveTime, 102.33, 1e-4);
    EXPECT_EQ(race.cyakuUma(1), 5);
    EXPECT_EQ(race.pay3tan, 12340);
    msgs_.clear();
    race = parsed(pageWith(seisekiPage("seiseki_normal.htm"), "４角　5,3,1(2,6)8,12,7,4,9-11,10",
                           "４角　5,3,1(2,6)8,12,7,4,9-11,10,13,14,15,16,17"));
    EXPECT_EQ(msgs_.texts(), QStringList {"成績data変換エラー"});
    EXPECT_EQ(corners(race, 5), (std::array {2, 2, 1, 0}));
    EXPECT_EQ(corners(race, 10), (std::array {12, 12, 12, 0}));

    // A horse number that is not a number costs that row only.
    msgs_.clear();
    race = parsed(pageWith(seisekiPage("seiseki_normal.htm"), "<td>4</td><td>5</td><td>サンプル",
                           "<td>4</td><td>５番</td><td>サンプル"));
    EXPECT_EQ(msgs_.texts(), QStringList {"U毎の読込みエラー"});
    EXPECT_EQ(race.tousuu, 11);
    EXPECT_EQ(race.uName(3), "オーシャンズ'ワン");
}
