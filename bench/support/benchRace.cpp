#include "bench/support/benchRace.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"

#include <array>
#include <set>
#include <tuple>

namespace {

const std::array<const char*, 4> kTracks{"大井", "川崎", "船橋", "浦和"};
const std::array<int, 4> kDistances{1200, 1400, 1600, 1800};
const std::array<const char*, 4> kStyles{"逃", "先", "差", "追"};

QString jockey(int i)
{
    return QStringLiteral("騎手%1").arg(i % 20);
}

}

void fillRunTable()
{
    redimUma(kRunners, kPastRuns);
    pd.kakoMax = kPastRuns;
    pd.raceDate = kRaceDay;
    pd.raceZyo = QStringLiteral("大井");
    pd.raceKyori = 1600;
    pd.raceBaba = 1;
    pd.tousuu = kRunners;
    pd.lineRatio = 0.2f;
    for (int h = 1; h <= kRunners; ++h) {
        pd.uName(h) = QStringLiteral("ベンチマーク馬%1").arg(h);
        pd.uChichi(h) = QStringLiteral("父%1").arg(h);
        pd.uSeirei(h) = QStringLiteral("牡4");
        pd.uCyoukyou(h, 0) = QStringLiteral("厩舎%1").arg(h % 7);
        pd.uDate(h, 0) = kRaceDay;
        pd.uWaku(h, 0) = (h + 1) / 2 > 8 ? 8 : (h + 1) / 2;
        pd.uTaizyu(h, 0) = 460 + h;
        pd.uHutan(h, 0) = 55;
        pd.uKisyu(h, 0) = jockey(h);
        for (int k = 1; k <= kPastRuns; ++k) {
            const int kyori = kDistances[size_t((h + k) % 4)];
            // A third of the field ran each race together: the head-to-head table has meetings.
            pd.uDate(h, k) = kRaceDay.addDays(-14 * k - h % 3);
            pd.uRaceNo(h, k) = 1 + k % 12;
            pd.uZyo(h, k) = QString::fromUtf8(kTracks[size_t((h * 3 + k) % 4)]);
            pd.uKyori(h, k) = kyori;
            pd.uBaba(h, k) = 1 + (h + k) % 4;
            pd.uWaku(h, k) = 1 + (h + k) % 8;
            pd.uKankaku(h, k) = 14;
            pd.uTaizyu(h, k) = 455 + (h + k) % 12;
            pd.uZougen(h, k) = (h + k) % 9 - 4;
            pd.uKisyu(h, k) = jockey(h + k);
            pd.uHutan(h, k) = 54 + float(k % 3);
            pd.uTime(h, k) = float(kyori) / 1000.0f * 62.0f + float((h * 7 + k) % 30) / 10.0f;
            pd.u3f(h, k) = 38.0f + float(k % 10) / 10.0f;
            pd.uKyakusitu(h, k) = QString::fromUtf8(kStyles[size_t((h + k) % 4)]);
            pd.uTuka(h, 1, k) = 1 + (h + k) % 12;
            pd.uCyaku(h, k) = 1 + (h * 5 + k) % 14;
            pd.uTousuu(h, k) = 14;
            pd.uFileFound(h, k) = 1;
        }
    }
}

void fillTrackFile(const QString& path)
{
    openDbOrThrow(1, path, dbPassword);
    DbTransaction t(1);
    std::set<std::tuple<int, QString>> days;
    for (int h = 1; h <= kRunners; ++h)
        for (int k = 1; k <= kPastRuns; ++k)
            days.insert({pd.uDate(h, k).serial(), pd.uZyo(h, k)});
    for (const auto& [serial, zyo] : days)
        insertRow(1, "T_sisuu",
                  DbRow().set("S_date", VbDate(serial)).set("S_zyo", zyo).set("S_siba", 0).set("S_sisuu", 0.3));
    for (const char* zyo : kTracks) {
        for (int kyori : kDistances) {
            insertRow(1, "T_avetime",
                      DbRow().set("A_zyo", QString::fromUtf8(zyo)).set("A_kyori", kyori).set("A_class", "ave")
                          .set("A_sin_kyu", 1).set("A_siba", 0).set("A_time", kyori / 1000.0 * 63.0));
            for (int waku = 0; waku <= 2; ++waku)
                insertRow(1, "T_waku",
                          DbRow().set("W_zyo", QString::fromUtf8(zyo)).set("W_kyori", kyori).set("W_waku", waku)
                              .set("W_kakeritu", 0.95 + 0.05 * waku));
        }
    }
    for (int i = 0; i < 20; ++i)
        insertRow(1, "T_Kisyu", DbRow().set("name", jockey(i)).set("point", 5.0 + i));
    t.commit();
    closeDb(1);
}
