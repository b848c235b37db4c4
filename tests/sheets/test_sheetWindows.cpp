// The sheets as a user sees them: captions, run grids by kind, formats, colours, heights.
#include "tests/sheets/sheetWindows.h"

#include <QLabel>

namespace {
void writeCareer()
{
    RunRow a = runDaysBefore(15, 9);  // 浦和08021509
    writeRun(a);
    RunRow b = runDaysBefore(40, 10);
    b.zyo = "大井";
    b.file = 0;
    b.sisuu = 0.4f;
    b.cyaku = 2;
    b.zougen = 0;
    b.f3 = 0;
    b.siba = 1;
    b.baba = 3;
    b.cyoukyou = "";
    writeRun(b);
    RunRow c = runDaysBefore(70, 1);
    c.zyo = "Ｊ東京";
    c.nulls = {"U_cyaku", "U_zougen", "U_cyakusa", "U_cyoukyou", "U_hutan", "R_kyori", "U_time"};
    c.file = std::nullopt;
    writeRun(c);
    RunRow sameDay = runDaysBefore(0, 11);  // on the race day: not listed
    writeRun(sameDay);
}
}  // namespace

TEST_F(SheetWindowTest, HorseSheetListsItsRunsWithFormatsAndStyles)
{
    writeCareer();
    ASSERT_TRUE(openSheet(SheetKind::Uma, "テスト馬"));
    QWidget* sheet = sheetOf(SheetKind::Uma);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->windowTitle(), "馬毎シート テスト馬");
    const FlexGrid* g = gridOf(SheetKind::Uma);
    ASSERT_EQ(g->rows(), 4);
    EXPECT_EQ(rowTexts(g, 1), QStringList({"08/02/15", "浦和", "9R", "梅花賞", "D", "1400", "良", "52", "41", "1", "12",
                                           "1:29:3", "38.5", "-0.3", "騎手甲", "55.0", "3", "5", "470", "-6", "2", "2",
                                           "1", "1", "調教師乙"}));
    EXPECT_EQ(rowTexts(g, 2), QStringList({"08/01/21", "大井", "10R", "梅花賞", "芝", "1400", "重", "", "41", "2", "12",
                                           "1:29:3", "", "-0.3", "騎手甲", "55.0", "3", "5", "470", "+0", "2", "2",
                                           "1", "1", ""}));
    EXPECT_EQ(rowTexts(g, 3), QStringList({"07/12/22", "Ｊ東京", "1R", "梅花賞", "D", "", "良", "52", "41", "", "12",
                                           "", "38.5", "", "騎手甲", "", "3", "5", "470", "", "2", "2", "1", "1", ""}));
    // The index is grey when its day had no variant; a winner's finish is shaded.
    EXPECT_NE(g->cellForeColor(1, 7), 0x808080u);
    EXPECT_EQ(g->cellForeColor(2, 7), 0x808080u);
    EXPECT_NE(g->cellForeColor(3, 7), 0x808080u);  // a Null flag leaves it black
    EXPECT_EQ(g->cellBackColor(1, 9), RGB(255, 200, 200));
    EXPECT_FALSE(g->cellFontUnderline(3, 24));  // no trainer, no link
    EXPECT_EQ(g->height(), twipsToPixels((4 + 1) * 300 + 50));  // fits: its rows and 50
}

TEST_F(SheetWindowTest, PersonSheetsShowTheirColumnsByKind)
{
    writeCareer();
    struct Case {
        SheetKind kind;
        QString key, caption;
        bool horseColumn, jockeyColumn;
        QString trainerCell;
    };
    const std::vector<Case> cases {
        {SheetKind::Kisyu, "騎手甲", "騎手シート 騎手甲", true, false, "調教師乙"},
        {SheetKind::Cyoukyou, "調教師乙", "調教師シート 調教師乙", true, true, ""},
        {SheetKind::Syuboba, "種牡馬丙", "種牡馬シート 種牡馬丙", true, true, "調教師乙"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(openSheet(c.kind, c.key));
        QWidget* sheet = sheetOf(c.kind);
        EXPECT_EQ(sheet->windowTitle(), c.caption);
        const FlexGrid* g = gridOf(c.kind);
        const QStringList headers = rowTexts(g, 0);
        EXPECT_EQ(headers.contains("馬名"), c.horseColumn);
        EXPECT_EQ(headers.contains("騎手"), c.jockeyColumn);
        EXPECT_EQ(g->textMatrix(1, int(headers.indexOf("厩舎"))), c.trainerCell);
        EXPECT_EQ(g->textMatrix(1, 4), "テスト馬");
    }
    EXPECT_NE(sheetOf(SheetKind::Kisyu), nullptr);  // sheets of other kinds stay open together
    EXPECT_NE(sheetOf(SheetKind::Cyoukyou), nullptr);
}

TEST_F(SheetWindowTest, ASubjectWithoutRunsGetsAnEmptyListAndEmptyTables)
{
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "誰でもない"));
    const FlexGrid* g = gridOf(SheetKind::Kisyu);
    EXPECT_EQ(g->cols(), 1);
    EXPECT_EQ(g->rows(), 2);
    EXPECT_EQ(g->height(), twipsToPixels(950));
    const FlexGrid* t = gridOf(SheetKind::Kisyu, "gridTekiseiSisuu");
    EXPECT_EQ(t->cols(), 53);
    EXPECT_EQ(t->textMatrix(1, 24), "浦和");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, AptitudeGridsRenderTheColumnsWithTheirFormats)
{
    for (const auto& [days, cyaku, sisuu] : std::vector<std::tuple<int, int, float>> {{10, 1, 40.4f}, {20, 3, 55.5f}, {30, 5, 60.5f}}) {
        RunRow r = runDaysBefore(days);
        r.cyaku = cyaku;
        r.sisuu = sisuu;
        writeRun(r);
    }
    ASSERT_TRUE(openSheet(SheetKind::Syuboba, "種牡馬丙"));
    const FlexGrid* s = gridOf(SheetKind::Syuboba, "gridTekiseiSisuu");
    const FlexGrid* r = gridOf(SheetKind::Syuboba, "gridTekiseiRentai");
    // 全ダート: (40.4 + 55.5 + 60.5) / 3 = 52.13 shows 52; the best 60.5 shows 61 (halves away from zero).
    EXPECT_EQ(QStringList({s->textMatrix(2, 0), s->textMatrix(2, 1), s->textMatrix(3, 1), s->textMatrix(4, 1)}),
              QStringList({"平均", "52", "61", "3"}));
    EXPECT_EQ(QStringList({r->textMatrix(2, 0), r->textMatrix(3, 0), r->textMatrix(2, 1), r->textMatrix(3, 1), r->textMatrix(4, 1)}),
              QStringList({"勝率", "連対率", "33%", "67%", "3"}));
    EXPECT_EQ(QStringList({s->textMatrix(2, 3), s->textMatrix(4, 3), r->textMatrix(3, 3)}), QStringList({"", "", ""}));
}

TEST_F(SheetWindowTest, RaceResultSheetShowsItsLineAndFinishersBeforeTheUnplaced)
{
    const std::vector<std::pair<QString, int>> runners {{"三着馬", 3}, {"取消馬", 0}, {"勝ち馬", 1}, {"二着馬", 2}};
    for (const auto& [name, cyaku] : runners) {
        RunRow r = runDaysBefore(15, 5);
        r.zyo = "大井";
        r.rname = "X";
        r.kyori = 1200;
        r.name = name;
        r.cyaku = cyaku;
        writeRun(r);
    }
    ASSERT_TRUE(openSheet(SheetKind::Kextuka, "大井08021505"));
    QWidget* sheet = sheetOf(SheetKind::Kextuka);
    EXPECT_EQ(sheet->windowTitle(), "レース結果シート 大井08021505");
    EXPECT_EQ(childNamed<QLabel>(sheet, "lblRaceInfo")->text(), "大井2008/02/15 5R XD1200良");
    const FlexGrid* g = gridOf(SheetKind::Kextuka);
    ASSERT_EQ(g->rows(), 5);
    EXPECT_EQ(g->cols(), 17);
    EXPECT_EQ(QStringList({g->textMatrix(1, 3), g->textMatrix(2, 3), g->textMatrix(3, 3), g->textMatrix(4, 3)}),
              QStringList({"勝ち馬", "二着馬", "三着馬", "取消馬"}));
    EXPECT_EQ(g->cellBackColor(1, 3), RGB(255, 200, 200));
    EXPECT_EQ(g->cellBackColor(4, 0), RGB(255, 255, 255));
    EXPECT_EQ(gridOf(SheetKind::Kextuka, "gridComment")->height(), twipsToPixels((5 + 1) * 300 + 50));
}

TEST_F(SheetWindowTest, RaceResultSheetOfNoRaceOrNoRunnersOpensQuietly)
{
    RunRow noRunners = runDaysBefore(15, 3);
    noRunners.name = QString();
    writeRun(noRunners);
    writeRun(runDaysBefore(0, 4));  // on the race day: not shown
    for (const auto& [code, line] : std::vector<std::pair<QString, QString>> {
             {"00000000", ""}, {"浦和08022904", ""}, {noRunners.code(), "浦和2008/02/15 3R 梅花賞D1400良"}}) {
        ASSERT_TRUE(openSheet(SheetKind::Kextuka, code));
        QWidget* sheet = sheetOf(SheetKind::Kextuka);
        EXPECT_EQ(childNamed<QLabel>(sheet, "lblRaceInfo")->text(), line) << code.toStdString();
        EXPECT_EQ(gridOf(SheetKind::Kextuka)->rows(), 2);
        EXPECT_EQ(gridOf(SheetKind::Kextuka)->textMatrix(1, 0), "");
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}

TEST_F(SheetWindowTest, LayoutFollowsTheClientSizeAndStopsBelow2000Twips)
{
    writeCareer();
    ASSERT_TRUE(openSheet(SheetKind::Kisyu, "騎手甲"));
    QWidget* sheet = sheetOf(SheetKind::Kisyu);
    sheet->resize(twipsToPixels(12000), twipsToPixels(9000));
    QCoreApplication::processEvents();
    auto* tabs = childNamed<QTabBar>(sheet, "tabMain");
    const FlexGrid* g = gridOf(SheetKind::Kisyu);
    EXPECT_EQ(tabs->geometry(), QRect(twipsToPixels(20), tabs->y(), twipsToPixels(12000 - 40), tabs->height()));
    EXPECT_EQ(tabs->y() + tabs->height(), twipsToPixels(9000 - 30));
    EXPECT_EQ(g->x(), twipsToPixels(70));
    EXPECT_EQ(g->y(), tabs->y() + twipsToPixels(400));
    const QRect before = g->geometry();
    sheet->resize(twipsToPixels(1900), twipsToPixels(9000));
    QCoreApplication::processEvents();
    EXPECT_EQ(g->geometry(), before);  // under 2000 twips nothing moves
    sheet->resize(twipsToPixels(3000), twipsToPixels(600));  // too low for the grids: no error
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
}
