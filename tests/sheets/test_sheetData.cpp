// The window-free parts of the sheets: which runs in which order, the lists, the average, the run
// table left alone, and the 52 condition columns with their boundaries and common filter.
#include "sheets/sheetData.h"
#include "sheets/sheetGrid.h"
#include "sheets/umaTekisei.h"
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
        r.set(f, v);
    return r;
}

const TekiseiContext race {kToday, "浦和", 1400, 0};
SheetInputs inputs(int32_t avg = 470) { return {{"浦和", "大井", "川崎", "", "", ""}, {"騎手甲", "騎手乙", "", "", "", ""}, avg}; }

// A run that passes the common filter: 浦和 1400 m 良, gate 1, 470 kg, change 0, 20 days, 先, 騎手甲.
TekiseiRun base(int cyaku = 1, float sisuu = 50, int siba = 0) { return {ago(10), "浦和", "騎手甲", "先", 1400, 1, 1, 470, 0, 20, cyaku, siba, sisuu}; }

// The 1-based columns in which one run counts.
std::vector<int> columnsOf(const TekiseiRun& r, const QString& period = "全期間対象", int32_t avg = 470)
{
    std::vector<int> hit;
    const auto cols = tekiseiColumns({r}, race, period, inputs(avg));
    for (int c = 0; c < int(cols.size()); ++c)
        if (cols[size_t(c)].count == 1)
            hit.push_back(c + 1);
    return hit;
}

// The base run's columns with those in out left and those in in added.
std::vector<int> baseWith(const std::vector<int>& out, const std::vector<int>& in = {})
{
    std::vector<int> cols;
    for (int c : {1, 2, 4, 6, 8, 10, 14, 18, 21, 24, 30, 38, 42, 46, 50})
        if (std::find(out.begin(), out.end(), c) == out.end())
            cols.push_back(c);
    cols.insert(cols.end(), in.begin(), in.end());
    std::sort(cols.begin(), cols.end());
    return cols;
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
        {{}, "", "浦和,,,,,|,,,,,"}, {{"浦和:A", "大井:B", "大井:A"}, "Z", "浦和,大井,,,,|Z,A,B,,,"},
        {{"川崎:A", "船橋:B"}, "", "浦和,川崎,船橋,,,|A,B,,,,"},
        {{"a:1", "b:2", "c:3", "d:4", "e:5", "f:6", "g:7"}, "", "浦和,a,b,c,d,e|1,2,3,4,5,6"},
        {{"~", ":", "大井:C"}, "", "浦和,大井,,,,|C,,,,,"},  // an empty text never joins an empty slot
    };
    for (const auto& [texts, firstJockey, lists] : cases) {
        std::vector<SheetRun> runs;
        for (const QString& t : texts)
            runs.push_back(t == "~" ? SheetRun() : run({{fZyo, t.section(':', 0, 0)}, {fKisyu, t.section(':', 1)}}));
        const SheetInputs in = buildSheetInputs(runs, "浦和", firstJockey, kToday);
        EXPECT_EQ(QStringList(in.trkList.begin(), in.trkList.end()).join(',') + '|'
                      + QStringList(in.jkList.begin(), in.jkList.end()).join(','), lists);
    }
    // The average weight covers the year before and later runs, and rounds halves to even.
    const std::vector<std::pair<std::vector<std::pair<int, int>>, int32_t>> averages {
        // (days before the race, weight; -1 = Null) -> average
        {{}, 0}, {{{10, 470}, {20, 471}}, 470},      // 470.5 -> 470
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

// More runs than the run table holds, on the sire and the horse sheet: each lists them all and leaves the
// table, its count and every runner's runs as the race read left them.
TEST_F(SheetTest, ASheetListsItsRunsAndLeavesTheSharedRunTableAlone)
{
    for (int i = 1; i <= 160; ++i)
        writeRun({.date = ago(i * 7), .cyoukyou = "", .nulls = i == 1 ? QStringList {"U_cyoukyou"} : QStringList {}});
    pd.uName(0) = "前の馬";
    pd.uCyoukyou(0, 1) = "前の調教師";
    pd.uTime(3, 150) = 77.5f;
    for (const auto& [kind, key] : {std::pair {SheetKind::Syuboba, "種牡馬丙"}, {SheetKind::Uma, "テスト馬"}}) {
        ASSERT_TRUE(openSheet(kind, key));
        EXPECT_EQ(gridOf(kind)->rows(), 161);
        EXPECT_EQ(std::make_tuple(pd.kakoMax, pd.uDate.ubound(2), pd.uTime(3, 150), pd.uName(0), pd.uCyoukyou(0, 1), pd.uDate(0, 1)),
                  std::make_tuple(150, 150, 77.5f, QString("前の馬"), QString("前の調教師"), VbDate()));
    }
}

TEST(SheetGridFormat, NumberCellsReadAsFormatGivesThemAndAStoredZeroIsNotNull)
{
    for (const char* pattern : {"#", "##", "###", "####", "+##0;-##"})
        for (int v : {0, 1, -1, 9, 10, -6, 99, 470, 1400, 12345, -12345}) {
            EXPECT_EQ(formatField(run({{fKyori, v}})[fKyori], pattern), Format(v, pattern)) << pattern << " " << v;
            EXPECT_EQ(formatField(run({{fKyori, v + 0.5}})[fKyori], pattern), Format(CLng(v + 0.5), pattern)) << pattern;
        }
    EXPECT_EQ(formatFloatField(run({{fCyakusa, 0.0}})[fCyakusa], "#0.0"), "0.0");
}

TEST(UmaTekisei, LabelsComeFromTheInputsAndACancelledRunNeitherWinsNorPlaces)
{
    const QString t = QString(QChar(0xFF5E));
    const auto cols = tekiseiColumns({}, race, "1年以内対象", inputs());
    ASSERT_EQ(cols.size(), 52u);
    const auto zero = tekiseiColumns({}, race, "", inputs(0));
    QStringList labels;
    for (int c : {23, 24, 26, 29, 30, 35, 36, 39})
        labels << cols[size_t(c)].label;
    for (int c : {35, 36, 37, 39})
        labels << zero[size_t(c)].label;
    EXPECT_EQ(labels, QStringList({"浦和", "大井", "", "騎手甲", "騎手乙", t + "464", "464" + t + "467", "476" + t,
                                   t + "-6", "-6" + t + "-3", "-3" + t + "3", "6" + t}));
    EXPECT_EQ(columnsOf(base(), "全期間対象", 0), baseWith({38}, {40}));  // a zero average: the last weight band
    const auto one = tekiseiColumns({base(0, 0.5f)}, race, "", inputs());  // a cancelled run
    EXPECT_EQ(std::make_tuple(one[0].best, one[0].winRate, one[0].placeRate), std::make_tuple(0.5f, 0.0f, 0.0f));
}

TEST(UmaTekisei, EachColumnTestAtItsBoundaries)
{
    const auto with = [](auto field, const auto& value) { TekiseiRun r = base(); r.*field = value; return columnsOf(r); };
    // (field, value, the base run's columns it leaves, those it joins)
    using R = TekiseiRun;
    const std::vector<std::tuple<int32_t R::*, int, std::vector<int>, std::vector<int>>> numbers {
        {&R::kyori, 1300, {2, 6}, {}}, {&R::kyori, 1299, {2, 4, 6, 8}, {3, 7}}, {&R::kyori, 1501, {2, 4, 6, 8}, {5, 9}},
        {&R::baba, 4, {10, 14}, {13, 17}}, {&R::baba, 0, {10, 14}, {}}, {&R::waku, 0, {}, {}}, {&R::waku, 4, {18, 21}, {19, 22}},
        {&R::waku, 8, {18, 21}, {20, 23}}, {&R::waku, 9, {18, 21}, {}},  // going 4 is 不; gate 0 is inner, 9 in no draw
    };
    for (const auto& [field, value, out, in] : numbers)
        EXPECT_EQ(with(field, value), baseWith(out, in)) << value;
    // Bands of weight (average 470), weight change and interval: value -> its column (0: none).
    const std::vector<std::tuple<int32_t R::*, int, std::vector<std::pair<int, int>>>> bands {
        {&R::taizyu, 38, {{463, 36}, {464, 37}, {466, 37}, {467, 38}, {472, 38}, {473, 39}, {475, 39}, {476, 40}, {0, 36}}},
        {&R::zougen, 42, {{-5, 41}, {-4, 42}, {4, 42}, {5, 43}}},
        {&R::kankaku, 46, {{0, 0}, {1, 44}, {10, 44}, {11, 45}, {19, 45}, {20, 46}, {29, 46}, {30, 47}, {59, 47}, {60, 48}}},
    };
    for (const auto& [field, baseColumn, valueToColumn] : bands)
        for (const auto& [value, column] : valueToColumn)
            EXPECT_EQ(with(field, value), baseWith({baseColumn}, column ? std::vector {column} : std::vector<int> {})) << value;
    const std::vector<std::tuple<QString R::*, QString, std::vector<int>, std::vector<int>>> texts {
        {&R::zyo, "大井", {2, 4, 10, 18, 24}, {25}}, {&R::kisyu, "", {30}, {32, 33, 34, 35}}, {&R::kyakusitu, "逃", {50}, {49}},
        {&R::kyakusitu, "差", {50}, {51}}, {&R::kyakusitu, "追", {50}, {52}}, {&R::kyakusitu, "", {50}, {}},
    };
    for (const auto& [field, value, out, in] : texts)
        EXPECT_EQ(with(field, value), baseWith(out, in)) << value.toStdString();
}

TEST(UmaTekisei, CommonFilterPeriodStartIndexAndSurface)
{
    const std::vector<std::tuple<int, float, int, QString, bool>> cases {
        // (days before the race, index, surface, period, counts): the period's start day is out
        {364, 50, 0, "1年以内対象", true}, {365, 50, 0, "1年以内対象", false},
        {20000, 50, 0, "3年", true}, {-30, 50, 0, "1年以内対象", true},  // typed text: no bound; a later run counts
        {10, 0, 0, "全期間対象", false}, {10, 50, 1, "全期間対象", false},  // index 0; the other surface
    };
    for (const auto& [days, sisuu, siba, period, counts] : cases) {
        TekiseiRun r = base(1, sisuu, siba);
        r.date = ago(days);
        EXPECT_EQ(!columnsOf(r, period).empty(), counts) << days << " " << period.toStdString();
    }
    const auto cols = tekiseiColumns({base(1, 50, 1)}, {kToday, "浦和", 1400, 1}, "", inputs());  // a turf race
    EXPECT_EQ(std::make_pair(cols[0].label, cols[0].count), std::make_pair(QString("全ダート"), 1));  // the label stays
}
