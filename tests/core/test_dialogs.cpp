#include "core/dialogComment.h"
#include "core/dialogSincyoku.h"
#include "core/frmOption.h"
#include "core/publicDim.h"
#include "platform/vberror.h"
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

// Bad weights take the default. Every field is checked before anything is written: a bad one is named with its
// range and gets the focus, and the dialog stays open with nothing stored; so does a settings file that cannot be
// written.
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
    EXPECT_EQ(msgs_.firstLines(), QStringList {"Error-frmOption-4"});
    QApplication::setActiveWindow(form_);
    const auto pressOk = [&] { QTest::mouseClick(get("cmdOk"), Qt::LeftButton); };
    const auto focused = [&](const char* name) {
        auto* box = get<QComboBox>(name);
        return box->hasFocus() || box->lineEdit()->hasFocus();
    };
    const QString timeRange = "5から3600までの整数(秒)を入力してください";
    for (const char* bad : {"十秒", "3", "99999", "3601", "", "5.5", "-5"}) {
        msgs_.clear();
        get("cmdParaAna")->click();
        get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(1);
        get<QComboBox>("cmbInterTime")->setEditText(bad);
        pressOk();
        EXPECT_EQ(msgs_.texts(), QStringList {QString("Web取込待機時間(秒)「%1」は使えません。\n").arg(bad) + timeRange}) << bad;
        EXPECT_TRUE(focused("cmbInterTime") && form_->isVisible()) << bad;
        EXPECT_EQ(std::tuple(stored(), pd.kakoKikan, pd.timerInter), std::tuple(before, 400, 5)) << bad;
    }
    get<QComboBox>("cmbInterTime")->setEditText("１０");  // full-width digits are a number too
    get<QComboBox>("cmbTarKikanUma")->setEditText("2年");
    pressOk();
    EXPECT_EQ(msgs_.texts().last(), "出走表読込み時の過去履歴対象期間「2年」は選べません。\n"
                                    "「1年以内」「1年半以内」「2年以内」「3年以内」「全て読み込み」のどれかを選んでください");
    EXPECT_TRUE(focused("cmbTarKikanUma") && stored() == before);
    get<QComboBox>("cmbTarKikanUma")->setEditText("");  // a period of no entry stays as it was
    pressOk();
    EXPECT_FALSE(form_ && form_->isVisible());
    EXPECT_EQ(stored(), "- 10 true false false false true true false - 180 100 100 150 100 100 150 100");
    EXPECT_EQ(std::pair(pd.kakoKikan, pd.timerInter), std::pair(400, 10));
    open();
    get("cmdParaHyozyun")->click();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(1);
    get<QComboBox>("cmbInterTime")->setEditText("20");
    get<QCheckBox>("chkGraph", 1)->setChecked(true);
    get<QSlider>("sldYosouPara", 3)->setValue(37);
    pressOk();
    EXPECT_EQ(stored(), "550 20 true true false false true true false - 100 100 100 37 100 100 100 100");
    EXPECT_EQ(std::tuple(pd.kakoKikan, pd.timerInter, pd.graphFlags[1]), std::tuple(550, 20, QString("true")));
    QFile::remove(dir_.filePath("Strevin.ini"));
    ASSERT_TRUE(QDir().mkdir(dir_.filePath("Strevin.ini")));  // no file can be written in its place
    open();
    get<QComboBox>("cmbTarKikanUma")->setCurrentIndex(0);
    get<QComboBox>("cmbInterTime")->setEditText("30");
    pressOk();
    EXPECT_EQ(msgs_.texts().last(), "設定を保存できませんでした。\n" + dir_.filePath("Strevin.ini") + " に書き込めません");
    EXPECT_EQ(std::tuple(form_->isVisible(), pd.kakoKikan, pd.timerInter), std::tuple(true, 550, 20));
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

// Writes a file of that name and content into the program folder (an empty file, or another data file as it).
static void replaceFile(const TestAppDir& dir, const QString& name, const QString& from = {})
{
    QFile::remove(dir.filePath(name));
    if (from.isEmpty()) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    } else {
        ASSERT_TRUE(QFile::rename(from, dir.filePath(name)));
    }
}

// One window, filled from the store whatever the opener's cells show. A save that fails says why and keeps the
// window; a save tells every view; a save elsewhere replaces what an untouched window shows; cancel stores nothing.
TEST(DialogComment, StartsFromTheStoreSavesOrSaysWhy)
{
    TestAppDir dir;
    MsgBoxRecorder rec;
    QWidget owner;
    const auto target = [](const QString& name) { return CommentTarget {name, "Ｊ東京10/11/07-11R", "Ｊ東京10110711", "Uma"}; };
    EXPECT_THROW(showDialogComment(&owner, target("B")), VbError);  // no Comment.dat: nothing opens
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName() == "dialogComment" && w->isVisible());
    dir.createComment();
    storeComment("Ｊ東京10110711", "O'Reilly", {"stored", "◎", ""});
    std::vector<std::tuple<QString, QString, CommentNote>> heard;
    QObject::connect(&commentStore(), &CommentStore::saved, &owner,
                     [&](const QString& code, const QString& name, const CommentNote& note) { heard.emplace_back(code, name, note); });
    QPointer<DialogComment> d = showDialogComment(&owner, target("B"));
    ASSERT_TRUE(d && d->isVisible() && d->parentWidget() == &owner);
    EXPECT_EQ(childNamed<QPlainTextEdit>(d, "txtComment")->toPlainText(), "");
    EXPECT_EQ(showDialogComment(&owner, target("O'Reilly")), d.data());
    const auto shown = [&] {
        return CommentNote {childNamed<QPlainTextEdit>(d, "txtComment")->toPlainText(), childNamed<QComboBox>(d, "cmbSign01")->currentText(),
                            childNamed<QComboBox>(d, "cmbSign02")->currentText()};
    };
    EXPECT_EQ(shown(), (CommentNote {"stored", "◎", ""}));
    storeComment("Ｊ東京10110711", "O'Reilly", {"from a sheet", "○", ""});  // the window was not touched: it follows
    EXPECT_EQ(shown(), (CommentNote {"from a sheet", "○", ""}));
    QTest::keyClicks(childNamed<QComboBox>(d, "cmbSign02"), "B+");
    storeComment("Ｊ東京10110711", "O'Reilly", {"elsewhere", "", ""});  // typed in: the typing stays
    EXPECT_EQ(shown(), (CommentNote {"from a sheet", "○", "B+"}));
    const auto pressSave = [&] { QTest::mouseClick(childNamed<QPushButton>(d, "cmdEnd"), Qt::LeftButton); };
    const QString saveTag = "Error-dialogComment01\n";
    for (const auto& [from, cause] : {std::pair(QString(), QString("Comment.dat：ファイルが空です（0バイト）")),
                                      std::pair(dir.createStrevinData(),
                                                QString("Comment.dat：表 Comment がありません（このプログラムのデータファイルではありません）"))}) {
        const QString kept = dir.filePath("kept.dat");
        ASSERT_TRUE(QFile::rename(dir.filePath("Comment.dat"), kept));
        replaceFile(dir, "Comment.dat", from);
        rec.clear();
        pressSave();
        EXPECT_EQ(rec.texts(), QStringList {saveTag + cause});
        EXPECT_TRUE(d && d->isVisible());
        QFile::remove(dir.filePath("Comment.dat"));
        ASSERT_TRUE(QFile::rename(kept, dir.filePath("Comment.dat")));
    }
    QFile::setPermissions(dir.filePath("Comment.dat"), QFile::ReadOwner);
    if (!QFileInfo(dir.filePath("Comment.dat")).isWritable()) {  // a superuser writes whatever the permissions
        rec.clear();
        pressSave();
        EXPECT_EQ(rec.texts(), QStringList {saveTag + "Comment.dat：書き込めません（ファイルが読み取り専用です）"});
    }
    QFile::setPermissions(dir.filePath("Comment.dat"), QFile::ReadOwner | QFile::WriteOwner);
    const auto onCommentFile = [&](const QString& sql) {
        openDbOrThrow(slotExtra, dir.filePath("Comment.dat"), dbPassword);
        slotConnection(slotExtra).execute(sql);
        closeDb(slotExtra);
    };
    // A write the database refuses for a cause the file system does not show still says why, whoever runs the test.
    onCommentFile("CREATE TRIGGER refuse BEFORE UPDATE ON Comment BEGIN SELECT RAISE(ABORT, 'refused'); END");
    rec.clear();
    pressSave();
    EXPECT_EQ(rec.texts(), QStringList {saveTag + "Comment.dat：書き込めません（ほかのプログラムが使用中か、ディスクの空きが足りません）"});
    onCommentFile("DROP TRIGGER refuse");
    pressSave();
    EXPECT_FALSE(d && d->isVisible());
    EXPECT_EQ(heard.back(), std::tuple(QString("Ｊ東京10110711"), QString("O'Reilly"), CommentNote {"from a sheet", "○", "B+"}));
    d = showDialogComment(&owner, target("O'Reilly"));
    QTest::keyClicks(childNamed<QPlainTextEdit>(d, "txtComment"), "discarded");
    const size_t saves = heard.size();
    QTest::mouseClick(childNamed<QPushButton>(d, "cmdCancel"), Qt::LeftButton);
    EXPECT_TRUE((!d || !d->isVisible()) && heard.size() == saves);
    EXPECT_EQ(storedComment("Ｊ東京10110711", "O'Reilly"), (CommentNote {"from a sheet", "○", "B+"}));
}
