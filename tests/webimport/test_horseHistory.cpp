#include "platform/database.h"
#include "tests/webimport/webImportFixture.h"

#include <QFile>
#include <QWidget>
#include <array>
#include <map>

namespace {

const QString horsePage =
    QStringLiteral("/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=2004100001");
constexpr int checkSlot = 4;

// One stored row, column name to value, read through the program's own database layer.
using Row = std::map<std::string, DbField>;

struct HorseHistory : WebImportTest {
    QString narPath;

    void SetUp() override
    {
        WebImportTest::SetUp();
        narPath = appDir.createNarData();
        addTrackRows(appDir.createStrevinData(), 1, {{"大井", 1200, 0, 75.0}, {"大井", 1400, 0, 88.0}},
                     {{"2008-02-10", "大井", 0, 0.5}});
        initPublic();
        pd.kakoMax = 150;
        redimUma(18, pd.kakoMax);
        pd.raceDate = VbDate::fromYmd(2008, 3, 24);
        pd.kakoKikan = 730;
        pd.jraGraphOn = false;
        pd.tousuu = 12;
        pd.umaIdx = 1;
        pd.uName(1) = QStringLiteral("テストホース01");
        pd.uChichi(1) = QStringLiteral("父馬01");
        pd.uDate(1, 0) = pd.raceDate;
        pd.uTaizyu(1, 0) = 478;
        // What the race card gave for the latest run.
        setCorners(1, {3, 3, 2, 1});
        pd.uKyakusitu(1, 1) = QStringLiteral("先");
    }

    struct Ave {
        const char* zyo;
        int kyori, siba;
        double time;
    };
    struct Variant {
        const char* date;
        const char* zyo;
        int siba;
        double sisuu;
    };
    static void addTrackRows(const QString& path, int sinKyu, std::initializer_list<Ave> aves,
                             std::initializer_list<Variant> variants)
    {
        openDbOrThrow(checkSlot, path, dbPassword);
        for (const Ave& a : aves)
            insertRow(checkSlot, "T_avetime", DbRow().set("A_zyo", a.zyo).set("A_kyori", a.kyori)
                                                  .set("A_class", "ave").set("A_sin_kyu", sinKyu)
                                                  .set("A_siba", a.siba).set("A_time", a.time));
        for (const Variant& v : variants)
            insertRow(checkSlot, "T_sisuu", DbRow().set("S_date", v.date).set("S_zyo", v.zyo)
                                                .set("S_siba", v.siba).set("S_sisuu", v.sisuu));
        closeDb(checkSlot);
    }

    static void setCorners(int r, std::array<int32_t, 4> c)
    {
        for (int i = 0; i < 4; ++i)
            pd.uTuka(1, i + 1, r) = c[size_t(i)];
    }

    static std::array<int32_t, 4> corners(int r)
    {
        return {pd.uTuka(1, 1, r), pd.uTuka(1, 2, r), pd.uTuka(1, 3, r), pd.uTuka(1, 4, r)};
    }

    bool readHistory(const QString& file)
    {
        return readUmaRirekiPage(servePage(horsePage, file));
    }

    std::vector<Row> rows(const QString& sql, const DbParams& params = {}) const
    {
        openDbOrThrow(checkSlot, narPath, dbPassword);
        std::vector<Row> out;
        for (RecordSet rs(checkSlot, sql, params); !rs.eof(); rs.moveNext()) {
            Row row;
            for (const char* column : {"R_code", "U_name", "U_no", "U_waku", "U_cyaku", "U_time", "U_taizyu",
                                       "U_zougen", "U_cyakusa", "U_kisyu", "U_hutan", "U_3f", "U_sisuu",
                                       "U_sisuu3f", "U_file", "U_kankaku", "U_chichi", "U_tuka01",
                                       "U_kyakusitu", "R_zyo", "R_date", "R_no", "R_baba", "R_kyori",
                                       "R_name", "R_siba", "R_flag", "R_tousuu"})
                vbTrapSilent([&] { row[column] = rs.field(QString::fromLatin1(column)); });
            out.push_back(row);
        }
        closeDb(checkSlot);
        return out;
    }

    int count(const char* table) const
    {
        return int(rows(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table))).size());
    }

    Row useiseki(const QString& code) const
    {
        const auto found = rows("SELECT * FROM T_Useiseki WHERE R_code = ?", {code});
        return found.empty() ? Row {} : found.front();
    }
};

TEST_F(HorseHistory, RunsOfTheWindowFillTheRunTableNewestFirst)
{
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_TRUE(shown().empty());
    // Outside the window: the race day itself, exactly 730 days back, and older.
    EXPECT_EQ(pd.uDate(1, 1), VbDate::fromYmd(2008, 3, 1));
    EXPECT_EQ(pd.uDate(1, 6), VbDate::fromYmd(2007, 6, 2));
    EXPECT_EQ(pd.uDate(1, 7), VbDate());
    EXPECT_EQ(pd.kakoMax, 150);

    EXPECT_EQ(u8(pd.uZyo(1, 1)), "大井");
    EXPECT_EQ(u8(pd.uChiku(1, 1)), "南関");
    EXPECT_EQ(pd.uRaceNo(1, 1), 9);
    EXPECT_EQ(u8(pd.uRname(1, 1)), "Ｃ２五組");
    EXPECT_EQ(pd.uKyori(1, 1), 1400);
    EXPECT_EQ(pd.uSiba(1, 1), 0);
    EXPECT_EQ(pd.uBaba(1, 1), 2);
    EXPECT_EQ(pd.uWaku(1, 1), 7);
    EXPECT_EQ(pd.uNo(1, 1), 10);
    EXPECT_EQ(pd.uNinki(1, 1), 3);
    EXPECT_EQ(pd.uCyaku(1, 1), 1);
    EXPECT_EQ(pd.uTousuu(1, 1), 11);
    EXPECT_FLOAT_EQ(pd.uTime(1, 1), 88.6f);
    EXPECT_FLOAT_EQ(pd.uCyakusa(1, 1), -0.2f);
    EXPECT_FLOAT_EQ(pd.u3f(1, 1), 38.0f);
    EXPECT_EQ(pd.uTaizyu(1, 1), 476);
    EXPECT_EQ(u8(pd.uKisyu(1, 1)), "鈴木一");
    EXPECT_FLOAT_EQ(pd.uHutan(1, 1), 56.0f);
    EXPECT_EQ(u8(pd.uCyoukyou(1, 1)), "松本");

    EXPECT_EQ(pd.uKyori(1, 2), 1200);  // "&nbsp;1200": dirt
    EXPECT_FLOAT_EQ(pd.uTime(1, 2), 74.2f);
    EXPECT_EQ(pd.uKyori(1, 3), 0);  // "障3000": neither distance nor surface
    EXPECT_EQ(pd.uBaba(1, 3), 3);
    EXPECT_FLOAT_EQ(pd.uTime(1, 3), 200.0f);
    EXPECT_EQ(pd.uCyaku(1, 4), 0);  // scratched: no "/", no ":"
    EXPECT_EQ(pd.uTousuu(1, 4), 0);
    EXPECT_EQ(pd.uTime(1, 4), 0.0f);
    EXPECT_EQ(u8(pd.uZyo(1, 5)), "Ｊ中山");
    EXPECT_EQ(u8(pd.uChiku(1, 5)), "Ｊ");
    EXPECT_EQ(pd.uKyori(1, 5), 1800);
    EXPECT_EQ(pd.uSiba(1, 5), 1);
    EXPECT_FLOAT_EQ(pd.uTime(1, 5), 110.3f);
    EXPECT_EQ(u8(pd.uZyo(1, 6)), "浦和");  // full-width blank removed
    EXPECT_EQ(pd.uKyori(1, 6), 800);      // "&nbsp; 800"
    EXPECT_EQ(pd.uBaba(1, 6), 4);
    EXPECT_FLOAT_EQ(pd.uTime(1, 6), 49.8f);
}

TEST_F(HorseHistory, IntervalsWeightChangesAndIndicesComeWithTheRuns)
{
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    const int kankaku[] = {23, 20, 43, 56, 49, 105, 0};
    const int zougen[] = {0, 4, 6, -2, 2, 0, 0};  // run 6 weighs 0: no change against it
    for (int r = 0; r <= 6; ++r) {
        EXPECT_EQ(pd.uKankaku(1, r), kankaku[r]) << "run " << r;
        EXPECT_EQ(pd.uZougen(1, r), zougen[r]) << "run " << r;
    }
    // 大井 1400 dirt, standard 88.0, no variant that day, 56 kg.
    EXPECT_NEAR(pd.uSisuu(1, 1), 44.5048, 1e-3);
    EXPECT_NEAR(pd.uSisuu3f(1, 1), 57.2654, 1e-3);
    EXPECT_EQ(pd.uFile(1, 1), 0.0f);
    // 大井 1200 dirt, standard 75.0, variant +0.5.
    EXPECT_NEAR(pd.uSisuu(1, 2), 65.8, 1e-3);
    EXPECT_NEAR(pd.uSisuu3f(1, 2), 49.78, 1e-3);
    EXPECT_FLOAT_EQ(pd.uFile(1, 2), 0.5f);
    EXPECT_EQ(pd.uSisuu(1, 4), 0.0f);  // no time, no index
    EXPECT_EQ(pd.uSisuu(1, 5), 0.0f);  // central run without the central file: local tables know no "Ｊ中山"
}

TEST_F(HorseHistory, ACentralRunTakesItsIndexFromTheCentralFileWhenThereIsOne)
{
    addTrackRows(appDir.createJraGraph(), 0, {{"06", 1800, 1, 110.0}}, {});
    pd.jraGraphOn = true;
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_NEAR(pd.uSisuu(1, 5), 83.5833, 1e-3);
    EXPECT_NEAR(pd.uSisuu(1, 2), 65.8, 1e-3);
    EXPECT_TRUE(shown().empty());
}

TEST_F(HorseHistory, WithoutTheLocalTrackFileCentralRunsStillGetTheirIndex)
{
    addTrackRows(appDir.createJraGraph(), 0, {{"06", 1800, 1, 110.0}}, {});
    pd.jraGraphOn = true;
    ASSERT_TRUE(QFile::remove(appDir.filePath(QStringLiteral("Strevin_data.dat"))));
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_EQ(shown(), std::vector<std::string> {"dataファイルが開けません"});
    EXPECT_NEAR(pd.uSisuu(1, 5), 83.5833, 1e-3);
    EXPECT_EQ(pd.uSisuu(1, 2), 0.0f);
    EXPECT_EQ(count("T_Useiseki"), 6);
}

TEST_F(HorseHistory, AHeaderInRowFourteenIsFoundAndInRowFifteenIsNot)
{
    ASSERT_TRUE(getWebTable(servePage(horsePage, "horse_mixed.htm")));
    int header = 0;
    while (webCell(header, 1) != QStringLiteral("年月日"))
        ASSERT_LT(++header, 15);
    const auto moveDown = [](int rows) {
        for (int r = 300; r >= 0; --r)
            for (int c = 0; c <= 60; ++c)
                webCell(r, c) = r >= rows ? webCell(r - rows, c) : QString();
    };
    moveDown(14 - header);
    parseUmaRireki();
    EXPECT_EQ(webRow, 6);
    EXPECT_TRUE(shown().empty());
    moveDown(1);
    parseUmaRireki();
    EXPECT_EQ(webRow, 0);
    EXPECT_EQ(shown(), std::vector<std::string> {"出走履歴が見つかりません"});
}

TEST_F(HorseHistory, EveryRunIsStoredWithItsRaceOnce)
{
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_EQ(count("T_Rdata"), 6);
    EXPECT_EQ(count("T_Useiseki"), 6);

    const auto race = rows("SELECT * FROM T_Rdata WHERE R_code = ?", {QStringLiteral("大井08030109")});
    ASSERT_EQ(race.size(), 1u);
    const Row& r = race.front();
    EXPECT_EQ(u8(r.at("R_zyo").toString()), "大井");
    EXPECT_EQ(r.at("R_date").toDate(), VbDate::fromYmd(2008, 3, 1));
    EXPECT_EQ(r.at("R_no").toInt(), 9);
    EXPECT_EQ(r.at("R_baba").toInt(), 2);
    EXPECT_EQ(r.at("R_kyori").toInt(), 1400);
    EXPECT_EQ(u8(r.at("R_name").toString()), "Ｃ２五組");
    EXPECT_EQ(r.at("R_siba").toInt(), 0);
    EXPECT_TRUE(r.at("R_flag").isNull());
    EXPECT_EQ(rows("SELECT * FROM T_Rdata WHERE R_code = ?", {QStringLiteral("Ｊ中山07091507")}).size(), 1u);

    const Row u = useiseki(QStringLiteral("大井08030109"));
    ASSERT_FALSE(u.empty());
    EXPECT_EQ(u8(u.at("U_name").toString()), "テストホース01");
    EXPECT_EQ(u.at("U_no").toInt(), 10);
    EXPECT_EQ(u.at("U_waku").toInt(), 7);
    EXPECT_EQ(u.at("U_cyaku").toInt(), 1);
    EXPECT_FLOAT_EQ(u.at("U_time").toFloat(), 88.6f);
    EXPECT_EQ(u.at("U_taizyu").toInt(), 476);
    EXPECT_EQ(u.at("U_zougen").toInt(), 4);
    EXPECT_FLOAT_EQ(u.at("U_cyakusa").toFloat(), -0.2f);
    EXPECT_EQ(u8(u.at("U_kisyu").toString()), "鈴木一");
    EXPECT_FLOAT_EQ(u.at("U_hutan").toFloat(), 56.0f);
    EXPECT_FLOAT_EQ(u.at("U_3f").toFloat(), 38.0f);
    EXPECT_NEAR(u.at("U_sisuu").toFloat(), 44.5048, 1e-3);
    EXPECT_NEAR(u.at("U_sisuu3f").toFloat(), 57.2654, 1e-3);
    EXPECT_FALSE(u.at("U_file").toBool());
    EXPECT_EQ(u.at("U_kankaku").toInt(), 20);
    EXPECT_EQ(u8(u.at("U_chichi").toString()), "父馬01");
    EXPECT_EQ(u.at("U_tuka01").toInt(), 0);
    EXPECT_TRUE(useiseki(QStringLiteral("大井08021011")).at("U_file").toBool());
    // The oldest run has nothing to compare with: the columns keep what the file gives a
    // column left out.
    const Row oldest = useiseki(QStringLiteral("浦和07060203"));
    for (const char* column : {"U_zougen", "U_kankaku"})
        EXPECT_TRUE(oldest.at(column).isNull() || oldest.at(column).toInt() == 0) << column;
}

TEST_F(HorseHistory, RowsJustAddedDoNotWipeTheCardsCornersButImportedResultsWin)
{
    // The results of 2008/02/10 were imported before: full rows with corners and a style.
    openDbOrThrow(checkSlot, narPath, dbPassword);
    insertRow(checkSlot, "T_Rdata", DbRow().set("R_code", "大井08021011").set("R_zyo", "大井")
                                          .set("R_flag", "Seiseki").set("R_tousuu", 12));
    insertRow(checkSlot, "T_Useiseki", DbRow().set("R_code", "大井08021011").set("U_name", "テストホース01")
                                             .set("U_cyaku", 3).set("U_tuka01", 5).set("U_tuka02", 4)
                                             .set("U_tuka03", 3).set("U_tuka04", 2).set("U_kyakusitu", "差"));
    closeDb(checkSlot);
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(corners(1), (std::array<int32_t, 4> {3, 3, 2, 1}));
    EXPECT_EQ(u8(pd.uKyakusitu(1, 1)), "先");
    EXPECT_EQ(corners(2), (std::array<int32_t, 4> {5, 4, 3, 2}));
    EXPECT_EQ(u8(pd.uKyakusitu(1, 2)), "差");
    // The imported rows stay as the results writer left them.
    const auto race = rows("SELECT * FROM T_Rdata WHERE R_code = ?", {QStringLiteral("大井08021011")});
    EXPECT_EQ(u8(race.at(0).at("R_flag").toString()), "Seiseki");
    EXPECT_TRUE(race.at(0).at("R_name").isNull());
    EXPECT_EQ(useiseki(QStringLiteral("大井08021011")).at("U_taizyu").toInt(), 0);
}

TEST_F(HorseHistory, ASecondImportOfTheSameHistoryChangesNothing)
{
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    const auto dump = [this] {
        std::vector<std::string> out;
        for (const Row& row : rows("SELECT * FROM T_Useiseki ORDER BY R_code"))
            for (const auto& [column, value] : row)
                out.push_back(column + "=" + u8(value.toString()));
        return out;
    };
    const auto before = dump();
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(count("T_Rdata"), 6);
    EXPECT_TRUE(shown().empty());
}

TEST_F(HorseHistory, ALongHistoryGrowsTheRunTableAndStoresItsFirstHundredRuns)
{
    pd.kakoKikan = 5000;
    ASSERT_TRUE(readHistory("horse_long.htm"));
    EXPECT_EQ(pd.kakoMax, 160);
    EXPECT_EQ(pd.uDate(1, 160), VbDate::fromYmd(1996, 1, 10));
    EXPECT_EQ(pd.uRname(1, 1), QStringLiteral("競走160"));
    EXPECT_EQ(u8(pd.uName(1)), "テストホース01");  // per-runner arrays untouched by the growth
    EXPECT_EQ(corners(1), (std::array<int32_t, 4> {3, 3, 2, 1}));
    EXPECT_EQ(count("T_Useiseki"), 100);
    EXPECT_EQ(rows("SELECT * FROM T_Rdata WHERE R_name = ?", {QStringLiteral("競走061")}).size(), 1u);
    EXPECT_EQ(rows("SELECT * FROM T_Rdata WHERE R_name = ?", {QStringLiteral("競走060")}).size(), 0u);
    EXPECT_EQ(pd.uKankaku(1, 159), 25);
    EXPECT_TRUE(shown().empty());
}

TEST_F(HorseHistory, AHorseWithoutRunsIsReportedAndNothingIsStored)
{
    ASSERT_TRUE(readHistory("horse_none.htm"));
    EXPECT_EQ(shown(), std::vector<std::string> {"出走履歴が見つかりません"});
    EXPECT_EQ(pd.uDate(1, 1), VbDate());
    EXPECT_EQ(count("T_Useiseki"), 0);
}

TEST_F(HorseHistory, InBatchModeNothingIsStoredOrShownButTheRunsAreComplete)
{
    QWidget kanri;
    kanri.setObjectName(QStringLiteral("frmKanri"));
    ASSERT_TRUE(readHistory("horse_none.htm"));
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(count("T_Useiseki"), 0);
    EXPECT_EQ(pd.uZougen(1, 1), 4);
    EXPECT_EQ(pd.uKankaku(1, 1), 20);
}

TEST_F(HorseHistory, ABadCellLosesItsRowOnlyAndNamesIt)
{
    QFile file(QStringLiteral(BRENNOCK_PAGES_DIR "/horse_mixed.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray page = file.readAll();
    page.replace("<td>3/12</td>", "<td>x/12</td>");  // 2008/02/10
    server.addPage(horsePage, page, "text/html; charset=Shift_JIS");
    ASSERT_TRUE(readUmaRirekiPage(url(horsePage)));
    int header = 0, bad = 0;
    for (int r = 1; r <= 300; ++r) {
        if (webCell(r, 1) == QStringLiteral("年月日"))
            header = r;
        if (webCell(r, 1) == QStringLiteral("2008/02/10"))
            bad = r;
    }
    EXPECT_EQ(shown(), std::vector<std::string> {u8(QStringLiteral("U_data読込みエラー(err-BA04) 1 %1").arg(bad - header))});
    // The run keeps what was set before the bad cell and the walk goes on.
    EXPECT_EQ(pd.uNinki(1, 2), 2);
    EXPECT_EQ(pd.uTime(1, 2), 0.0f);
    EXPECT_EQ(pd.uDate(1, 6), VbDate::fromYmd(2007, 6, 2));
}

TEST_F(HorseHistory, ANameWithAQuoteIsStoredAndReadBack)
{
    pd.uName(1) = QStringLiteral("ミスター'ズ");
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(u8(useiseki(QStringLiteral("大井08030109")).at("U_name").toString()), "ミスター'ズ");
    EXPECT_EQ(corners(1), (std::array<int32_t, 4> {3, 3, 2, 1}));
}

TEST_F(HorseHistory, WithoutTheRaceDatabaseTheRunsAreReadAndTheUserIsToldOnce)
{
    QFile::remove(narPath);
    ASSERT_TRUE(readHistory("horse_mixed.htm"));
    EXPECT_EQ(shown(), std::vector<std::string> {"dataファイルが開けません"});
    EXPECT_EQ(pd.uTaizyu(1, 1), 476);
}

TEST_F(HorseHistory, ACancelledLoadReadsAndStoresNothing)
{
    server.setNeverAnswer(horsePage, true);
    pd.webCancel = true;
    EXPECT_FALSE(readUmaRirekiPage(url(horsePage)));
    EXPECT_EQ(shown(), std::vector<std::string> {"キャンセルしました"});
    EXPECT_EQ(pd.uDate(1, 1), VbDate());
}

}
