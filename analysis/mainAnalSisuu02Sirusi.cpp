// Running style, marks, and win and top-two probabilities.
#include "analysis/mainAnalSisuu02.h"
#include "core/publicDim.h"
#include "platform/vberror.h"

#include <array>

namespace {

// Only these runner slots are ranked and given probabilities.
constexpr int kRankedSlots = 16;
constexpr int kRanks = 5;
// A runner this many points behind the reference runner has no chance left.
constexpr double kChanceSpan = 18;

const std::array<QString, 4> kStyles{QStringLiteral("逃"), QStringLiteral("先"), QStringLiteral("差"),
                                     QStringLiteral("追")};
const std::array<QString, kRanks + 1> kMarks{QString(), QStringLiteral("◎"), QStringLiteral("○"),
                                             QStringLiteral("▲"), QStringLiteral("△"), QStringLiteral("△")};

int styleIndex(const QString& style)
{
    for (size_t i = 0; i < kStyles.size(); ++i)
        if (style == kStyles[i])
            return int(i);
    return -1;
}

// The commonest style; a later style needs strictly more runs. -1 when none was counted.
int commonestStyle(const std::array<int, 4>& counts)
{
    int best = -1;
    for (int i = 0; i < 4; ++i)
        if (counts[size_t(i)] > 0 && (best < 0 || counts[size_t(i)] > counts[size_t(best)]))
            best = i;
    return best;
}

// Runner slot at rank k of the marks, 0 when fewer runners were ranked.
int rankedRunner(int k)
{
    return int(pd.sirusiTop(k, 0));
}

// Puts runner h into the top five when its index beats a rank; an equal index never displaces.
void rankRunner(int h)
{
    const float index = pd.yosouSisuu(h);
    for (int p = 1; p <= kRanks; ++p) {
        if (!(pd.sirusiTop(p, 1) < index))
            continue;
        for (int q = kRanks; q > p; --q) {
            pd.sirusiTop(q, 0) = pd.sirusiTop(q - 1, 0);
            pd.sirusiTop(q, 1) = pd.sirusiTop(q - 1, 1);
        }
        pd.sirusiTop(p, 0) = float(h);
        pd.sirusiTop(p, 1) = index;
        return;
    }
}

// Chance of runner h against a reference index: 50 % when level, nothing 18 points behind.
// A runner without a positive predicted index (none, or one at or below zero) has no chance at all.
float chance(double reference, int h)
{
    const double index = pd.yosouSisuu(h);
    if (index <= 0)
        return 0;
    const double value = 0.5 - 0.5 * (reference - index) / kChanceSpan;
    return value < 0 ? 0.0f : float(value);
}

// Sets every named, ranked-range runner except the excluded ones against the reference index.
void setChances(Array1<float>& target, double reference, int skip1, int skip2)
{
    for (pd.umaIdx = 1; pd.umaIdx <= kRankedSlots; ++pd.umaIdx) {
        const int h = pd.umaIdx;
        if (pd.uName(h).isEmpty() || h == skip1 || h == skip2)
            continue;
        target(h) = chance(reference, h);
    }
}

// Slot 0 stands for a missing rank: it is read as 0 but never written.
void setComplement(Array1<float>& target, int h, float other)
{
    if (h > 0)
        target(h) = float(1 - double(other));
}

}

void judgeKyakusitu()
{
    vbTrap(QStringLiteral("指数の判定エラー(err-CB11)"), [] {
        const int h = pd.umaIdx;
        const float good = float(0.7 * double(pd.kisoSisuu(h, 0)));
        std::array<int, 4> counts{};
        int goodRuns = 0;
        float& tuka = pd.tuka1Ave(h, 0);
        for (int k = 1; k <= pd.kakoMax; ++k) {
            // Only runs that exist: empty slots would count as good runs when the base index is negative.
            if (pd.uDate(h, k).isZero() || !(pd.uSisuu(h, k) > good))
                continue;
            ++goodRuns;
            if (const int s = styleIndex(pd.uKyakusitu(h, k)); s >= 0)
                ++counts[size_t(s)];
            tuka = float(double(tuka) + pd.uTuka(h, 1, k));
        }
        if (goodRuns > 0)
            tuka = float(double(tuka) / goodRuns);
        if (const int best = commonestStyle(counts); best >= 0)
            pd.uKyakusitu(h, 0) = kStyles[size_t(best)];
    });
}

void judgeSirusi()
{
    vbTrap(QStringLiteral("指数の判定エラー(err-CB09)"), [] {
        for (int k = 0; k <= kRanks; ++k) {
            pd.sirusiTop(k, 0) = 0;
            pd.sirusiTop(k, 1) = -100;
        }
        for (pd.umaIdx = 1; pd.umaIdx <= kRankedSlots; ++pd.umaIdx)
            if (!pd.uName(pd.umaIdx).isEmpty() && pd.yosouSisuu(pd.umaIdx) > 0)
                rankRunner(pd.umaIdx);
        // The fifth mark only in a field of at least eleven runners.
        const int marks = pd.uName(11).isEmpty() ? kRanks - 1 : kRanks;
        for (int k = 1; k <= marks; ++k)
            if (rankedRunner(k) > 0)
                pd.sirusi(rankedRunner(k)) = kMarks[size_t(k)];
    });
}

void calcKakuritu1()
{
    vbTrap(QStringLiteral("指数の判定エラー(err-CB10)"), [] {
        const int t1 = rankedRunner(1);
        setChances(pd.kakuritu1, pd.yosouSisuu(t1), t1, t1);
        setComplement(pd.kakuritu1, t1, pd.kakuritu1(rankedRunner(2)));
    });
}

void calcKakuritu2()
{
    vbTrap(QStringLiteral("指数の判定エラー(err-CB11)"), [] {
        const int t1 = rankedRunner(1);
        const int t2 = rankedRunner(2);
        const int t3 = rankedRunner(3);
        setChances(pd.kakuritu2, pd.yosouSisuu(t2), t1, t2);
        setComplement(pd.kakuritu2, t2, pd.kakuritu2(t3));
        // The leader's top-two value is the complement of the third runner's win value.
        setComplement(pd.kakuritu2, t1, pd.kakuritu1(t3));
    });
}
