// The prediction tab and the two race cards, filled from races written into the run table.
#include "analysis/mainSpSisuu.h"
#include "analysis/mainSyuxtubaHyo.h"
#include "analysis/mainYosou.h"
#include "tests/analysis/gridCheck.h"
#include "tests/analysis/raceBuilder.h"

namespace {

class RunnerGrid : public RaceTest {
protected:
    FlexGrid grid;
};

// Two runners in bracket 1, then brackets 2 and 4 (white numbers); a factor of 1.05 shows +15.0%,
// 0.98 -6.0% in red, exactly 1 +0.0% in black, a hair below 1 -0.0% in red, 0 nothing.
TEST_F(RunnerGrid, PredictionTabShowsMarksIndicesChancesAndFactors)
{
    for (int h = 1; h <= 4; ++h)
        addRunner(h, {.waku = std::array{1, 1, 2, 4}[size_t(h - 1)]});
    const std::array<float, 8> factors{1.05f, 0.98f, 1, 0, std::nextafter(1.0f, 0.0f), 1.1f, 0.9f, 1.0333333f};
    for (int i = 0; i < 8; ++i) {
        pd.tekiseiFactor(1, i) = factors[size_t(i)];
        pd.tekiseiFactor(3, i) = 1;
    }
    std::tie(pd.sirusi(1), pd.uKyakusitu(1, 0), pd.yosouSisuu(1), pd.kisoSisuu(1, 0), pd.kakuritu1(1), pd.kakuritu2(1)) =
        std::tuple("◎", "逃", 72.5f, 68.4f, 0.3456f, 0.5f);
    std::tie(pd.sirusi(3), pd.uKyakusitu(3, 0), pd.yosouSisuu(3), pd.kisoSisuu(3, 0), pd.kakuritu1(3), pd.kakuritu2(3)) =
        std::tuple("▲", "差", -3.2f, 0.4f, 0.0004f, 1.0f);
    drawGridYosou(grid);

    EXPECT_EQ(rowText(grid, 2), "1|1|◎|馬1|逃|73|68|34.6%|50.0%|+15.0%|-6.0%|+0.0%||-0.0%|+30.0%|-30.0%|+10.0%");
    EXPECT_EQ(rowText(grid, 3), "|2||馬2||||0.0%|0.0%||||||||") << "a runner without prediction";
    EXPECT_EQ(rowText(grid, 4), "2|3|▲|馬3|差|-3||0.0%|100.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%|+0.0%");
    EXPECT_EQ(rowLook(grid, 2), "bffffff|bffffff|B bffffff|B bffffff|||||||fff|||fff||fff|");
    EXPECT_EQ(rowLook(grid, 3, 0, 0) + " / " + rowLook(grid, 4, 0, 0) + " / " + rowText(grid, 5, 0, 0) + rowLook(grid, 5, 0, 0),
              "bffffff / fffffff b10101 / 4fffffff bff0000") << "the bracket colour without its number in row 3";
    EXPECT_EQ(pd.umaIdx, 5);
    saveGridPicture(grid, "gridYosou");
}

// Runner 1 in bracket 2 with seven runs: each finish colour, a central run (no link), an index of
// 0 without a variant row (grey), a negative one whose variant was exactly 0 (found: not grey).
// Runner 2 shares the bracket and has no run; runner 3 in bracket 4.
TEST_F(RunnerGrid, RaceCardsTellEachRun)
{
    addRunner(1, {.waku = 2, .kisyu = "騎手A", .hutan = 54},
              {{.daysAgo = 78, .sisuu = 84.4f, .kyori = 1200, .cyaku = 3, .tousuu = 12, .sisuu3f = 40},
               {.daysAgo = 61, .zyo = "Ｊ東京", .siba = 1, .cyaku = 1, .tousuu = 16, .fileFound = false},
               {.daysAgo = 100, .sisuu = -5, .zyo = "川崎", .cyaku = 2, .tousuu = 9, .sisuu3f = 0.4f},
               {.daysAgo = 120, .sisuu = 60.5f, .cyaku = 0, .tousuu = 14, .sisuu3f = 51},
               {.daysAgo = 140, .sisuu = 61, .cyaku = 5, .tousuu = 14},
               {.daysAgo = 160, .sisuu = 62, .cyaku = 4, .tousuu = 14},
               {.daysAgo = 180, .sisuu = 63, .cyaku = 13, .tousuu = 12}});
    addRunner(2, {.waku = 2, .kisyu = "騎手B", .hutan = 5.5f});
    addRunner(3, {.waku = 4});
    std::tie(pd.uChichi(1), pd.uSeirei(1), pd.uCyoukyou(1, 0), pd.sirusi(1)) = std::tuple("父馬", "牡4", "厩舎A", "○");
    std::tie(pd.uChichi(2), pd.uSeirei(2), pd.uCyoukyou(2, 0)) = std::tuple("父馬2", "牝3", "厩舎B");

    drawGridSyuxtusouHyou(grid);
    EXPECT_EQ(rowText(grid, 1), "2|1|○|馬1|父馬|牡4|騎手A|54.0|厩舎A|大井03/15 Ｄ1200 3/12|Ｊ東京04/01 芝1600 1/16|"
                                "川崎02/22 Ｄ1600 2/9|大井02/02 Ｄ1600 0/14|大井01/13 Ｄ1600 5/14|大井12/24 Ｄ1600 4/14|"
                                "大井12/04 Ｄ1600 13/12");
    EXPECT_EQ(rowText(grid, 2), "|2||馬2|父馬2|牝3|騎手B|05.5|厩舎B|||||||");
    EXPECT_EQ(rowLook(grid, 1), "fffffff b10101|bffffff|B bffffff|BU fff0000 bffffff|U fff0000||U fff0000||U fff0000|"
                                "U8 fff0000 bffffc8|8 bc8c8ff|U8 fff0000 b80c8ff|" + times(4, "U8 fff0000 bffffff"));
    EXPECT_EQ(rowLook(grid, 2, 9), times(7, "")) << "no run: empty and white";
    EXPECT_EQ(pd.umaIdx, 4);
    saveGridPicture(grid, "gridSyuxtusouHyou");

    drawGridSpSisuu(grid);
    EXPECT_EQ(rowText(grid, 1, 9, 20), "大井03/15 Ｄ1200|84|40|Ｊ東京04/01 芝1600|||川崎02/22 Ｄ1600|-5||大井02/02 Ｄ1600|61|51")
        << "60.5 rounds away from zero";
    EXPECT_EQ(rowLook(grid, 1, 9, 17), "U8 fff0000 bffffc8|B bffffc8|bffffc8|8 bc8c8ff|B f808080 bc8c8ff|f808080 bc8c8ff|"
                                       "U8 fff0000 b80c8ff|B b80c8ff|b80c8ff");
    saveGridPicture(grid, "gridSpSisuu");
}

// Columns grow run by run; without a fifth run the cards keep four run columns (groups), and
// gridSpSisuu two empty columns after them; no race read: headers only. Runs beyond 100 never show.
TEST_F(RunnerGrid, RaceCardsGrowWithTheLongestHistory)
{
    // Rows x columns, fixed rows x columns, the height and the run headers of both cards.
    const auto shapes = [this] {
        QStringList out;
        for (const auto fill : {drawGridSyuxtusouHyou, drawGridSpSisuu}) {
            fill(grid);
            out << QStringLiteral("%1x%2 fixed %3x%4 height %5 ").arg(grid.rows()).arg(grid.cols()).arg(grid.fixedRows())
                        .arg(grid.fixedCols()).arg(grid.heightTwips()) + QString::fromStdString(rowText(grid, 0, out.isEmpty() ? 9 : 21));
        }
        return out.join(" / ").toStdString();
    };
    EXPECT_EQ(shapes(), "1x13 fixed 1x3 height 650 1走前|2走前|3走前|4走前 / 1x23 fixed 1x3 height 650 |");
    addRunner(1, {}, std::vector<PastRun>(4));
    addRunner(2, {}, std::vector<PastRun>(2));
    EXPECT_EQ(shapes(), "3x13 fixed 1x3 height 1250 1走前|2走前|3走前|4走前 / 3x23 fixed 1x3 height 1250 |");
    addRunner(2, {}, std::vector<PastRun>(5));
    EXPECT_EQ(shapes(), "3x14 fixed 1x3 height 1250 1走前|2走前|3走前|4走前|5走前 / 3x26 fixed 1x3 height 1250 5走前|指数|3f||");
    addRunner(1, {}, std::vector<PastRun>(120));
    drawGridSyuxtusouHyou(grid);
    const int cardCols = grid.cols();
    drawGridSpSisuu(grid);
    EXPECT_EQ(std::pair(cardCols, grid.cols()), std::pair(109, 311));
}

}
