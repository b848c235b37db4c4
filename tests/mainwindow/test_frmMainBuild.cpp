#include "tests/mainwindow/frmMainFixture.h"

using Build = MainWindowTest;

// Years this year - 3 .. + 1, 31 days, tracks numbered from 1; a track number outside the list and a
// missing picture are reported, and the window is built all the same; before a read the tabs take no click.
TEST_F(Build, SelectorsAndStartStateOverABrokenProgramFolder)
{
    ASSERT_TRUE(QFile::remove(appDir.filePath("End.gif")) && QFile::remove(appDir.filePath("taizyu.gif")));
    openDbOrThrow(0, appDir.filePath("Strevin_data.dat"), dbPassword);
    slotConnection(0).execute("UPDATE MasterZyo SET zyoNo = 40 WHERE zyoName = '荒尾'");
    closeDb(0);
    openForm();
    const auto items = [](const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    const QStringList tracks = items(control<QComboBox>("cmbSelRace_3"));
    QStringList texts;
    for (int i = 0; i < 5; ++i)
        texts << control<QComboBox>(QStringLiteral("cmbSelRace_%1").arg(i))->currentText();
    EXPECT_EQ(std::tuple(items(control<QComboBox>("cmbSelRace_0")), items(control<QComboBox>("cmbSelRace_2")).size(), tracks.size(),
                         tracks.value(0), tracks.value(8), tracks.value(17), tracks.contains("荒尾"), texts,
                         control<QComboBox>("cmbTarKikan")->currentText()),
              std::tuple(QStringList({"2005", "2006", "2007", "2008", "2009"}), 31, 19, QString(), QString("大井"), QString("佐賀"), false,
                         QStringList({"2008", "03", "24", "大井", "11"}), QString("1年以内対象")));
    const int current = tabs()->currentIndex();
    clickTab("コース");
    EXPECT_EQ(std::tuple(tabs()->currentIndex(), shownPageControls(), tabs()->isEnabled(), tabs()->count(),
                         control<QToolBar>("tbMenuMove")->actions().size(), action("tbMenuFile_Print")->isEnabled(),
                         control("cmdKanri")->isVisible(), control("cmdTest")->isVisible(), action("tbMenuFile_End")->icon().isNull(),
                         action("tbMenuFile_Print")->icon().isNull(), messages.texts()),
              std::tuple(current, QStringList({"frameStart"}), false, 12, 0LL, false, false, false, true, false,
                         QStringList({"画像ファイルが読めません：End.gif、taizyu.gif", "場の一覧に入らない番号があります（MasterZyo）：40 荒尾"})));
}

// Client area 15000 x 10500 twips; every number worked by hand from the design sizes (selectors
// 1000, 700, 700, 1100, 700 wide; race line 500 high; buttons under the chart 1300 wide); each to
// within the pixel the conversion rounds to, -1 where not checked (the tab strip is one row of tabs high).
TEST_F(Build, LayoutInTwipsFromTheClientArea)
{
    openForm();
    const auto expectTwips = [](const QWidget* w, const std::array<int, 4>& twips) {
        const QRect g = w->geometry();
        const int px[] = {g.x(), g.y(), g.width(), g.height()};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(twips[i] < 0 || std::abs(pixelsToTwips(px[i]) - twips[i]) <= 2 * twipsPerPixel)
                << w->objectName().toStdString() << " " << i << ": " << pixelsToTwips(px[i]);
    };
    const std::pair<const char*, std::array<int, 4>> expected[] = {
        {"cbMain", {0, 0, 15000, 645}}, {"cmbSelRace_0", {300, 755, 1000, -1}}, {"cmbSelRace_3", {3600, 755, 1100, -1}},
        {"cmbSelRace_4", {5000, 755, 700, -1}}, {"lblSelRace_4", {5720, 805, -1, -1}}, {"cmdRaceRead", {6220, 755, -1, -1}},
        {"lblRaceInfo", {20, 1135, -1, 500}}, {"tabMain", {20, 1685, 14960, -1}}, {"gridPrintBacyu", {70, 2085, 14820, 8335}},
        {"cmbTarKikan", {70, 2085, 2000, 300}}, {"gridTekiseiSisuu", {70, 2435, 14820, -1}}, {"gridGraph", {70, 2185, 3050, -1}},
        {"Picture1", {3130, 2185, 9700, 7000}}, {"cmdGraphBack", {11530, 9285, 1300, -1}}, {"Picture2", {12880, 2125, 900, 8000}},
        {"txtRaceComment", {3170, 2085, 11740, -1}}};
    for (const auto& [name, twips] : expected)
        expectTwips(control(name), twips);
    // Under 2000 twips nothing moves; widening lays everything out again.
    const QRect tab = tabs()->geometry();
    form->resize(120, form->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(tabs()->geometry(), tab);
    form->resize(1100, form->height());
    QCoreApplication::processEvents();
    expectTwips(tabs(), {20, 1685, 16460, -1});
}

// Closing stores the track; while a long operation runs the window asks before it closes. Help opens the
// first page of our help file, whose links lead to the other pages; without the file the user is told.
TEST_F(Build, HelpAndClosing)
{
    openForm();
    action("menuHelpHtml")->trigger();
    EXPECT_EQ(std::pair(shown(), shownWindow("helpWindow") == nullptr), std::pair(std::string("ヘルプファイルが開けません：Strevin.chm"), true));
    ASSERT_TRUE(QFile::copy(BRENNOCK_HELP_FILE, appDir.filePath("Strevin.chm")));
    action("menuHelpHtml")->trigger();
    auto* help = qobject_cast<QTextBrowser*>(shownWindow("helpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->source().path(), "/index.htm");
    help->setSource(QUrl("tabs.htm"));
    EXPECT_TRUE(help->toPlainText().contains("コーナー進入予想図")) << help->toPlainText().left(80).toStdString();
    help->close();
    control<QComboBox>("cmbSelRace_3")->setCurrentText("川崎");
    messages.clear();
    {
        const FrmMain::BusyGuard busy(*form);
        EXPECT_FALSE(form->close());  // the question is not answered Yes
    }
    EXPECT_TRUE(form->close());
    EXPECT_EQ(std::tuple(iniRead("System", "Zyo", ""), form->isVisible(), messages.texts()),
              std::tuple(QString("川崎"), false, QStringList {"読込みまたは処理を実行中です。\n中止して終了しますか？"}));
}
