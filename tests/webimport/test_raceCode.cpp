#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"

#include <gtest/gtest.h>

// Track, date as yymmdd and race number as "00" (a number beyond two digits as the pattern
// writes it), for no date and across the turn of the century.
TEST(RaceCode, TrackDateAndRaceNumberAsThePatternsWriteThem)
{
    const std::tuple<QString, VbDate, int, QString> table[] = {
        {"大井", VbDate::fromYmd(2008, 3, 24), 11, "大井08032411"},
        {"Ｊ中山", VbDate::fromYmd(2007, 9, 15), 7, "Ｊ中山07091507"},
        {"浦和", VbDate::fromYmd(2000, 1, 5), 0, "浦和00010500"},
        {"船橋", VbDate::fromYmd(1999, 12, 31), 99, "船橋99123199"},
        {"川崎", VbDate(), 1, "川崎01"},
        {"高知", VbDate::fromYmd(2008, 3, 24), 100, "高知080324100"},
        {"佐賀", VbDate::fromYmd(2008, 3, 24), -1, "佐賀080324-01"},
    };
    for (const auto& [zyo, date, raceNo, code] : table) {
        EXPECT_EQ(makeRaceCode(zyo, date, raceNo), code) << raceNo;
        EXPECT_EQ(makeRaceCode(zyo, date, raceNo), zyo + Format(date, "yymmdd") + Format(double(raceNo), "00"));
    }
}
