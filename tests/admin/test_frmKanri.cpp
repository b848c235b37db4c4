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

    std::unique_ptr<QWidget> owner_;
};

}

// Five frames from top to bottom, every control by name and kind with its design text; Load's
// defaults from the clock (on a first of January the new year and the four before it).
TEST_F(KanriWindow, ControlsAndLoadDefaults)
{
    setVbToday(VbDate::fromYmd(2009, 1, 1));
    FrmKanri* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "管理用");
    EXPECT_EQ(form->parentWidget(), owner_.get());
    int lastTop = -1;
    for (const auto& [name, title] : std::vector<std::pair<QString, QString>> {
             {"Frame5", "地区・場・距離間 整合の分析"}, {"Frame4", "馬場情報ファイルの作成"}, {"Frame3", "予想巡回"},
             {"Frame2", "DB Tool"}, {"Frame1", "Web読込みテスト"}}) {
        auto* frame = control<QGroupBox>(form, name);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->title(), title);
        EXPECT_GT(frame->y(), lastTop) << name.toStdString();
        lastTop = frame->y();
    }
    // Each control in its frame, of its kind, with its design text (or Load's).
    const std::vector<std::tuple<QString, QString, QString>> controls {
        {"Frame5", "cmdAnalSisuu", "①分析の開始"}, {"Frame5", "cmdTimeChange", "②基準タイムの書換・指数再計算"},
        {"Frame5", "cmdReCal", "③指数の再計算"}, {"Frame5", "TxtTar01", ""}, {"Frame5", "TxtTar02", ""},
        {"Frame5", "TxtTarZyo", "対象場"}, {"Frame5", "TxtHosei", ""}, {"Frame5", "txtAve01", ""},
        {"Frame5", "txtAve02", ""}, {"Frame5", "txtCount", ""}, {"Frame5", "Label6", "対象1"}, {"Frame5", "Label7", "対象2"},
        {"Frame5", "Label5", "の間で"}, {"Frame5", "Label4", "と"}, {"Frame5", "Label3", "1の補正値"},
        {"Frame5", "Label8", "データ数"}, {"Frame4", "cmdBabaFile", "馬場情報ファイル"}, {"Frame4", "chkReCal", "Check1"},
        {"Frame4", "Label2", "全て再計算"}, {"Frame3", "cmbZyunkai", "自動巡回"}, {"Frame3", "txtRaceInfo", "Label2"},
        {"Frame3", "txtZyunkaiDate", "2009/01/01"}, {"Frame2", "Command1", "読込み済みDBの変換"},
        {"Frame2", "Command2", "Command2"}, {"Frame1", "cmdWebRead", "開始"}, {"Frame1", "txtURL", "URLを入力"},
        {"Frame1", "Label1", "URLを指定し、CSVに出力します"}};
    for (const auto& [frame, name, text] : controls) {
        QWidget* w = control<QWidget>(control<QGroupBox>(form, frame), name);
        ASSERT_NE(w, nullptr);
        QString shown;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            shown = b->text();
        else if (auto* l = qobject_cast<QLabel*>(w))
            shown = l->text();
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            shown = e->text();
        EXPECT_EQ(shown, text) << name.toStdString();
    }
    // The batch button is a button, the race line a label.
    EXPECT_TRUE(qobject_cast<QPushButton*>(control<QWidget>(form, "cmbZyunkai")) && qobject_cast<QLabel*>(control<QWidget>(form, "txtRaceInfo")));
    auto* years = control<QComboBox>(form, "cmbNenBaba");
    auto* kinds = control<QComboBox>(form, "cmbAnalSisuuSyurui");
    EXPECT_TRUE(years->isEditable() && kinds->isEditable());
    QStringList items;
    for (int i = 0; i < years->count(); ++i)
        items << years->itemText(i);
    EXPECT_EQ(std::pair(years->currentText(), items), std::pair(QString("2009"), QStringList {"2008", "2007", "2006", "2005"}));
    QStringList kindItems;
    for (int i = 0; i < kinds->count(); ++i)
        kindItems << kinds->itemText(i);
    EXPECT_EQ(std::pair(kinds->currentText(), kindItems), std::pair(QString("地区間"), QStringList {"地区間", "場間", "距離間"}));

    const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(out));
    const QImage image = form->grab().toImage();
    ASSERT_TRUE(image.save(out + "/frmKanri.png"));
    EXPECT_GT(image.convertToFormat(QImage::Format_Indexed8).colorCount(), 20);
}

// One instance; the batch-mode signal is true exactly while the window exists: closing ends it at
// once, before the deferred deletion.
TEST_F(KanriWindow, OneInstanceAndBatchModeEndsOnClose)
{
    EXPECT_FALSE(isFormLoaded("frmKanri"));
    FrmKanri* form = open();
    EXPECT_EQ(open(), form);
    EXPECT_TRUE(isFormLoaded("frmKanri"));
    QPointer<FrmKanri> alive(form);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(isFormLoaded("frmKanri"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_NE(open(), nullptr);
}

// While a button works: every button off, the window refuses to close, the main window's guard is
// held and the progress dialog offers Cancel; work that keeps slots open holds the import token, so
// the page dump refuses. Afterwards all is back, with kakoKikan as it was.
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
        const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
        QDir().mkpath(out);
        EXPECT_TRUE(dialogSincyoku().grab().toImage().save(out + "/dialogSincyoku-cancel.png"));
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

// The name rule by characters: only the half-width "(" cuts; of a part of exactly four characters
// the first goes; only the first "(" counts.
TEST_F(KanriWindow, JockeyNameRule)
{
    const std::vector<std::pair<QString, QString>> cases {
        {"的場文男(大井)", "場文男"}, {"森泰斗(船橋)", "森泰斗"}, {"石崎駿之介(船橋)", "石崎駿之介"},
        {"戸崎圭太", "戸崎圭太"}, {"(大井)", ""}, {"内田博幸（大井）", "内田博幸（大井）"}, {"a(b(c", "a"},
        {"𠮷田一郎(大井)", "田一郎"}, {"今野(", "今野"}, {"", ""}};
    for (const auto& [stored, cut] : cases)
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

// The chart test draws the current runner with the year shift, and refuses without a runner; the
// page dump writes CSV.csv and says so.
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
    auto* url = control<QLineEdit>(form, "txtURL");
    url->setText(server.baseUrl() + "/page");
    click(form, "cmdWebRead");
    unloadDialogWeb();
    EXPECT_EQ(msgs_.texts(), QStringList {"CSVを出力しました"});
    EXPECT_TRUE(readTestFile(path("CSV.csv")).contains("\r\n"));
}

// A button's failure is told once, naming the operation and its cause, and the results of the
// evaluation land in the window (all four empty when no horse qualifies, the old correction gone).
TEST_F(KanriWindow, FailuresAreToldAndResultsShown)
{
    FrmKanri* form = open();
    control<QComboBox>(form, "cmbNenBaba")->setEditText("08");
    click(form, "cmdBabaFile");
    auto* hosei = control<QLineEdit>(form, "TxtHosei");
    hosei->setText("1.5");
    control<QLineEdit>(form, "TxtTar01")->setText("大井");
    control<QLineEdit>(form, "TxtTar02")->setText("川崎");
    control<QComboBox>(form, "cmbAnalSisuuSyurui")->setEditText("場間");
    click(form, "cmdAnalSisuu");
    EXPECT_EQ(hosei->text(), "");
    control<QLineEdit>(form, "txtZyunkaiDate")->setText("2008/13/01");
    click(form, "cmbZyunkai");
    EXPECT_EQ(msgs_.texts(), (QStringList {"馬場情報ファイルの作成を中止しました\n開始年は西暦4桁で指定してください: 08",
                                           "予想巡回を中止しました\nメイン画面のレース読込みを使えません"}));
}
