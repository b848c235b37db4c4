#include "core/publicComment.h"
#include "core/publicDim.h"
#include "core/publicQuery.h"
#include "core/publicSisuu.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

const VbDate kDay = VbDate::fromYmd(2008, 3, 24);

// One-letter goings only; 札幌 both ways; tenths carry, halves go even; a label's code is read from its end.
TEST(CodeTables, CodesAndTexts)
{
    EXPECT_EQ(QList<int>({babaToCode("稍"), babaToCode("不"), babaToCode("稍重")}), QList<int>({2, 4, 0}));
    EXPECT_EQ(QStringList({codeToBaba(2), codeToBaba(5), weekdayLabel(kDay), delSpace("大 井　ｱ\t"), zyoToNarCode("名古"),
                           zyoToNarCode("名古屋"), zyoToNarCode("札幌"), zyoToJraCode("札幌"), zyoToJraCode("Ｊ中山")}),
              QStringList({"稍", "", "（月）", "大井ｱ\t", "24", "", "8", "01", ""}));
    for (const auto& [seconds, text] : std::vector<std::pair<float, QString>> {{0.0f, ""}, {-3.0f, ""}, {9.2f, "09:2"},
             {60.0f, "1:00:0"}, {72.3f, "1:12:3"}, {72.96f, "1:13:0"}, {119.96f, "2:00:0"}, {59.96f, "1:00:0"},
             {58.75f, "58:8"}, {58.25f, "58:2"}, {605.04f, "10:05:0"}, {0.04f, "00:0"}})
        EXPECT_EQ(timeToText(seconds), text) << seconds;
    for (const auto& [zyo, date, raceNo, label] : {std::tuple("浦和", VbDate::fromYmd(2008, 2, 15), 6, "浦和08/02/15-06R"),
             {"Ｊ東京", VbDate::fromYmd(2010, 11, 7), 11, "Ｊ東京10/11/07-11R"},
             {"名古", VbDate::fromYmd(1999, 12, 31), 12, "名古99/12/31-12R"}})
        EXPECT_EQ(commentRaceLabel(zyo, date, raceNo), label);
}

// A preserving resize keeps the runs, the passing orders and the names; a plain one clears them; bounds hold.
TEST(RunTable, ResizesKeepOrClearAndBoundsAreChecked)
{
    redimUma(18, 3);
    std::tie(pd.uKyori(18, 3), pd.uZyo(1, 2), pd.uTuka(7, 4, 2), pd.uName(5)) = std::tuple(1200, "大井", 9, "ミスターX");
    redimUmaPreserve(18, 40);
    EXPECT_EQ(std::tuple(pd.uKyori(18, 3), pd.uKyori(18, 40), pd.uZyo(1, 2), pd.uTuka(7, 4, 2), pd.uName(5)),
              std::tuple(1200, 0, QString("大井"), 9, QString("ミスターX")));
    redimUmaPreserve(18, 2);
    EXPECT_THROW(pd.uKyori(18, 3), VbError);
    EXPECT_EQ(std::pair(pd.uZyo(1, 2), pd.uTuka(7, 4, 2)), std::pair(QString("大井"), 9));
    redimUma(18, 2);
    EXPECT_EQ(std::pair(pd.uZyo(1, 2), pd.uTuka(7, 4, 2)), std::pair(QString(), 0));
}

// Index 0 counts in the rate only, a Null index in neither, a race without runs nowhere.
TEST(CourseStatistics, NullsAndRefusals)
{
    TestAppDir dir;
    openDb(1, dir.createNarData(), dbPassword);
    for (const QString code : {"大井08032401", "大井08032411"})
        insertRow(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", "大井").set("R_date", kDay));
    const std::vector<std::pair<DbValue, int>> runs {{0.0f, 1}, {50.0f, 2}, {60.0f, 3}, {DbValue(), 1}, {DbValue(), 4}};
    for (int n = 0; n < int(runs.size()); ++n)
        insertRow(1, "T_Useiseki", DbRow().set("R_code", "大井08032411").set("U_name", QString::number(n))
                                       .set("U_sisuu", runs[n].first).set("U_cyaku", runs[n].second));
    EXPECT_EQ(std::pair(avgSisuu(QueryCondition().add("R_zyo", "=", "大井")), winRate(QueryCondition().add("R_zyo", "=", "大井"))),
              std::pair(55.0f, 1.0f / 3.0f));
    QueryCondition c;
    for (const auto& [column, op] : {std::pair("R_bogus", "="), {"R_code", "="}, {"R_zyo = 'a' OR 1", "="}, {"R_zyo", "LIKE"}})
        EXPECT_THROW(c.add(column, op, 1), VbError) << column << ' ' << op;  // R_code: ambiguous in the join
    EXPECT_FLOAT_EQ(winRate(c.add("R_cyaku(1)", "=", 0).add("R_zyo", "=", "大井")), 1.0f / 3.0f);
}

// One row per key, every value bound; the race comment keeps its row's marks; without the file nothing opens.
TEST(CommentStore, MissingFileThenOneRowPerKeyWithEveryValueBound)
{
    TestAppDir dir;
    MsgBoxRecorder rec;
    EXPECT_THROW(openCommentDb(), VbError);
    EXPECT_THROW(saveRaceComment("浦和08021506", "x"), VbError);
    EXPECT_TRUE(rec.texts().isEmpty());
    dir.createComment();
    const QString odd = QStringLiteral("It's \"fast\"\n二行目 ♞ 𠮷 '; DROP TABLE Comment; --");
    openCommentDb();
    saveRaceComment("浦和08021506", "first");
    saveComment("Uma", "O'Reilly", {"horse", "◎", "A"});
    saveComment("Uma", "O'Reilly", {odd, "○", ""});
    saveComment("Ｊ東京08021511", "O'Reilly", {"central", "x", "y"});
    saveComment("浦和08021506", "Race", {"", "m1", "m2"});
    saveRaceComment("浦和08021506", "third");
    EXPECT_EQ(readComment("浦和08021506", "Race"), (CommentNote {"third", "m1", "m2"}));
    EXPECT_FALSE(readComment("Uma", "O'Reilly ").has_value());
    EXPECT_EQ(readHorseComments("O'Reilly"),
              (QHash<QString, CommentNote> {{"Uma", {odd, "○", ""}}, {"Ｊ東京08021511", {"central", "x", "y"}}}));
    EXPECT_EQ(RecordSet(commentSlot, "SELECT count(*) FROM Comment").field(0).toInt(), 3);
}

const QString kError = "U_sisuu算出エラー(err-BA06)";
using Result = std::tuple<float, float, float>;  // index, last-3F index, variant flag

static void addTrack(int slot, const QString& zyo, std::optional<DbValue> variant, int kyori, DbValue time, const QString& cls = "ave")
{
    if (variant)
        insertRow(slot, "T_sisuu", DbRow().set("S_date", kDay).set("S_zyo", zyo).set("S_siba", 0).set("S_sisuu", *variant));
    insertRow(slot, "T_avetime", DbRow().set("A_zyo", zyo).set("A_kyori", kyori).set("A_class", cls).set("A_sin_kyu", slot == 1)
                                     .set("A_siba", 0).set("A_time", time));
}

// The indices of run r of runner 1, which held 44, 33 and flag 9 before; a local run reads the given slot.
static Result calc(int r, const QString& zyo, int kyori, float time, float f3 = 38.0f, float hutan = 55.0f, int slot = 1)
{
    std::tie(pd.uDate(1, r), pd.uZyo(1, r), pd.uKyori(1, r), pd.uTime(1, r), pd.u3f(1, r), pd.uHutan(1, r)) =
        std::tuple(kDay, zyo, kyori, time, f3, hutan);
    std::tie(pd.uSisuu(1, r), pd.uSisuu3f(1, r), pd.uFile(1, r)) = Result(44, 33, 9);
    zyo.startsWith("Ｊ") ? calcUSisuuJra(1, r) : calcUSisuu(1, r, slot);
    return {pd.uSisuu(1, r), pd.uSisuu3f(1, r), pd.uFile(1, r)};
}

struct SpeedIndex : ::testing::Test {
    void SetUp() override { redimUma(18, 10); openDb(1, dir_.createStrevinData(), dbPassword); }
    TestAppDir dir_;
    MsgBoxRecorder msgs_;
};

// Worked examples, local and central; slot 2 is closed on every exit path.
TEST_F(SpeedIndex, WorkedExamplesAndSlot2AlwaysClosed)
{
    addTrack(1, "大井", 0.5f, 1500, 90.0f);
    EXPECT_EQ(calc(1, "大井", 1500, 89.5f, 38.0f, 56.0f), Result(61.0f, 42.35f, 0.5f));
    const QString jra = dir_.createJraGraph();
    openDb(2, jra, dbPassword);
    addTrack(2, "06", 0.3f, 1600, 96.0f);
    addTrack(2, "05", std::nullopt, 1600, DbValue());
    closeDb(2);
    const auto [nakayama, nakayama3f, nakayamaFlag] = calc(1, "Ｊ中山", 1600, 95.0f, 35.5f, 57.0f);
    EXPECT_FLOAT_EQ(nakayama, 99.0f);
    EXPECT_NEAR(nakayama3f, 81.8f, 1e-4);
    EXPECT_TRUE(msgs_.texts().isEmpty() && !isDbOpen(2));
    calc(2, "Ｊ東京", 1600, 95.0f);
    EXPECT_FALSE(isDbOpen(2));
    debugMode = true;
    EXPECT_THROW(calcUSisuuJra(1, 2), VbError);
    debugMode = false;
    EXPECT_FALSE(isDbOpen(2));
    QFile::remove(jra);
    pd.jraGraphOn = true;
    calc(1, "Ｊ中山", 1600, 95.0f);
    EXPECT_EQ(msgs_.texts(), (QStringList {kError, "dataファイルが開けません\n" + jra + "\nファイルがありません", kError}));
    EXPECT_FALSE(isDbOpen(2) || pd.jraGraphOn);  // no more central runs asked of a file that cannot be opened
}

// No usable standard time: index 0, never inf or NaN; a Null or a closed slot is an error and the run keeps its values.
TEST_F(SpeedIndex, MissingBrokenOrNullRows)
{
    for (const auto& [kyori, time, cls] : {std::tuple(1500, 90.0f, "ave"), {1600, 100.0f, "B1"}, {1200, 0.0f, "ave"}, {0, 90.0f, "ave"}})
        addTrack(1, "大'井", std::nullopt, kyori, time, cls);
    const auto [noVariant, noVariant3f, flag] = calc(1, "大'井", 1500, 89.5f);
    EXPECT_EQ(std::pair(noVariant, flag), std::pair(55.0f, 0.0f));
    for (const int kyori : {1600, 1200, 0})
        EXPECT_EQ(calc(2, "大'井", kyori, 75.0f), Result(0.0f, 33.0f, 0.0f)) << kyori;
    addTrack(1, "大井", DbValue(), 1500, 90.0f);
    addTrack(1, "川崎", 0.5f, 1500, DbValue());
    EXPECT_EQ(calc(1, "大井", 1500, 89.5f), Result(44.0f, 33.0f, 9.0f));
    EXPECT_EQ(calc(2, "川崎", 1500, 89.5f), Result(44.0f, 33.0f, 0.5f));
    closeDb(1);
    EXPECT_EQ(calc(3, "大井", 1500, 89.5f), Result(44.0f, 33.0f, 9.0f));
    EXPECT_EQ(msgs_.texts(), QStringList(3, kError));
}

// Inside the memo lookups answer as first read, per file. ((75 - 74) x 1500 / 1200 + 1) x 10 + 50 = 72.5; +1 s: +12.5.
TEST_F(SpeedIndex, LookupMemoRemembersPerFileUntilItEnds)
{
    addTrack(1, "大井", 1.0f, 1200, 75.0f);
    closeDb(1);
    ASSERT_TRUE(QFile::copy(dir_.filePath("Strevin_data.dat"), dir_.filePath("copy.dat")));
    openDb(1, dir_.filePath("Strevin_data.dat"), dbPassword);
    openDb(2, dir_.filePath("copy.dat"), dbPassword);
    slotConnection(2).execute("UPDATE T_avetime SET A_time = 77");
    const auto index = [](int slot) { return std::get<0>(calc(1, "大井", 1200, 74.0f, 37.0f, 55.0f, slot)); };
    {
        const TrackLookupMemo memo;
        EXPECT_EQ(index(1), 72.5f);
        slotConnection(1).execute("UPDATE T_avetime SET A_time = 76");
        EXPECT_EQ(std::pair(index(1), index(2)), std::pair(72.5f, 97.5f));
    }
    EXPECT_EQ(index(1), 85.0f);
}
