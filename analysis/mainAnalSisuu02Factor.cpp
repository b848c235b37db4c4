// The seven condition factors and the predicted index.
#include "analysis/mainAnalSisuu.h"
#include "analysis/mainAnalSisuu02.h"
#include "core/publicDim.h"
#include "platform/database.h"
#include "platform/vberror.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// How far one factor, and the combined factor, may move from 1 before the weights.
constexpr double kClamp = 0.15;
// Recent jockeys whose points make the yardstick of today's jockey.
constexpr int kRecentJockeys = 11;

// How the runner's index under one of today's conditions compares with its general level:
// (mean of the qualifying runs + 100) / (A + 100), shrunk towards 1 when few runs qualify.
// A qualifying run is recent, on today's surface, has an index and passes the test.
template <class Test>
std::optional<double> runRatio(int h, Test test)
{
    int n = 0;
    double sum = 0;
    for (int k = 1; k <= pd.kakoMax; ++k) {
        if (pd.uDate(h, k) > yosouWork.cutoff && pd.uSiba(h, k) == pd.raceSiba && pd.uSisuu(h, k) > 0
            && test(k)) {
            ++n;
            sum += pd.uSisuu(h, k);
        }
    }
    if (n == 0)
        return std::nullopt;
    double ratio = (sum / n + 100) / (double(yosouWork.aveSisuu) + 100);
    if (n < yosouWork.minCount)
        ratio = (ratio - 1) * n / yosouWork.minCount + 1;
    return ratio;
}

// A factor made of one run ratio; without qualifying runs the column keeps 0 (not available).
template <class Test>
void writeRunRatio(int column, Test test)
{
    const int h = pd.umaIdx;
    if (const auto ratio = runRatio(h, test))
        pd.tekiseiFactor(h, column) = float(*ratio);
}

// Bracket groups: 0 for brackets up to 3, 1 for 4..6, 2 for 7..8; none above 8.
std::optional<int> wakuGroup(int waku)
{
    if (waku <= 3)
        return 0;
    if (waku <= 6)
        return 1;
    if (waku <= 8)
        return 2;
    return std::nullopt;
}

// Interval classes in days: below 11, 11-19, 20-29, 30-59, 60 and more.
int kankakuClass(int days)
{
    if (days < 11)
        return 0;
    if (days < 20)
        return 1;
    if (days < 30)
        return 2;
    if (days < 60)
        return 3;
    return 4;
}

// A number column of the track file; Null is a broken row, as for any reader that needs the value.
double numberField(const RecordSet& rs, const QString& column)
{
    const DbField f = rs.field(column);
    if (f.isNull())
        throw VbError(vbErrInvalidUse, column + " is Null");
    return f.toDouble();
}

// W_kakeritu of today's course and bracket group; no row, or 0, counts as 1.
double wakuKakeritu(const std::optional<int>& group)
{
    QString sql = QStringLiteral("SELECT W_kakeritu FROM T_waku WHERE W_zyo = ? AND W_kyori = ?");
    DbParams params{pd.raceZyo, pd.raceKyori};
    if (group) {
        sql += QStringLiteral(" AND W_waku = ?");
        params.push_back(*group);
    }
    const RecordSet rs(slotSide, sql, params);
    if (rs.eof())
        return 1;
    const double kakeritu = numberField(rs, "W_kakeritu");
    return kakeritu != 0 ? kakeritu : 1;
}

std::optional<double> jockeyPoint(const QString& name)
{
    const RecordSet rs(slotSide, QStringLiteral("SELECT point FROM T_Kisyu WHERE name = ?"), {name});
    if (rs.eof())
        return std::nullopt;
    return numberField(rs, "point");
}

// Today's jockey's point against the mean point of the runner's recent jockeys, shrunk
// towards 1 when fewer than ten of them are rated; 1 when either is unknown.
double jockeyPointRatio(int h)
{
    double sum = 0;
    int count = 0;
    for (int k = 1; k <= kRecentJockeys; ++k) {
        if (const auto point = jockeyPoint(pd.uKisyu(h, k))) {
            sum += *point;
            ++count;
        }
    }
    const double mean = count > 0 ? sum / count : 0;
    if (mean == 0)
        return 1;
    const auto today = jockeyPoint(pd.uKisyu(h, 0));
    if (!today)
        return 1;
    double ratio = *today / mean;
    if (count < yosouWork.minCount)
        ratio = (ratio - 1) * count / yosouWork.minCount + 1;
    return ratio;
}

// Body-weight class of a change: 1 gain, 0 steady, -1 loss. Today's change of exactly t is a
// gain, a past run's is steady.
int todayZougenClass(int z, int t)
{
    return z >= t ? 1 : (z >= -t ? 0 : -1);
}
int pastZougenClass(int z, int t)
{
    return z > t ? 1 : (z >= -t ? 0 : -1);
}

// Runs in today's weight-change class; the threshold is lowered from 4 kg to 1 kg until runs qualify.
std::optional<double> zougenRatio(int h)
{
    const int today = pd.uTaizyu(h, 0);
    const int latest = pd.uTaizyu(h, 1);
    if (today < 1 || latest < 1)
        return std::nullopt;
    for (int t = 4; t >= 1; --t) {
        const int cls = todayZougenClass(today - latest, t);
        const auto ratio = runRatio(h, [&](int k) { return pastZougenClass(pd.uZougen(h, k), t) == cls; });
        if (ratio)
            return ratio;
    }
    return std::nullopt;
}

double clampToFactorRange(double d)
{
    return std::clamp(d, -kClamp, kClamp);
}

}

void calcFactorWaku()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-9"), [] {
        const int h = pd.umaIdx;
        const std::optional<int> group = wakuGroup(pd.uWaku(h, 0));
        std::optional<double> ratio;
        if (group)
            ratio = runRatio(h, [&](int k) { return wakuGroup(pd.uWaku(h, k)) == group; });
        const TrackFileLoan file(slotSide, {"T_waku"});
        if (!file.isOpen())
            return;
        pd.tekiseiFactor(h, kWaku) = float(0.7 * ratio.value_or(1.0) + 0.3 * wakuKakeritu(group));
    });
}

void calcFactorKyori()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-8"), [] {
        const int h = pd.umaIdx;
        writeRunRatio(kKyori, [&](int k) {
            return pd.uZyo(h, k) == pd.raceZyo && std::abs(pd.uKyori(h, k) - pd.raceKyori) <= 100;
        });
    });
}

void calcFactorKankaku()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-7"), [] {
        const int h = pd.umaIdx;
        const int days = pd.uDate(h, 0) - pd.uDate(h, 1);
        if (days <= 0)
            return;
        const int cls = kankakuClass(days);
        writeRunRatio(kKankaku, [&](int k) { return kankakuClass(pd.uKankaku(h, k)) == cls; });
    });
}

void calcFactorTaizyu()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-6"), [] {
        const int h = pd.umaIdx;
        const int today = pd.uTaizyu(h, 0);
        const std::optional<double> classPart = zougenRatio(h);
        std::optional<double> weightPart;
        if (today >= 1)
            weightPart = runRatio(h, [&](int k) { return std::abs(pd.uTaizyu(h, k) - today) <= 5; });
        pd.tekiseiFactor(h, kTaizyu) = float(0.7 * classPart.value_or(1.0) + 0.3 * weightPart.value_or(1.0));
    });
}

void calcFactorZyo()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-5"), [] {
        const int h = pd.umaIdx;
        writeRunRatio(kZyo, [&](int k) { return pd.uZyo(h, k) == pd.raceZyo; });
    });
}

void calcFactorBaba()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-4"), [] {
        const int h = pd.umaIdx;
        writeRunRatio(kBaba, [&](int k) { return pd.uBaba(h, k) == pd.raceBaba; });
    });
}

void calcFactorKisyu()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-3"), [] {
        const int h = pd.umaIdx;
        const QString& today = pd.uKisyu(h, 0);
        const auto runPart = runRatio(h, [&](int k) { return pd.uKisyu(h, k) == today; });
        const TrackFileLoan file(slotSide, {"T_Kisyu"});
        if (!file.isOpen())
            return;
        const double pointRatio = jockeyPointRatio(h);
        pd.tekiseiFactor(h, kKisyu) = float(0.7 * ((pointRatio - 1) / 10 + 1) + 0.3 * runPart.value_or(1.0));
    });
}

void calcYosouSisuu()
{
    vbTrap(QStringLiteral("Error-mainAnalSisuu02-2"), [] {
        const int h = pd.umaIdx;
        float& combined = pd.tekiseiFactor(h, kCombined);
        int terms = 0;
        for (int i = kWaku; i <= kKisyu; ++i) {
            const float f = pd.tekiseiFactor(h, i);
            if (f == 0)
                continue;
            const double d = clampToFactorRange(double(f) - 1);
            const double term = 1 + d * double(yosouWork.para[size_t(i)]) * double(yosouWork.W[size_t(i)]);
            combined = float(double(combined) + term);
            ++terms;
        }
        // The draw, body-weight and jockey factors are written for every runner with an index,
        // so only a failure of all three leaves no term; the runner then has no predicted index.
        if (terms == 0)
            return;
        const double mean = double(combined) / terms;
        combined = float(1 + clampToFactorRange(mean - 1) * double(yosouWork.para[kCombined]));
        pd.yosouSisuu(h)
            = float((1 + (double(combined) - 1) * double(yosouWork.W[kCombined])) * double(pd.kisoSisuu(h, 0)));
    });
}
