#include "core/publicFunction.h"
#include "core/publicQuery.h"
#include "platform/database.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "tests/support/dataFiles.h"

#include <gtest/gtest.h>

namespace {

VbDate kDay()
{
    return VbDate::fromYmd(2008, 3, 24);
}

// A race database on slot 1, as the course table holds it.
class CourseStatistics : public ::testing::Test {
protected:
    void SetUp() override { openDb(1, dir_.createNarData(), dbPassword); }

    static void addRace(const QString& code, const QString& zyo, VbDate date, int kyori, int baba, int siba = 0)
    {
        insertRow(1, "T_Rdata",
                  DbRow().set("R_code", code).set("R_zyo", zyo).set("R_date", date).set("R_kyori", kyori)
                      .set("R_baba", baba).set("R_siba", siba));
    }
    static void addRun(const QString& code, const QString& name, int waku, int cyaku, DbValue sisuu)
    {
        insertRow(1, "T_Useiseki",
                  DbRow().set("R_code", code).set("U_name", name).set("U_waku", waku).set("U_cyaku", cyaku)
                      .set("U_sisuu", sisuu));
    }
    // One race with one run per given index and finishing position, all from frame 3.
    static void addCourseRace(const QString& code, const std::vector<std::pair<DbValue, int>>& runs)
    {
        addRace(code, "大井", kDay(), 1200, 1);
        int n = 0;
        for (const auto& [sisuu, cyaku] : runs)
            addRun(code, QString("馬%1").arg(++n), 3, cyaku, sisuu);
    }
    static QueryCondition frame3()
    {
        return QueryCondition().add("R_zyo", "=", "大井").add("U_waku", "=", 3);
    }

    TestAppDir dir_;
};

}

TEST_F(CourseStatistics, NoMatchingRunGivesZero)
{
    EXPECT_EQ(avgSisuu(frame3()), 0.0f);
    EXPECT_EQ(winRate(frame3()), 0.0f);
    // A race stored without runs joins to one row of Nulls, which no test lets through.
    addRace("大井08032401", "大井", kDay(), 1200, 1);
    EXPECT_EQ(avgSisuu(QueryCondition().add("R_zyo", "=", "大井")), 0.0f);
    EXPECT_EQ(winRate(QueryCondition().add("R_zyo", "=", "大井")), 0.0f);
}

TEST_F(CourseStatistics, IndexZeroLeftOutOfTheAverageButCountedInTheRate)
{
    addCourseRace("大井08032411", {{0.0f, 1}, {50.0f, 2}, {60.0f, 3}});
    EXPECT_FLOAT_EQ(avgSisuu(frame3()), 55.0f);
    EXPECT_FLOAT_EQ(winRate(frame3()), 1.0f / 3.0f);
}

TEST_F(CourseStatistics, TwoWinsAmongEightRuns)
{
    addCourseRace("大井08032410", {{50.0f, 1}, {51.0f, 2}, {52.0f, 3}, {53.0f, 4}});
    addCourseRace("大井08032411", {{54.0f, 1}, {55.0f, 0}, {56.0f, 5}, {57.0f, 6}});
    EXPECT_FLOAT_EQ(winRate(frame3()), 0.25f);
}

TEST_F(CourseStatistics, RunWithoutIndexCountsInNeither)
{
    addCourseRace("大井08032411", {{50.0f, 2}, {60.0f, 3}, {DbValue(), 1}, {DbValue(), 4}});
    EXPECT_FLOAT_EQ(avgSisuu(frame3()), 55.0f);
    EXPECT_EQ(winRate(frame3()), 0.0f);
}

TEST_F(CourseStatistics, AverageKeepsItsFraction)
{
    addCourseRace("大井08032411", {{50.0f, 1}, {51.0f, 2}, {51.0f, 3}});
    EXPECT_EQ(avgSisuu(frame3()), float(152.0 / 3.0));
}

TEST_F(CourseStatistics, ManyRunsMatchAnIndependentCount)
{
    struct Run {
        VbDate date;
        int kyori, baba, waku, cyaku;
        std::optional<float> sisuu;
    };
    std::vector<Run> runs;
    {
        DbTransaction tx(1);
        for (int race = 0; race < 400; ++race) {
            const QString zyo = race % 3 == 0 ? "川崎" : "大井";
            const VbDate date = kDay().addDays(-race * 3);
            const int kyori = race % 2 ? 1200 : 1600;
            const QString code = zyo + Format(date, "yymmdd") + QString("%1").arg(race % 12 + 1, 2, 10, QChar('0'));
            addRace(code, zyo, date, kyori, race / 2 % 4 + 1);
            for (int h = 1; h <= 10; ++h) {
                const int i = race * 10 + h;
                std::optional<float> sisuu;
                if (i % 11 != 0)
                    sisuu = i % 7 == 0 ? 0.0f : 30.0f + float(i * 37 % 500) / 10.0f;
                const int waku = (h + 1) / 2 > 8 ? 8 : (h + 1) / 2;
                const int cyaku = (h + race) % 10 + 1;
                addRun(code, QString("馬%1").arg(h), waku, cyaku, sisuu ? DbValue(*sisuu) : DbValue());
                if (zyo == "大井")
                    runs.push_back({date, kyori, race / 2 % 4 + 1, waku, cyaku, sisuu});
            }
        }
        tx.commit();
    }
    const VbDate bound = kDay().addDays(-365);
    for (int waku = 1; waku <= 5; ++waku) {
        for (int baba = 0; baba <= 4; ++baba) {
            QueryCondition c;
            c.add("R_date", ">", bound).add("R_zyo", "=", "大井").add("R_kyori", "=", 1200).add("R_siba", "=", 0)
                .add("U_waku", "=", waku);
            if (baba)
                c.add("R_baba", "=", baba);
            double sum = 0;
            int indexed = 0, counted = 0, wins = 0;
            for (const Run& r : runs) {
                if (!(r.date > bound && r.kyori == 1200 && r.waku == waku && (!baba || r.baba == baba)))
                    continue;
                if (r.sisuu && *r.sisuu != 0) {
                    sum += *r.sisuu;
                    ++indexed;
                }
                if (r.sisuu) {
                    ++counted;
                    wins += r.cyaku == 1;
                }
            }
            SCOPED_TRACE(QString("waku %1 baba %2").arg(waku).arg(baba).toStdString());
            ASSERT_GT(counted, 0);
            EXPECT_FLOAT_EQ(avgSisuu(c), indexed ? float(sum / indexed) : 0.0f);
            EXPECT_FLOAT_EQ(winRate(c), float(double(wins) / counted));
        }
    }
}

TEST_F(CourseStatistics, DateBoundIsStrict)
{
    addRace("大井08032311", "大井", kDay().addDays(-1), 1200, 1);
    addRun("大井08032311", "前日", 3, 1, 70.0f);
    addRace("大井08032411", "大井", kDay(), 1200, 1);
    addRun("大井08032411", "当日", 3, 2, 50.0f);
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", ">", kDay().addDays(-1))), 50.0f);
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", ">=", kDay().addDays(-1))), 60.0f);
    EXPECT_FLOAT_EQ(winRate(frame3().add("R_date", "<", kDay())), 1.0f);
}

TEST_F(CourseStatistics, TrackNameWithQuoteIsOnlyAValue)
{
    addRace("大'08032411", "大'", kDay(), 1200, 1);
    addRun("大'08032411", "馬", 3, 1, 50.0f);
    addCourseRace("大井08032411", {{70.0f, 2}});
    EXPECT_FLOAT_EQ(avgSisuu(QueryCondition().add("R_zyo", "=", "大'")), 50.0f);
    EXPECT_EQ(avgSisuu(QueryCondition().add("R_zyo", "=", "x' OR '1'='1")), 0.0f);
    EXPECT_EQ(winRate(QueryCondition().add("R_zyo", "=", "' OR 1=1 --")), 0.0f);
}

TEST_F(CourseStatistics, UnknownColumnOrComparisonIsRefused)
{
    QueryCondition c;
    EXPECT_THROW(c.add("R_bogus", "=", 1), VbError);
    EXPECT_THROW(c.add("R_code", "=", "大井08032411"), VbError);  // ambiguous in the join
    EXPECT_THROW(c.add("R_zyo = 'a' OR 1", "=", 1), VbError);
    EXPECT_THROW(c.add("R_zyo", "LIKE", "%"), VbError);
    EXPECT_THROW(c.add("R_zyo", "= 1 OR R_zyo =", "x"), VbError);
    EXPECT_TRUE(c.sql().isEmpty());
    EXPECT_NO_THROW(c.add("R_cyaku(1)", "<>", 0));
    EXPECT_EQ(winRate(c), 0.0f);
}

TEST_F(CourseStatistics, ClosedSlotReachesTheCaller)
{
    closeDb(1);
    EXPECT_THROW(avgSisuu(frame3()), VbError);
    EXPECT_THROW(winRate(frame3()), VbError);
}
