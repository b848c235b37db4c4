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
        pd.timerInter = 1;
        pd.kakoKikan = 730;
        const QDir images(QStringLiteral(BRENNOCK_SCHEMA_DIR "/../images"));
        for (const QString& name : images.entryList(QDir::Files))
            QFile::copy(images.filePath(name), path(name));
        // Standard times of the courses the sample histories ran, so that runners get indices.
        for (const auto& [zyo, kyori, time] : std::vector<std::tuple<QString, int, double>> {
                 {"大井", 1200, 74.0}, {"大井", 1400, 88.0}, {"大井", 1600, 101.0}, {"川崎", 1400, 89.0}})
            insert("Strevin_data.dat", "T_avetime", DbRow().set("A_zyo", zyo).set("A_kyori", kyori).set("A_class", "ave")
                                                        .set("A_sin_kyu", 1).set("A_siba", 0).set("A_time", time));
        debugMode = true;
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
    static QString cardTarget(const QString& code, int n)
    {
        return kCard + "?k_babaCode=" + code + "&k_raceNo=" + Format(n, "00") + "&k_raceDate=2008%2F03%2F24";
    }
    static QString horseId(const QString& code, int n, int h) { return code + Format(n, "00") + "900" + Format(h, "000"); }
    // Race n of a track: the sample card with its title and horse numbers made the race's own;
    // every runner's history is the sample with turf and central runs, but `noRuns` has none.
    void addRace(const QString& zyo, const QString& shown, int n, int noRuns = 0)
    {
        const QString code = zyoToNarCode(zyo);
        QString card = fromCp932(readTestFile(QStringLiteral(BRENNOCK_PAGES_DIR "/racecard_12.htm")));
        card.replace("大井　第11競走", shown + "　第" + QString::number(n) + "競走");
        card.replace("k_lineageLoginNo=2004100", "k_lineageLoginNo=" + code + Format(n, "00") + "900");
        server_.addPage(cardTarget(code, n), toCp932(card), "text/html; charset=Shift_JIS");
        for (int h = 1; h <= 12; ++h)
            server_.addFile(kHorse + horseId(code, n, h), h == noRuns ? "horse_none.htm" : "horse_mixed.htm");
    }

    PageServer server_;
    std::unique_ptr<FrmMain> main_;
};

}

// A track without races costs one card; twelve races are all read and no thirteenth; a track ends
// at its first missing race; the Nagoya race with a runner without history is marked "out". The
// run writes no race or run to the race database, and its pages, texts and archive are there.
TEST_F(ZyunkaiThroughMain, WholeDayFromThePageServer)
{
    for (int n = 1; n <= 12; ++n)
        addRace("大井", "大井", n);
    for (int n = 1; n <= 3; ++n)
        addRace("川崎", "川崎", n);
    addRace("名古", "名古屋", 1, 12);
    QTest::mouseClick(childNamed<QPushButton>(main_.get(), "cmdKanri"), Qt::LeftButton);
    auto* kanri = qobject_cast<FrmKanri*>(shownWindow("frmKanri"));
    ASSERT_TRUE(kanri && kanri->parentWidget() == main_.get());
    childNamed<QLineEdit>(kanri, "txtZyunkaiDate")->setText("2008/03/24");
    QTest::mouseClick(childNamed<QPushButton>(kanri, "cmbZyunkai"), Qt::LeftButton);
    EXPECT_EQ(msgs_.texts(), QStringList {"巡回を完了"});
    QStringList expected;
    for (const QString& zyo : QStringLiteral("門別 札幌 旭川 盛岡 水沢 浦和 船橋 大井 川崎 金沢 笠松 名古 園田 姫路 福山 高知 佐賀 荒尾").split(' ')) {
        const int races = zyo == "大井" ? 12 : zyo == "川崎" ? 3 : zyo == "名古" ? 1 : 0;
        for (int n = 1; n <= std::min(races + 1, 12); ++n)
            expected << cardTarget(zyoToNarCode(zyo), n);
    }
    EXPECT_EQ(server_.requestLog().filter(kCard), expected);
    EXPECT_EQ(server_.requestLog().filter(kHorse).size(), 16 * 12);
    EXPECT_EQ(server_.requestCount(kHorse + horseId("20", 12, 12)), 1);
    EXPECT_EQ(rows("NAR_data.dat", "SELECT (SELECT COUNT(*) FROM T_Rdata) + (SELECT COUNT(*) FROM T_Useiseki)"), QStringList {"0"});
    EXPECT_EQ(rows("Rana.mdb", "SELECT COUNT(*), COUNT(taisyo) FROM T_Rana"), QStringList {"16|1"});
    EXPECT_EQ(rows("Rana.mdb", "SELECT R_code FROM T_Rana WHERE taisyo = 'out'"), QStringList {"名古08032401"});
    EXPECT_EQ(pd.kakoKikan, 730);
    EXPECT_EQ(childNamed<QLabel>(kanri, "txtRaceInfo")->text(), "荒尾-1R");

    const QString page = fromCp932(readTestFile(path("予想出力/大井0324-01R.html")));
    EXPECT_TRUE(page.contains("<CAPTION align='left'><B>2008年3月24日（月）　大井　第1競走　ダート　1200ｍ　天候：晴　馬場：良 "
                              "Ｃ２六組特別</B></CAPTION><TBODY><TR><TD>1</TD><TD>父馬01<BR><B><FONT color='#000099' "
                              "size='+1'>テストホース01</FONT></B></TD><TD>佐藤次(55)<BR>牡4<BR>"))
        << page.left(900).toStdString();
    EXPECT_TRUE(page.contains("<TD >Ｊ中山芝1800<BR>07/09/15 7R<BR>")) << page.toStdString();
    EXPECT_TRUE(fromCp932(readTestFile(path("予想出力/名古0324-01R.html"))).contains("（注意）"));
    EXPECT_EQ(libarchiveMembers(path("予想/0324.lzh")).size(), 18u);

    // The chart test draws runner 1 of the last race a year back on the main window's chart.
    pd.umaIdx = 1;
    msgs_.clear();
    QTest::mouseClick(childNamed<QPushButton>(kanri, "Command2"), Qt::LeftButton);
    EXPECT_EQ(msgs_.texts(), QStringList {});
    EXPECT_EQ(pd.graphShiftDays, 365);
    EXPECT_TRUE(childNamed<QPushButton>(main_.get(), "cmdGraphBack")->isVisibleTo(main_.get()));
}
