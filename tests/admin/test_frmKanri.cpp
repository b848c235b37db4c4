#include "admin/frmKanri.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "tests/admin/kanriFixture.h"
#include "tests/admin/zyunkaiRaces.h"
#include "tests/support/childNamed.h"
#include "tests/support/pageServer.h"
#include "webimport/dialogWeb.h"
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
    template <class W>
    W* control(const QObject* parent, const QString& name) { return childNamed<W>(parent, name); }
    void click(FrmKanri* form, const QString& name) { QTest::mouseClick(control<QPushButton>(form, name), Qt::LeftButton); }
    void setText(FrmKanri* form, const QString& name, const QString& text) { control<QLineEdit>(form, name)->setText(text); }

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
    EXPECT_EQ(items(control<QComboBox>(form, "cmbNenBaba")), (QStringList {"2009", "2008", "2007", "2006", "2005"}));
    EXPECT_EQ(items(control<QComboBox>(form, "cmbAnalSisuuSyurui")), (QStringList {"地区間", "地区間", "場間", "距離間"}));
    EXPECT_EQ(control<QLineEdit>(form, "txtZyunkaiDate")->text(), "2009/01/01");
    const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(out));
    EXPECT_TRUE(form->grab().toImage().save(out + "/frmKanri.png"));

    QPointer<FrmKanri> alive(form);
    EXPECT_TRUE(isFormLoaded("frmKanri") && form->close() && !isFormLoaded("frmKanri"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_NE(open(), nullptr);
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
        EXPECT_TRUE(ImportGuard::busy());
        EXPECT_FALSE(readWebPageToCsv("http://127.0.0.1:9/"));
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
    EXPECT_EQ(busy, (QStringList {"on", "off"}));
    EXPECT_FALSE(form->isWorking() || ImportGuard::busy() || isDialogSincyokuLoaded() || isDbOpen(1));
    EXPECT_TRUE(control<QPushButton>(form, "Command1")->isEnabled());
    EXPECT_EQ(pd.kakoKikan, 123);
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
    for (const QString& expectedWrites : {"1", "1"}) {
        click(form, "Command1");
        EXPECT_EQ(rows("NAR_data.dat", "SELECT COUNT(*) FROM writes"), QStringList {expectedWrites});
    }
    EXPECT_EQ(rows("NAR_data.dat", "SELECT U_name, U_kisyu FROM T_Useiseki ORDER BY U_name"),
              (QStringList {"エース|場文男", "シー|Null", "ビー'ト|森泰斗"}));
    EXPECT_EQ(msgs_.texts(), QStringList {});
}

// The chart test refuses without a runner, else draws with the year shift; the page dump writes CSV.csv.
TEST_F(KanriWindow, ChartTestAndPageDump)
{
    int drawn = 0;
    FrmKanri* form = open({{}, [&] { ++drawn; }, {}});
    redimUma(18, 2);
    pd.umaIdx = 19;
    click(form, "Command2");
    EXPECT_EQ(msgs_.texts(), QStringList {"グラフテストを中止しました\nグラフを描く馬がありません（レースを読み込んでください）"});
    loadTestRace("大井", VbDate::fromYmd(2008, 3, 24), 1, {{"エース", 60, 0.5f, 0.7f}});
    pd.umaIdx = 1;
    pd.graphShiftDays = 0;
    click(form, "Command2");
    EXPECT_EQ(std::pair(drawn, pd.graphShiftDays), std::pair(1, 365));

    PageServer server;
    ASSERT_TRUE(server.start());
    server.addFile("/page", "racecard_12.htm");
    msgs_.clear();
    pd.timerInter = 1;
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
    control<QComboBox>(form, "cmbNenBaba")->setEditText("08");
    click(form, "cmdBabaFile");
    auto* hosei = control<QLineEdit>(form, "TxtHosei");
    hosei->setText("1.5");
    setText(form, "TxtTar01", "大井");
    setText(form, "TxtTar02", "川崎");
    control<QComboBox>(form, "cmbAnalSisuuSyurui")->setEditText("場間");
    click(form, "cmdAnalSisuu");
    EXPECT_EQ(hosei->text(), "");
    setText(form, "txtZyunkaiDate", "2008/13/01");
    click(form, "cmbZyunkai");
    EXPECT_EQ(msgs_.texts(), (QStringList {"馬場情報ファイルの作成を中止しました\n開始年は西暦4桁で指定してください: 08",
                                           "予想巡回を中止しました\nメイン画面のレース読込みを使えません"}));
}
