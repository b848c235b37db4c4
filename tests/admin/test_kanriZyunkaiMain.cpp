// The batch run end to end: the administration window opened from the main window, every race
// of one day read through the main window's own race read from a loopback page server.
#include "admin/frmKanri.h"
#include "core/publicFunction.h"
#include "mainwindow/frmMain.h"
#include "platform/textcodec.h"
#include "tests/admin/kanriFixture.h"
#include "tests/support/childNamed.h"
#include "tests/support/pageServer.h"
#include "webimport/dialogWeb.h"

#include <QTest>

namespace {

const QString kCard = "/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf";
const QString kHorse = "/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=";

class ZyunkaiThroughMain : public KanriFixture {
protected:
    void SetUp() override
    {
        KanriFixture::SetUp();
        ASSERT_TRUE(server_.start());
        iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server_.port()));
        std::tie(pd.timerInter, pd.kakoKikan, debugMode) = std::tuple(1, 730, true);
        dir_.copyImages();
        // Standard times of the courses the sample histories ran, so that runners get indices.
        for (const auto& [zyo, kyori, time] : std::vector<std::tuple<QString, int, double>> {{"大井", 1200, 74.0}, {"大井", 1400, 88.0}, {"大井", 1600, 101.0}, {"川崎", 1400, 89.0}})
            insert("Strevin_data.dat", "T_avetime", DbRow().set("A_zyo", zyo).set("A_kyori", kyori).set("A_class", "ave").set("A_sin_kyu", 1).set("A_siba", 0).set("A_time", time));
        main_ = std::make_unique<FrmMain>();
        main_->show();
        msgs_.clear();
    }
    void TearDown() override
    {
        if (QWidget* w = shownWindow("frmKanri"))
            w->close();
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        debugMode = false;
        unloadDialogWeb();
        KanriFixture::TearDown();
    }
    static QString cardTarget(const QString& zyo, int n)
    {
        return kCard + "?k_babaCode=" + zyoToNarCode(zyo) + "&k_raceNo=" + Format(n, "00") + "&k_raceDate=2008%2F03%2F24";
    }
    static QString horseId(const QString& zyo, int n, int h) { return zyoToNarCode(zyo) + Format(n, "00") + "900" + Format(h, "000"); }
    // Races 1..n of a track: the sample card with its title and horse numbers made the race's own;
    // every runner's history is the sample with turf and central runs, but `noRuns` has none.
    void addRaces(const QString& zyo, const QString& shown, int races, int noRuns = 0)
    {
        for (int n = 1; n <= races; ++n) {
            QString card = fromCp932(readTestFile(QStringLiteral(BRENNOCK_PAGES_DIR "/racecard_12.htm")));
            card.replace("大井　第11競走", shown + "　第" + QString::number(n) + "競走").replace("k_lineageLoginNo=2004100", "k_lineageLoginNo=" + horseId(zyo, n, 0).chopped(3));
            server_.addPage(cardTarget(zyo, n), toCp932(card), "text/html; charset=Shift_JIS");
            for (int h = 1; h <= 12; ++h)
                server_.addFile(kHorse + horseId(zyo, n, h), h == noRuns ? "horse_none.htm" : "horse_mixed.htm");
        }
    }

    PageServer server_;
    std::unique_ptr<FrmMain> main_;
};

}

// A track without races costs one card; twelve races are all read and no thirteenth; a track ends
// at its first missing race; the Nagoya race with a runner without history is marked "out". The
// run writes no race or run to the race database, and its pages and archive are there. The chart
// test then draws runner 1 of the last race a year back on the main window's chart.
TEST_F(ZyunkaiThroughMain, WholeDayFromThePageServer)
{
    addRaces("大井", "大井", 12);
    addRaces("川崎", "川崎", 3);
    addRaces("名古", "名古屋", 1, 12);
    QTest::mouseClick(childNamed<QPushButton>(main_.get(), "cmdKanri"), Qt::LeftButton);
    auto* kanri = qobject_cast<FrmKanri*>(shownWindow("frmKanri"));
    ASSERT_TRUE(kanri && kanri->parentWidget() == main_.get());
    childNamed<QLineEdit>(kanri, "txtZyunkaiDate")->setText("2008/03/24");
    QTest::mouseClick(childNamed<QPushButton>(kanri, "cmbZyunkai"), Qt::LeftButton);
    EXPECT_EQ(msgs_.texts(), QStringList {"巡回を完了"});
    QStringList expected;
    for (const QString& zyo : QStringLiteral("門別 札幌 旭川 盛岡 水沢 浦和 船橋 大井 川崎 金沢 笠松 名古 園田 姫路 福山 高知 佐賀 荒尾").split(' '))
        for (int n = 1; n <= std::min(std::map<QString, int> {{"大井", 12}, {"川崎", 3}, {"名古", 1}}[zyo] + 1, 12); ++n)
            expected << cardTarget(zyo, n);
    EXPECT_EQ(server_.requestLog().filter(kCard), expected);
    EXPECT_EQ(std::pair(server_.requestLog().filter(kHorse).size(), server_.requestCount(kHorse + horseId("大井", 12, 12))), std::pair(qsizetype(16 * 12), 1));
    EXPECT_EQ(rows("NAR_data.dat", "SELECT (SELECT COUNT(*) FROM T_Rdata) + (SELECT COUNT(*) FROM T_Useiseki)"), QStringList {"0"});
    EXPECT_EQ(rows("Rana.mdb", "SELECT COUNT(*), COUNT(taisyo), MAX(CASE WHEN taisyo = 'out' THEN R_code END) FROM T_Rana"),
              QStringList {"16|1|名古08032401"});
    EXPECT_EQ(std::pair(pd.kakoKikan, childNamed<QLabel>(kanri, "txtRaceInfo")->text()), std::pair(730, QString("荒尾-1R")));
    const QString page = fromCp932(readTestFile(path("予想出力/大井0324-01R.html")));
    EXPECT_TRUE(page.contains("<CAPTION align='left'><B>2008年3月24日（月）　大井　第1競走　ダート　1200ｍ　天候：晴　馬場：良 "
                              "Ｃ２六組特別</B></CAPTION><TBODY><TR><TD>1</TD><TD>父馬01<BR><B><FONT color='#000099' "
                              "size='+1'>テストホース01</FONT></B></TD><TD>佐藤次(55)<BR>牡4<BR>"))
        << page.left(900).toStdString();
    EXPECT_EQ(libarchiveMembers(path("予想/0324.lzh")).size(), 18u);

    pd.umaIdx = 1;
    msgs_.clear();
    QTest::mouseClick(childNamed<QPushButton>(kanri, "Command2"), Qt::LeftButton);
    EXPECT_EQ(std::pair(msgs_.texts(), pd.graphShiftDays), std::pair(QStringList {}, 365));
    EXPECT_TRUE(childNamed<QPushButton>(main_.get(), "cmdGraphBack")->isVisibleTo(main_.get()));
}
