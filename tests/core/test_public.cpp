#include "core/publicComment.h"
#include "core/publicDim.h"
#include "core/publicQuery.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

// Only the one-letter going forms are codes; 札幌 is both a local and a central track. Times: tenths
// that round up carry into the seconds and minutes; halves go to the even tenth.
TEST(CodeTables, CodesAndTexts)
{
    EXPECT_EQ(QList<int>({babaToCode("稍"), babaToCode("不"), babaToCode("稍重")}), QList<int>({2, 4, 0}));
    EXPECT_EQ(QStringList({codeToBaba(2), codeToBaba(5), weekdayLabel(VbDate::fromYmd(2008, 3, 24)), delSpace("大 井　ｱ\t")}),
              QStringList({"稍", "", "（月）", "大井ｱ\t"}));
    EXPECT_EQ(QStringList({zyoToNarCode("名古"), zyoToNarCode("名古屋"), zyoToNarCode("札幌"), zyoToJraCode("札幌"),
                           zyoToJraCode("Ｊ中山")}), QStringList({"24", "", "8", "01", ""}));
    for (const auto& [seconds, text] : std::vector<std::pair<float, QString>> {{0.0f, ""}, {-3.0f, ""}, {9.2f, "09:2"},
             {60.0f, "1:00:0"}, {72.3f, "1:12:3"}, {72.96f, "1:13:0"}, {119.96f, "2:00:0"}, {59.96f, "1:00:0"},
             {58.75f, "58:8"}, {58.25f, "58:2"}, {605.04f, "10:05:0"}, {0.04f, "00:0"}})
        EXPECT_EQ(timeToText(seconds), text) << seconds;
}

static VbDate marked(VbDate, int v) { return VbDate(v); }  // a value per cell, none the empty one
static QString marked(const QString&, int v) { return QString::number(v); }
static int32_t marked(int32_t, int v) { return v; }
static float marked(float, int v) { return float(v) / 2; }
static char marked(char, int v) { return char(v % 2); }

// Every per-run array keeps every run, growing by one or far and shrinking; redimUma clears; bounds hold.
TEST(RunTable, ResizesKeepOrClearAndBoundsAreChecked)
{
    redimUma(18, 3);
    forEachRunArray([&](auto& a) {
        for (int h = 0; h <= 18; ++h)
            for (int r = 0; r <= 3; ++r)
                a(h, r) = marked(a(h, r), h * 100 + r + 1);
    });
    std::tie(pd.uTuka(7, 4, 2), pd.uName(5)) = std::pair(9, "ミスターX");
    for (const int size : {4, 40, 2}) {
        redimUmaPreserve(18, size);
        forEachRunArray([&](auto& a) {
            using T = std::decay_t<decltype(a(0, 0))>;
            ASSERT_EQ(a.ubound(1) * 1000 + a.ubound(2), 18000 + size);
            for (int h = 0; h <= 18; ++h)
                for (int r = 0; r <= std::min(size, 3); ++r)
                    ASSERT_EQ(a(h, r), marked(T {}, h * 100 + r + 1)) << h << ',' << r;
            EXPECT_EQ(a(18, size), size > 3 ? T {} : marked(T {}, 1800 + size + 1));
        });
    }
    EXPECT_EQ(std::pair(pd.uTuka(7, 4, 2), pd.uName(5)), std::pair(9, QString("ミスターX")));
    EXPECT_THROW(pd.uKyori(7, 3), VbError);
    redimUma(18, 2);
    EXPECT_EQ(pd.uKyori(18, 2) + pd.uTuka(7, 4, 2), 0);
}

// Index 0 counts in the rate only, a Null index in neither, a race without runs nowhere; date bounds
// are strict; a track name is only a value; unknown columns are refused.
TEST(CourseStatistics, NullsBoundsQuotesAndRefusals)
{
    TestAppDir dir;
    openDb(1, dir.createNarData(), dbPassword);
    const VbDate day = VbDate::fromYmd(2008, 3, 24);
    const auto addRace = [&](const QString& code, const std::vector<std::pair<DbValue, int>>& runs, VbDate date) {
        insertRow(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", code.left(2)).set("R_date", date));
        for (int n = 0; n < int(runs.size()); ++n)  // index and finishing position, all in frame 3
            insertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", QString::number(n))
                                           .set("U_sisuu", runs[n].first).set("U_cyaku", runs[n].second).set("U_waku", 3));
    };
    addRace("大井08032401", {}, day);
    addRace("大井08032411", {{0.0f, 1}, {50.0f, 2}, {60.0f, 3}, {DbValue(), 1}, {DbValue(), 4}}, day);
    addRace("大井08032311", {{70.0f, 1}}, day.addDays(-1));
    addRace("大'08032411", {{40.0f, 1}}, day);
    const auto frame3 = [] { return QueryCondition().add("R_zyo", "=", "大井").add("U_waku", "=", 3); };
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", ">", day.addDays(-1))), 55.0f);
    EXPECT_FLOAT_EQ(winRate(frame3().add("R_date", ">", day.addDays(-1))), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", "<", day)), 70.0f);
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", ">=", day.addDays(-1))), 60.0f);
    EXPECT_FLOAT_EQ(winRate(QueryCondition().add("R_zyo", "=", "大'")), 1.0f);
    QueryCondition c;
    for (const auto& [column, op] : {std::pair("R_bogus", "="), {"R_code", "="}, {"R_zyo = 'a' OR 1", "="}, {"R_zyo", "LIKE"}})
        EXPECT_THROW(c.add(column, op, 1), VbError) << column << ' ' << op;  // R_code: ambiguous in the join
    EXPECT_FLOAT_EQ(winRate(c.add("R_cyaku(1)", "=", 0).add("R_zyo", "=", "大井")), 0.5f);
}

// One note per key however often saved; quotes, line breaks and characters outside the code page are
// only values. The race comment writes its text alone and keeps its row's marks.
TEST(CommentStore, OneRowPerKeyWithEveryValueBound)
{
    TestAppDir dir;
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
    closeDb(commentSlot);
}

// Without Comment.dat the open says so once and every read or write then fails as an error.
TEST(CommentStore, MissingFileIsAnErrorNotANewFile)
{
    TestAppDir dir;
    MsgBoxRecorder rec;
    openCommentDb();
    EXPECT_EQ(rec.firstLines(), QStringList {"dataファイルが開けません"});
    EXPECT_THROW(saveRaceComment("浦和08021506", "x"), VbError);
    EXPECT_THROW(readComment("Uma", "A"), VbError);
    EXPECT_FALSE(QFile::exists(dir.filePath("Comment.dat")));
}

// A label's code is read from its end, so that a central track's three characters survive.
TEST(CommentStore, RaceLabelsAndCodes)
{
    for (const auto& [zyo, date, raceNo, label, code] : {std::tuple("浦和", VbDate::fromYmd(2008, 2, 15), 6, "浦和08/02/15-06R", "浦和08021506"),
             {"Ｊ東京", VbDate::fromYmd(2010, 11, 7), 11, "Ｊ東京10/11/07-11R", "Ｊ東京10110711"},
             {"名古", VbDate::fromYmd(1999, 12, 31), 12, "名古99/12/31-12R", "名古99123112"}})
        EXPECT_EQ(QStringList({commentRaceLabel(zyo, date, raceNo), raceCodeFromLabel(label)}), QStringList({label, code}));
    for (const QString bad : {"馬コメント", "", "浦和08/02/15-6R", "08/02/15-06R", "浦和08/02/15-06"})
        EXPECT_EQ(raceCodeFromLabel(bad), "") << bad.toStdString();
}
