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

QStringList codes(const std::vector<const SheetRun*>& runs)
{
    QStringList out;
    for (const SheetRun* r : runs)
        out << (*r)[fRCode].toString();
    return out;
}
}  // namespace

class SheetDataTest : public SheetTest {};

TEST_F(SheetDataTest, ListsRunsStrictlyBeforeTheRaceDayNewestFirstWithAFixedOrderOnOneDay)
{
    for (const RunRow& r : {runDaysBefore(0), runDaysBefore(-3), runDaysBefore(1, 3), runDaysBefore(1, 11),
                            runDaysBefore(30), runDaysBefore(1, 10)})
        writeRun(r);
    RunRow other = runDaysBefore(2);
    other.name = "別の馬";
    writeRun(other);
    const auto runs = readRuns(SheetKind::Uma, "テスト馬");
    EXPECT_EQ(runs.size(), 6u);  // later runs are read too, for the lists
    EXPECT_EQ(codes(runsBefore(runs, kToday)),
              QStringList({"浦和08022911", "浦和08022910", "浦和08022903", "浦和08013109"}));
}

TEST_F(SheetDataTest, KeysWithQuotesAndEveryKeyColumnAreBoundValues)
{
    RunRow r = runDaysBefore(5);
    r.name = "O'Brien\"号";
    r.kisyu = "d'Artagnan";
    r.cyoukyou = "'; DROP TABLE T_Rdata; --";
    r.chichi = "ｻﾝﾃﾞｰｻｲﾚﾝｽ";
    writeRun(r);
    EXPECT_EQ(readRuns(SheetKind::Uma, r.name).size(), 1u);
    EXPECT_EQ(readRuns(SheetKind::Kisyu, r.kisyu).size(), 1u);
    EXPECT_EQ(readRuns(SheetKind::Cyoukyou, r.cyoukyou).size(), 1u);
    EXPECT_EQ(readRuns(SheetKind::Syuboba, r.chichi).size(), 1u);
    EXPECT_EQ(readRuns(SheetKind::Syuboba, "").size(), 0u);
}

TEST_F(SheetDataTest, TrackAndJockeyListsTakeDistinctValuesUpToSixAndNeverANull)
{
    struct Case {
        const char* what;
        std::vector<std::pair<QString, QString>> runs;  // (track, jockey), newest first; "~" = Null
        QString firstJockey;
        QStringList trk, jk;
    };
    const std::vector<Case> cases {
        {"no runs", {}, "", {"浦和", "", "", "", "", ""}, {"", "", "", "", "", ""}},
        {"race track not repeated, seeded jockey", {{"浦和", "A"}, {"大井", "B"}, {"大井", "A"}}, "Z",
         {"浦和", "大井", "", "", "", ""}, {"Z", "A", "B", "", "", ""}},
        {"first jockey from the newest run", {{"川崎", "A"}, {"船橋", "B"}}, "",
         {"浦和", "川崎", "船橋", "", "", ""}, {"A", "B", "", "", "", ""}},
        {"six at most, stops at the sixth",
         {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}, {"f", "6"}, {"g", "7"}}, "",
         {"浦和", "a", "b", "c", "d", "e"}, {"1", "2", "3", "4", "5", "6"}},
        {"Null never joins; an empty text never joins an empty slot", {{"~", "~"}, {"", ""}, {"大井", "C"}}, "",
         {"浦和", "大井", "", "", "", ""}, {"C", "", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        std::vector<SheetRun> runs;
        for (const auto& [zyo, kisyu] : c.runs) {
            SheetRun r;
            r.f[fZyo] = zyo == "~" ? DbField() : DbField(DbValue(zyo));
            r.f[fKisyu] = kisyu == "~" ? DbField() : DbField(DbValue(kisyu));
            runs.push_back(r);
        }
        const SheetInputs in = buildSheetInputs(runs, "浦和", c.firstJockey, kToday);
        EXPECT_EQ(QStringList(in.trkList.begin(), in.trkList.end()), c.trk) << c.what;
        EXPECT_EQ(QStringList(in.jkList.begin(), in.jkList.end()), c.jk) << c.what;
    }
}

TEST_F(SheetDataTest, AverageWeightCoversTheYearBeforeAndLaterRunsAndRoundsHalvesToEven)
{
    struct Case {
        std::vector<std::pair<int, std::optional<int>>> runs;  // (days before the race, weight or Null)
        int32_t avg;
    };
    const std::vector<Case> cases {
        {{}, 0},
        {{{10, 470}, {20, 471}}, 470},             // 470.5 -> 470
        {{{10, 471}, {20, 472}}, 472},             // 471.5 -> 472
        {{{365, 400}, {364, 480}, {-5, 482}}, 481},  // the 365th day back is out, later runs in
        {{{10, std::nullopt}, {11, 0}, {12, 460}}, 230},  // Null left out, 0 counts
    };
    for (const Case& c : cases) {
        std::vector<SheetRun> runs;
        for (const auto& [days, weight] : c.runs) {
            SheetRun r;
            r.f[fDate] = DbField(DbValue(kToday.addDays(-days)));
            r.f[fTaizyu] = weight ? DbField(DbValue(*weight)) : DbField();
            runs.push_back(r);
        }
        EXPECT_EQ(buildSheetInputs(runs, "浦和", "", kToday).avgTaizyu, c.avg);
    }
}

TEST_F(SheetDataTest, SlotZeroTakesTheListedRunsAndGrowsOnceToTheirNumber)
{
    for (int i = 1; i <= 160; ++i) {
        RunRow r = runDaysBefore(i * 7);
        r.cyoukyou = "";
        r.nulls = i == 1 ? QStringList {"U_cyoukyou"} : QStringList {};
        writeRun(r);
    }
    pd.uName(0) = "前の馬";
    pd.uCyoukyou(0, 1) = "前の調教師";
    pd.uTime(3, 150) = 77.5f;  // a runner's run that the growth must keep
    const auto runs = readRuns(SheetKind::Syuboba, "種牡馬丙");
    storeRunsInSlot0(runsBefore(runs, kToday), SheetKind::Syuboba);
    EXPECT_EQ(pd.kakoMax, 160);
    EXPECT_EQ(pd.uDate.ubound(2), 160);
    EXPECT_EQ(pd.uTime(3, 150), 77.5f);
    EXPECT_EQ(pd.uName(0), "テスト馬");
    EXPECT_EQ(pd.uCyoukyou(0, 1), "前の調教師");  // a Null trainer is not stored
    EXPECT_EQ(pd.uDate(0, 160), kToday.addDays(-160 * 7));
    EXPECT_EQ(pd.uTuka(0, 3, 1), 1);
    EXPECT_EQ(pd.uKyakusitu(0, 1), "");  // the running style is not stored

    pd.uName(0) = "前の馬";
    storeRunsInSlot0(runsBefore(runs, kToday), SheetKind::Uma);
    EXPECT_EQ(pd.uName(0), "前の馬");  // the horse sheet leaves the slot's name
}

TEST_F(SheetDataTest, ATableLargerThanKakoMaxIsNeverShrunk)
{
    pd.kakoMax = 0;
    for (int i = 1; i <= 3; ++i)
        writeRun(runDaysBefore(i));
    storeRunsInSlot0(runsBefore(readRuns(SheetKind::Uma, "テスト馬"), kToday), SheetKind::Uma);
    EXPECT_EQ(pd.kakoMax, 3);
    EXPECT_EQ(pd.uDate.ubound(2), 150);
}

TEST(SheetGridFormat, NumberCellsReadAsFormatGivesThemAndNullIsEmpty)
{
    for (const char* pattern : {"#", "##", "###", "####", "+##0;-##"})
        for (int v : {0, 1, -1, 9, 10, -6, 99, 470, 1400, 12345, -12345}) {
            EXPECT_EQ(formatField(DbField(DbValue(v)), pattern), Format(v, pattern)) << pattern << " " << v;
            EXPECT_EQ(formatField(DbField(DbValue(v + 0.5)), pattern), Format(CLng(v + 0.5), pattern)) << pattern;
        }
    EXPECT_EQ(formatField(DbField(), "+##0;-##"), "");
    EXPECT_EQ(formatFloatField(DbField(), "#0.0"), "");
    EXPECT_EQ(formatFloatField(DbField(DbValue(0.0)), "#0.0"), "0.0");
}
