#pragma once
// A person with more runs than a sheet lists at once, written into the program folder's race database.
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vbformat.h"

#include <QStringList>

namespace longCareer {
constexpr int kDays = 600, kPerDay = 6;

// 長調教師's runs (by 長父), six a day for 600 days back from the day
// before raceDay: in the newest year only at 浦和 and 大井 under 騎手A and 騎手B, before that at six other tracks
// (one race with no track) under six other jockeys; two runners in one old race; two runs after the race day.
inline void write(const VbDate& raceDay)
{
    openDb(1, appPath() + "NAR_data.dat", dbPassword);
    DbSlotCloser closer(1);
    DbTransaction t(1);
    const QStringList oldTracks {"川崎", "船橋", "門別", "盛岡", "水沢", "金沢"};
    const auto write = [](const VbDate& day, int no, const QString& zyo, const QString& horse, const QString& kisyu,
                          int taizyu) {
        const QString code = (zyo.isEmpty() ? "無" : zyo) + Format(day, "yymmdd") + Format(no, "00");
        insertRowIfNew(1, "T_Rdata", DbRow().set("R_code", code).set("R_zyo", zyo.isEmpty() ? DbValue() : DbValue(zyo))
                                         .set("R_date", day).set("R_no", no).set("R_name", "長距離戦").set("R_kyori", 1400 + 100 * (no % 3))
                                         .set("R_baba", 1 + no % 4).set("R_tousuu", 12));
        insertRow(1, "T_Useiseki", DbRow().set("R_code", code).set("U_name", horse).set("U_kisyu", kisyu)
                                       .set("U_cyoukyou", "長調教師").set("U_chichi", "長父").set("U_sisuu", 30 + (no * 7 + taizyu) % 40)
                                       .set("U_cyaku", 1 + (taizyu + no) % 12).set("U_taizyu", taizyu).set("U_waku", 1 + no % 8)
                                       .set("U_zougen", no % 9 - 4).set("U_kankaku", 7 * no).set("U_kyakusitu", "先"));
    };
    for (int d = 1; d <= kDays; ++d)
        for (int no = 1; no <= kPerDay; ++no) {
            const bool newest = d < 365;
            const QString zyo = newest ? (d % 2 ? "浦和" : "大井") : d == 500 && no == 1 ? "" : oldTracks[(d + no) % 6];
            const QString kisyu = newest ? (no % 2 ? "騎手A" : "騎手B") : QString("騎手%1").arg(QChar('C' + (d * 7 + no) % 6));
            write(raceDay.addDays(-d), no, zyo, QString("馬%1_%2").arg(d).arg(no), kisyu, newest ? 460 + d % 7 : 500);
        }
    write(raceDay.addDays(-400), 1, oldTracks[(400 + 1) % 6], "あ馬", "騎手Y", 500);  // before 馬400_1 in the race's order
    write(raceDay.addDays(3), 1, "笠松", "後の馬", "騎手Z", 430);
    write(raceDay.addDays(9), 2, "笠松", "後の馬", "騎手Z", 431);
    t.commit();
}
// One race a day at zyo, perDay runners of trainer's by sire, from `from` to `to` days before raceDay; the
// weight is an expression of the day d back, the index varies by day and runner.
struct Daily {
    QString trainer, sire, zyo;
    int from, to, perDay;
    QString taizyu = "500";
};

inline void writeDaily(const VbDate& raceDay, const Daily& runs)
{
    const QString days = "WITH RECURSIVE n(d) AS (SELECT ?1 UNION ALL SELECT d + 1 FROM n WHERE d < ?2), "
                         "h(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM h WHERE i < ?3) ";
    const QString day = "date(?4, '-' || d || ' days')";
    const QString code = "?5 || substr(strftime('%Y%m%d', " + day + "), 3) || '01'";
    const DbParams race {runs.from, runs.to, runs.perDay, raceDay.toDbText(), runs.zyo};
    DbParams run = race;
    run.push_back(runs.trainer);
    run.push_back(runs.sire);
    openDb(1, appPath() + "NAR_data.dat", dbPassword);
    DbSlotCloser closer(1);
    DbTransaction t(1);
    slotConnection(1).execute(days + "INSERT INTO T_Rdata (R_code, R_zyo, R_date, R_no, R_kyori) SELECT DISTINCT " + code
                                  + ", ?5, " + day + ", 1, 1400 FROM n, h",
                              race);
    slotConnection(1).execute(days + "INSERT INTO T_Useiseki (R_code, U_name, U_kisyu, U_cyoukyou, U_chichi, U_sisuu, U_taizyu) "
                                     "SELECT " + code + ", ?6 || d || '_' || i, '騎手C', ?6, ?7, 30 + (d * 7 + i) % 40, "
                                  + runs.taizyu + " FROM n, h",
                              run);
    t.commit();
}
}  // namespace longCareer
