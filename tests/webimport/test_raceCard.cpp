#include "platform/vbformat.h"
#include "tests/webimport/webImportFixture.h"

#include <QFile>
#include <QTcpServer>
#include <array>

namespace {

const QString horsePath =
    QStringLiteral("/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=");
const QString cardPath =
    QStringLiteral("/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf?k_babaCode=20&k_raceNo=11&k_raceDate=2008%2F03%2F24");

// What the sample cards give each runner unless a test page says otherwise.
const char* const jockeys[] = {"山田太", "佐藤次", "鈴木一", "高橋三", "田中四", "伊藤五", "渡辺六", "中村七", "小林八"};
const char* const trainers[] = {"松本", "井上", "木村", "林", "清水", "山口"};

struct RaceCard : WebImportTest {
    void SetUp() override
    {
        WebImportTest::SetUp();
        initPublic();
        pd.kakoMax = 150;
        redimUma(18, pd.kakoMax);
    }

    bool readCard(const QString& file, const QByteArray& contentType = "text/html; charset=Shift_JIS")
    {
        return readSyuxtubaPage(servePage(cardPath, file, contentType));
    }

    static std::array<int32_t, 4> corners(int k, int r)
    {
        return {pd.uTuka(k, 1, r), pd.uTuka(k, 2, r), pd.uTuka(k, 3, r), pd.uTuka(k, 4, r)};
    }

    static std::vector<std::string> styles(int k)
    {
        std::vector<std::string> out;
        for (int r = 1; r <= 5; ++r)
            out.push_back(u8(pd.uKyakusitu(k, r)));
        return out;
    }

    std::string horseUrl(int no) const
    {
        return u8(server.baseUrl() + horsePath + QStringLiteral("20041%1").arg(no, 5, 10, QLatin1Char('0')));
    }

    // Every entry of the cell table, to compare two loads of the same card.
    static std::vector<QString> wholeTable()
    {
        std::vector<QString> all;
        for (int r = 0; r <= 300; ++r)
            for (int c = 0; c <= 60; ++c)
                all.push_back(webCell(r, c));
        return all;
    }
};

TEST_F(RaceCard, TwelveRunnersFillTheRaceHeader)
{
    ASSERT_TRUE(readCard("racecard_12.htm"));
    EXPECT_EQ(u8(pd.raceTitle), "2008年3月24日（月）　大井　第11競走　ダート　1200ｍ　天候：晴　馬場：良");
    EXPECT_EQ(u8(pd.raceZyo), "大井");
    EXPECT_EQ(u8(pd.raceChiku), "南関");
    EXPECT_EQ(pd.raceDate, VbDate::fromYmd(2008, 3, 24));
    EXPECT_EQ(pd.raceNo, 11);
    EXPECT_EQ(u8(pd.raceCode), "大井08032411");
    EXPECT_EQ(pd.raceSiba, 0);
    EXPECT_EQ(pd.raceKyori, 1200);
    EXPECT_EQ(pd.raceBaba, 1);
    EXPECT_EQ(pd.raceSyurui, 1);
    EXPECT_EQ(u8(pd.raceName), "Ｃ２六組特別");
    EXPECT_EQ(u8(pd.raceClass), "Ｃ２");
    EXPECT_EQ(pd.tousuu, 12);
    EXPECT_EQ(pd.umaIdx, 19);
    EXPECT_TRUE(shown().empty());
}

TEST_F(RaceCard, TwelveRunnersFillRunZeroAndTheirAddresses)
{
    ASSERT_TRUE(readCard("racecard_12.htm"));
    const int brackets[] = {1, 2, 3, 4, 5, 5, 6, 6, 7, 7, 8, 8};
    for (int k = 1; k <= 12; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(pd.uWaku(k, 0), brackets[k - 1]);
        EXPECT_EQ(pd.uDate(k, 0), pd.raceDate);
        EXPECT_EQ(pd.uKyori(k, 0), 1200);
        EXPECT_EQ(u8(pd.uZyo(k, 0)), "大井");
        EXPECT_EQ(pd.uRaceNo(k, 0), 11);
        EXPECT_EQ(u8(pd.uChichi(k)), u8(QStringLiteral("父馬%1").arg(k, 2, 10, QLatin1Char('0'))));
        EXPECT_EQ(u8(pd.uSeirei(k)), k % 2 ? "牡4" : "牝5");
        EXPECT_EQ(u8(pd.uCyoukyou(k, 0)), trainers[k % 6]);
        EXPECT_EQ(pd.uUrl(k), QString::fromStdString(horseUrl(k)));
        if (k != 7) {
            EXPECT_EQ(pd.uHutan(k, 0), float(54 + k % 3));
            EXPECT_EQ(u8(pd.uKisyu(k, 0)), jockeys[k % 9]);
        }
        if (k != 7 && k != 9) {
            EXPECT_EQ(u8(pd.uName(k)), u8(QStringLiteral("テストホース%1").arg(k, 2, 10, QLatin1Char('0'))));
        }
        if (k != 9) {
            EXPECT_EQ(pd.uTaizyu(k, 0), 440 + k);
        }
    }
    // Outer blanks go, a quote stays; a jockey change mark shifts weight and jockey by two.
    EXPECT_EQ(u8(pd.uName(7)), "ミスター'ズ");
    EXPECT_EQ(pd.uHutan(7, 0), 55.0f);
    EXPECT_EQ(u8(pd.uKisyu(7, 0)), "鈴木一");
    // Half-width katakana; a scratched runner has no body weight.
    EXPECT_EQ(u8(pd.uName(9)), "ﾊﾟｲﾛｯﾄｳｨﾝｸﾞ");
    EXPECT_EQ(pd.uTaizyu(9, 0), 0);
    EXPECT_EQ(u8(webCell(81, 5)), "－");  // 0x81 0x7C of the page
    EXPECT_EQ(pd.uUrl(13), QString());
}

TEST_F(RaceCard, CornersAndStylesOfTheLastFiveRunsAreJudgedWithTheWholeField)
{
    ASSERT_TRUE(readCard("racecard_12.htm"));
    using C = std::array<int32_t, 4>;
    EXPECT_EQ(corners(1, 1), (C {1, 1, 1, 1}));
    EXPECT_EQ(styles(1), (std::vector<std::string> {"逃", "", "", "", ""}));
    EXPECT_EQ(corners(2, 1), (C {2, 2, 2, 2}));
    EXPECT_EQ(corners(2, 2), (C {5, 4, 0, 0}));
    EXPECT_EQ(corners(2, 3), (C {2, 2, 0, 0}));
    EXPECT_EQ(corners(2, 4), (C {0, 0, 0, 0}));
    EXPECT_EQ(styles(2), (std::vector<std::string> {"先", "先", "先", "", ""}));
    // 12-12-11-10 in a field of 12 comes from behind; counted against the three runners read
    // so far it would pass for a mid-field run.
    EXPECT_EQ(corners(3, 1), (C {12, 12, 11, 10}));
    EXPECT_EQ(corners(3, 2), (C {3, 3, 2, 1}));
    EXPECT_EQ(styles(3), (std::vector<std::string> {"追", "先", "", "", ""}));
    EXPECT_EQ(u8(pd.uKyakusitu(8, 1)), "差");
    EXPECT_EQ(u8(pd.uKyakusitu(9, 1)), "追");
}

TEST_F(RaceCard, EighteenRunnersWithBracketsOfThreeTurfAndAShortDistance)
{
    ASSERT_TRUE(readCard("racecard_18.htm"));
    EXPECT_EQ(pd.tousuu, 18);
    EXPECT_EQ(u8(pd.raceZyo), "川崎");
    EXPECT_EQ(u8(pd.raceCode), "川崎08040609");
    EXPECT_EQ(pd.raceSiba, 1);
    EXPECT_EQ(pd.raceKyori, 800);
    EXPECT_EQ(pd.raceBaba, 2);
    EXPECT_EQ(pd.raceSyurui, 1);
    EXPECT_EQ(u8(pd.raceName), "ＪＲＡ交流Ｂ３");
    EXPECT_EQ(u8(pd.raceClass), "Ａ交");  // Ａ is tried before Ｂ, wherever it stands
    const int brackets[] = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7, 8, 8, 8};
    for (int k = 1; k <= 18; ++k)
        EXPECT_EQ(pd.uWaku(k, 0), brackets[k - 1]) << "runner " << k;
    EXPECT_EQ(pd.uHutan(14, 0), 53.0f);
    EXPECT_EQ(u8(pd.uKisyu(14, 0)), "小林八");
    EXPECT_EQ(pd.uTaizyu(16, 0), 0);
    EXPECT_EQ(u8(pd.uName(18)), "テストホース18");
    EXPECT_EQ(pd.uUrl(18), QString::fromStdString(horseUrl(18)));
    EXPECT_EQ(corners(2, 1), (std::array<int32_t, 4> {4, 4, 3, 2}));  // the central run
    EXPECT_EQ(u8(pd.uKyakusitu(12, 1)), "差");                         // 12 <= 2 x 18 / 3
    EXPECT_EQ(u8(pd.uKyakusitu(13, 1)), "追");
}

TEST_F(RaceCard, AUtf8PageAndAPageWithoutEndTagsCutLikeTheShiftJisPage)
{
    ASSERT_TRUE(readCard("racecard_12.htm"));
    const std::vector<QString> reference = wholeTable();
    for (const auto& [file, type] : {std::pair {"racecard_12_utf8.htm", QByteArray("text/html")},
                                     std::pair {"racecard_12_noendtags.htm", QByteArray("text/html")}}) {
        SCOPED_TRACE(file);
        initPublic();
        redimUma(18, pd.kakoMax);
        server.addFile(cardPath, QString::fromLatin1(file), type);
        ASSERT_TRUE(readSyuxtubaPage(url(cardPath)));
        EXPECT_EQ(pd.tousuu, 12);
        EXPECT_EQ(u8(pd.uName(9)), "ﾊﾟｲﾛｯﾄｳｨﾝｸﾞ");
        EXPECT_TRUE(wholeTable() == reference);
    }
}

// A browser keeps reading past a stray end of the document, and so must the cell table.
TEST_F(RaceCard, RunnersAfterAStrayEndOfTheDocumentAreRead)
{
    ASSERT_TRUE(readCard("racecard_12.htm"));
    const std::vector<QString> reference = wholeTable();
    QFile file(QStringLiteral(BRENNOCK_PAGES_DIR "/racecard_12.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray page = file.readAll();
    page.replace("<table class=\"deba\"", "</body></html>\r\n<table class=\"deba\"");
    initPublic();
    redimUma(18, pd.kakoMax);
    server.addPage(cardPath, page, "text/html; charset=Shift_JIS");
    ASSERT_TRUE(readSyuxtubaPage(url(cardPath)));
    EXPECT_EQ(pd.tousuu, 12);
    EXPECT_TRUE(wholeTable() == reference);
}

// Nothing listens at the host of the settings: the load ends, like a browser's error page, with
// no race card (the race read then says so).
TEST_F(RaceCard, AServerThatCannotBeReachedGivesNoCardWithoutWaiting)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    iniWrite(QStringLiteral("System"), QStringLiteral("webHost"), QStringLiteral("127.0.0.1:%1").arg(probe.serverPort()));
    probe.close();
    EXPECT_FALSE(readSyuxtubaPage(webServerUrl() + cardPath));
    EXPECT_EQ(pd.tousuu, 0);
    EXPECT_TRUE(shown().empty());
}

TEST_F(RaceCard, PagesThatAreNoRaceCardReadNothing)
{
    EXPECT_FALSE(readCard("racecard_notcard.htm"));
    server.addPage("/empty", QByteArray());
    EXPECT_FALSE(readSyuxtubaPage(url("/empty")));
    EXPECT_EQ(pd.tousuu, 0);
    EXPECT_EQ(u8(pd.raceTitle), "");
    EXPECT_TRUE(shown().empty());
}

TEST_F(RaceCard, ATruncatedPageKeepsTheRunnersBeforeTheCutAndSaysSo)
{
    ASSERT_TRUE(readCard("racecard_truncated.htm"));
    EXPECT_EQ(shown(), std::vector<std::string> {"Rdata読込みエラー(err-AA04)"});
    EXPECT_EQ(pd.tousuu, 5);  // runner 5 was counted before its block ran out
    EXPECT_EQ(u8(pd.uName(4)), "テストホース04");
    EXPECT_EQ(u8(pd.uKyakusitu(4, 1)), "先");
    EXPECT_EQ(pd.uUrl(5), QString::fromStdString(horseUrl(5)));
}

TEST_F(RaceCard, ACancelledLoadReadsNothing)
{
    server.setNeverAnswer(cardPath, true);
    pd.webCancel = true;
    EXPECT_FALSE(readSyuxtubaPage(url(cardPath)));
    EXPECT_EQ(shown(), std::vector<std::string> {"キャンセルしました"});
}

// The parse on a loaded card with single cells changed, as other pages would have them.
struct CardCells : RaceCard {
    void SetUp() override
    {
        RaceCard::SetUp();
        ASSERT_TRUE(getWebTable(servePage(cardPath, "racecard_12.htm")));
    }
    void parseAgain()
    {
        initPublic();
        redimUma(18, pd.kakoMax);
        parseSyuxtubaHyo();
    }
};

TEST_F(CardCells, ATitleBelowRowTenIsNotFound)
{
    for (int r = 300; r >= 0; --r)
        for (int c = 0; c <= 60; ++c)
            webCell(r, c) = r >= 7 ? webCell(r - 7, c) : QString();
    parseAgain();
    EXPECT_EQ(shown(), std::vector<std::string> {"Rdata読込みエラー(err-AA04)"});
    EXPECT_EQ(u8(pd.raceTitle), "");
    EXPECT_EQ(pd.tousuu, 0);
}

TEST_F(CardCells, OnlyHalfWidthBlanksMayPadAThreeDigitDistance)
{
    webCell(4, 1) = QStringLiteral("2008年3月24日（月）　大井　第11競走　ダート 900ｍ　馬場：不良");
    parseAgain();
    EXPECT_EQ(pd.raceKyori, 900);
    EXPECT_EQ(pd.raceBaba, 4);
    EXPECT_TRUE(shown().empty());

    webCell(4, 1) = QStringLiteral("2008年3月24日（月）　大井　第11競走　ダート　900ｍ　馬場：不良");
    parseAgain();
    EXPECT_EQ(shown(), std::vector<std::string> {"Rdata読込みエラー(err-AA04)"});
    EXPECT_EQ(u8(pd.raceCode), "大井08032411");  // what came before the distance stays
    EXPECT_EQ(pd.raceKyori, 0);
    EXPECT_EQ(pd.tousuu, 0);
}

TEST_F(CardCells, ARaceNameWithoutBreedIsCutToNineAndKeepsTheBreed)
{
    webCell(5, 1) = QStringLiteral("大井Ｂ１記念特別賞典");
    initPublic();
    redimUma(18, pd.kakoMax);
    pd.raceSyurui = 2;
    parseSyuxtubaHyo();
    EXPECT_EQ(u8(pd.raceName), "大井Ｂ１記念特別賞");
    EXPECT_EQ(pd.raceSyurui, 2);
    EXPECT_EQ(u8(pd.raceClass), "Ｂ１");
}

TEST_F(CardCells, RunnersMustStandInOrder)
{
    for (int r = 34; r <= 294; ++r)  // the page lacks runner 5: block 5 holds horse 6
        for (int c = 0; c <= 60; ++c)
            webCell(r, c) = webCell(r + 6, c);
    parseAgain();
    EXPECT_EQ(pd.tousuu, 4);
    EXPECT_EQ(u8(pd.uName(5)), "");
    EXPECT_EQ(u8(pd.uName(6)), "");
    EXPECT_TRUE(shown().empty());
}

TEST_F(CardCells, ATrainerWithoutAffiliationOrABadCornerStopsTheParse)
{
    webCell(27, 2) = QStringLiteral("林");  // runner 3's trainer
    parseAgain();
    EXPECT_EQ(shown(), std::vector<std::string> {"Rdata読込みエラー(err-AA04)"});
    EXPECT_EQ(pd.tousuu, 3);
    EXPECT_EQ(u8(pd.uKyakusitu(2, 1)), "先");  // runners before the error keep their styles

    messages.clear();
    webCell(27, 2) = QStringLiteral("林（大井）");
    webCell(27, 8) = QStringLiteral("（12頭）3-x-2-1");
    parseAgain();
    EXPECT_EQ(shown(), std::vector<std::string> {"Rdata読込みエラー(err-AA04)"});
    EXPECT_EQ(pd.uTuka(3, 1, 2), 3);
}

TEST_F(CardCells, RunnersBeyondTheLastHorseLinkHaveNoAddress)
{
    webHtml.replace(horsePath + QStringLiteral("2004100011"), QStringLiteral("/other"));
    webHtml.replace(horsePath + QStringLiteral("2004100012"), QStringLiteral("/other"));
    parseAgain();
    getUmaUrl();
    EXPECT_EQ(pd.uUrl(10), QString::fromStdString(horseUrl(10)));
    EXPECT_EQ(pd.uUrl(11), QString());
    EXPECT_EQ(pd.uUrl(12), QString());
    EXPECT_TRUE(shown().empty());
}

struct RunningStyle : ::testing::Test {
    void SetUp() override { redimUma(18, 5); }
    static std::string style(std::array<int32_t, 4> c, int field, const QString& before = {})
    {
        for (int i = 0; i < 4; ++i)
            pd.uTuka(1, i + 1, 1) = c[size_t(i)];
        pd.tousuu = field;
        pd.uKyakusitu(1, 1) = before;
        calcKyakusitu(1, 1);
        return u8(pd.uKyakusitu(1, 1));
    }
};

TEST_F(RunningStyle, FromTheCornersCountedUpToTheFirstGap)
{
    EXPECT_EQ(style({1, 1, 1, 1}, 12), "逃");
    EXPECT_EQ(style({2, 2, 0, 0}, 10), "先");
    EXPECT_EQ(style({3, 1, 0, 7}, 12), "先");  // a lead at the last counted corner does not count
    EXPECT_EQ(style({12, 12, 11, 10}, 12), "追");
    EXPECT_EQ(style({12, 12, 11, 10}, 5), "差");
    EXPECT_EQ(style({9, 9, 8, 8}, 12), "差");  // 8 <= 2 x 12 / 3
    EXPECT_EQ(style({5, 0, 3, 3}, 12), "");    // one corner before the gap
    EXPECT_EQ(style({0, 0, 0, 0}, 12), "");
    EXPECT_EQ(style({2, 2, 2, 2}, 12, QStringLiteral("追")), "差");  // a slot that holds a style
}

}
