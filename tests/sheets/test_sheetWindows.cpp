// The sheets as a user sees them, by kind: run grids, formats, colours, heights, layout, one picture each; the comment
// boxes, grids and note editor (over missing pictures), the busy token and a missing data file.
#include "tests/sheets/sheetFixture.h"
#include "core/dialogSincyoku.h"
#include "webimport/importGuard.h"

namespace {
// A painted sheet has more than a few colours.
void savePicture(QWidget* sheet)
{
    QDir().mkpath(BRENNOCK_TEST_OUTPUT_DIR "/sheets");
    sheet->resize(1100, 560);
    const QImage image = sheet->grab().toImage();
    EXPECT_GT(image.convertToFormat(QImage::Format_Indexed8).colorCount(), 8);
    EXPECT_TRUE(image.save(QString(BRENNOCK_TEST_OUTPUT_DIR "/sheets/%1.png").arg(sheet->objectName())));
}

// Adds the rows "R_code|U_name|comment|sign01|sign02" to the comment file; all its rows so, in key order.
QStringList comments(const QStringList& add = {})
{
    openDb(1, appPath() + "Comment.dat", dbPassword);
    DbSlotCloser closer(1);
    for (const QString& row : add)
        insertRow(1, "Comment", DbRow().set("R_code", row.section('|', 0, 0)).set("U_name", row.section('|', 1, 1))
                                    .set("comment", row.section('|', 2, 2)).set("sign01", row.section('|', 3, 3)).set("sign02", row.section('|', 4)));
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

TEST_F(SheetTest, SubjectSheetsListTheirRunsByKindWithFormatsStylesAndLayout)
{
    writeRun({});  // 浦和08021509
    writeRun({.zyo = "大井", .date = ago(40), .raceNo = 10, .cyoukyou = "", .siba = 1, .baba = 3, .file = 0, .cyaku = 2,
              .zougen = 0, .sisuu = 0.4f, .f3 = 0});
    writeRun({.zyo = "Ｊ東京", .date = ago(70), .raceNo = 1,
              .nulls = {"U_file", "U_cyaku", "U_zougen", "U_cyakusa", "U_cyoukyou", "U_hutan", "R_kyori", "U_time"}});
    writeRun({.date = ago(0), .raceNo = 11});  // on the race day: not listed
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    const FlexGrid* g = gridOf(SheetKind::Uma);
    ASSERT_EQ(g->rows(), 4);
    EXPECT_EQ(lineTexts(g, 1).join('|'),
              "08/02/15|浦和|9R|梅花賞|D|1400|良|52|41|1|12|1:29:3|38.5|-0.3|騎手甲|55.0|3|5|470|-6|2|2|1|1|調教師乙");
    EXPECT_EQ(lineTexts(g, 2).join('|'), "08/01/21|大井|10R|梅花賞|芝|1400|重||41|2|12|1:29:3||-0.3|騎手甲|55.0|3|5|470|+0|2|2|1|1|");
    EXPECT_EQ(lineTexts(g, 3).join('|'), "07/12/22|Ｊ東京|1R|梅花賞|D||良|52|41||12||38.5||騎手甲||3|5|470||2|2|1|1|");
    // The index is grey when its day had no variant (a Null flag leaves it black); a winner's finish is shaded.
    const auto grey = [g](int r) { return g->cellForeColor(r, 7) == 0x808080u; };
    EXPECT_EQ(std::make_tuple(grey(1), grey(2), grey(3), g->cellBackColor(1, 9), g->cellFontUnderline(3, 24)),
              std::make_tuple(false, true, false, RGB(255, 200, 200), false));  // no trainer, no link
    EXPECT_EQ(g->height(), twipsToPixels((4 + 1) * 300 + 50));  // fits: its rows and 50
    savePicture(sheetOf(SheetKind::Uma));
    // (kind, key, caption, has a horse column, has a jockey column, first trainer cell)
    for (const auto& [kind, key, caption, horse, jockey, trainer] :
         std::vector<std::tuple<SheetKind, QString, QString, bool, bool, QString>> {
             {SheetKind::Kisyu, "騎手甲", "騎手シート 騎手甲", true, false, "調教師乙"},
             {SheetKind::Cyoukyou, "調教師乙", "調教師シート 調教師乙", true, true, ""},
             {SheetKind::Syuboba, "種牡馬丙", "種牡馬シート 種牡馬丙", true, true, "調教師乙"}}) {
        ASSERT_TRUE(openSheet(kind, key));
        const QStringList headers = lineTexts(gridOf(kind), 0);
        EXPECT_EQ(std::make_tuple(sheetOf(kind)->windowTitle(), headers.contains("馬名"), headers.contains("騎手"),
                                  cells(gridOf(kind), {{1, int(headers.indexOf("厩舎"))}, {1, 4}})),
                  std::make_tuple(caption, horse, jockey, QStringList({trainer, "テスト馬"})));
        savePicture(sheetOf(kind));
    }
    // The layout follows the client size and stops below 2000 twips.
    QWidget* sheet = sheetOf(SheetKind::Kisyu);
    const auto resize = [sheet](int w, int h) { sheet->resize(twipsToPixels(w), twipsToPixels(h)); QCoreApplication::processEvents(); };
    resize(12000, 9000);
    auto* tabs = childNamed<QTabBar>(sheet, "tabMain");
    const FlexGrid* runs = gridOf(SheetKind::Kisyu);
    EXPECT_EQ(tabs->geometry(), QRect(twipsToPixels(20), tabs->y(), twipsToPixels(12000 - 40), tabs->height()));
    EXPECT_EQ(tabs->y() + tabs->height(), twipsToPixels(9000 - 30));
    EXPECT_EQ(runs->pos(), QPoint(twipsToPixels(70), tabs->y() + twipsToPixels(400)));
    const QRect before = runs->geometry();
    resize(1900, 9000);
    EXPECT_EQ(runs->geometry(), before);  // under 2000 twips nothing moves
    resize(3000, 600);  // too low for the grids: no error
    // A subject without runs gets an empty list and empty tables.
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "誰でもない"));
    const FlexGrid *none = gridOf(SheetKind::Kisyu), *t = gridOf(SheetKind::Kisyu, "gridTekiseiSisuu");
    EXPECT_EQ(std::make_tuple(none->cols(), none->rows(), none->height(), t->cols(), t->textMatrix(1, 24)),
              std::make_tuple(1, 2, twipsToPixels(950), 53, QString("浦和")));
}

TEST_F(SheetTest, RaceResultSheetShowsItsLineAndFinishersBeforeTheUnplacedAndNoRaceQuietly)
{
    for (const auto& [name, cyaku] : std::vector<std::pair<QString, int>> {{"三着馬", 3}, {"取消馬", 0}, {"勝ち馬", 1}, {"二着馬", 2}})
        writeRun({.zyo = "大井", .raceNo = 5, .rname = "X", .name = name, .kyori = 1200, .cyaku = cyaku});
    writeRun({.raceNo = 3, .name = QString()});  // 浦和08021503, a race without runners
    writeRun({.date = ago(0), .raceNo = 4});  // on the race day: not shown
    for (const auto& [code, line] : std::vector<std::pair<QString, QString>> {
             {"00000000", ""}, {"浦和08022904", ""}, {"浦和08021503", "浦和2008/02/15 3R 梅花賞D1400良"}}) {
        ASSERT_TRUE(openSheet(SheetKind::Kextuka, code));
        EXPECT_EQ(QStringList {childNamed<QLabel>(sheetOf(SheetKind::Kextuka), "lblRaceInfo")->text()}
                      + lineTexts(gridOf(SheetKind::Kextuka), 0, true).mid(1), QStringList({line, ""})) << code.toStdString();
    }
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "大井08021505"));
    const FlexGrid* g = gridOf(SheetKind::Kextuka);
    ASSERT_EQ(std::make_pair(g->rows(), g->cols()), std::make_pair(5, 17));
    EXPECT_EQ(lineTexts(g, 3, true).mid(1), QStringList({"勝ち馬", "二着馬", "三着馬", "取消馬"}));
    EXPECT_EQ(std::make_pair(g->cellBackColor(1, 3), g->cellBackColor(4, 0)),
              std::make_pair(RGB(255, 200, 200), RGB(255, 255, 255)));
    for (int r = 1; r < g->rows(); ++r)  // the index cell is bold, its neighbours are not
        EXPECT_EQ(std::tuple(g->textMatrix(0, 4), g->cellFontBold(r, 3), g->cellFontBold(r, 4), g->cellFontBold(r, 5)),
                  std::tuple(QString("指数"), false, true, false)) << r;
    EXPECT_EQ(gridOf(SheetKind::Kextuka, "gridComment")->height(), twipsToPixels((5 + 1) * 300 + 50));
    savePicture(sheetOf(SheetKind::Kextuka));
}

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
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲") && openSheet(SheetKind::Uma, "テスト馬"));
    QWidget* uma = sheetOf(SheetKind::Uma);
    {
        const ImportGuard import;
        EXPECT_FALSE(openSheet(SheetKind::Kisyu, "騎手乙"));
        emit childNamed<QComboBox>(uma, "cmbTarKikan")->activated(2);  // a period pick
        QTest::keyClick(childNamed<QLineEdit>(uma, "txtUmaComment"), Qt::Key_Return);  // a comment save
    }
    const QString busy = "他の読込みが実行中です。終了してから開始してください";
    EXPECT_EQ(messages.texts(), QStringList({busy, busy, busy}));
    EXPECT_TRUE(comments().empty());
    EXPECT_EQ(std::make_pair(sheetOf(SheetKind::Kisyu)->windowTitle(), gridOf(SheetKind::Kisyu)->rows()),
              std::make_pair(QString("騎手シート 騎手甲"), 2));  // the open one keeps its content
    messages.clear();
    QFile::rename(dir.filePath("NAR_data.dat"), dir.filePath("NAR_data.bak"));
    QFile::remove(dir.filePath("Comment.dat"));
    emit childNamed<QComboBox>(uma, "cmbTarKikan")->activated(2);
    QTest::keyClick(childNamed<QLineEdit>(uma, "txtUmaComment"), Qt::Key_Return);
    EXPECT_EQ(messages.firstLines(), QStringList({"dataファイルが開けません", "Error-frmUma-10"}));  // one box per failure
    EXPECT_EQ(messages.texts().last(), "Error-frmUma-10\nComment.dat：ファイルがありません");  // one message, with its cause
    EXPECT_EQ(cells(gridOf(SheetKind::Uma), {{1, 0}}) + cells(gridOf(SheetKind::Uma, "gridTekiseiSisuu"), {{4, 1}}),
              QStringList({"08/02/15", "1"}));
    EXPECT_FALSE(isDialogSincyokuLoaded());
    messages.clear();
    EXPECT_TRUE(openSheet(SheetKind::Kextuka, "浦和08021509"));  // the race sheet opens empty
    EXPECT_EQ(std::make_pair(messages.texts(), childNamed<QLabel>(sheetOf(SheetKind::Kextuka), "lblRaceInfo")->text()),
              std::make_pair(QStringList({"dataファイルが開けません\n" + dir.filePath("NAR_data.dat") + "\nファイルがありません",
                                          "Error-kextukaComment-1\nComment.dat：ファイルがありません"}), QString()));
    // A folder in place of the file: one box, naming the file, for a sheet filled again and for one opened anew.
    messages.clear();
    ASSERT_TRUE(QDir().mkdir(dir.filePath("NAR_data.dat")));
    emit childNamed<QComboBox>(uma, "cmbTarKikan")->activated(2);
    EXPECT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    const QString folder = "dataファイルが開けません\n" + dir.filePath("NAR_data.dat") + "\nファイルではありません";
    EXPECT_EQ(messages.texts(), QStringList({folder, folder}));
    messages.clear();
}

// A run list longer than its tab stays inside the window and scrolls down to its last row.
TEST_F(SheetTest, ListsLongerThanTheirTabScrollToTheirLastRow)
{
    constexpr int runs = 60;
    for (int i = 0; i < runs; ++i)
        writeRun({.date = ago(10 + 7 * i), .raceNo = 1 + i % 12});
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    QWidget* sheet = sheetOf(SheetKind::Uma);
    for (const auto& [tab, name] : {std::pair("出走履歴", "gridRireki"), std::pair("コメント", "gridComment")}) {
        clickTab(sheet, tab);
        FlexGrid* g = gridOf(SheetKind::Uma, name);
        ASSERT_EQ(g->rows(), runs + 1) << name;
        EXPECT_TRUE(g->isVisible() && sheet->rect().contains(g->geometry())) << name;
        QScrollBar* bar = g->verticalScrollBar();
        EXPECT_GT(bar->maximum(), 0) << name;
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        EXPECT_TRUE(g->viewport()->rect().contains(g->visualRect(g->model()->index(runs, 0)))) << name;
    }
}
