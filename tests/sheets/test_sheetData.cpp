// The window-free reads of the sheets: which runs, in which order, the lists, the average and
// the scratch slot of the run table.
#include "sheets/sheetData.h"
#include "sheets/sheetGrid.h"
#include "tests/sheets/sheetFixture.h"

namespace {
std::vector<SheetRun> readRuns(SheetKind kind, const QString& key)
{
    openDb(1, appPath() + "NAR_data.dat", dbPassword);
    DbSlotCloser closer(1);
    return readSubjectRuns(kind, key);
}

// A run holding only the given fields; the rest are Null.
SheetRun run(std::initializer_list<std::pair<RunField, DbValue>> fields)
{
    SheetRun r;
    for (const auto& [f, v] : fields)
        r.f[f] = DbField(v);
    return r;
}
}  // namespace

TEST_F(SheetTest, ListsRunsStrictlyBeforeTheRaceDayNewestFirstAndBindsKeysWithQuotes)
{
    for (const auto& [days, no] : std::vector<std::pair<int, int>> {{0, 9}, {-3, 9}, {1, 3}, {1, 11}, {30, 9}, {1, 10}})
        writeRun({.date = ago(days), .raceNo = no});
    const RunRow other {.date = ago(2), .name = "O'Brien\"号", .kisyu = "d'Artagnan",
                        .cyoukyou = "'; DROP TABLE T_Rdata; --", .chichi = "ｻﾝﾃﾞｰｻｲﾚﾝｽ"};
    writeRun(other);
    const auto runs = readRuns(SheetKind::Uma, "テスト馬");
    EXPECT_EQ(runs.size(), 6u);  // later runs are read too, for the lists
    QStringList codes;
    for (const SheetRun* r : runsBefore(runs, kToday))  // a fixed order on one day
        codes << (*r)[fRCode].toString();
    EXPECT_EQ(codes, QStringList({"浦和08022911", "浦和08022910", "浦和08022903", "浦和08013109"}));
    for (const auto& [kind, key, n] : std::vector<std::tuple<SheetKind, QString, size_t>> {
             {SheetKind::Uma, other.name, 1}, {SheetKind::Kisyu, other.kisyu, 1}, {SheetKind::Cyoukyou, other.cyoukyou, 1},
             {SheetKind::Syuboba, other.chichi, 1}, {SheetKind::Syuboba, "", 0}})
        EXPECT_EQ(readRuns(kind, key).size(), n) << key.toStdString();
}

TEST_F(SheetTest, TrackAndJockeyListsTakeDistinctValuesUpToSixAndTheAverageWeightItsYear)
{
    // (runs "track:jockey" newest first, "~" a run of Nulls; the first jockey) -> "tracks|jockeys"
    const std::vector<std::tuple<QStringList, QString, QString>> cases {
        {{}, "", "浦和,,,,,|,,,,,"},
        {{"浦和:A", "大井:B", "大井:A"}, "Z", "浦和,大井,,,,|Z,A,B,,,"},
        {{"川崎:A", "船橋:B"}, "", "浦和,川崎,船橋,,,|A,B,,,,"},
        {{"a:1", "b:2", "c:3", "d:4", "e:5", "f:6", "g:7"}, "", "浦和,a,b,c,d,e|1,2,3,4,5,6"},
        {{"~", ":", "大井:C"}, "", "浦和,大井,,,,|C,,,,,"},  // an empty text never joins an empty slot
    };
    for (const auto& [texts, firstJockey, lists] : cases) {
        std::vector<SheetRun> runs;
        for (const QString& t : texts)
            runs.push_back(t == "~" ? SheetRun() : run({{fZyo, t.section(':', 0, 0)}, {fKisyu, t.section(':', 1)}}));
        const SheetInputs in = buildSheetInputs(runs, "浦和", firstJockey, kToday);
        EXPECT_EQ(QStringList(in.trkList.begin(), in.trkList.end()).join(',') + '|' +
                      QStringList(in.jkList.begin(), in.jkList.end()).join(','),
                  lists);
    }
    // The average weight covers the year before and later runs, and rounds halves to even.
    const std::vector<std::pair<std::vector<std::pair<int, int>>, int32_t>> averages {
        // (days before the race, weight; -1 = Null) -> average
        {{}, 0},
        {{{10, 470}, {20, 471}}, 470},               // 470.5 -> 470
        {{{10, 471}, {20, 472}}, 472},               // 471.5 -> 472
        {{{365, 400}, {364, 480}, {-5, 482}}, 481},  // the 365th day back is out, later runs in
        {{{10, -1}, {11, 0}, {12, 460}}, 230},       // Null left out, 0 counts
    };
    for (const auto& [weights, avg] : averages) {
        std::vector<SheetRun> runs;
        for (const auto& [days, weight] : weights)
            runs.push_back(weight < 0 ? run({{fDate, ago(days)}}) : run({{fDate, ago(days)}, {fTaizyu, weight}}));
        EXPECT_EQ(buildSheetInputs(runs, "浦和", "", kToday).avgTaizyu, avg);
    }
}

TEST_F(SheetTest, SlotZeroTakesTheListedRunsAndGrowsOnlyWhenTheyOutnumberIt)
{
    for (int i = 1; i <= 160; ++i)
        writeRun({.date = ago(i * 7), .cyoukyou = "", .nulls = i == 1 ? QStringList {"U_cyoukyou"} : QStringList {}});
    const auto runs = readRuns(SheetKind::Syuboba, "種牡馬丙");
    pd.kakoMax = 0;
    storeRunsInSlot0(runsBefore(runs, ago(157 * 7)), SheetKind::Uma);  // three runs: never shrunk
    EXPECT_EQ(std::make_pair(pd.kakoMax, pd.uDate.ubound(2)), std::make_pair(3, 150));
    pd.uName(0) = "前の馬";
    pd.uCyoukyou(0, 1) = "前の調教師";
    pd.uTime(3, 150) = 77.5f;  // a runner's run that the growth must keep
    storeRunsInSlot0(runsBefore(runs, kToday), SheetKind::Syuboba);
    EXPECT_EQ(std::make_tuple(pd.kakoMax, pd.uDate.ubound(2), pd.uTime(3, 150)), std::make_tuple(160, 160, 77.5f));
    // The sire sheet names the slot; a Null trainer and the running style are not stored.
    EXPECT_EQ(std::make_tuple(pd.uName(0), pd.uCyoukyou(0, 1), pd.uKyakusitu(0, 1), pd.uDate(0, 160), pd.uTuka(0, 3, 1)),
              std::make_tuple(QString("テスト馬"), QString("前の調教師"), QString(), ago(160 * 7), 1));
    pd.uName(0) = "前の馬";
    storeRunsInSlot0(runsBefore(runs, kToday), SheetKind::Uma);
    EXPECT_EQ(pd.uName(0), "前の馬");  // the horse sheet leaves the slot's name
}

TEST(SheetGridFormat, NumberCellsReadAsFormatGivesThemAndAStoredZeroIsNotNull)
{
    for (const char* pattern : {"#", "##", "###", "####", "+##0;-##"})
        for (int v : {0, 1, -1, 9, 10, -6, 99, 470, 1400, 12345, -12345}) {
            EXPECT_EQ(formatField(DbField(DbValue(v)), pattern), Format(v, pattern)) << pattern << " " << v;
            EXPECT_EQ(formatField(DbField(DbValue(v + 0.5)), pattern), Format(CLng(v + 0.5), pattern)) << pattern;
        }
    EXPECT_EQ(formatFloatField(DbField(DbValue(0.0)), "#0.0"), "0.0");
}
