#include "mainwindow/mainComment.h"

#include "core/dialogComment.h"
#include "platform/vbformat.h"
#include "sheets/sheetOpen.h"
#include "tests/mainwindow/frmMainFixture.h"
#include "webimport/ReadWeb.h"

#include <QTabBar>

// Three runners on 大井: 1 with runs inside and outside the year, 2 without runs, 3 with a central run,
// a gap (zero date) and a run exactly a year back. One group per listed run (run 0 is the race shown);
// runs on the bound day or before, and gaps, list nothing.
TEST(CommentPage, LayoutEditorRaceBoxAndMissingFile)
{
    const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);
    initPublic();
    redimUma(18, 150);
    pd.raceDate = kRaceDay;
    pd.raceCode = "大井24060111";
    pd.tousuu = 3;
    const std::tuple<int, int, int, QString, int> runs[] = {{1, 0, 0, "大井", 11}, {2, 0, 0, "大井", 11}, {3, 0, 0, "大井", 11},
                                                            {1, 1, 30, "川崎", 3},  {1, 2, 400, "船橋", 5}, {3, 1, 20, "Ｊ東京", 11},
                                                            {3, 3, 365, "浦和", 2}};
    for (const auto& [h, j, daysAgo, zyo, raceNo] : runs) {
        pd.uDate(h, j) = kRaceDay.addDays(-daysAgo);
        pd.uZyo(h, j) = zyo;
        pd.uRaceNo(h, j) = raceNo;
        pd.uName(h) = QStringList {"O'Reilly", "ニノミヤ", "サード"}[h - 1];
        pd.uWaku(h, 0) = h == 3 ? 4 : 2;
    }
    pd.sirusi(1) = "◎";
    pd.yosouSisuu(1) = 62.5f;
    pd.kisoSisuu(1, 0) = 0.4f;
    TestAppDir dir;
    dir.createComment();
    QWidget owner;
    FlexGrid& grid = *new FlexGrid(&owner);
    QLineEdit& box = *new QLineEdit(&owner);
    owner.show();
    connectCommentPage(grid, box, &owner);
    const auto draw = [&](const QString& period = "1年以内対象") { drawGridComment(grid, box, period); };
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c)
            cells << grid.textMatrix(r, c);
        return cells.join('|').toStdString();
    };
    // A note stored (with a value) or read back by the store's own reader.
    const auto note = [](const QString& code, const QString& name, std::optional<CommentNote> value = {}) {
        openCommentDb();
        DbSlotCloser closer(commentSlot);
        if (value)
            saveComment(code, name, *value);
        return readComment(code, name);
    };
    // The note editor, from a click on the grid (null when none opened).
    const auto clickAt = [&](int r, int c) {
        grid.clickCell(r, c);
        return shownWindow("dialogComment");
    };
    // Typing greys the race box; Return files it under the race shown and hands the focus to the grid.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    draw();
    box.setFocus();
    QTest::keyClicks(&box, "Nige's");
    EXPECT_FALSE(commentBoxSaved(&box));
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_TRUE(commentBoxSaved(&box) && grid.hasFocus());
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(note("大井24060111", "Race")->comment, "Nige's");
    box.setText("unsaved");
    draw();
    EXPECT_EQ(std::pair(box.text(), commentBoxSaved(&box)), std::pair(QString("Nige's"), true));
    pd.raceCode = "大井24060112";
    draw();
    EXPECT_EQ(std::pair(box.text(), commentBoxSaved(&box)), std::pair(QString(), false));
    note("Uma", "O'Reilly", CommentNote {"horse note", "◎", "B"});
    note("川崎24050203", "O'Reilly", CommentNote {"kawasaki", "1", "2"});
    note("Ｊ東京24051211", "サード", CommentNote {"central", "", "z"});
    note("船橋23042805", "O'Reilly", CommentNote {"too old", "", ""});
    draw();
    ASSERT_EQ(std::pair(grid.cols(), grid.rows()), std::pair(18, 5));
    EXPECT_EQ(std::tuple(row(2), row(3), row(4)),
              std::tuple("2|1|◎|O'Reilly|63||horse note|◎|B|大井06/01||||川崎05/02|kawasaki|1|2|", "|2||ニノミヤ||||||大井06/01||||||||",
                         "4|3||サード||||||大井06/01||||Ｊ東京05/12|central||z|"));
    EXPECT_NEAR(grid.heightTwips(), 6 * 300 + 50, twipsPerPixel / 2);  // to the pixel
    // A shared bracket is written once but coloured on both rows.
    EXPECT_EQ(std::tuple(grid.cellBackColor(3, 0), grid.cellForeColor(4, 0), pd.umaIdx),
              std::tuple(wakuColor(2), RGB(255, 255, 255), 4));
    // Headers, fixed columns and a runner without that run open nothing.
    for (const auto& [r, c] : std::vector<std::pair<int, int>> {{0, 13}, {1, 6}, {2, 3}, {2, 5}, {3, 13}})
        EXPECT_EQ(clickAt(r, c), nullptr) << r << ',' << c;
    QWidget* d = clickAt(4, 16);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(std::tuple(childNamed<QLabel>(d, "lblRace")->text(), childNamed<QLabel>(d, "lblUma")->text(),
                         childNamed<QComboBox>(d, "cmbSign02")->currentText()),
              std::tuple(QString("Ｊ東京24/05/12-11R"), QString("サード"), QString("z")));
    auto* text = childNamed<QPlainTextEdit>(d, "txtComment");
    text->selectAll();
    QTest::keyClicks(text, "again");
    QTest::mouseClick(childNamed<QPushButton>(d, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(std::pair(grid.textMatrix(4, 14), note("Ｊ東京24051211", "サード")),
              std::pair(QString("again"), std::optional(CommentNote {"again", "", "z"})));
    d = clickAt(3, 7);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(childNamed<QLabel>(d, "lblRace")->text(), "馬コメント");
    QTest::keyClicks(childNamed<QComboBox>(d, "cmbSign01"), "A+");
    QTest::mouseClick(childNamed<QPushButton>(d, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(std::pair(grid.textMatrix(3, 7), note("Uma", "ニノミヤ")->sign01), std::pair(QString("A+"), QString("A+")));
    // Every column of a run's group, its race column first, opens that race's note; only columns 6 to 8 the horse's.
    const std::tuple<int, QString, QString> opened[] = {
        {6, "馬コメント", "horse note"},       {8, "馬コメント", "horse note"},       {9, "大井24/06/01-11R", ""},
        {12, "大井24/06/01-11R", ""},         {13, "川崎24/05/02-03R", "kawasaki"}, {14, "川崎24/05/02-03R", "kawasaki"},
        {16, "川崎24/05/02-03R", "kawasaki"}};
    for (const auto& [c, label, comment] : opened) {
        d = clickAt(2, c);
        ASSERT_NE(d, nullptr) << c;
        EXPECT_EQ(std::tuple(childNamed<QLabel>(d, "lblRace")->text(), childNamed<QLabel>(d, "lblUma")->text(),
                             childNamed<QPlainTextEdit>(d, "txtComment")->toPlainText()),
                  std::tuple(label, QString("O'Reilly"), comment))
            << c;
        QTest::mouseClick(childNamed<QPushButton>(d, "cmdCancel"), Qt::LeftButton);
    }
    draw("全期間対象");
    EXPECT_EQ(std::tuple(grid.cols(), row(2), row(3), row(4)),
              std::tuple(26, "2|1|◎|O'Reilly|63||horse note|◎|B|大井06/01||||川崎05/02|kawasaki|1|2|船橋04/28|too old|||||||",
                         "|2||ニノミヤ||||A+||大井06/01||||||||||||||||", "4|3||サード||||||大井06/01||||Ｊ東京05/12|again||z|||||浦和06/02||||"));
    draw("6ヶ月以内対象");
    EXPECT_EQ(grid.cols(), 18);
    // Without Comment.dat: box and grid keep what they showed, and the message says why.
    box.setText("typed");
    QFile::remove(commentDbPath());
    MsgBoxRecorder rec;
    draw();
    EXPECT_EQ(std::tuple(rec.texts(), box.text(), grid.textMatrix(2, 6), grid.cols(), grid.updatesEnabled()),
              std::tuple(QStringList {"Error-mainComment\nComment.dat：ファイルがありません"}, QString("typed"), QString("horse note"), 18, true));
}

namespace {

QStringList cells(const FlexGrid* grid, std::initializer_list<std::pair<int, int>> at)
{
    QStringList texts;
    for (const auto& [r, c] : at)
        texts << grid->textMatrix(r, c);
    return texts;
}

// Clicks a scrolling cell of a grid with the mouse, as the user does.
void mouseClickCell(FlexGrid* grid, int row, int col)
{
    const QModelIndex at = grid->model()->index(row, col);
    static_cast<QAbstractItemView*>(grid)->scrollTo(at);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(at).center());
}

CommentNote dialogNote(QWidget* d)
{
    return {childNamed<QPlainTextEdit>(d, "txtComment")->toPlainText(), childNamed<QComboBox>(d, "cmbSign01")->currentText(),
            childNamed<QComboBox>(d, "cmbSign02")->currentText()};
}

}  // namespace

// A note saved in a horse sheet shows at once on the main window's comment page, and the editor opened there
// starts from it; a save in the editor shows at once in the sheet and in an open race-result sheet. Saving from
// the page's old cells can no longer overwrite the sheet's note.
TEST_F(MainWindowTest, ASaveAnywhereShowsInEveryViewAndTheEditorStartsFromTheStore)
{
    openForm();
    pressRead();
    ASSERT_EQ(pd.tousuu, 12);
    clickTab("コメント");
    auto* page = control<FlexGrid>("gridComment");
    const QString horse = pd.uName(1), lastRun = makeRaceCode(pd.uZyo(1, 1), pd.uDate(1, 1), pd.uRaceNo(1, 1));
    ASSERT_EQ(page->textMatrix(2, 3), horse);
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, lastRun));
    clickTab("出走表（着順）");
    control<FlexGrid>("gridSyuxtusouHyou")->clickCell(1, 3);  // runner 1's name
    QWidget* sheet = loadedSheet(SheetKind::Uma);
    ASSERT_NE(sheet, nullptr);
    auto* tabs = childNamed<QTabBar>(sheet, "tabMain");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    auto* box = childNamed<QLineEdit>(sheet, "txtUmaComment");
    box->selectAll();
    QTest::keyClicks(box, "front runner");
    QTest::keyClicks(childNamed<QComboBox>(sheet, "cmbUmaSign01"), "A");
    QTest::keyClick(box, Qt::Key_Return);
    clickTab("コメント");
    EXPECT_EQ(cells(page, {{2, 6}, {2, 7}, {2, 8}}), QStringList({"front runner", "A", ""}));
    mouseClickCell(page, 2, 6);
    QWidget* editor = shownWindow("dialogComment");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(dialogNote(editor), (CommentNote {"front runner", "A", ""}));
    QTest::keyClicks(childNamed<QComboBox>(editor, "cmbSign02"), "B+");
    QTest::mouseClick(childNamed<QPushButton>(editor, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(std::tuple(box->text(), childNamed<QComboBox>(sheet, "cmbUmaSign01")->currentText(),
                         childNamed<QComboBox>(sheet, "cmbUmaSign02")->currentText()),
              std::tuple(QString("front runner"), QString("A"), QString("B+")));
    // The horse's note on its last race, from the sheet's list: the page's group and the race-result sheet follow.
    auto* list = childNamed<FlexGrid>(sheet, "gridComment");
    ASSERT_EQ(list->textMatrix(1, 0), Format(pd.uDate(1, 1), "yy/mm/dd"));
    mouseClickCell(list, 1, 4);
    editor = shownWindow("dialogComment");
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(childNamed<QPlainTextEdit>(editor, "txtComment"), "slow start");
    QTest::mouseClick(childNamed<QPushButton>(editor, "cmdEnd"), Qt::LeftButton);
    const int lastRunGroup = 9 + 4;
    EXPECT_EQ(std::pair(list->textMatrix(1, 4), page->textMatrix(2, lastRunGroup + 1)), std::pair(QString("slow start"), QString("slow start")));
    const FlexGrid* result = childNamed<FlexGrid>(loadedSheet(SheetKind::Kextuka), "gridComment");
    int row = 1;
    while (row < result->rows() && result->textMatrix(row, 3) != horse)
        ++row;
    ASSERT_LT(row, result->rows());
    EXPECT_EQ(result->textMatrix(row, 4), "slow start");
    EXPECT_EQ(storedComment(commentKeyUma, horse), (CommentNote {"front runner", "A", "B+"}));
    EXPECT_EQ(shown(), "");
    for (SheetKind k : {SheetKind::Uma, SheetKind::Kextuka})
        unloadSheet(k);
}

// Typing not yet saved in the page's race box is the user's: a race comment saved meanwhile in the race-result
// sheet leaves it there, grey, and the store holds the sheet's text; a runner's note saved meanwhile in the
// editor still reaches the page's grid. Once the box is saved, the sheet's box follows it and it
// follows the sheet's next save; another race's comment never lands in it.
TEST_F(MainWindowTest, UnsavedTypingInTheRaceBoxOutlivesASaveElsewhere)
{
    openForm();
    pressRead();
    clickTab("コメント");
    auto* box = control<QLineEdit>("txtRaceComment");
    auto* page = control<FlexGrid>("gridComment");
    const QString code = pd.raceCode, horse = pd.uName(1);
    box->setFocus();
    QTest::keyClicks(box, "mine");
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, code));
    QWidget* sheet = loadedSheet(SheetKind::Kextuka);
    ASSERT_NE(sheet, nullptr);
    auto* sheetBox = childNamed<QLineEdit>(sheet, "txtRaceComment");
    const auto typeAndSave = [](QLineEdit* into, const QString& text) {
        into->selectAll();
        QTest::keyClicks(into, text);
        QTest::keyClick(into, Qt::Key_Return);
    };
    const auto boxes = [&] { return std::tuple(box->text(), commentBoxSaved(box), sheetBox->text(), commentBoxSaved(sheetBox)); };
    typeAndSave(sheetBox, "theirs");
    EXPECT_EQ(boxes(), std::tuple(QString("mine"), false, QString("theirs"), true));
    EXPECT_EQ(storedComment(code, commentKeyRace).comment, "theirs");
    mouseClickCell(page, 2, 10);  // runner 1's note on this race
    QWidget* editor = shownWindow("dialogComment");
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(childNamed<QPlainTextEdit>(editor, "txtComment"), "quick away");
    QTest::mouseClick(childNamed<QPushButton>(editor, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(std::tuple(page->textMatrix(2, 10), storedComment(code, horse).comment, box->text(), commentBoxSaved(box)),
              std::tuple(QString("quick away"), QString("quick away"), QString("mine"), false));
    typeAndSave(box, "mine");
    EXPECT_EQ(boxes(), std::tuple(QString("mine"), true, QString("mine"), true));
    typeAndSave(sheetBox, "third");
    EXPECT_EQ(boxes(), std::tuple(QString("third"), true, QString("third"), true));
    storeRaceComment(makeRaceCode(pd.uZyo(1, 1), pd.uDate(1, 1), pd.uRaceNo(1, 1)), "another race");
    EXPECT_EQ(std::tuple(box->text(), storedComment(code, commentKeyRace).comment), std::tuple(QString("third"), QString("third")));
    EXPECT_EQ(shown(), "");
    unloadSheet(SheetKind::Kextuka);
}
