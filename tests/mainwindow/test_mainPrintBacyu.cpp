#include "mainwindow/mainPrintBacyu.h"
#include "tests/mainwindow/frmMainFixture.h"

namespace {
const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);

// Past run k of runner h, its fields in the order the sheet shows them.
void setRun(int h, int k, const QString& zyo, int mmdd, int baba, int siba, int kyori, const QString& rname, int cyaku, int tousuu,
            int ninki, const QString& kisyu, float hutan, int no, int taizyu, float f3, float time, float cyakusa, float sisuu,
            float sisuu3f, const std::array<int, 4>& tuka)
{
    pd.uDate(h, k) = VbDate::fromYmd(2024, mmdd / 100, mmdd % 100);
    pd.uZyo(h, k) = zyo;
    pd.uBaba(h, k) = baba;
    pd.uSiba(h, k) = siba;
    pd.uKyori(h, k) = kyori;
    pd.uRname(h, k) = rname;
    pd.uCyaku(h, k) = cyaku;
    pd.uTousuu(h, k) = tousuu;
    pd.uNinki(h, k) = ninki;
    pd.uKisyu(h, k) = kisyu;
    pd.uHutan(h, k) = hutan;
    pd.uNo(h, k) = no;
    pd.uTaizyu(h, k) = taizyu;
    pd.u3f(h, k) = f3;
    pd.uTime(h, k) = time;
    pd.uCyakusa(h, k) = cyakusa;
    pd.uSisuu(h, k) = sisuu;
    pd.uSisuu3f(h, k) = sisuu3f;
    for (int c = 0; c < 4; ++c)
        pd.uTuka(h, c + 1, k) = tuka[size_t(c)];
}

void addRunner(int h, const QString& name, int waku, const QString& kisyu)
{
    pd.uName(h) = name;
    pd.uWaku(h, 0) = waku;
    pd.uKisyu(h, 0) = kisyu;
    pd.uDate(h, 0) = kRaceDay;
    pd.tousuu = std::max(pd.tousuu, h);
}

}  // namespace

// Runner 1 in bracket 3 has runs 1 and 3 (run 2 undated: its pair stays empty) and the same jockey as
// its last run; runner 2 shares the bracket without runs; slot 3 is empty; runner 4 in bracket 2.
TEST(Bacyu, BlocksFormattingAndRefill)
{
    initPublic();
    redimUma(18, 150);
    pd.lineSisuu = 55;
    addRunner(1, "ハヤテ", 3, "佐藤太郎");
    pd.uSeirei(1) = "牡4";
    pd.sirusi(1) = "◎";
    pd.uHutan(1, 0) = 54;
    pd.uTaizyu(1, 0) = 468;
    pd.yosouSisuu(1) = 104.6f;
    pd.kisoSisuu(1, 0) = 7;
    pd.uKyakusitu(1, 0) = "先";
    pd.tuka1Ave(1, 0) = 2.25f;
    pd.taisenMatrix(1, 0, 0) = 3;
    pd.taisenMatrix(1, 0, 1) = 1;
    setRun(1, 1, "大井", 315, 1, 0, 1200, "春の特別", 3, 12, 2, "佐藤太一", 54, 5, 468, 38.6f, 95.3f, 0.4f, 55.5f, 48, {3, 3, 2, 1});
    setRun(1, 3, "Ｊ東京", 102, 3, 1, 1600, "新春賞", 1, 9, 1, "鈴木", 55.5f, 2, 470, 0, 92.7f, -0.2f, 55, 0, {0, 0, 1, 1});
    addRunner(2, "アオバ", 3, "田中");
    addRunner(4, "クロ", 2, "");
    FlexGrid grid;
    const auto block = [&](int h) {
        QStringList rows;
        for (int r = (h - 1) * 5; r < h * 5; ++r) {
            QStringList cells;
            for (int c = 0; c < bacyuCols; ++c)
                cells << grid.textMatrix(r, c);
            rows << cells.join('|');
        }
        return rows;
    };
    fillGridPrintBacyu(grid);
    ASSERT_EQ(std::pair(grid.rows(), grid.cols()), std::pair(90, 16));
    EXPECT_EQ(block(1), (QStringList {
        "3|1||牡4|予想|基礎|56|大井 0315 良 1200|||55|Ｊ東京 0102 重 芝1600||||",
        "|||佐藤太郎|105|07|上がり|春の特別||||新春賞||||",
        "|◎|ハヤテ|54.0|||48|3/12 2人 佐藤太一 54||||1/9 1人 鈴木 55.5||||",
        "|||468|先|2.3||5番 468\u3000  38.6||||2番 470||||",
        "|||75%|3|1||95.3(0.4)  3-3-2-1||||92.7(-0.2)  0-0-1-1||||"}));
    const QString ten(10, '|');
    EXPECT_EQ(block(2), (QStringList {"|2|||予想|基礎" + ten, "|||田中|00|00" + ten, "||アオバ|00.0||" + ten,
                                      "|||0||" + ten, "||||0|0" + ten}));
    EXPECT_EQ(std::pair(block(3), block(4).first()), std::pair(QStringList(5, QString(15, '|')), "2|4|||予想|基礎" + ten));
    for (int r : {0, 4})
        EXPECT_EQ(std::tuple(grid.cellBackColor(r, 0), grid.cellForeColor(r, 0), grid.cellBackColor(15 + r, 0)),
                  std::tuple(0xFFu, 0xFFFFFFu, vbWindowText)) << r;
    // Jockeys: same, changed, none. Indices: 55.5 > 55 red; 55 == 55 black; both bold; the 3F index not bold.
    EXPECT_EQ(std::tuple(grid.cellForeColor(1, 3), grid.cellForeColor(6, 3), grid.cellForeColor(16, 3), grid.cellForeColor(0, 6),
                         grid.cellFontBold(0, 6), grid.cellForeColor(0, 10), grid.cellFontBold(0, 10), grid.cellFontBold(2, 6)),
              std::tuple(0x0u, 0xFFu, 0x0u, 0xFFu, true, 0x0u, true, false));
    // Nothing of the first race stays; a run table of 16 slots with run 0 only stops the fill.
    redimUma(18, 150);
    addRunner(1, "シロ", 1, "");
    fillGridPrintBacyu(grid);
    EXPECT_EQ(block(1).first(), "1|1|||予想|基礎" + QString(10, '|'));
    EXPECT_EQ(block(2), QStringList(5, QString(15, '|')));
    for (int r = 0; r < 10; ++r)
        for (int c : {0, 7})
            EXPECT_EQ(std::tuple(grid.cellBackColor(r, c) == 0xE0E0E0, grid.cellForeColor(r, c), grid.cellFontBold(r, c),
                                 grid.cellFontSize(r, c)),
                      std::tuple(r < 5 && c == 7, grid.cellForeColor(30, 2), false, 8.0)) << r << ',' << c;
    EXPECT_FALSE(grid.cellFontBold(0, 6));
    redimUma(16, 0);
    pd.uName(1) = "A";
    MsgBoxRecorder rec;
    fillGridPrintBacyu(grid);
    EXPECT_EQ(rec.texts(), QStringList {"bacyuエラー(err-BA01)"});
    EXPECT_TRUE(grid.updatesEnabled());
}
