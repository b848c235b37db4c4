// The 52 condition columns: labels as shown, each column's test at its boundaries, the common filter.
#include "sheets/umaTekisei.h"
#include "tests/sheets/sheetFixture.h"

namespace {
const TekiseiContext race {kToday, "浦和", 1400, 0};

SheetInputs inputs(int32_t avg = 470)
{
    return {{"浦和", "大井", "川崎", "", "", ""}, {"騎手甲", "騎手乙", "", "", "", ""}, avg};
}

// A run that passes the common filter: 浦和 1400 m 良, gate 1, 470 kg, change 0, 20 days, 先, 騎手甲.
TekiseiRun base(int cyaku = 1, float sisuu = 50)
{
    return {ago(10), "浦和", "騎手甲", "先", 1400, 1, 1, 470, 0, 20, cyaku, 0, sisuu};
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
    // (field, value, the base run's columns it leaves, those it joins)
    const std::vector<std::tuple<int32_t TekiseiRun::*, int, std::vector<int>, std::vector<int>>> numbers {
        {&TekiseiRun::kyori, 1300, {2, 6}, {}}, {&TekiseiRun::kyori, 1299, {2, 4, 6, 8}, {3, 7}},
        {&TekiseiRun::kyori, 1501, {2, 4, 6, 8}, {5, 9}}, {&TekiseiRun::baba, 4, {10, 14}, {13, 17}},  // going 不
        {&TekiseiRun::baba, 0, {10, 14}, {}}, {&TekiseiRun::waku, 0, {}, {}},  // gate 0 is inner
        {&TekiseiRun::waku, 4, {18, 21}, {19, 22}}, {&TekiseiRun::waku, 8, {18, 21}, {20, 23}},
        {&TekiseiRun::waku, 9, {18, 21}, {}},  // in no draw
    };
    for (const auto& [field, value, out, in] : numbers) {
        TekiseiRun r = base();
        r.*field = value;
        EXPECT_EQ(columnsOf(r), baseWith(out, in)) << value;
    }
    // Bands of weight (average 470), weight change and interval: value -> its column (0: none).
    const std::vector<std::tuple<int32_t TekiseiRun::*, int, std::vector<std::pair<int, int>>>> bands {
        {&TekiseiRun::taizyu, 38,
         {{463, 36}, {464, 37}, {466, 37}, {467, 38}, {472, 38}, {473, 39}, {475, 39}, {476, 40}, {0, 36}}},
        {&TekiseiRun::zougen, 42, {{-5, 41}, {-4, 42}, {4, 42}, {5, 43}}},
        {&TekiseiRun::kankaku, 46,
         {{0, 0}, {1, 44}, {10, 44}, {11, 45}, {19, 45}, {20, 46}, {29, 46}, {30, 47}, {59, 47}, {60, 48}}},
    };
    for (const auto& [field, baseColumn, valueToColumn] : bands)
        for (const auto& [value, column] : valueToColumn) {
            TekiseiRun r = base();
            r.*field = value;
            EXPECT_EQ(columnsOf(r), baseWith({baseColumn}, column ? std::vector {column} : std::vector<int> {})) << value;
        }
    const std::vector<std::tuple<QString TekiseiRun::*, QString, std::vector<int>, std::vector<int>>> texts {
        {&TekiseiRun::zyo, "大井", {2, 4, 10, 18, 24}, {25}}, {&TekiseiRun::kisyu, "", {30}, {32, 33, 34, 35}},
        {&TekiseiRun::kyakusitu, "逃", {50}, {49}}, {&TekiseiRun::kyakusitu, "差", {50}, {51}},
        {&TekiseiRun::kyakusitu, "追", {50}, {52}}, {&TekiseiRun::kyakusitu, "", {50}, {}},
    };
    for (const auto& [field, value, out, in] : texts) {
        TekiseiRun r = base();
        r.*field = value;
        EXPECT_EQ(columnsOf(r), baseWith(out, in)) << value.toStdString();
    }
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
        TekiseiRun r = base(1, sisuu);
        r.date = ago(days);
        r.siba = siba;
        EXPECT_EQ(!columnsOf(r, period).empty(), counts) << days << " " << period.toStdString();
    }
    TekiseiRun turf = base();
    turf.siba = 1;
    const auto cols = tekiseiColumns({turf}, {kToday, "浦和", 1400, 1}, "", inputs());
    EXPECT_EQ(std::make_pair(cols[0].label, cols[0].count), std::make_pair(QString("全ダート"), 1));  // the label stays
}
