#include "analysis/mainAnalSisuu02.h"

#include "analysis/mainAnalSisuu.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/settingRanges.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <algorithm>
#include <functional>
#include <vector>

YosouWork yosouWork;

namespace {

constexpr int kCutoffDays = 450;
// The base index looks at no more than this many runs, whatever the run table holds.
constexpr int kKinsouRuns = 100;
// The field statistics look at runs up to this one.
constexpr int kFieldRuns = 50;
constexpr std::array<float, 8> kFactorWeights{3.5f, 1.3f, 1.5f, 1.0f, 0.9f, 1.0f, 1.0f, 1.1f};

const QString kRunnerError = QStringLiteral("Error-mainAnalSisuu02-10");

// A weight that is not a whole number counts as 100 %: one bad settings line must not stop
// the prediction.
float readPara(int n)
{
    IniNumbers ini;
    return float(CLng(ini.readSingle(settingPara(n))) / 100.0);
}

void predictRunner()
{
    calcAveSisuu();
    if (yosouWork.aveSisuu == 0)
        return;
    calcKinsouSisuu();
    judgeKyakusitu();
    calcFactorWaku();
    calcFactorKyori();
    calcFactorKankaku();
    calcFactorTaizyu();
    calcFactorZyo();
    calcFactorBaba();
    calcFactorKisyu();
    calcYosouSisuu();
}

// Recency factor of the base index: run 1 sets it from its age, an older run lowers it for
// itself and every run after it.
float recency(int k, int ageDays, float current)
{
    if (k == 1)
        return ageDays <= 60 ? 1.0f : 0.95f;
    return ageDays > 200 ? 0.93f : current;
}

// Weight of run k in the base index, and its contribution before the recency factor: the
// latest run and runs on today's course weigh more; other courses lose another 10 % of value.
struct KinsouWeight {
    double weight;
    double value;  // multiplies index x weight x recency
};
KinsouWeight kinsouWeight(int k, bool sameCourse)
{
    if (k == 1)
        return {sameCourse ? 0.4 : 0.2, 1.0};
    return sameCourse ? KinsouWeight{0.2, 1.0} : KinsouWeight{0.1, 0.9};
}

// Calls f with every non-zero index of runs firstRun..50 of the field, runner by runner. The
// field statistics loop the shared umaIdx, as every field-level procedure does.
template <class F>
void forEachFieldIndex(int firstRun, F f)
{
    for (pd.umaIdx = 1; pd.umaIdx <= pd.tousuu; ++pd.umaIdx)
        for (int k = firstRun; k <= kFieldRuns; ++k)
            if (const float index = pd.uSisuu(pd.umaIdx, k); index != 0)
                f(index);
}

void buildKinsouSisuu(int h)
{
    const float a = yosouWork.aveSisuu;
    const float floorIndex = float(double(a) - 30);
    float& kiso = pd.kisoSisuu(h, 0);
    float w = 0;
    float r = 0;
    for (int k = 1; k <= kKinsouRuns; ++k) {
        r = recency(k, pd.raceDate - pd.uDate(h, k), r);
        const float index = pd.uSisuu(h, k);
        if (index != 0 && index > floorIndex) {
            const bool sameCourse = pd.uZyo(h, k) == pd.raceZyo && pd.uKyori(h, k) == pd.raceKyori;
            const KinsouWeight kw = kinsouWeight(k, sameCourse);
            w = float(double(w) + kw.weight);
            kiso = float(double(kiso) + double(index) * kw.weight * double(r) * kw.value);
            pd.kisoSisuu(h, 1) = float(double(pd.kisoSisuu(h, 1)) + 1);
        }
        if (w >= 1)
            break;
    }
    if (w >= 1)
        kiso = float(double(kiso) / double(w));
    else
        kiso = float(double(kiso) + (1 - double(w)) * double(a));
}

}

void initYosouWork()
{
    yosouWork.cutoff = pd.raceDate.addDays(-kCutoffDays);
    yosouWork.minCount = 10;
    for (int n = 0; n < 8; ++n)
        yosouWork.para[size_t(n)] = readPara(n);
    yosouWork.W = kFactorWeights;
}

void analYosou()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-1"), [] {
        initYosouWork();
        const int last = pd.tousuu;
        for (pd.umaIdx = 1; pd.umaIdx <= last; ++pd.umaIdx)
            predictRunner();
        judgeSirusi();
        analAveSisuu();
        calcKakuritu1();
        calcKakuritu2();
        analSisuuRange();
    });
    // The prediction is the last step of a race read that reads the track file.
    endRaceAnalysis();
}

void calcAveSisuu()
{
    // Reset before anything can fail, so no runner inherits the previous runner's value.
    yosouWork.aveSisuu = 0;
    vbTrap(kRunnerError, [] {
        const int h = pd.umaIdx;
        double sum = 0;
        int n = 0;
        for (int k = 1; k <= pd.kakoMax; ++k) {
            if (pd.uDate(h, k) > yosouWork.cutoff && pd.uSisuu(h, k) > 0) {
                sum += pd.uSisuu(h, k);
                ++n;
            }
        }
        if (n > 0)
            yosouWork.aveSisuu = float(sum / n);
    });
}

void calcKinsouSisuu()
{
    vbTrap(kRunnerError, [] {
        const int h = pd.umaIdx;
        buildKinsouSisuu(h);
        // Today's weight carried moves the base index a point per kilogram off 55 kg; an
        // unknown weight (0) must not add 55 points.
        const float hutan = pd.uHutan(h, 0);
        if (pd.kisoSisuu(h, 0) != 0 && hutan > 0)
            pd.kisoSisuu(h, 0) = float(double(pd.kisoSisuu(h, 0)) + 55 - double(hutan));
    });
}

void analAveSisuu()
{
    // This statistic traps its errors also in debug mode.
    vbTrapAlways(QStringLiteral("平均指数の分析エラー(err-AC16)"), [] {
        std::vector<float> indices;
        forEachFieldIndex(0, [&](float index) { indices.push_back(index); });
        const int n = int(indices.size());
        indices.push_back(0);
        std::sort(indices.begin(), indices.end(), std::greater<float>());
        // A ratio outside 0..1 in the settings must not pick a position outside the list.
        double ratio = pd.lineRatio;
        if (!(ratio >= 0))
            ratio = 0;
        else if (ratio > 1)
            ratio = 1;
        pd.lineSisuu = indices[size_t(CLng(ratio * n))];
    });
}

void analSisuuRange()
{
    int total = 0;
    int above = 0;
    int below = 0;
    forEachFieldIndex(1, [&](float index) {
        ++total;
        above += index > 100;
        below += index < 0;
    });
    pd.sisuuOffset = 0;
    if (total == 0)
        return;
    if (double(above) / total > 0.1)
        pd.sisuuOffset = 30;
    if (double(below) / total > 0.1)
        pd.sisuuOffset = -30;
}
