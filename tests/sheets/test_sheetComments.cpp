// The sheets' comment boxes, grids and note editor (over missing pictures), the busy token and a
// missing data file.
#include "tests/sheets/sheetFixture.h"
#include "core/dialogSincyoku.h"
#include "webimport/importGuard.h"

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

bool isGrey(QWidget* box)
{
    return box->palette().color(QPalette::Text) == QColor(0x80, 0x80, 0x80);
}

// Opens the note editor from that comment grid cell, checks its race line and source, saves text.
void editNote(SheetKind kind, int row, int col, const QString& raceLine, const QString& source, const QString& text)
{
    gridOf(kind, "gridComment")->clickCell(row, col);
    QWidget* dialog = shownWindow("dialogComment");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(childNamed<QLabel>(dialog, "lblRace")->text(), raceLine);
    EXPECT_EQ(childNamed<QLabel>(dialog, "lblMotoSheet")->text(), source);
    pd.sheetKey = "浦和08010101";  // another opening moved the shared key meanwhile
    childNamed<QPlainTextEdit>(dialog, "txtComment")->setPlainText(text);
    QTest::mouseClick(childNamed<QPushButton>(dialog, "cmdEnd"), Qt::LeftButton);
}
}  // namespace

TEST_F(SheetTest, HorseCommentsAreShownSavedUnderTheSheetKeyAndEditedFromTheGrid)
{
    const QString longName = "ア'イウエオカキクケコサシスセ";  // a quote and more than 12 characters
    const RunRow a {.name = longName}, b {.zyo = "Ｊ東京", .date = ago(40), .raceNo = 3, .name = longName};
    writeRun(a);
    writeRun(b);
    storeComment({"Uma", longName, "逃げ馬", "○", "注"});
    storeComment({a.code(), longName, "出遅れ", "△", ""});
    storeComment({a.code(), "別の馬", "他馬", "", ""});
    storeComment({b.code(), longName, "前走", "○", "△"});
    QFile::remove(dir.filePath("Back.gif"));  // a missing picture never stops a load: List.gif stands in
    ASSERT_TRUE(openSheet(SheetKind::Uma, longName));
    QWidget* sheet = sheetOf(SheetKind::Uma);
    EXPECT_FALSE(childNamed<QAction>(sheet, "Back")->icon().isNull());
    clickTab(sheet, "コメント");
    auto* box = childNamed<QLineEdit>(sheet, "txtUmaComment");
    EXPECT_EQ(std::make_tuple(box->text(), isGrey(box), childNamed<QComboBox>(sheet, "cmbUmaSign02")->currentText()),
              std::make_tuple(QString("逃げ馬"), false, QString("注")));
    const FlexGrid* g = gridOf(SheetKind::Uma, "gridComment");
    EXPECT_EQ(lineTexts(g, 1), QStringList({"08/02/15", "浦和", "9R", "梅花賞", "出遅れ", "△", ""}));
    EXPECT_EQ(lineTexts(g, 2), QStringList({"08/01/21", "Ｊ東京", "3R", "梅花賞", "前走", "○", "△"}));
    childNamed<QComboBox>(sheet, "cmbUmaSign01")->setCurrentText("◎");
    QTest::keyClicks(box, "x");
    EXPECT_TRUE(isGrey(box));  // unsaved typing is grey
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(isGrey(box));
    gridOf(SheetKind::Uma, "gridComment")->clickCell(0, 4);  // the header row opens nothing
    EXPECT_EQ(shownWindow("dialogComment"), nullptr);
    editNote(SheetKind::Uma, 2, 4, "Ｊ東京08/01/21-03R", "Uma", "直線で伸びた");
    EXPECT_EQ(gridOf(SheetKind::Uma, "gridComment")->textMatrix(2, 4), "直線で伸びた");
    EXPECT_EQ(storedComments(), (std::vector<StoredComment> {{"Uma", longName, "逃げ馬x", "◎", "注"},
                                                             {a.code(), longName, "出遅れ", "△", ""},
                                                             {a.code(), "別の馬", "他馬", "", ""},
                                                             {b.code(), longName, "直線で伸びた", "○", "△"}}));
    EXPECT_NO_MESSAGES();
}

TEST_F(SheetTest, RaceCommentsAreSavedUnderTheRaceCodeAndTheEditorRefreshesThatRace)
{
    const RunRow r {.zyo = "大井", .raceNo = 5};
    writeRun(r);
    storeComment({r.code(), "テスト馬", "好位", "◎", "▲"});
    storeComment({r.code(), "Race", "ハイペース", "", ""});
    for (const char* picture : {"List.gif", "icoLeftArrow.ico", "icoRightArrow.ico", "Back.gif"})
        QFile::remove(dir.filePath(picture));  // no picture at all never stops a load either
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, r.code()));
    QWidget* sheet = sheetOf(SheetKind::Kextuka);
    EXPECT_TRUE(childNamed<QAction>(sheet, "Back")->icon().isNull());
    clickTab(sheet, "コメント");
    auto* box = childNamed<QLineEdit>(sheet, "txtRaceComment");
    EXPECT_EQ(box->text(), "ハイペース");
    EXPECT_EQ(lineTexts(gridOf(SheetKind::Kextuka, "gridComment"), 1),
              QStringList({"1", "3", "5", "テスト馬", "好位", "◎", "▲"}));
    editNote(SheetKind::Kextuka, 1, 3, "大井08/02/15-05R", "Race", "好位から");
    EXPECT_EQ(lineTexts(gridOf(SheetKind::Kextuka, "gridComment"), 1),
              QStringList({"1", "3", "5", "テスト馬", "好位から", "◎", "▲"}));
    EXPECT_EQ(box->text(), "ハイペース");
    box->selectAll();
    QTest::keyClicks(box, "slow pace");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(storedComments(), (std::vector<StoredComment> {{r.code(), "Race", "slow pace", "", ""},
                                                             {r.code(), "テスト馬", "好位から", "◎", "▲"}}));
    // A sheet closed before the save is not refreshed, and nothing fails.
    gridOf(SheetKind::Kextuka, "gridComment")->clickCell(1, 3);
    QWidget* dialog = shownWindow("dialogComment");
    ASSERT_NE(dialog, nullptr);
    closeAllSheets();
    QTest::mouseClick(childNamed<QPushButton>(dialog, "cmdEnd"), Qt::LeftButton);
    EXPECT_NO_MESSAGES();
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
        ImportGuard import;
        ASSERT_TRUE(import.acquired());
        EXPECT_FALSE(openSheet(SheetKind::Kisyu, "騎手乙"));
        pickAndSave();
    }
    const QString busy = "他の読込みが実行中です。終了してから開始してください";
    EXPECT_EQ(messages.texts(), QStringList({busy, busy, busy}));
    EXPECT_TRUE(storedComments().empty());
    EXPECT_EQ(std::make_pair(sheetOf(SheetKind::Kisyu)->windowTitle(), gridOf(SheetKind::Kisyu)->rows()),
              std::make_pair(QString("騎手シート 騎手甲"), 2));  // the open one keeps its content
    messages.clear();
    QFile::rename(dir.filePath("NAR_data.dat"), dir.filePath("NAR_data.bak"));
    QFile::remove(dir.filePath("Comment.dat"));
    pickAndSave();
    EXPECT_EQ(messages.firstLines(), QStringList({"dataファイルが開けません", "Error-frmUma-1", "dataファイルが開けません",
                                                  "Error-frmUma-10"}));
    EXPECT_EQ(cells(gridOf(SheetKind::Uma), {{1, 0}}) + cells(gridOf(SheetKind::Uma, "gridTekiseiSisuu"), {{4, 1}}),
              QStringList({"08/02/15", "1"}));
    EXPECT_FALSE(isDialogSincyokuLoaded());
    messages.clear();
    createDbFile(dir.filePath("NAR_data.dat"), "other", "CREATE TABLE x (a);");  // a wrong password: as unreadable
    EXPECT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));
    EXPECT_EQ(messages.firstLines().value(0), "dataファイルが開けません");
    EXPECT_EQ(childNamed<QLabel>(sheetOf(SheetKind::Kextuka), "lblRaceInfo")->text(), "");
}
