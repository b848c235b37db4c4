#include "analysis/tekiseiGroups.h"

#include "core/publicDim.h"

namespace {

constexpr int kyoriSpan = 100;
const QString kara = QStringLiteral("～");  // full-width tilde between two distances

bool nearKyori(int32_t kyori)
{
    return pd.raceKyori - kyoriSpan <= kyori && kyori <= pd.raceKyori + kyoriSpan;
}

QString kyoriRange()
{
    return QString::number(pd.raceKyori - kyoriSpan) + kara + QString::number(pd.raceKyori + kyoriSpan);
}

const char* const fixedLabels[] {"全コース", "良", "稍重", "重", "不良", "内枠", "中枠", "外枠",
                                 "逃げ", "先行", "差し", "追込"};
const QString styles[] {QStringLiteral("逃"), QStringLiteral("先"), QStringLiteral("差"), QStringLiteral("追")};

}

std::vector<int> tekiseiRuns(int h, int32_t bound)
{
    std::vector<int> runs;
    for (int k = 1; k <= pd.kakoMax; ++k)
        if (pd.uDate(h, k).serial() > bound && pd.uSiba(h, k) == pd.raceSiba && pd.uSisuu(h, k) > 0)
            runs.push_back(k);
    return runs;
}

bool tekiseiGroupTest(int g, int h, int k)
{
    switch (g) {
    case 1: return pd.uZyo(h, k) == pd.raceZyo && pd.uKyori(h, k) == pd.raceKyori;
    case 2: return pd.uZyo(h, k) == pd.raceZyo && nearKyori(pd.uKyori(h, k));
    case 3: return pd.uZyo(h, k) == pd.raceZyo;
    case 4: return pd.uKyori(h, k) == pd.raceKyori;
    case 5: return nearKyori(pd.uKyori(h, k));
    case 6: return true;
    case 7: case 8: case 9: case 10: return pd.uBaba(h, k) == g - 6;
    case 11: return pd.uWaku(h, k) <= 3;
    case 12: return 4 <= pd.uWaku(h, k) && pd.uWaku(h, k) <= 6;
    case 13: return 7 <= pd.uWaku(h, k) && pd.uWaku(h, k) <= 8;
    case 14: case 15: case 16: case 17: return pd.uKyakusitu(h, k) == styles[g - 14];
    default: return false;
    }
}

QString tekiseiLabel(int g)
{
    switch (g) {
    case 1: return pd.raceZyo + QString::number(pd.raceKyori);
    case 2: return pd.raceZyo + kyoriRange();
    case 3: return pd.raceZyo;
    case 4: return QString::number(pd.raceKyori);
    case 5: return kyoriRange();
    default: return g >= 6 && g <= tekiseiGroupCount ? QString::fromUtf8(fixedLabels[g - 6]) : QString();
    }
}
