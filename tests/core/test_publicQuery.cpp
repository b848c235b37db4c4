#include "core/publicFunction.h"
#include "core/publicQuery.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

const VbDate kDay = VbDate::fromYmd(2008, 3, 24);
using Runs = std::vector<std::tuple<DbValue, int, int>>;  // index, finishing position, frame

static void addRace(const QString& code, const Runs& runs, VbDate date = kDay, const QString& zyo = "大井", int kyori = 1200,
                    int baba = 1)
{
    insertRow(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", zyo).set("R_date", date).set("R_kyori", kyori)
                                .set("R_baba", baba));
    for (int n = 0; n < int(runs.size()); ++n)
        insertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", QString::number(n))
                                       .set("U_sisuu", std::get<0>(runs[n])).set("U_cyaku", std::get<1>(runs[n]))
                                       .set("U_waku", std::get<2>(runs[n])));
}

static QueryCondition frame3()
{
    return QueryCondition().add("R_zyo", "=", "大井").add("U_waku", "=", 3);
}

// Index 0 counts in the rate only, a Null index in neither, a race without runs nowhere; date bounds
// are strict; a track name is only a value; unknown columns are refused.
TEST(CourseStatistics, NullsBoundsQuotesAndRefusals)
{
    TestAppDir dir;
    openDb(1, dir.createNarData(), dbPassword);
    addRace("大井08032401", {});
    addRace("大井08032411", {{0.0f, 1, 3}, {50.0f, 2, 3}, {60.0f, 3, 3}, {DbValue(), 1, 3}, {DbValue(), 4, 3}});
    addRace("大井08032311", {{70.0f, 1, 3}}, kDay.addDays(-1));
    addRace("大'08032411", {{40.0f, 1, 3}}, kDay, "大'");
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", ">", kDay.addDays(-1))), 55.0f);
    EXPECT_FLOAT_EQ(winRate(frame3().add("R_date", ">", kDay.addDays(-1))), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", "<", kDay)), 70.0f);
    EXPECT_FLOAT_EQ(avgSisuu(frame3().add("R_date", ">=", kDay.addDays(-1))), 60.0f);
    EXPECT_FLOAT_EQ(winRate(QueryCondition().add("R_zyo", "=", "大'")), 1.0f);
    QueryCondition c;
    for (const auto& [column, op] : {std::pair("R_bogus", "="), {"R_code", "="}, {"R_zyo = 'a' OR 1", "="}, {"R_zyo", "LIKE"}})
        EXPECT_THROW(c.add(column, op, 1), VbError) << column << ' ' << op;  // R_code: ambiguous in the join
    EXPECT_FLOAT_EQ(winRate(c.add("R_cyaku(1)", "=", 0).add("R_zyo", "=", "大井")), 0.5f);
}
