#include "core/dialogComment.h"
#include "core/dialogSincyoku.h"
#include "core/frmOption.h"
#include "core/publicDim.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

#include <QProgressBar>
#include <QScreen>
#include <QTest>

// Counts are clamped to 0..max (max at least 1); each show is on the screen painted the moment it returns, with
// or without an owner, and keeps the caption; a new load starts afresh.
TEST(ProgressDialog, CountsCancelPaintingAndUnloading)
{
    QWidget owner;
    owner.show();
    showDialogSincyoku();
    DialogSincyoku& d = dialogSincyoku();
    const auto onScreen = [&d] {
        return d.screen()->grabWindow(d.winId()).toImage().convertToFormat(QImage::Format_RGB32)
               == d.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    QPointer<QTimer> timer = d.findChild<QTimer*>("Timer1");
    auto* bar = d.findChild<QProgressBar*>("prgSincyoku");
    auto* cancel = d.findChild<QPushButton*>("cmdCancel");
    ASSERT_TRUE(timer && bar && cancel && d.isVisible() && timer->isActive() && !cancel->isVisible() && onScreen());
    const QString freshTitle = d.windowTitle();
    for (const auto& [max, value, maxRead, valueRead] : std::vector<std::tuple<float, std::optional<float>, float, float>> {
             {11, 12, 11, 11}, {11, -3, 11, 0}, {0, 5, 1, 1}, {364.6f, 40, 365, 40}, {5, {}, 5, 5}, {8, {}, 8, 5}}) {
        d.setMax(max);
        if (value)
            d.setValue(*value);
        EXPECT_EQ(std::pair(d.max(), d.value()), std::pair(maxRead, valueRead)) << max << ' ' << value.value_or(-1);
    }
    d.setMax(1e12f);  // beyond the bar's whole numbers
    d.setValue(1e12f);
    EXPECT_EQ(bar->value(), bar->maximum());
    d.offerCancel();
    EXPECT_TRUE(cancel->isVisible() && !d.pollCancel());
    cancel->click();
    EXPECT_TRUE(d.pollCancel() && d.pollCancel());
    d.setWindowTitle("馬場指数作成　1/3");
    showDialogSincyoku(&owner);
    EXPECT_TRUE(d.windowTitle() == "馬場指数作成　1/3" && d.parentWidget() == &owner && onScreen());
    unloadDialogSincyoku();
    EXPECT_FALSE(isDialogSincyokuLoaded());
    showDialogSincyoku();
    DialogSincyoku& next = dialogSincyoku();
    EXPECT_EQ(std::tuple(next.windowTitle(), next.max(), next.value(), next.findChild<QWidget*>("cmdCancel")->isVisible(),
                         next.pollCancel()), std::tuple(freshTitle, 100.0f, 0.0f, false, false));
    unloadDialogSincyoku();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(timer.isNull());
}

struct OptionsDialog : ::testing::Test {
    void SetUp() override
    {
        std::tie(pd.kakoKikan, pd.timerInter) = std::pair(400, 5);
        pd.graphFlags = {"TRUE", "False", "yes", "", "true", "tRuE", "0"};
    }
    void TearDown() override { delete form_.data(); }
    void open() { (form_ = new FrmOption)->show(); }
    template <class W = QPushButton>
    W* get(const QString& n, int i = -1) const { return childNamed<W>(form_, i < 0 ? n : QString("%1(%2)").arg(n).arg(i)); }
    static QString stored()
    {
        QStringList values {iniRead("System", "tarKikanWebUma", "-"), iniRead("System", "timerInter", "-")};
        for (int i = 0; i < 16; ++i)  // the eight chart flags, then the eight weights
            values << iniRead(i < 8 ? "graph" : "parameter", QString(i < 8 ? "iniGraph(%1)" : "para(%1)").arg(i % 8), "-");
        return values.join(' ');
    }
    TestAppDir dir_;
    MsgBoxRecorder msgs_;
    QPointer<FrmOption> form_;
};

// Bad weights take the default; a time-out that is no number, or a failed write, is reported and keeps the dialog.
TEST_F(OptionsDialog, PresetsCancelCheckedValuesOkAndAFailedWrite)
{
    open();
    get("cmdParaHonnmei")->click();
    get("cmdCancel")->click();
    EXPECT_FALSE(QFile::exists(dir_.filePath("Strevin.ini")));
    for (int i = 0; const char* value : {"250", "-5", "99999999999", "  60 ", "", "150", "abc", "0"})
        iniWrite("parameter", QString("para(%1)").arg(i++), value);
    const QString before = stored();
    open();
    get<QComboBox>("cmbInterTime")->setEditText("十秒");
    get("cmdOk")->click();
    EXPECT_EQ(msgs_.texts(), (QStringList {"Error-frmOption-4", "Error-frmOption-5"}));
    EXPECT_TRUE(stored() == before && form_->isVisible());
    for (const char* ignored : {"3", "100000", "3601"}) {
        get<QComboBox>("cmbInterTime")->setEditText(ignored);
        get("cmdOk")->click();
        EXPECT_EQ(std::pair(pd.kakoKikan, pd.timerInter), std::pair(400, 5)) << ignored;
        open();
    }
    EXPECT_EQ(stored(), "- - true false false false true true false - 100 100 100 60 100 150 100 0");
    get("cmdParaAna")->click();
    get("cmdParaHyozyun")->click();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(1);
    get<QComboBox>("cmbInterTime")->setEditText("20");
    get<QCheckBox>("chkGraph", 1)->setChecked(true);
    get<QSlider>("sldYosouPara", 3)->setValue(37);
    get("cmdOk")->click();
    EXPECT_EQ(stored(), "550 20 true true false false true true false - 100 100 100 37 100 100 100 100");
    EXPECT_EQ(std::tuple(pd.kakoKikan, pd.timerInter, pd.graphFlags[1]), std::tuple(550, 20, QString("true")));
    QFile::remove(dir_.filePath("Strevin.ini"));
    ASSERT_TRUE(QDir().mkdir(dir_.filePath("Strevin.ini")));  // no file can be written in its place
    open();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(0);
    get("cmdOk")->click();
    EXPECT_EQ(msgs_.texts().last(), "Error-frmOption-5\n" + dir_.filePath("Strevin.ini") + " [System] tarKikanWebUma に書き込めません");
    EXPECT_EQ(std::pair(form_->isVisible(), pd.kakoKikan), std::pair(true, 550));
}

// Enter stores what the dialog shows wherever the focus is, never running a preset or losing the typed time-out.
TEST_F(OptionsDialog, EnterStoresTheChoicesAndNeverRunsAPreset)
{
    for (const char* focus : {"cmdParaHonnmei", "cmbInterTime", "sldYosouPara(2)"}) {
        open();
        QApplication::setActiveWindow(form_);
        get<QSlider>("sldYosouPara", 0)->setValue(37);
        get<QComboBox>("cmbInterTime")->setEditText("30");
        get<QWidget>(focus)->setFocus();
        ASSERT_NE(QApplication::focusWidget(), nullptr) << focus;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(stored(), "- 30 true false false false true true false - 37 100 100 100 100 100 100 100") << focus;
        EXPECT_FALSE(form_ && form_->isVisible()) << focus;
        QFile::remove(dir_.filePath("Strevin.ini"));
    }
}

// One window; a failed save keeps it open and refreshes nothing; a save refreshes the opener; cancel stores nothing.
TEST(DialogComment, FailedSaveSaveAndCancel)
{
    TestAppDir dir;
    MsgBoxRecorder rec;
    QWidget owner;
    int refreshed = 0;
    const auto target = [&](const QString& name) {
        return CommentTarget {name, "Ｊ東京10/11/07-11R", "Ｊ東京10110711", {"old", "◎", ""}, "Uma", [&] { ++refreshed; }};
    };
    QPointer<DialogComment> d = showDialogComment(&owner, target("B"));
    ASSERT_TRUE(d && d->isVisible() && d->parentWidget() == &owner);
    EXPECT_EQ(showDialogComment(&owner, target("O'Reilly")), d.data());
    QTest::keyClicks(childNamed<QComboBox>(d, "cmbSign02"), "B+");
    childNamed<QPushButton>(d, "cmdEnd")->click();
    ASSERT_TRUE(d && d->isVisible() && refreshed == 0);
    EXPECT_EQ(rec.firstLines(), (QStringList {"dataファイルが開けません", "Error-dialogComment01"}));
    dir.createComment();
    childNamed<QPushButton>(d, "cmdEnd")->click();
    EXPECT_TRUE((!d || !d->isVisible()) && refreshed == 1);
    d = showDialogComment(&owner, target("O'Reilly"));
    QTest::keyClicks(childNamed<QPlainTextEdit>(d, "txtComment"), "discarded");
    childNamed<QPushButton>(d, "cmdCancel")->click();
    EXPECT_TRUE((!d || !d->isVisible()) && refreshed == 1);
    openCommentDb();
    EXPECT_EQ(readComment("Ｊ東京10110711", "O'Reilly"), (CommentNote {"old", "◎", "B+"}));
}
