#include "tests/mainwindow/frmMainFixture.h"

#include "core/frmOption.h"
#include "platform/colors.h"

namespace {

using Build = MainWindowTest;

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QStringList captionsAndKeys(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* a : actions)
        texts << a->text() + ':' + a->data().toString();
    return texts;
}

// Left, top, width and height in twips, to within the pixel the conversion rounds to.
void expectTwips(const QWidget* w, int left, int top, int width, int height)
{
    ASSERT_NE(w, nullptr);
    const QRect g = w->geometry();
    const int tolerance = 2 * twipsPerPixel;
    EXPECT_NEAR(pixelsToTwips(g.x()), left, tolerance) << w->objectName().toStdString();
    EXPECT_NEAR(pixelsToTwips(g.y()), top, tolerance) << w->objectName().toStdString();
    if (width >= 0)
        EXPECT_NEAR(pixelsToTwips(g.width()), width, tolerance) << w->objectName().toStdString();
    if (height >= 0)
        EXPECT_NEAR(pixelsToTwips(g.height()), height, tolerance) << w->objectName().toStdString();
}

}

// Captions are checked once here; the start state is what a user meets before the first read.
TEST_F(Build, EveryControlCaptionAndStartState)
{
    openForm();
    EXPECT_EQ(form->windowTitle(), "Brennock");
    for (const char* name : {"cbMain", "tbMenuFile", "tbMenuMove", "shpSelRace", "cmdRaceRead", "lblRaceInfo", "tabMain",
                             "cmbTarKikan", "Label1", "lblBabaFileRecnt", "lblBabaNotice", "lblJraFileRecnt", "lblJraNotice",
                             "lblDbKikan", "lblDbNotice", "lblVersion", "cmdBabaFile", "cmdJraFile", "cmdDbRead", "Picture3",
                             "cmdKanri", "cmdTest", "Label2", "Label3", "picCornner", "menuFile", "menuDb", "menuBabaFile",
                             "menuHelp"})
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name;
    QStringList units;
    for (int i = 0; i < 5; ++i)
        units << control<QLabel>(QStringLiteral("lblSelRace_%1").arg(i))->text();
    EXPECT_EQ(units, QStringList({"年", "月", "日", "R", "R"}));
    EXPECT_EQ(control<QPushButton>("cmdRaceRead")->text(), "出馬表の読込み");
    EXPECT_EQ(std::tuple(control<QPushButton>("cmdGraphShift")->text(), control<QPushButton>("cmdGraphBack")->text(),
                         control<QLabel>("Label2")->text(), control<QLabel>("Label3")->text(),
                         control<QLabel>("lblRaceComment")->text(), control<QLineEdit>("txtRaceComment")->text(),
                         control<QLineEdit>("txtRaceComment")->toolTip()),
              std::tuple(QString("←1年移動"), QString("戻る→"), QString("↑進行方向"), QString("内ラチ"), QString("ﾚｰｽｺﾒﾝﾄ"),
                         QString("レースコメントを入力してください"), QString("Enterキーを押して確定させてください")));
    QStringList tabTexts;
    for (int i = 0; i < tabs()->count(); ++i)
        tabTexts << tabs()->tabText(i) + ':' + tabs()->tabData(i).toString();
    EXPECT_EQ(tabTexts, QStringList({"出走表（着順）:Syuxtuba", "出走表（スピード指数）:spSisuu", "グラフ:Graph", "予想・適性:Yosou",
                                     "適性（スピード指数）:TkiseiSisuu", "適性（勝率・連対率）:TkiseiDosuu", "持ち時計:mochiTime",
                                     "対戦表:Taisen", "馬柱（印刷イメージ）:Print", "コメント:comment",
                                     "コーナー進入予想図:corner", "コース:cource"}));
    EXPECT_EQ(captionsAndKeys(control<QToolBar>("tbMenuFile")->actions()),
              QStringList({"成績読込み:ReadWeb", "馬場ﾌｧｲﾙ:File", "印刷:Print", "終了:End"}));
    EXPECT_EQ(captionsAndKeys({action("tbMenuMove_Prev"), action("tbMenuMove_Next"), action("tbMenuMove_Graph"),
                               action("tbMenuMove_Hikaku")}),
              QStringList({"前の馬:Prev", "次の馬:Next", "グラフ:Graph", "比較ｸﾞﾗﾌ:Hikaku"}));
    for (QAction* a : control<QToolBar>("tbMenuFile")->actions())
        EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
    QStringList menus;
    for (QAction* a : form->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"ﾌｧｲﾙ(&F)", "ﾃﾞｰﾀﾍﾞｰｽﾂｰﾙ(&D)", "馬場情報ﾌｧｲﾙ更新(&S)", "ｵﾌﾟｼｮﾝ(&O)", "ﾍﾙﾌﾟ('&H)"}));
    EXPECT_EQ(form->menuBar()->actions()[3], action("menuOption"));
    EXPECT_EQ(captionsAndKeys(control<QMenu>("menuFile")->actions() + control<QMenu>("menuDb")->actions() +
                              control<QMenu>("menuBabaFile")->actions() + control<QMenu>("menuHelp")->actions()),
              QStringList({"印刷:", "CSV出力:", "終了:", "過去出走ﾃﾞｰﾀ読込み:", "ﾃﾞｰﾀﾍﾞｰｽの最適化:", "地方馬場情報ﾌｧｲﾙ更新:",
                           "中央馬場情報ﾌｧｲﾙ更新:", "ﾍﾙﾌﾟ:", "ｸﾞﾗﾌの見方:"}));

    // Selectors: this year - 3 .. + 1, 31 days whatever the month, the tracks by MasterZyo position
    // (numbered from 1, so the first item is empty), race 11; all take typed text.
    const QStringList years = items(control<QComboBox>("cmbSelRace_0"));
    const QStringList tracks = items(control<QComboBox>("cmbSelRace_3"));
    EXPECT_EQ(years, QStringList({"2005", "2006", "2007", "2008", "2009"}));
    EXPECT_EQ(std::tuple(items(control<QComboBox>("cmbSelRace_1")).size(), items(control<QComboBox>("cmbSelRace_2")).size(),
                         items(control<QComboBox>("cmbSelRace_2")).last(), tracks.size(), tracks.value(0), tracks.value(8),
                         items(control<QComboBox>("cmbSelRace_4")).first()),
              std::tuple(12, 31, QString("31"), 19, QString(), QString("大井"), QString("01")));
    QStringList texts;
    for (int i = 0; i < 5; ++i) {
        auto* box = control<QComboBox>(QStringLiteral("cmbSelRace_%1").arg(i));
        EXPECT_TRUE(box->isEditable());
        texts << box->currentText() + (box->toolTip().isEmpty() ? "" : "+tip");
    }
    EXPECT_EQ(texts, QStringList({"2008", "03+tip", "24+tip", "大井+tip", "11+tip"}));
    EXPECT_EQ(control<QPushButton>("cmdRaceRead")->toolTip(), "開催日・場・レースNoを選択後、出馬表読込みをおこなって下さい");
    EXPECT_EQ(items(control<QComboBox>("cmbTarKikan")), QStringList({"6ヶ月以内対象", "1年以内対象", "2年以内対象", "全期間対象"}));
    EXPECT_EQ(control<QComboBox>("cmbTarKikan")->currentText(), "1年以内対象");

    // Start state: only the start notice, no tabs, no chart toolbar, no printing, the prompt.
    EXPECT_EQ(shownPageControls(), QStringList({"frameStart"}));
    EXPECT_FALSE(tabs()->isEnabled());
    EXPECT_EQ(std::tuple(control<QToolBar>("tbMenuMove")->actions().size(), control<QToolBar>("tbMenuMove")->isEnabled(),
                         action("tbMenuFile_Print")->isEnabled(), action("menuFilePrint")->isEnabled(),
                         control("lblSelRace_3")->isVisible(), control("cmdKanri")->isVisible(), control("cmdTest")->isVisible()),
              std::tuple(0LL, false, false, false, false, false, false));
    EXPECT_EQ(control<QLabel>("lblRaceInfo")->text(), "出馬表を読込んでください");
    const int current = tabs()->currentIndex();
    clickTab("コース");
    EXPECT_EQ(std::tuple(tabs()->currentIndex(), shownPageControls()), std::tuple(current, QStringList({"frameStart"})));
    EXPECT_EQ(shown(), "");
}

TEST_F(Build, DebugModeShowsTheAdministrationAndTestButtons)
{
    debugMode = true;
    openForm();
    debugMode = false;
    EXPECT_TRUE(control("cmdKanri")->isVisible() && control("cmdTest")->isVisible());
}

// Client area 15000 x 10500 twips; every number worked by hand from the design sizes (selectors
// 1000, 700, 700, 1100, 700 wide; race line 500 high; buttons under the chart 1300 wide).
TEST_F(Build, LayoutInTwipsFromTheClientArea)
{
    openForm();
    const std::tuple<const char*, int, int, int, int> expected[] = {
        {"cbMain", 0, 0, 15000, 645},
        {"shpSelRace", 8, 705, 14992, 400},
        {"cmbSelRace_0", 300, 755, 1000, -1},
        {"cmbSelRace_1", 1600, 755, 700, -1},
        {"cmbSelRace_2", 2600, 755, 700, -1},
        {"cmbSelRace_3", 3600, 755, 1100, -1},
        {"cmbSelRace_4", 5000, 755, 700, -1},
        {"lblSelRace_0", 1320, 805, -1, -1},
        {"lblSelRace_4", 5720, 805, -1, -1},
        {"cmdRaceRead", 6220, 755, -1, -1},
        {"lblRaceInfo", 20, 1135, -1, 500},
        {"tabMain", 20, 1685, 14960, 8785},
        {"gridSyuxtusouHyou", 70, 2085, 14820, -1},
        {"gridYosou", 70, 2085, 14820, -1},
        {"gridPrintBacyu", 70, 2085, 14820, 8335},
        {"cmbTarKikan", 70, 2085, 2000, 300},
        {"gridTekiseiSisuu", 70, 2435, 14820, -1},
        {"gridCorce", 70, 2435, 14820, -1},
        {"gridComment", 70, 2435, 14820, -1},
        {"gridGraph", 70, 2185, 3050, -1},
        {"Picture1", 3130, 2185, 9700, 7000},
        {"cmdGraphShift", 3130, 9285, 1300, -1},
        {"cmdGraphBack", 11530, 9285, 1300, -1},
        {"Picture2", 12880, 2125, 900, 8000},
        {"lblRaceComment", 2120, 2085, 1000, -1},
        {"txtRaceComment", 3170, 2085, 11740, -1},
        {"fraConner", 70, 2085, -1, -1},
    };
    for (const auto& [name, left, top, width, height] : expected)
        expectTwips(control(name), left, top, width, height);
    EXPECT_FALSE(control("lblSelRace_3")->isVisible());

    // Under 2000 twips nothing moves; widening lays everything out again.
    const QRect tab = tabs()->geometry();
    form->resize(120, form->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(tabs()->geometry(), tab);
    form->resize(1100, form->height());
    QCoreApplication::processEvents();
    expectTwips(tabs(), 20, 1685, 16460, 8785);
}

// A missing picture, a track number outside the list and no saved track: reported, and the window
// is built all the same with a button without picture and the tracks that fit.
TEST_F(Build, BrokenProgramFolderIsReportedAndTheWindowStillBuilt)
{
    ASSERT_TRUE(QFile::remove(appDir.filePath("End.gif")) && QFile::remove(appDir.filePath("taizyu.gif")));
    openDbOrThrow(0, appDir.filePath("Strevin_data.dat"), dbPassword);
    slotConnection(0).execute("UPDATE MasterZyo SET zyoNo = 40 WHERE zyoName = '荒尾'");
    closeDb(0);
    openForm();
    EXPECT_EQ(messages.texts(), QStringList({"画像ファイルが読めません：End.gif、taizyu.gif",
                                             "場の一覧に入らない番号があります（MasterZyo）：40 荒尾"}));
    const QStringList tracks = items(control<QComboBox>("cmbSelRace_3"));
    EXPECT_EQ(std::tuple(tracks.size(), tracks.contains("荒尾"), tracks.value(17), tabs()->count(),
                         action("tbMenuFile_End")->icon().isNull(), action("tbMenuFile_Print")->icon().isNull()),
              std::tuple(19LL, false, QString("佐賀"), 12, true, false));
    EXPECT_TRUE(control("frameStart")->isVisible());
}

TEST_F(Build, WithoutATrackFileTheTrackListIsEmptyAndTheRestWorks)
{
    ASSERT_TRUE(QFile::remove(appDir.filePath("Strevin_data.dat")));
    openForm();
    EXPECT_TRUE(messages.texts().value(0).startsWith("dataファイルが開けません")) << shown();
    EXPECT_EQ(std::tuple(control<QComboBox>("cmbSelRace_3")->count(), control<QComboBox>("cmbSelRace_3")->currentText(),
                         tabs()->count(), control<QComboBox>("cmbSelRace_4")->currentText()),
              std::tuple(0, QString("大井"), 12, QString("11")));
}

// Closing stores the track once, closes the other windows and does not run into itself; while a
// long operation runs the window refuses to close.
TEST_F(Build, ClosingStoresTheTrackAndClosesTheOtherWindows)
{
    openForm();
    control<QComboBox>("cmbSelRace_3")->setCurrentText("川崎");
    {
        const FrmMain::BusyGuard busy(*form);
        EXPECT_FALSE(form->close());
    }
    EXPECT_TRUE(form->isVisible());
    action("menuOption")->trigger();
    ASSERT_NE(shownWindow("frmOption"), nullptr);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(std::tuple(iniRead("System", "Zyo", ""), shownWindow("frmOption") == nullptr, form->isVisible()),
              std::tuple(QString("川崎"), true, false));
    EXPECT_EQ(shown(), "");
}

// Help opens our help file at its first page in the program's help window, whose links lead to
// the other pages; without the file the user is told so.
TEST_F(Build, HelpOpensTheFirstPageOfTheHelpFile)
{
    openForm();
    action("menuHelpHtml")->trigger();
    EXPECT_EQ(shown(), "ヘルプファイルが開けません：Strevin.chm");
    EXPECT_EQ(shownWindow("helpWindow"), nullptr);
    messages.clear();
    ASSERT_TRUE(QFile::copy(BRENNOCK_HELP_FILE, appDir.filePath("Strevin.chm")));
    action("menuHelpHtml")->trigger();
    auto* help = qobject_cast<QTextBrowser*>(shownWindow("helpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->source().path(), "/index.htm");
    EXPECT_TRUE(help->toPlainText().startsWith("Brennock ヘルプ"));
    help->setSource(QUrl("tabs.htm"));
    EXPECT_TRUE(help->toPlainText().contains("コーナー進入予想図")) << help->toPlainText().left(80).toStdString();
    help->close();
    EXPECT_EQ(shown(), "");
}
