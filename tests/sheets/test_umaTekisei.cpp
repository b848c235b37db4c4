// The 52 condition columns: headers and labels as shown, each column's test at its boundaries,
// the common filter with the period, and the statistics of both tables.
#include "sheets/umaTekisei.h"
#include "tests/sheets/sheetFixture.h"

namespace {
const TekiseiContext race {kToday, "浦和", 1400, 0};

SheetInputs inputs(int32_t avg = 470)
{
    SheetInputs in;
    in.trkList = {"浦和", "大井", "川崎", "", "", ""};
    in.jkList = {"騎手甲", "騎手乙", "", "", "", ""};
    in.avgTaizyu = avg;
    return in;
}

// A run that passes the common filter: 浦和 1400 m 良, gate 1, 470 kg, change 0, 20 days, 先, 騎手甲, won.
TekiseiRun base()
{
    return {kToday.addDays(-10), "浦和", "騎手甲", "先", 1400, 1, 1, 470, 0, 20, 1, 0, 50};
}

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

bool countsIn(const TekiseiRun& r, int column, int32_t avg = 470)
{
    const auto hit = columnsOf(r, "全期間対象", avg);
    return std::find(hit.begin(), hit.end(), column) != hit.end();
}
}  // namespace

TEST(UmaTekisei, ListAndWeightLabelsComeFromTheInputs)
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
    EXPECT_EQ(cols[20].header, "枠(全場" + QString(QChar(0xFF09)));  // only column 21 ends in a full-width ）
    EXPECT_TRUE(countsIn(base(), 40, 0));  // a zero average puts every weight in the last band
}

TEST(UmaTekisei, EachColumnTestAtItsBoundaries)
{
    struct Case {
        const char* what;
        std::function<void(TekiseiRun&)> change;
        std::vector<int> columns;  // every column the run counts in
    };
    const std::vector<int> common {1, 24, 30, 38, 42, 46, 50};
    const auto with = [&common](std::vector<int> more) {
        more.insert(more.end(), common.begin(), common.end());
        std::sort(more.begin(), more.end());
        return more;
    };
    const std::vector<Case> cases {
        {"base", [](TekiseiRun&) {}, with({2, 4, 6, 8, 10, 14, 18, 21})},
        {"1300 m", [](TekiseiRun& r) { r.kyori = 1300; }, with({4, 8, 10, 14, 18, 21})},
        {"1299 m", [](TekiseiRun& r) { r.kyori = 1299; }, with({3, 7, 10, 14, 18, 21})},
        {"1501 m", [](TekiseiRun& r) { r.kyori = 1501; }, with({5, 9, 10, 14, 18, 21})},
        {"other track", [](TekiseiRun& r) { r.zyo = "大井"; },
         {1, 6, 8, 14, 21, 25, 30, 38, 42, 46, 50}},
        {"going 不", [](TekiseiRun& r) { r.baba = 4; }, with({2, 4, 6, 8, 13, 17, 18, 21})},
        {"going 0", [](TekiseiRun& r) { r.baba = 0; }, with({2, 4, 6, 8, 18, 21})},
        {"gate 0 is inner", [](TekiseiRun& r) { r.waku = 0; }, with({2, 4, 6, 8, 10, 14, 18, 21})},
        {"gate 4", [](TekiseiRun& r) { r.waku = 4; }, with({2, 4, 6, 8, 10, 14, 19, 22})},
        {"gate 8", [](TekiseiRun& r) { r.waku = 8; }, with({2, 4, 6, 8, 10, 14, 20, 23})},
        {"gate 9 in no draw", [](TekiseiRun& r) { r.waku = 9; }, with({2, 4, 6, 8, 10, 14})},
    };
    for (const Case& c : cases) {
        TekiseiRun r = base();
        c.change(r);
        EXPECT_EQ(columnsOf(r), c.columns) << c.what;
    }
}

TEST(UmaTekisei, WeightChangeIntervalStyleAndJockeyBands)
{
    struct Band {
        const char* what;
        std::function<void(TekiseiRun&, int)> set;
        std::vector<std::pair<int, int>> valueToColumn;  // value -> the one column of its group (0: none)
        std::vector<int> group;
    };
    const std::vector<Band> bands {
        {"weight", [](TekiseiRun& r, int v) { r.taizyu = v; },
         {{463, 36}, {464, 37}, {466, 37}, {467, 38}, {472, 38}, {473, 39}, {475, 39}, {476, 40}, {0, 36}},
         {36, 37, 38, 39, 40}},
        {"change", [](TekiseiRun& r, int v) { r.zougen = v; }, {{-5, 41}, {-4, 42}, {4, 42}, {5, 43}}, {41, 42, 43}},
        {"interval", [](TekiseiRun& r, int v) { r.kankaku = v; },
         {{0, 0}, {1, 44}, {10, 44}, {11, 45}, {19, 45}, {20, 46}, {29, 46}, {30, 47}, {59, 47}, {60, 48}},
         {44, 45, 46, 47, 48}},
    };
    for (const Band& b : bands)
        for (const auto& [value, column] : b.valueToColumn) {
            TekiseiRun r = base();
            b.set(r, value);
            for (int g : b.group)
                EXPECT_EQ(countsIn(r, g), g == column) << b.what << " " << value << " column " << g;
        }
    for (const auto& [style, column] : std::vector<std::pair<QString, int>> {{"逃", 49}, {"差", 51}, {"追", 52}, {"", 0}}) {
        TekiseiRun r = base();
        r.kyakusitu = style;
        for (int g = 49; g <= 52; ++g)
            EXPECT_EQ(countsIn(r, g), g == column) << style.toStdString();
    }
    TekiseiRun noJockey = base();
    noJockey.kisyu = "";
    // It leaves 騎手甲 and counts under the four empty entries instead.
    EXPECT_EQ(columnsOf(noJockey).size(), columnsOf(base()).size() + 3);
}

TEST(UmaTekisei, CommonFilterPeriodStartIndexAndSurface)
{
    struct Case {
        const char* what;
        int daysBefore;
        float sisuu;
        int siba;
        QString period;
        bool counts;
    };
    const std::vector<Case> cases {
        {"inside six months", 182, 50, 0, "6ヶ月以内対象", true},
        {"on the six-month start day", 183, 50, 0, "6ヶ月以内対象", false},
        {"on the one-year start day", 365, 50, 0, "1年以内対象", false},
        {"one day later", 364, 50, 0, "1年以内対象", true},
        {"all: ten years", 3649, 50, 0, "全期間対象", true},
        {"all: start day", 3650, 50, 0, "全期間対象", false},
        {"typed text sets no bound", 20000, 50, 0, "3年", true},
        {"index 0", 10, 0, 0, "全期間対象", false},
        {"other surface", 10, 50, 1, "全期間対象", false},
        {"a run after the race day still counts", -30, 50, 0, "1年以内対象", true},
    };
    for (const Case& c : cases) {
        TekiseiRun r = base();
        r.date = kToday.addDays(-c.daysBefore);
        r.sisuu = c.sisuu;
        r.siba = c.siba;
        EXPECT_EQ(!columnsOf(r, c.period).empty(), c.counts) << c.what;
    }
    TekiseiRun turf = base();
    turf.siba = 1;
    const auto cols = tekiseiColumns({turf}, {kToday, "浦和", 1400, 1}, "", inputs());
    EXPECT_EQ(cols[0].label, "全ダート");  // the label stays, the count is of turf runs
    EXPECT_EQ(cols[0].count, 1);
}

TEST(UmaTekisei, AverageBestAndRatesOverTheCountedRuns)
{
    std::vector<TekiseiRun> runs;
    for (const auto& [sisuu, cyaku] : std::vector<std::pair<float, int>> {{40.4f, 1}, {55.2f, 3}, {60.1f, 5}, {0, 1}}) {
        TekiseiRun r = base();
        r.sisuu = sisuu;
        r.cyaku = cyaku;
        runs.push_back(r);
    }
    const auto cols = tekiseiColumns(runs, race, "", inputs());
    const TekiseiColumn& all = cols[0];
    EXPECT_EQ(all.count, 3);
    EXPECT_FLOAT_EQ(all.average, (40.4f + 55.2f + 60.1f) / 3.0f);
    EXPECT_FLOAT_EQ(all.best, 60.1f);
    EXPECT_FLOAT_EQ(all.winRate, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(all.placeRate, 2.0f / 3.0f);  // finishes 1 to 3
    EXPECT_EQ(std::make_tuple(cols[2].count, cols[2].best, cols[2].average), std::make_tuple(0, 0.0f, 0.0f));

    TekiseiRun low = base();
    low.sisuu = 0.5f;
    low.cyaku = 0;
    const auto one = tekiseiColumns({low}, race, "", inputs());
    EXPECT_EQ(std::make_tuple(one[0].best, one[0].winRate, one[0].placeRate), std::make_tuple(0.5f, 0.0f, 0.0f));
}
