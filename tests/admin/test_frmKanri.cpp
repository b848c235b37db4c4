#include "admin/frmKanri.h"
#include "core/publicFunction.h"
#include "platform/database.h"
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
    void SetUp() override
    {
        KanriFixture::SetUp();
        owner_ = std::make_unique<QWidget>();
        owner_->setObjectName("frmMain");
    }
    void TearDown() override
    {
        if (QWidget* w = shownWindow("frmKanri"))
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        owner_.reset();
        KanriFixture::TearDown();
    }
    FrmKanri* open(KanriHost host = {})
    {
        showFrmKanri(owner_.get(), std::move(host));
        return qobject_cast<FrmKanri*>(shownWindow("frmKanri"));
    }
    void click(FrmKanri* form, const QString& name) { QTest::mouseClick(childNamed<QPushButton>(form, name), Qt::LeftButton); }
    void setText(FrmKanri* form, const QString& name, const QString& text) { childNamed<QLineEdit>(form, name)->setText(text); }
    std::unique_ptr<QWidget> owner_;
};

}

// Load's defaults from the clock (on a first of January the new year and the four before it); one
// instance, and the batch-mode signal ends at close, before the deferred deletion.
TEST_F(KanriWindow, LoadDefaultsAndOneInstance)
{
    setVbToday(VbDate::fromYmd(2009, 1, 1));
    EXPECT_FALSE(isFormLoaded("frmKanri"));
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
    ASSERT_TRUE(QDir().mkpath(BRENNOCK_TEST_OUTPUT_DIR));
    EXPECT_TRUE(form->grab().toImage().save(BRENNOCK_TEST_OUTPUT_DIR "/frmKanri.png"));

    QPointer<FrmKanri> alive(form);
    EXPECT_TRUE(isFormLoaded("frmKanri") && form->close() && !isFormLoaded("frmKanri"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull() && open());
}

// While working: buttons off, no close, guard and import token held, Cancel offered; after the
// Cancel all is back, files and kakoKikan as they were.
TEST_F(KanriWindow, BusyWhileWorkingAndCancelRollsBack)
{
    addRace("大井08032401");
    addRun("大井08032401", "エース", DbRow().set("U_kisyu", "的場文男(大井)"));
    QStringList busy;
    FrmKanri* form = open({{}, {}, [&](bool on) { busy << (on ? "on" : "off"); }});
    pd.kakoKikan = 123;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        checked = true;
        EXPECT_TRUE(form->isWorking() && !form->close() && shownWindow("frmKanri"));
        for (QPushButton* b : form->findChildren<QPushButton*>())
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_TRUE(ImportGuard::busy() && !readWebPageToCsv("http://127.0.0.1:9/"));
        auto* cancel = dialogSincyoku().findChild<QPushButton*>("cmdCancel");
        ASSERT_TRUE(cancel && cancel->isVisible());
        pd.kakoKikan = 550;
        cancel->click();
    });
    const auto before = snapshot();
    click(form, "Command1");
    EXPECT_TRUE(checked);
    EXPECT_EQ(msgs_.texts(), (QStringList {"他の読込みが実行中です。終了してから開始してください", "読込み済みDBの変換をキャンセルしました"}))
        << msgs_.texts().join('|').toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(std::pair(busy, pd.kakoKikan), std::pair(QStringList {"on", "off"}, 123));
    EXPECT_FALSE(form->isWorking() || ImportGuard::busy() || isDialogSincyokuLoaded() || isDbOpen(1));
    EXPECT_TRUE(childNamed<QPushButton>(form, "Command1")->isEnabled());
}

// Only the first half-width "(" cuts; of exactly four characters before it the first goes.
TEST_F(KanriWindow, JockeyNameRule)
{
    for (const auto& [stored, cut] : std::vector<std::pair<QString, QString>> {
             {"的場文男(大井)", "場文男"}, {"森泰斗(船橋)", "森泰斗"}, {"石崎駿之介(船橋)", "石崎駿之介"},
             {"戸崎圭太", "戸崎圭太"}, {"(大井)", ""}, {"内田博幸（大井）", "内田博幸（大井）"}, {"a(b(c", "a"},
             {"𠮷田一郎(大井)", "田一郎"}, {"", ""}})
        EXPECT_EQ(cutKisyuName(stored), cut) << stored.toStdString();
}

// Only changed rows are written (a trigger counts the writes): the second run writes none. A race
// without runners and a run without jockey are passed over.
TEST_F(KanriWindow, JockeyRewriteWritesOnlyChangedRows)
{
    addRace("大井08032401");
    addRace("大井08032402");
    addRun("大井08032401", "エース", DbRow().set("U_kisyu", "的場文男(大井)"));
    addRun("大井08032401", "ビー'ト", DbRow().set("U_kisyu", "森泰斗"));
    addRun("大井08032401", "シー", DbRow().set("U_kisyu", DbValue()));
    exec("NAR_data.dat", "CREATE TABLE writes (n INTEGER)");
    exec("NAR_data.dat", "CREATE TRIGGER counted AFTER UPDATE ON T_Useiseki BEGIN INSERT INTO writes VALUES (1); END");
    FrmKanri* form = open();
    for (const char* expectedWrites : {"1", "1"}) {
        click(form, "Command1");
        EXPECT_EQ(rows("NAR_data.dat", "SELECT COUNT(*) FROM writes"), QStringList {expectedWrites});
    }
    EXPECT_EQ(rows("NAR_data.dat", "SELECT U_name, U_kisyu FROM T_Useiseki ORDER BY U_name"),
              (QStringList {"エース|場文男", "シー|Null", "ビー'ト|森泰斗"}));
    EXPECT_EQ(msgs_.texts(), QStringList {});
}

// The page dump writes the page read as CSV.csv.
TEST_F(KanriWindow, PageDump)
{
    PageServer server;
    ASSERT_TRUE(server.start());
    server.addFile("/page", "racecard_12.htm");
    pd.timerInter = 1;
    FrmKanri* form = open();
    setText(form, "txtURL", server.baseUrl() + "/page");
    click(form, "cmdWebRead");
    unloadDialogWeb();
    EXPECT_EQ(msgs_.texts(), QStringList {"CSVを出力しました"});
    EXPECT_TRUE(readTestFile(path("CSV.csv")).contains("\r\n"));
}

// A failure is told once with operation and cause; an evaluation without horses empties the correction.
TEST_F(KanriWindow, FailuresAreToldAndResultsShown)
{
    FrmKanri* form = open();
    childNamed<QComboBox>(form, "cmbNenBaba")->setEditText("08");
    click(form, "cmdBabaFile");
    auto* hosei = childNamed<QLineEdit>(form, "TxtHosei");
    hosei->setText("1.5");
    setText(form, "TxtTar01", "大井");
    setText(form, "TxtTar02", "川崎");
    childNamed<QComboBox>(form, "cmbAnalSisuuSyurui")->setEditText("場間");
    click(form, "cmdAnalSisuu");
    EXPECT_EQ(hosei->text(), "");
    setText(form, "txtZyunkaiDate", "2008/13/01");
    click(form, "cmbZyunkai");
    redimUma(18, 2);
    pd.umaIdx = 19;
    click(form, "Command2");
    EXPECT_EQ(msgs_.texts(), (QStringList {"馬場情報ファイルの作成を中止しました\n開始年は西暦4桁で指定してください: 08",
                                           "予想巡回を中止しました\nメイン画面のレース読込みを使えません",
                                           "グラフテストを中止しました\nグラフを描く馬がありません（レースを読み込んでください）"}));
}
