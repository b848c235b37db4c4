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
        pd.raceDate = kRaceDay;
        pd.raceZyo = QStringLiteral("大井");
        pd.raceKyori = 1600;
        pd.raceBaba = 1;
        pd.lineRatio = 0.2f;
        pd.jraGraphOn = false;
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
    static void setRun(int h, int k, const PastRun& run)
    {
        pd.uDate(h, k) = kRaceDay.addDays(-run.daysAgo);
        pd.uSisuu(h, k) = run.sisuu;
        pd.uZyo(h, k) = run.zyo;
        pd.uKyori(h, k) = run.kyori;
        pd.uSiba(h, k) = run.siba;
        pd.uBaba(h, k) = run.baba;
        pd.uWaku(h, k) = run.waku;
        pd.uKankaku(h, k) = run.kankaku;
        pd.uTaizyu(h, k) = run.taizyu;
        pd.uZougen(h, k) = run.zougen;
        pd.uKisyu(h, k) = run.kisyu;
        pd.uKyakusitu(h, k) = run.style;
        pd.uTuka(h, 1, k) = run.tuka1;
        pd.uTime(h, k) = run.time;
        pd.uHutan(h, k) = run.hutan;
        pd.uCyaku(h, k) = run.cyaku;
        pd.uRaceNo(h, k) = run.raceNo;
        pd.uTousuu(h, k) = run.tousuu;
        pd.uSisuu3f(h, k) = run.sisuu3f;
        pd.uFileFound(h, k) = run.fileFound;
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
