#include "app/mainStart.h"
#include "core/dialogBabaFile.h"
#include "core/dialogSincyoku.h"
#include "core/mainBabaFile.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"
#include "tests/support/qtPrinters.h"

#include <QProcess>

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { dir_.copyImages(); }
    void TearDown() override
    {
        setBabaFilePicker({});
        if (QWidget* w = shownWindow("frmMain"))
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        debugMode = false;
        pd.jraGraphOn = false;
    }
    TestAppDir dir_;
    MsgBoxRecorder msgs_;
};

// The marker files switch the debug mode and the central index on; a settings key that is no number
// falls back alone, trapped even in debug mode. The start notice's controls sit inside its frame
// without overlapping; it and the options dialog show every caption whole, and are rendered to PNG
// files for a person to look at.
TEST_F(StartUp, MarkerFilesSettingsMainWindowAndScreenshots)
{
    setDateRow(dir_.createStrevinData(), VbDate());
    dir_.createNarData();
    setDateRow(dir_.createJraGraph(), VbDate::fromYmd(2008, 3, 8));
    writeTestFile(dir_.filePath("kanri.id"), "");
    iniWrite("System", "tarKikanWebUma", "99999999999");
    iniWrite("System", "timerInter", "abc");
    iniWrite("graph", "iniGraph(4)", "false");
    iniWrite("graph", "iniGraph(7)", "0.35");
    pd.kakoKikan = pd.timerInter = 1;
    Main();
    EXPECT_EQ(std::tuple(debugMode, pd.jraGraphOn, pd.kakoKikan, pd.timerInter, pd.graphFlags[4], pd.graphFlags[5], pd.lineRatio),
              std::tuple(true, true, 730, 5, QString("false"), QString("true"), 0.35f));
    QWidget* form = shownWindow("frmMain");
    ASSERT_NE(form, nullptr);
    expectShows(form, {"Brennock", "　上の青枠緑ＢＯＸの開催日・場・レースを指定して、「出走表の読込み」ボタンを押してください　",
                       " 地方馬場情報ファイル：　版の日付がありません ", " 過去データ：　読込みなし ",
                       " 中央馬場情報ファイル：　2008/03/08版を読込み "});
    // At its designed size: the offscreen screen (800 x 600) is smaller, and the window shrank to fit it.
    form->resize(twipsToPixels(12300), twipsToPixels(9000));
    auto* frame = childNamed<QGroupBox>(form, "frameStart");
    EXPECT_TRUE(frame->isVisible() && form->rect().contains(frame->geometry()));
    QList<QRect> placed;
    for (const char* name : {"Label1", "lblBabaFileRecnt", "lblBabaNotice", "lblJraFileRecnt", "lblJraNotice", "lblDbKikan",
                             "lblDbNotice", "lblVersion", "cmdBabaFile", "cmdJraFile", "cmdDbRead", "Picture3"}) {
        auto* w = childNamed<QWidget>(form, name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->parentWidget() == frame && frame->rect().contains(w->geometry())) << name;
        for (const QRect& other : placed)
            EXPECT_FALSE(other.intersects(w->geometry())) << name << " overlaps";
        placed << w->geometry();
    }
    childNamed<QAction>(form, "menuOption")->trigger();
    const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(out));
    for (const auto& [widget, name] : {std::pair<QWidget*, QString>(form, "frmMain-start.png"),
                                       {shownWindow("frmOption"), "frmOption.png"}}) {
        ASSERT_NE(widget, nullptr) << name.toStdString();
        ASSERT_TRUE(widget->grab().save(out + "/" + name)) << name.toStdString();
        expectCaptionsFit(name == "frmOption.png" ? widget : frame);
    }
    // The notice's buttons reach the installs, which refresh it at once; closing ends the program.
    QTemporaryDir downloads;
    QStringList titles, picks {
        createTrackFile(DataFileKind::StrevinData, downloads.filePath("nar.dat"), VbDate::fromYmd(2027, 1, 9)),
        createTrackFile(DataFileKind::JraGraph, downloads.filePath("jra.dat"), VbDate::fromYmd(2027, 1, 16))};
    setBabaFilePicker([&](const QString& title, const QString&) {
        titles << title;
        return picks.takeFirst();
    });
    childNamed<QPushButton>(form, "cmdBabaFile")->click();
    childNamed<QPushButton>(form, "cmdJraFile")->click();
    expectShows(form, {" 地方馬場情報ファイル：　2027/01/09版を読込み ", " 中央馬場情報ファイル：　2027/01/16版を読込み "});
    EXPECT_EQ(titles, QStringList({"地方馬場情報ファイルの更新", "中央馬場情報ファイルの更新"}));
    EXPECT_EQ(msgs_.texts(), (QStringList {"Error-mainStart-1\nStrevin.ini [System] tarKikanWebUma", "2027/01/09版に更新しました", "2027/01/16版に更新しました"}));
    form->close();
    EXPECT_FALSE(shownWindow("frmOption") || shownWindow("frmMain"));
}

// No local track file, a race database that is no database, a central file with a wrong key, garbage
// settings and a folder named like the marker: the program starts with the defaults and says so.
TEST_F(StartUp, UnreadableProgramFolderStillStarts)
{
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("kanri.id")));
    const QByteArray garbage = QByteArray("[Sys\x01\xfe=\r\n\x81]tarKikanWebUma=\xff\r\n").repeated(200);
    writeTestFile(dir_.filePath("Strevin.ini"), garbage);
    writeTestFile(dir_.filePath("NAR_data.dat"), garbage);
    createDbFile(dir_.filePath("jraGraph.dat"), "other", "CREATE TABLE version (date TEXT);");
    pd.kakoKikan = pd.timerInter = 1;
    Main();
    EXPECT_EQ(std::tuple(debugMode, pd.jraGraphOn, pd.kakoKikan, pd.timerInter, pd.graphFlags[0], pd.lineRatio),
              std::tuple(false, true, 730, 5, QString("true"), 0.2f));
    expectShows(shownWindow("frmMain"), {" 地方馬場情報ファイル：　ファイルが開けません ", " 過去データ：　ファイルが開けません ",
                                         " 中央馬場情報ファイル：　ファイルが開けません "});
    const QString unreadable = "：データファイルではないか、パスワードが違います";
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainStart-2\nStrevin_data.dat：ファイルがありません\nNAR_data.dat" + unreadable
                                          + "\njraGraph.dat" + unreadable});
}

// A missing or empty track file is told once at the start, with its cause; the track chosen is stored on
// closing, and a settings file that cannot take it is said so.
TEST_F(StartUp, DataFileProblemsToldOnceAndTheLastTrackStored)
{
    dir_.createNarData();
    const auto start = [&] {
        msgs_.clear();
        Main();
        QWidget* form = shownWindow("frmMain");
        EXPECT_NE(form, nullptr);
        return form;
    };
    start()->close();
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainStart-2\nStrevin_data.dat：ファイルがありません"});
    writeTestFile(dir_.filePath("Strevin_data.dat"), "");
    start()->close();
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainStart-2\nStrevin_data.dat：ファイルが空です（0バイト）"});
    QFile::remove(dir_.filePath("Strevin_data.dat"));
    ASSERT_TRUE(QDir().mkdir(dir_.filePath("Strevin_data.dat")));  // a folder in the file's place is named too
    start()->close();
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainStart-2\nStrevin_data.dat：ファイルではありません"});
    ASSERT_TRUE(QDir().rmdir(dir_.filePath("Strevin_data.dat")));
    dir_.createStrevinData();
    QWidget* form = start();
    childNamed<QComboBox>(form, "cmbSelRace_3")->setCurrentText("川崎");
    form->close();
    EXPECT_EQ(std::pair(msgs_.texts(), iniRead("System", "Zyo", "")), std::pair(QStringList(), QString("川崎")));
    form = start();
    EXPECT_EQ(childNamed<QComboBox>(form, "cmbSelRace_3")->currentText(), "川崎");
    QFile::remove(dir_.filePath("Strevin.ini"));
    ASSERT_TRUE(QDir().mkdir(dir_.filePath("Strevin.ini")));  // no file can be written in its place
    form->close();
    EXPECT_EQ(msgs_.texts(), QStringList {"選択中の場（川崎）を保存できませんでした\n" + dir_.filePath("Strevin.ini") + " に書き込めません"});
}

// A new set-up, its files made by the data-file tool: the track file holds no standard times and so no edition, and
// the start page says that the indices need a track file. A file with its edition shows that instead; a track file
// emptied of every row (no edition, no track list) is said once, and the start goes on.
TEST_F(StartUp, NewSetUpAsksForATrackFile)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral(BRENNOCK_TOOLS_DIR "/makedata"), {testSchemaDir(), dir_.path()}), 0);
    setVbToday(VbDate::fromYmd(2027, 2, 1));
    const auto start = [&] {
        msgs_.clear();
        Main();
        QWidget* form = shownWindow("frmMain");
        EXPECT_NE(form, nullptr);
        const auto* notice = childNamed<QLabel>(form, "lblBabaNotice");
        const QString shown = childNamed<QLabel>(form, "lblBabaFileRecnt")->text() + '|'
                              + (notice->isVisible() ? notice->text().section("\r\n", 0, 0) : QString("hidden")) + '|'
                              + QString::number(childNamed<QComboBox>(form, "cmbSelRace_3")->count());
        form->close();
        return shown;
    };
    const QString notice = " 地方馬場情報ファイル：　版の日付がありません |馬場情報ファイルを更新しないと正確なスピード指数が表示されません|";
    const QString newSetUp = start();
    EXPECT_EQ(std::pair(newSetUp, msgs_.texts()), std::pair(notice + "19", QStringList()));
    setDateRow(dir_.filePath("Strevin_data.dat"), VbDate::fromYmd(2027, 1, 20));
    EXPECT_EQ(start(), " 地方馬場情報ファイル：　2027/01/20版を読込み |hidden|19");
    setDateRow(dir_.filePath("Strevin_data.dat"), VbDate());
    setDateRow(dir_.filePath("Strevin_data.dat"), VbDate(), "MasterZyo", "zyoNo");
    const QString emptied = start();
    EXPECT_EQ(std::pair(emptied, msgs_.texts()),
              std::pair(notice + "1", QStringList {"Error-mainStart-2\nStrevin_data.dat：場の一覧（MasterZyo）に場がありません"}));
    setVbToday(VbDate());
}

// Every window opens inside the screen's available area: the main window, larger than the offscreen
// screen of 800 x 600, shrinks to fit, and dialogs of an owner pushed against the corner move in.
TEST_F(StartUp, EveryWindowOpensInsideTheScreen)
{
    dir_.createStrevinData();
    dir_.createNarData();
    Main();
    QWidget* form = shownWindow("frmMain");
    ASSERT_NE(form, nullptr);
    const QRect area = form->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(form->frameGeometry())) << form->frameGeometry().width() << " wide";
    form->move(area.right() - 100, area.bottom() - 80);
    childNamed<QAction>(form, "menuOption")->trigger();
    childNamed<QPushButton>(form, "cmdDbRead")->click();
    showDialogBabaFile();
    showDialogSincyoku(form);
    for (const char* name : {"frmOption", "frmWebSeiseki", "dialogBabaFile", "dialogSincyoku"}) {
        const QWidget* window = shownWindow(name);
        ASSERT_NE(window, nullptr) << name;
        const QRect at = window->frameGeometry();
        EXPECT_TRUE(area.contains(at)) << name << " at " << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
    }
    unloadDialogSincyoku();
}

// The program's message boxes carry its name as their title, and Qt's own buttons speak Japanese.
TEST(Application, MessageBoxesAreTitledWithTheProgramAndSpeakJapanese)
{
    ASSERT_TRUE(loadQtTranslations()) << "Qt's translations (qt6-translations-l10n) are missing";
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + "|" + box->button(QMessageBox::Ok)->text() + "|" + box->button(QMessageBox::Cancel)->text();
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(msgBox("dataファイルが開けません", vbOKCancel), vbCancel);
    EXPECT_EQ(seen, "Brennock|OK|キャンセル");
}
