#include "bench/support/benchRaceFile.h"

#include "bench/support/benchData.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vbformat.h"
#include "tests/support/dataFiles.h"

#include <QRandomGenerator>
#include <cmath>

namespace {
constexpr int kRaces = 12, kRunners = 12;
const QStringList kTracks {"門別", "札幌", "旭川", "盛岡", "水沢", "浦和", "船橋", "大井", "川崎",
                           "金沢", "笠松", "名古", "園田", "姫路", "福山", "高知", "佐賀", "荒尾"};

// A skewed pick among n names: the first ones are the busiest (the busiest about 1 in 180).
int skewed(QRandomGenerator& rng, int n)
{
    return std::min(n - 1, int(n * std::pow(rng.generateDouble(), 1.15)));
}

// The jockey of runner h of race `race` (counted over the track's races from the first day).
QString jockey(QRandomGenerator& rng, const QString& zyo, int year, int race, int h)
{
    if (h == 2 && zyo == "大井" && race % 9 == 0)
        return kOneTrack;
    if (h == 3 && (zyo == "川崎" || zyo == "船橋") && race % 17 < 2)
        return kTwoTracks;
    if (h == 4 && zyo == "園田" && year < 3 && race % 8 < 3)
        return kRetired;
    return QStringLiteral("騎手%1").arg(skewed(rng, 400));
}

void writeDay(QRandomGenerator& rng, const QString& zyo, VbDate day, int year, int dayOfTrack, int& longCareerGap)
{
    Connection& c = slotConnection(1);
    for (int no = 1; no <= kRaces; ++no) {
        const QString code = zyo + Format(day, "yymmdd") + Format(no, "00");
        c.execute("INSERT INTO T_Rdata (R_code, R_zyo, R_date, R_no, R_name, R_siba, R_kyori, R_baba, R_tousuu) "
                  "VALUES (?, ?, ?, ?, ?, 0, ?, ?, ?)",
                  {code, zyo, day, no, QStringLiteral("第%1競走").arg(no), 1000 + 100 * int(rng.bounded(10)),
                   1 + int(rng.bounded(4)), kRunners});
        for (int h = 1; h <= kRunners; ++h) {
            QString name = QStringLiteral("馬%1").arg(rng.bounded(60000));
            if (h == 1 && --longCareerGap <= 0) {
                name = kLongCareer;
                longCareerGap = 1100;
            }
            c.execute("INSERT OR IGNORE INTO T_Useiseki (R_code, U_name, U_no, U_waku, U_cyaku, U_time, U_taizyu, "
                      "U_zougen, U_cyakusa, U_kisyu, U_hutan, U_3f, U_sisuu, U_sisuu3f, U_file, U_kankaku, U_chichi, "
                      "U_cyoukyou, U_tuka01, U_tuka02, U_tuka03, U_tuka04, U_kyakusitu) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0.5, ?, 55, 38.5, ?, ?, 1, ?, ?, ?, 3, 3, 2, ?, '先')",
                      {code, name, h, (h + 1) / 2, h, 60.0 + rng.bounded(60), 420 + int(rng.bounded(80)),
                       int(rng.bounded(13)) - 6, jockey(rng, zyo, year, dayOfTrack * kRaces + no, h),
                       30.0 + rng.bounded(40), 30.0 + rng.bounded(40), 7 + int(rng.bounded(60)),
                       QStringLiteral("種牡馬%1").arg(skewed(rng, 1500)),
                       QStringLiteral("調教師%1").arg(skewed(rng, 800)), h});
        }
    }
}

void generateRaceDatabase(const QString& folder)
{
    writeFourMillionRuns(createDataFile(DataFileKind::NarData, testSchemaDir(), folder));
}
}  // namespace

void writeFourMillionRuns(const QString& path)
{
    openDbOrThrow(1, path, dbPassword);
    QRandomGenerator rng(20260101);
    int longCareerGap = 0;
    for (int y = 0; y < kYears; ++y) {
        DbTransaction t(1);
        for (int d = 0; d < kDaysPerYear; ++d)
            for (int z = 0; z < kTracks.size(); ++z)
                writeDay(rng, kTracks[z], kFirstDay.addDays(y * 365 + (d * 365) / kDaysPerYear + z % 2), y,
                         y * kDaysPerYear + d, longCareerGap);
        t.commit();
    }
    closeDb(1);
}

QString fourMillionRunFolder()
{
    static const QString folder = keptBenchFolder("NAR_data_4M", {"NAR_data.sql"}, generateRaceDatabase);
    return folder;
}

double usedMegabytes(int slot)
{
    RecordSet pages(slot, "PRAGMA page_count");
    RecordSet free(slot, "PRAGMA freelist_count");
    RecordSet size(slot, "PRAGMA page_size");
    return (pages.field(0).toDouble() - free.field(0).toDouble()) * size.field(0).toDouble() / 1e6;
}

