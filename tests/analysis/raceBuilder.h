#pragma once
// Races written into the run table by hand for the prediction engine's tests: a fresh run
// table as the race read leaves it, today's race on 大井 1600 m dirt, and runners whose past
// runs are given by age in days and the few values a test cares about.
#include "analysis/mainAnalSisuu.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <gtest/gtest.h>

inline const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);

struct PastRun {
    int daysAgo = 30;
    float sisuu = 0;
    QString zyo = QStringLiteral("大井");
    int kyori = 1600;
    int siba = 0;
    int baba = 1;
    int waku = 1;
    int kankaku = 30;
    int taizyu = 0;
    int zougen = 0;
    QString kisyu = QString();
    QString style = QString();
    int tuka1 = 0;
};

struct Today {
    int waku = 1;
    int taizyu = 0;
    float hutan = 55;
    QString kisyu = QString();
};

class RaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        debugMode = false;
        initPublic();
        pd.kakoMax = 150;
        redimUma(18, pd.kakoMax);
        pd.raceDate = kRaceDay;
        pd.raceZyo = QStringLiteral("大井");
        pd.raceKyori = 1600;
        pd.raceSiba = 0;
        pd.raceBaba = 1;
        pd.lineRatio = 0.2f;
        pd.jraGraphOn = false;
        beginRaceAnalysis();
    }
    void TearDown() override
    {
        endRaceAnalysis();
        debugMode = false;
    }

    // Runner slot h with today's values; the field size grows to cover it.
    static void addRunner(int h, const Today& today = {})
    {
        pd.uName(h) = QStringLiteral("馬%1").arg(h);
        pd.uDate(h, 0) = kRaceDay;
        pd.uZyo(h, 0) = pd.raceZyo;
        pd.uKyori(h, 0) = pd.raceKyori;
        pd.uWaku(h, 0) = today.waku;
        pd.uTaizyu(h, 0) = today.taizyu;
        pd.uHutan(h, 0) = today.hutan;
        pd.uKisyu(h, 0) = today.kisyu;
        pd.tousuu = std::max(pd.tousuu, h);
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
    }
    // Runs 1.. of runner h, newest first.
    static void setRuns(int h, const std::vector<PastRun>& runs)
    {
        for (size_t i = 0; i < runs.size(); ++i)
            setRun(h, int(i) + 1, runs[i]);
    }

    // The local track file with the given draw ratios and jockey points.
    void createTrackFile(const std::vector<std::tuple<int, double>>& kakeritu = {},
                         const std::vector<std::tuple<QString, double>>& points = {})
    {
        const QString path = dir_.createStrevinData();
        openDbOrThrow(1, path, dbPassword);
        for (const auto& [group, value] : kakeritu)
            insertRow(1, "T_waku",
                      DbRow().set("W_zyo", pd.raceZyo).set("W_kyori", pd.raceKyori).set("W_waku", group)
                          .set("W_kakeritu", value));
        for (const auto& [name, point] : points)
            insertRow(1, "T_Kisyu", DbRow().set("name", name).set("point", point));
        closeDb(1);
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
};
