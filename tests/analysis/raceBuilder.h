#pragma once
// Races written by hand into a fresh run table: today's race on 大井 1600 m dirt, past runs by age.
#include "analysis/mainAnalSisuu.h"
#include "analysis/mainAnalSisuu02.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "tests/support/dataFiles.h"

#include <gtest/gtest.h>

inline const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);

struct PastRun {
    int daysAgo = 30;
    float sisuu = 0;
    QString zyo = QStringLiteral("大井");
    int kyori = 1600, siba = 0, baba = 1, waku = 1, kankaku = 30, taizyu = 0, zougen = 0;
    QString kisyu = QString(), style = QString();
    int tuka1 = 0;
    float time = 0, hutan = 0;  // weight carried: 0 unknown
    int cyaku = 0, raceNo = 0, tousuu = 0;
    float sisuu3f = 0;
    bool fileFound = true;  // the day's track-variant row was found for the index
};

// Runner h's results to nine digits: base index, runs used, predicted index, factors 0..7, style,
// corner average, mark ("-": none), win and top two.
inline std::string resultRow(int h, int digits = 9)
{
    const auto num = [digits](float v) { return QString::number(v, 'g', digits); };
    QStringList f{num(pd.kisoSisuu(h, 0)), num(pd.kisoSisuu(h, 1)), num(pd.yosouSisuu(h))};
    for (int i = 0; i < 8; ++i)
        f << num(pd.tekiseiFactor(h, i));
    f << pd.uKyakusitu(h, 0) << num(pd.tuka1Ave(h, 0)) << pd.sirusi(h) << num(pd.kakuritu1(h)) << num(pd.kakuritu2(h));
    return f.join(' ').replace(QStringLiteral("  "), QStringLiteral(" - ")).toStdString();
}

class RaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initPublic();
        pd.kakoMax = 150;
        redimUma(18, pd.kakoMax);
        std::tie(pd.raceDate, pd.raceZyo, pd.raceKyori, pd.raceBaba, pd.lineRatio, pd.jraGraphOn) =
            std::tuple(kRaceDay, QStringLiteral("大井"), 1600, 1, 0.2f, false);
        beginRaceAnalysis();
    }
    void TearDown() override { endRaceAnalysis(); }

    // Runner slot h with today's run 0 and its past runs 1.., newest first; the field grows to cover it.
    static void addRunner(int h, const PastRun& today = {}, const std::vector<PastRun>& runs = {})
    {
        pd.uName(h) = QStringLiteral("馬%1").arg(h);
        setRun(h, 0, today);
        pd.uDate(h, 0) = kRaceDay;
        pd.tousuu = std::max(pd.tousuu, h);
        for (size_t i = 0; i < runs.size(); ++i)
            setRun(h, int(i) + 1, runs[i]);
    }
    static void setRun(int h, int k, const PastRun& r)
    {
        std::tie(pd.uDate(h, k), pd.uSisuu(h, k), pd.uZyo(h, k), pd.uKyori(h, k), pd.uSiba(h, k), pd.uBaba(h, k),
                 pd.uWaku(h, k), pd.uKankaku(h, k), pd.uTaizyu(h, k), pd.uZougen(h, k), pd.uKisyu(h, k)) =
            std::tuple(kRaceDay.addDays(-r.daysAgo), r.sisuu, r.zyo, r.kyori, r.siba, r.baba, r.waku, r.kankaku, r.taizyu,
                       r.zougen, r.kisyu);
        std::tie(pd.uKyakusitu(h, k), pd.uTuka(h, 1, k), pd.uTime(h, k), pd.uHutan(h, k), pd.uCyaku(h, k), pd.uRaceNo(h, k),
                 pd.uTousuu(h, k), pd.uSisuu3f(h, k), pd.uFileFound(h, k)) =
            std::tie(r.style, r.tuka1, r.time, r.hutan, r.cyaku, r.raceNo, r.tousuu, r.sisuu3f, r.fileFound);
    }

    static void insertRows(const QString& path, const QString& table, const QStringList& columns,
                           const std::vector<std::vector<DbValue>>& rows)
    {
        openDbOrThrow(1, path, dbPassword);
        for (const auto& values : rows) {
            DbRow row;
            for (qsizetype i = 0; i < columns.size(); ++i)
                row.set(columns[i], values[size_t(i)]);
            insertRow(1, table, row);
        }
        closeDb(1);
    }
    // The local track file with the draw ratios of today's course by group, and jockey points.
    QString createTrackFile(const std::vector<std::vector<DbValue>>& kakeritu = {},
                            const std::vector<std::vector<DbValue>>& points = {})
    {
        const QString path = dir_.createStrevinData();
        for (const auto& row : kakeritu)
            insertRows(path, "T_waku", {"W_zyo", "W_kyori", "W_waku", "W_kakeritu"}, {{pd.raceZyo, pd.raceKyori, row[0], row[1]}});
        insertRows(path, "T_Kisyu", {"name", "point"}, points);
        return path;
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
};
