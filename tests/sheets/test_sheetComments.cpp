// The sheets' comment boxes and tabs, the busy token, a missing data file and missing pictures.
#include "tests/sheets/sheetWindows.h"
#include "core/dialogSincyoku.h"
#include "sheets/sheetFrame.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>

namespace {
struct StoredComment {
    QString rCode, uName, comment, sign01, sign02;
    bool operator==(const StoredComment&) const = default;
};

std::vector<StoredComment> storedComments()
{
    openDb(1, appPath() + "Comment.dat", dbPassword);
    DbSlotCloser closer(1);
    std::vector<StoredComment> rows;
    for (RecordSet rs(1, "SELECT R_code, U_name, comment, sign01, sign02 FROM Comment ORDER BY R_code, U_name"); !rs.eof();
         rs.moveNext())
        rows.push_back({rs["R_code"].toString(), rs["U_name"].toString(), rs["comment"].toString(),
                        rs["sign01"].toString(), rs["sign02"].toString()});
    return rows;
}

void storeComment(const StoredComment& c)
{
    openDb(1, appPath() + "Comment.dat", dbPassword);
    DbSlotCloser closer(1);
    insertRow(1, "Comment", DbRow().set("R_code", c.rCode).set("U_name", c.uName).set("comment", c.comment)
                                .set("sign01", c.sign01).set("sign02", c.sign02));
}

// The messages shown, by their fixed first line (a file message names the file below it).
QStringList firstLines(const MsgBoxRecorder& messages)
{
    QStringList lines;
    for (const QString& text : messages.texts())
        lines << text.section('\n', 0, 0);
    return lines;
}

QColor textColour(QWidget* box)
{
    return box->palette().color(QPalette::Text);
}

void typeAndReturn(QLineEdit* box, const QString& ascii)
{
    box->selectAll();
    QTest::keyClicks(box, ascii);
    QTest::keyClick(box, Qt::Key_Return);
}
}  // namespace

TEST_F(SheetWindowTest, HorseCommentTabShowsTheStoredCommentsAndSavesUnderTheSheetKey)
{
    const QString longName = "ア'イウエオカキクケコサシスセ";  // a quote and more than 12 characters
    const QColor grey(0x80, 0x80, 0x80);
    RunRow a = runDaysBefore(15, 9), b = runDaysBefore(40, 10);
    a.name = b.name = longName;
    writeRun(a);
    writeRun(b);
    storeComment({"Uma", longName, "逃げ馬", "○", "注"});
    storeComment({a.code(), longName, "出遅れ", "△", ""});
    storeComment({a.code(), "別の馬", "他馬", "", ""});
    ASSERT_TRUE(openSheet(SheetKind::Uma, longName));
    QWidget* sheet = sheetOf(SheetKind::Uma);
    clickTab(sheet, "コメント");
    auto* box = childNamed<QLineEdit>(sheet, "txtUmaComment");
    EXPECT_EQ(box->text(), "逃げ馬");
    EXPECT_NE(textColour(box), grey);
    EXPECT_EQ(childNamed<QComboBox>(sheet, "cmbUmaSign02")->currentText(), "注");
    const FlexGrid* g = gridOf(SheetKind::Uma, "gridComment");
    EXPECT_EQ(rowTexts(g, 1), QStringList({"08/02/15", "浦和", "9R", "梅花賞", "出遅れ", "△", ""}));
    EXPECT_EQ(rowTexts(g, 2), QStringList({"08/01/21", "浦和", "10R", "梅花賞", "", "", ""}));
    childNamed<QComboBox>(sheet, "cmbUmaSign01")->setCurrentText("◎");
    QTest::keyClicks(box, "x");
    EXPECT_EQ(textColour(box), grey);  // unsaved typing is grey
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_NE(textColour(box), grey);
    typeAndReturn(box, "fast");
    EXPECT_EQ(storedComments(), (std::vector<StoredComment> {{"Uma", longName, "fast", "◎", "注"},
                                                             {a.code(), longName, "出遅れ", "△", ""},
                                                             {a.code(), "別の馬", "他馬", "", ""}}));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, RaceCommentIsSavedUnderTheRaceCodeAndReadBack)
{
    RunRow r = runDaysBefore(15, 5);
    r.zyo = "大井";
    writeRun(r);
    storeComment({"大井08021505", "テスト馬", "好位", "◎", "▲"});
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "大井08021505"));
    QWidget* sheet = sheetOf(SheetKind::Kextuka);
    clickTab(sheet, "コメント");
    auto* box = childNamed<QLineEdit>(sheet, "txtRaceComment");
    EXPECT_EQ(rowTexts(gridOf(SheetKind::Kextuka, "gridComment"), 1),
              QStringList({"1", "3", "5", "テスト馬", "好位", "◎", "▲"}));
    typeAndReturn(box, "slow pace");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(storedComments(), (std::vector<StoredComment> {{"大井08021505", "Race", "slow pace", "", ""},
                                                             {"大井08021505", "テスト馬", "好位", "◎", "▲"}}));
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "大井08021505"));
    EXPECT_EQ(childNamed<QLineEdit>(sheetOf(SheetKind::Kextuka), "txtRaceComment")->text(), "slow pace");
}

TEST_F(SheetWindowTest, WhileAnImportHoldsTheFilesNothingOpensFillsOrSaves)
{
    writeRun(runDaysBefore(15));
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    QWidget* uma = sheetOf(SheetKind::Uma);
    ImportGuard import;
    ASSERT_TRUE(import.acquired());
    EXPECT_FALSE(openSheet(SheetKind::Kisyu, "騎手乙"));
    EXPECT_EQ(sheetOf(SheetKind::Kisyu)->windowTitle(), "騎手シート 騎手甲");  // the open one keeps its content
    EXPECT_EQ(gridOf(SheetKind::Kisyu)->rows(), 2);
    auto* combo = childNamed<QComboBox>(uma, "cmbTarKikan");
    emit combo->activated(0);
    auto* box = childNamed<QLineEdit>(uma, "txtUmaComment");
    QTest::keyClick(box, Qt::Key_Return);
    const QString busy = "他の読込みが実行中です。終了してから開始してください";
    EXPECT_EQ(messages.texts(), QStringList({busy, busy, busy}));
    EXPECT_TRUE(storedComments().empty());
    EXPECT_EQ(gridOf(SheetKind::Uma)->textMatrix(1, 0), "08/02/15");
}

TEST_F(SheetWindowTest, AnUnreadableDataFileIsReportedAndTheSheetKeepsWhatItShowed)
{
    writeRun(runDaysBefore(15));
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    QWidget* sheet = sheetOf(SheetKind::Uma);
    QFile::rename(dir.filePath("NAR_data.dat"), dir.filePath("NAR_data.bak"));
    QFile::remove(dir.filePath("Comment.dat"));
    emit childNamed<QComboBox>(sheet, "cmbTarKikan")->activated(2);
    EXPECT_EQ(firstLines(messages), QStringList({"dataファイルが開けません", "Error-frmUma-1"}));
    EXPECT_EQ(gridOf(SheetKind::Uma)->textMatrix(1, 0), "08/02/15");
    EXPECT_EQ(gridOf(SheetKind::Uma, "gridTekiseiSisuu")->textMatrix(4, 1), "1");
    EXPECT_FALSE(isDialogSincyokuLoaded());
    messages.clear();
    QTest::keyClick(childNamed<QLineEdit>(sheet, "txtUmaComment"), Qt::Key_Return);
    EXPECT_EQ(firstLines(messages), QStringList({"dataファイルが開けません", "Error-frmUma-10"}));
    messages.clear();
    // A wrong password is the same unreadable file.
    createDbFile(dir.filePath("NAR_data.dat"), "other", "CREATE TABLE x (a);");
    EXPECT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));
    EXPECT_EQ(firstLines(messages).value(0), "dataファイルが開けません");
    EXPECT_EQ(childNamed<QLabel>(sheetOf(SheetKind::Kextuka), "lblRaceInfo")->text(), "");
}

TEST_F(SheetWindowTest, MissingPicturesNeverStopALoad)
{
    QFile::remove(dir.filePath("Back.gif"));
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));
    QAction* back = childNamed<QAction>(sheetOf(SheetKind::Kextuka), "Back");
    EXPECT_FALSE(back->icon().isNull());  // List.gif stands in
    EXPECT_EQ(sheetPicturePath("Back.gif"), appPath() + "List.gif");
    for (const char* picture : {"List.gif", "icoLeftArrow.ico", "icoRightArrow.ico"})
        QFile::remove(dir.filePath(picture));
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    EXPECT_TRUE(childNamed<QAction>(sheetOf(SheetKind::Uma), "Prev")->icon().isNull());
    EXPECT_EQ(childNamed<QAction>(sheetOf(SheetKind::Uma), "Next")->text(), "次の馬");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, TheNoteEditorFromAHorseSheetFilesUnderItsKeyAndRefreshesThatSheet)
{
    const QString longName = "ア'イウエオカキクケコサシスセ";
    RunRow r = runDaysBefore(15, 9);
    r.name = longName;
    writeRun(r);
    RunRow central = runDaysBefore(40, 3);
    central.zyo = "Ｊ東京";
    central.name = longName;
    writeRun(central);
    storeComment({central.code(), longName, "前走", "○", "△"});
    ASSERT_TRUE(openSheet(SheetKind::Uma, longName));
    FlexGrid* grid = gridOf(SheetKind::Uma, "gridComment");
    grid->clickCell(0, 4);  // the header row opens nothing
    EXPECT_EQ(shownWindow("dialogComment"), nullptr);
    grid->clickCell(2, 4);
    QWidget* dialog = shownWindow("dialogComment");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(childNamed<QLabel>(dialog, "lblRace")->text(), "Ｊ東京08/01/21-03R");
    EXPECT_EQ(childNamed<QLabel>(dialog, "lblMotoSheet")->text(), "Uma");
    childNamed<QPlainTextEdit>(dialog, "txtComment")->setPlainText("直線で伸びた");
    QTest::mouseClick(childNamed<QPushButton>(dialog, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(storedComments(), (std::vector<StoredComment> {{central.code(), longName, "直線で伸びた", "○", "△"}}));
    EXPECT_EQ(gridOf(SheetKind::Uma, "gridComment")->textMatrix(2, 4), "直線で伸びた");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, TheNoteEditorFromARaceSheetRefreshesThatRaceNotTheSheetOpenedLast)
{
    RunRow r = runDaysBefore(15, 5);
    r.zyo = "大井";
    writeRun(r);
    storeComment({r.code(), "Race", "ハイペース", "", ""});
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, r.code()));
    QWidget* race = sheetOf(SheetKind::Kextuka);
    gridOf(SheetKind::Kextuka, "gridComment")->clickCell(1, 3);
    QWidget* dialog = shownWindow("dialogComment");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(childNamed<QLabel>(dialog, "lblRace")->text(), "大井08/02/15-05R");
    EXPECT_EQ(childNamed<QLabel>(dialog, "lblMotoSheet")->text(), "Race");
    pd.sheetKey = "浦和08010101";  // another opening moved the shared key meanwhile
    childNamed<QPlainTextEdit>(dialog, "txtComment")->setPlainText("好位から");
    QTest::mouseClick(childNamed<QPushButton>(dialog, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(rowTexts(gridOf(SheetKind::Kextuka, "gridComment"), 1),
              QStringList({"1", "3", "5", "テスト馬", "好位から", "", ""}));
    EXPECT_EQ(childNamed<QLineEdit>(race, "txtRaceComment")->text(), "ハイペース");
    // A sheet closed before the save is not refreshed, and nothing fails.
    gridOf(SheetKind::Kextuka, "gridComment")->clickCell(1, 3);
    dialog = shownWindow("dialogComment");
    ASSERT_NE(dialog, nullptr);
    closeAllSheets();
    QTest::mouseClick(childNamed<QPushButton>(dialog, "cmdEnd"), Qt::LeftButton);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}
