// The sheets' comment boxes, grids and note editor (over missing pictures), the busy token, a missing data file.
#include "tests/sheets/sheetFixture.h"
#include "core/dialogSincyoku.h"
#include "webimport/importGuard.h"

namespace {
// Adds the rows "R_code|U_name|comment|sign01|sign02" to the comment file; all its rows so, in key order.
QStringList comments(const QStringList& add = {})
{
    openDb(1, appPath() + "Comment.dat", dbPassword);
    DbSlotCloser closer(1);
    for (const QString& row : add) {
        const QStringList v = row.split('|');
        insertRow(1, "Comment", DbRow().set("R_code", v[0]).set("U_name", v[1]).set("comment", v[2]).set("sign01", v[3]).set("sign02", v[4]));
    }
    QStringList rows;
    for (RecordSet rs(1, "SELECT * FROM Comment ORDER BY R_code, U_name"); !rs.eof(); rs.moveNext())
        rows << QStringList({rs["R_code"].toString(), rs["U_name"].toString(), rs["comment"].toString(),
                             rs["sign01"].toString(), rs["sign02"].toString()}).join('|');
    return rows;
}

// Opens the note editor from that comment grid cell, checks its "race line|source", saves text.
void editNote(SheetKind kind, int row, int col, const QString& raceAndSource, const QString& text)
{
    gridOf(kind, "gridComment")->clickCell(row, col);
    QWidget* dialog = shownWindow("dialogComment");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(childNamed<QLabel>(dialog, "lblRace")->text() + '|' + childNamed<QLabel>(dialog, "lblMotoSheet")->text(), raceAndSource);
    pd.sheetKey = "浦和08010101";  // another opening moved the shared key meanwhile
    childNamed<QPlainTextEdit>(dialog, "txtComment")->setPlainText(text);
    QTest::mouseClick(childNamed<QPushButton>(dialog, "cmdEnd"), Qt::LeftButton);
}
}  // namespace

TEST_F(SheetTest, HorseCommentsAreShownSavedUnderTheSheetKeyAndEditedFromTheGrid)
{
    const QString name = "ア'イウエオカキクケコサシスセ";  // a quote and more than 12 characters
    const QString a = "浦和08021509|" + name, b = "Ｊ東京08012103|" + name;
    writeRun({.name = name});
    writeRun({.zyo = "Ｊ東京", .date = ago(40), .raceNo = 3, .name = name});
    comments({"Uma|" + name + "|逃げ馬|○|注", a + "|出遅れ|△|", "浦和08021509|別の馬|他馬||", b + "|前走|○|△"});
    QFile::remove(dir.filePath("Back.gif"));  // a missing picture never stops a load: List.gif stands in
    ASSERT_TRUE(openSheet(SheetKind::Uma, name));
    QWidget* sheet = sheetOf(SheetKind::Uma);
    EXPECT_FALSE(childNamed<QAction>(sheet, "Back")->icon().isNull());
    clickTab(sheet, "コメント");
    auto* box = childNamed<QLineEdit>(sheet, "txtUmaComment");
    const auto grey = [box] { return box->palette().color(QPalette::Text) == QColor(0x80, 0x80, 0x80); };
    EXPECT_EQ(std::make_tuple(box->text(), grey(), childNamed<QComboBox>(sheet, "cmbUmaSign02")->currentText()),
              std::make_tuple(QString("逃げ馬"), false, QString("注")));
    childNamed<QComboBox>(sheet, "cmbUmaSign01")->setCurrentText("◎");
    QTest::keyClicks(box, "x");
    EXPECT_TRUE(grey());  // unsaved typing is grey
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(grey());
    gridOf(SheetKind::Uma, "gridComment")->clickCell(0, 4);  // the header row opens nothing
    EXPECT_EQ(shownWindow("dialogComment"), nullptr);
    editNote(SheetKind::Uma, 2, 4, "Ｊ東京08/01/21-03R|Uma", "直線で伸びた");
    const FlexGrid* g = gridOf(SheetKind::Uma, "gridComment");  // stored notes shown, the edited one refreshed
    EXPECT_EQ(lineTexts(g, 1), QStringList({"08/02/15", "浦和", "9R", "梅花賞", "出遅れ", "△", ""}));
    EXPECT_EQ(lineTexts(g, 2), QStringList({"08/01/21", "Ｊ東京", "3R", "梅花賞", "直線で伸びた", "○", "△"}));
    EXPECT_EQ(comments(), QStringList({"Uma|" + name + "|逃げ馬x|◎|注", a + "|出遅れ|△|", "浦和08021509|別の馬|他馬||",
                                             b + "|直線で伸びた|○|△"}));
}

TEST_F(SheetTest, RaceCommentsAreSavedUnderTheRaceCodeAndTheEditorRefreshesThatRace)
{
    writeRun({.zyo = "大井", .raceNo = 5});
    comments({"大井08021505|テスト馬|好位|◎|▲", "大井08021505|Race|ハイペース||"});
    for (const char* picture : {"List.gif", "icoLeftArrow.ico", "icoRightArrow.ico", "Back.gif"})
        QFile::remove(dir.filePath(picture));  // no picture at all never stops a load either
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "大井08021505"));
    QWidget* sheet = sheetOf(SheetKind::Kextuka);
    EXPECT_TRUE(childNamed<QAction>(sheet, "Back")->icon().isNull());
    clickTab(sheet, "コメント");
    auto* box = childNamed<QLineEdit>(sheet, "txtRaceComment");
    const auto shown = [box] { return box->text() + '|' + lineTexts(gridOf(SheetKind::Kextuka, "gridComment"), 1).join('|'); };
    EXPECT_EQ(shown(), "ハイペース|1|3|5|テスト馬|好位|◎|▲");
    editNote(SheetKind::Kextuka, 1, 3, "大井08/02/15-05R|Race", "好位から");
    EXPECT_EQ(shown(), "ハイペース|1|3|5|テスト馬|好位から|◎|▲");
    box->selectAll();
    QTest::keyClicks(box, "slow pace");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(comments(), QStringList({"大井08021505|Race|slow pace||", "大井08021505|テスト馬|好位から|◎|▲"}));
    // A sheet closed before the save is not refreshed, and nothing fails.
    gridOf(SheetKind::Kextuka, "gridComment")->clickCell(1, 3);
    QWidget* dialog = shownWindow("dialogComment");
    ASSERT_NE(dialog, nullptr);
    closeAllSheets();
    QTest::mouseClick(childNamed<QPushButton>(dialog, "cmdEnd"), Qt::LeftButton);
}

TEST_F(SheetTest, ABusyTokenOrAnUnreadableDataFileIsReportedAndTheSheetsKeepWhatTheyShowed)
{
    writeRun({});
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    QWidget* uma = sheetOf(SheetKind::Uma);
    const auto pickAndSave = [uma] {
        emit childNamed<QComboBox>(uma, "cmbTarKikan")->activated(2);
        QTest::keyClick(childNamed<QLineEdit>(uma, "txtUmaComment"), Qt::Key_Return);
    };
    {
        const ImportGuard import;
        EXPECT_FALSE(openSheet(SheetKind::Kisyu, "騎手乙"));
        pickAndSave();
    }
    const QString busy = "他の読込みが実行中です。終了してから開始してください";
    EXPECT_EQ(messages.texts(), QStringList({busy, busy, busy}));
    EXPECT_TRUE(comments().empty());
    EXPECT_EQ(std::make_pair(sheetOf(SheetKind::Kisyu)->windowTitle(), gridOf(SheetKind::Kisyu)->rows()),
              std::make_pair(QString("騎手シート 騎手甲"), 2));  // the open one keeps its content
    messages.clear();
    QFile::rename(dir.filePath("NAR_data.dat"), dir.filePath("NAR_data.bak"));
    QFile::remove(dir.filePath("Comment.dat"));
    pickAndSave();
    EXPECT_EQ(messages.firstLines(), QStringList({"dataファイルが開けません", "Error-frmUma-1", "dataファイルが開けません", "Error-frmUma-10"}));
    EXPECT_EQ(cells(gridOf(SheetKind::Uma), {{1, 0}}) + cells(gridOf(SheetKind::Uma, "gridTekiseiSisuu"), {{4, 1}}),
              QStringList({"08/02/15", "1"}));
    EXPECT_FALSE(isDialogSincyokuLoaded());
    messages.clear();
    EXPECT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));  // the race sheet opens empty
    EXPECT_EQ(std::make_pair(messages.firstLines().value(0), childNamed<QLabel>(sheetOf(SheetKind::Kextuka), "lblRaceInfo")->text()),
              std::make_pair(QString("dataファイルが開けません"), QString()));
    messages.clear();
}
