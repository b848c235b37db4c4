// The sheets as a user sees them, by kind: run grids, formats, colours, heights, layout, and one picture each.
#include "tests/sheets/sheetFixture.h"

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
    const RunRow noRunners {.raceNo = 3, .name = QString()};
    writeRun(noRunners);
    writeRun({.date = ago(0), .raceNo = 4});  // on the race day: not shown
    for (const auto& [code, line] : std::vector<std::pair<QString, QString>> {
             {"00000000", ""}, {"浦和08022904", ""}, {noRunners.code(), "浦和2008/02/15 3R 梅花賞D1400良"}}) {
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
    EXPECT_EQ(gridOf(SheetKind::Kextuka, "gridComment")->height(), twipsToPixels((5 + 1) * 300 + 50));
    savePicture(sheetOf(SheetKind::Kextuka));
}
