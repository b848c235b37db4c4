#pragma once
// A predicted race put into the shared state as the race read leaves it, for the batch writers.
#include "core/publicDim.h"
#include "webimport/ReadWeb.h"

struct TestRunner {
    QString name;
    float yosou;
    float win;
    float ren;
};

// Runner slots 1.. in order; the ranking is by predicted index, named runners only.
inline void loadTestRace(const QString& zyo, const VbDate& day, int raceNo, const QList<TestRunner>& runners)
{
    redimUma(18, 10);
    pd.raceZyo = zyo;
    pd.raceDate = day;
    pd.raceNo = raceNo;
    pd.raceCode = makeRaceCode(zyo, day, raceNo);
    pd.raceTitle = "第" + QString::number(raceNo) + "競走";
    pd.raceName = zyo + "特別";
    for (int k = 0; k <= 5; ++k) {
        pd.sirusiTop(k, 0) = 0;
        pd.sirusiTop(k, 1) = -100;
    }
    QList<int> order;
    for (int h = 1; h <= runners.size(); ++h) {
        const TestRunner& r = runners[h - 1];
        pd.uName(h) = r.name;
        pd.yosouSisuu(h) = r.yosou;
        pd.kakuritu1(h) = r.win;
        pd.kakuritu2(h) = r.ren;
        if (!r.name.isEmpty() && h <= 16)
            order << h;
    }
    std::stable_sort(order.begin(), order.end(), [](int a, int b) { return pd.yosouSisuu(a) > pd.yosouSisuu(b); });
    for (int k = 1; k <= 5 && k <= order.size(); ++k) {
        pd.sirusiTop(k, 0) = float(order[k - 1]);
        pd.sirusiTop(k, 1) = pd.yosouSisuu(order[k - 1]);
    }
}
