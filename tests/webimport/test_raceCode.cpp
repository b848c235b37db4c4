#include "webimport/ReadWeb.h"

#include <gtest/gtest.h>

// Date as yymmdd, race number as "00" (beyond two digits as the pattern writes it), no date, century turn.
TEST(RaceCode, TrackDateAndRaceNumberAsThePatternsWriteThem)
{
    const std::tuple<QString, VbDate, int, QString> table[] = {
        {"大井", VbDate::fromYmd(2008, 3, 24), 11, "大井08032411"}, {"浦和", VbDate::fromYmd(2000, 1, 5), 0, "浦和00010500"},
        {"船橋", VbDate::fromYmd(1999, 12, 31), 99, "船橋99123199"}, {"川崎", VbDate(), 1, "川崎01"},
        {"高知", VbDate::fromYmd(2008, 3, 24), 100, "高知080324100"}, {"佐賀", VbDate::fromYmd(2008, 3, 24), -1, "佐賀080324-01"}};
    for (const auto& [zyo, date, raceNo, code] : table)
        EXPECT_EQ(makeRaceCode(zyo, date, raceNo), code) << raceNo;
}
