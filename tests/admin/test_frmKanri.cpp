#include "admin/frmKanri.h"
#include "core/publicFunction.h"
#include "mainwindow/frmMain.h"
#include "platform/textcodec.h"
#include "tests/admin/kanriFixture.h"
#include "tests/support/childNamed.h"
#include "tests/support/pageServer.h"
#include "webimport/dialogWeb.h"
#include "webimport/ReadWeb.h"
#include "webimport/importGuard.h"

#include <QTest>

namespace {

class KanriWindow : public KanriFixture {
protected:
    void SetUp() override { KanriFixture::SetUp(); owner_ = std::make_unique<QWidget>(); owner_->setObjectName("frmMain"); }
    void TearDown() override
    {
        debugMode = false;
        unloadDialogWeb();
        if (QWidget* w = shownWindow("frmKanri"))
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        owner_.reset();
        KanriFixture::TearDown();
    }
    FrmKanri* open(KanriHost host = {}) { showFrmKanri(owner_.get(), std::move(host)); return qobject_cast<FrmKanri*>(shownWindow("frmKanri")); }
    void click(QWidget* form, const QString& name) { QTest::mouseClick(childNamed<QPushButton>(form, name), Qt::LeftButton); }
    void setText(QWidget* form, const QString& name, const QString& text) { childNamed<QLineEdit>(form, name)->setText(text); }
    std::unique_ptr<QWidget> owner_;
};

}

// Load's defaults from the clock (on a first of January the new year and the four before it); one
// instance, and the batch-mode signal ends at close, before the deferred deletion.
TEST_F(KanriWindow, LoadDefaultsAndOneInstance)
{
    setVbToday(VbDate::fromYmd(2009, 1, 1));
    FrmKanri* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(std::pair(form->parentWidget(), open()), std::pair(owner_.get(), form));
    const auto items = [](QComboBox* c) {
        QStringList out {c->currentText()};
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    };
    EXPECT_EQ(items(childNamed<QComboBox>(form, "cmbNenBaba")) + items(childNamed<QComboBox>(form, "cmbAnalSisuuSyurui"))
                  << childNamed<QLineEdit>(form, "txtZyunkaiDate")->text(),
              QString("2009 2008 2007 2006 2005 地区間 地区間 場間 距離間 2009/01/01").split(' '));
    EXPECT_TRUE(QDir().mkpath(BRENNOCK_TEST_OUTPUT_DIR) && form->grab().toImage().save(BRENNOCK_TEST_OUTPUT_DIR "/frmKanri.png"));

    QPointer<FrmKanri> alive(form);
    EXPECT_TRUE(isFormLoaded("frmKanri") && form->close() && !isFormLoaded("frmKanri"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull() && open());
}

// Only the first half-width "(" cuts; of exactly four characters before it the first goes.
TEST_F(KanriWindow, JockeyNameRule)
{
    for (const auto& [stored, cut] : std::vector<std::pair<QString, QString>> {
             {"的場文男(大井)", "場文男"}, {"森泰斗(船橋)", "森泰斗"}, {"石崎駿之介(船橋)", "石崎駿之介"},
             {"戸崎圭太", "戸崎圭太"}, {"(大井)", ""}, {"内田博幸（大井）", "内田博幸（大井）"}, {"a(b(c", "a"}, {"𠮷田一郎(大井)", "田一郎"}, {"", ""}})
        EXPECT_EQ(cutKisyuName(stored), cut) << stored.toStdString();
}

// Jockey rewrite: while working, buttons off, no close, guards held; a Cancel restores all. Then only
// changed rows are written (a trigger counts them); races without runners, runs without jockey pass.
TEST_F(KanriWindow, JockeyRewriteBusyCancelAndChangedRowsOnly)
{
    addRace("大井08032401");
    addRace("大井08032402");
    for (const auto& [name, kisyu] : std::vector<std::pair<QString, DbValue>> {{"エース", "的場文男(大井)"}, {"ビー'ト", "森泰斗"}, {"シー", DbValue()}})
        addRun("大井08032401", name, DbRow().set("U_kisyu", kisyu));
    exec("NAR_data.dat", "CREATE TABLE writes (n INTEGER)");
    exec("NAR_data.dat", "CREATE TRIGGER counted AFTER UPDATE ON T_Useiseki BEGIN INSERT INTO writes VALUES (1); END");
    QStringList busy;
    FrmKanri* form = open({{}, {}, [&](bool on) { busy << (on ? "on" : "off"); }});
    pd.kakoKikan = 123;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        checked = true;
        EXPECT_TRUE(form->isWorking() && !form->close() && shownWindow("frmKanri") && ImportGuard::busy()
            && !readWebPageToCsv("http://127.0.0.1:9/"));
        for (QPushButton* b : form->findChildren<QPushButton*>())
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        auto* cancel = dialogSincyoku().findChild<QPushButton*>("cmdCancel");
        ASSERT_TRUE(cancel && cancel->isVisible());
        pd.kakoKikan = 550;
        cancel->click();
    });
    const auto before = snapshot();
    click(form, "Command1");
    EXPECT_EQ(std::tuple(checked, busy, pd.kakoKikan), std::tuple(true, QStringList {"on", "off"}, 123));
    EXPECT_EQ(msgs_.texts(), (QStringList {"他の読込みが実行中です。終了してから開始してください", "読込み済みDBの変換をキャンセルしました"}));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(!form->isWorking() && !ImportGuard::busy() && !isDialogSincyokuLoaded() && !isDbOpen(1)
        && childNamed<QPushButton>(form, "Command1")->isEnabled());
    msgs_.clear();
    for (const char* expectedWrites : {"1", "1"}) {
        click(form, "Command1");
        EXPECT_EQ(rows("NAR_data.dat", "SELECT COUNT(*) FROM writes"), QStringList {expectedWrites});
    }
    EXPECT_EQ(rows("NAR_data.dat", "SELECT U_name, U_kisyu FROM T_Useiseki ORDER BY U_name") + msgs_.texts(),
        (QStringList {"エース|場文男", "シー|Null", "ビー'ト|森泰斗"}));
}

// The page dump writes CSV.csv; failures are told once with operation and cause; no horses, no correction.
TEST_F(KanriWindow, PageDumpFailuresAndResults)
{
    PageServer server;
    ASSERT_TRUE(server.start());
    server.addFile("/page", "racecard_12.htm");
    pd.timerInter = 1;
    FrmKanri* form = open();
    setText(form, "txtURL", server.baseUrl() + "/page");
    click(form, "cmdWebRead");
    EXPECT_TRUE(readTestFile(path("CSV.csv")).contains("\r\n"));
    childNamed<QComboBox>(form, "cmbNenBaba")->setEditText("08");
    click(form, "cmdBabaFile");
    for (const auto& [name, text] : {std::pair("TxtHosei", "1.5"), {"TxtTar01", "大井"}, {"TxtTar02", "川崎"}})
        setText(form, name, text);
    childNamed<QComboBox>(form, "cmbAnalSisuuSyurui")->setEditText("場間");
    click(form, "cmdAnalSisuu");
    EXPECT_EQ(childNamed<QLineEdit>(form, "TxtHosei")->text(), "");
    setText(form, "txtZyunkaiDate", "2008/13/01");
    click(form, "cmbZyunkai");
    redimUma(18, 2);
    pd.umaIdx = 19;
    click(form, "Command2");
    EXPECT_EQ(msgs_.texts(), (QStringList {"CSVを出力しました", "馬場情報ファイルの作成を中止しました\n開始年は西暦4桁で指定してください: 08", "予想巡回を中止しました\nメイン画面のレース読込みを使えません",
                                           "グラフテストを中止しました\nグラフを描く馬がありません（レースを読み込んでください）"}));
}

// Through the main window's race read: one card per empty track, twelve races and no thirteenth, a track ends at
// its first missing race; a runner without history marks the race "out"; no race is stored. The chart then draws a year back.
TEST_F(KanriWindow, BatchRunThroughTheMainWindow)
{
    PageServer server;
    ASSERT_TRUE(server.start());
    iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server.port()));
    std::tie(pd.timerInter, pd.kakoKikan, debugMode) = std::tuple(1, 730, true);
    dir_.copyImages();
    // Standard times of the courses the sample histories ran, so that runners get indices.
    addAveTimes("Strevin_data.dat", "大井 1200 ave 0 74, 大井 1400 ave 0 88, 大井 1600 ave 0 101, 川崎 1400 ave 0 89");
    const QString kCard = "/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf",
                  kHorse = "/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=";
    const auto cardTarget = [&](const QString& zyo, int n) {
        return kCard + "?k_babaCode=" + zyoToNarCode(zyo) + "&k_raceNo=" + Format(n, "00") + "&k_raceDate=2008%2F03%2F24";
    };
    const auto horseId = [](const QString& zyo, int n, int h) { return zyoToNarCode(zyo) + Format(n, "00") + "900" + Format(h, "000"); };
    // Each race the sample card made its own; every history the sample with turf and central runs, but 名古's twelfth has none.
    // 川崎's cards and every even runner's history end right after their last part, without the sample's foot.
    std::map<QString, int> races {{"大井", 12}, {"川崎", 3}, {"名古", 1}};
    const auto sample = [](const QString& file) { return readTestFile(QStringLiteral(BRENNOCK_PAGES_DIR "/") + file); };
    for (const auto& [zyo, count] : races)
        for (int n = 1; n <= count; ++n) {
            QString card = fromCp932(sample("racecard_12.htm"));
            card.replace("大井　第11競走", (zyo == "名古" ? "名古屋" : zyo) + "　第" + QString::number(n) + "競走")
                .replace("k_lineageLoginNo=2004100", "k_lineageLoginNo=" + horseId(zyo, n, 0).chopped(3));
            server.addPage(cardTarget(zyo, n), zyo == "川崎" ? withoutFoot(toCp932(card)) : toCp932(card), "text/html; charset=Shift_JIS");
            for (int h = 1; h <= 12; ++h) {
                const QByteArray history = sample(zyo == "名古" && h == 12 ? "horse_none.htm" : "horse_mixed.htm");
                server.addPage(kHorse + horseId(zyo, n, h), h % 2 ? history : withoutFoot(history), "text/html; charset=Shift_JIS");
            }
        }
    owner_ = std::make_unique<FrmMain>();
    owner_->show();
    msgs_.clear();
    click(owner_.get(), "cmdKanri");
    auto* kanri = qobject_cast<FrmKanri*>(shownWindow("frmKanri"));
    ASSERT_TRUE(kanri && kanri->parentWidget() == owner_.get());
    setText(kanri, "txtZyunkaiDate", "2008/03/24");
    click(kanri, "cmbZyunkai");
    EXPECT_EQ(msgs_.texts(), QStringList {"巡回を完了\n16レースの予想を書き出しました"});
    QStringList expected;
    for (const QString& zyo : QStringLiteral("門別 札幌 旭川 盛岡 水沢 浦和 船橋 大井 川崎 金沢 笠松 名古 園田 姫路 福山 高知 佐賀 荒尾").split(' '))
        for (int n = 1; n <= std::min(races[zyo] + 1, 12); ++n)
            expected << cardTarget(zyo, n);
    EXPECT_EQ(server.requestLog().filter(kCard), expected);
    EXPECT_EQ(std::pair(server.requestLog().filter(kHorse).size(), server.requestCount(kHorse + horseId("大井", 12, 12))),
        std::pair(qsizetype(16 * 12), 1));
    EXPECT_EQ(rows("NAR_data.dat", "SELECT (SELECT COUNT(*) FROM T_Rdata) + (SELECT COUNT(*) FROM T_Useiseki)"), QStringList {"0"});
    EXPECT_EQ(rows("Rana.mdb", "SELECT COUNT(*), COUNT(taisyo), MAX(CASE WHEN taisyo = 'out' THEN R_code END) FROM T_Rana"),
              QStringList {"16|1|名古08032401"});
    EXPECT_EQ(std::tuple(pd.kakoKikan, childNamed<QLabel>(kanri, "txtRaceInfo")->text(),
                  libarchiveMembers(path("予想/0324.lzh")).size()),
        std::tuple(730, QString("荒尾-1R"), 18u));

    pd.umaIdx = 1;
    msgs_.clear();
    click(kanri, "Command2");
    EXPECT_EQ(std::pair(msgs_.texts(), pd.graphShiftDays), std::pair(QStringList {}, 365));
    EXPECT_TRUE(childNamed<QPushButton>(owner_.get(), "cmdGraphBack")->isVisibleTo(owner_.get()));

    // A server that stops answering part-way through a race stops the run with one message naming the race and the server; no
    // prediction of that race, no index or archive.
    server.setNeverAnswer(kHorse + horseId("大井", 2, 5), true);
    const auto archive = readTestFile(path("予想/0324.lzh"));
    msgs_.clear();
    click(kanri, "cmbZyunkai");
    EXPECT_EQ(msgs_.texts(), QStringList {"予想巡回を中止しました\nレースを読み込めませんでした: 大井-2R\nサーバー 127.0.0.1:"
                                          + QString::number(server.port()) + " が応答しません（1秒以内に応答がありません）"});
    EXPECT_EQ(std::tuple(QDir(path("予想出力")).entryList(QDir::Files), readTestFile(path("予想/0324.lzh")) == archive, pd.kakoKikan),
              std::tuple(QStringList {"大井0324-01R.html"}, true, 730));

    // A card the server answers with an error status is no race: its track ends there without a word and the run goes on with the
    // next track. A card that comes cut short still stops the run, naming the race and the cause.
    server.setNeverAnswer(kHorse + horseId("大井", 2, 5), false);
    server.setFaultFirstN(cardTarget("大井", 3), PageServer::Fault::NotFound, 1000);
    const int askedBefore = server.requestCount(cardTarget("大井", 4)), kawasakiBefore = server.requestCount(cardTarget("川崎", 1));
    msgs_.clear();
    click(kanri, "cmbZyunkai");
    EXPECT_EQ(std::tuple(msgs_.texts(), server.requestCount(cardTarget("大井", 4)) - askedBefore,
                         server.requestCount(cardTarget("川崎", 1)) - kawasakiBefore, QDir(path("予想出力")).entryList({"*R.html"})),
              std::tuple(QStringList {"巡回を完了\n6レースの予想を書き出しました"}, 0, 1,
                         QStringList {"名古0324-01R.html", "大井0324-01R.html", "大井0324-02R.html", "川崎0324-01R.html",
                                      "川崎0324-02R.html", "川崎0324-03R.html"}));
    server.setFaultFirstN(cardTarget("川崎", 2), PageServer::Fault::CutBody, 1000);
    msgs_.clear();
    click(kanri, "cmbZyunkai");
    EXPECT_EQ(msgs_.texts(), QStringList {"予想巡回を中止しました\nレースを読み込めませんでした: 川崎-2R\nページ " + server.baseUrl()
                                          + cardTarget("川崎", 2) + " が途中で切れています"});
}
