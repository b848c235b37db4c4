#pragma once
// The prediction engine. Per runner: average index, base index, expected running style, seven
// condition factors and the predicted index. Per field: marks, the quantile line of the charts,
// win and top-two probabilities and the index axis offset. Pure computation over the run table
// and two tables of the track information file; the race read and the batch run call it.
//
// Every single-precision value is computed in double and stored as float, as the rest of the
// program reads it; the weights and thresholds below depend on that.
#include "platform/vbdate.h"
#include <array>
#include <cstdint>

// Working values of the engine, set by initYosouWork before the first runner.
struct YosouWork {
    VbDate cutoff;                // a past run counts for the average and the factors only after it
    int32_t minCount = 10;        // fewer qualifying runs shrink a factor ratio towards 1
    std::array<float, 8> para{};  // user weights of the settings, 1 = 100 %
    std::array<float, 8> W{};     // fixed weights of the combined factor (0) and the factors 1..7
    float aveSisuu = 0;           // A: the current runner's average index
};
extern YosouWork yosouWork;

// Column of each factor in pd.tekiseiFactor; the prediction tab shows them by these names.
enum FactorColumn { kCombined = 0, kWaku = 1, kKyori = 2, kKankaku = 3, kZyo = 4, kBaba = 5, kTaizyu = 6, kKisyu = 7 };

// The driver: the whole prediction of the race read into the run table. Leaves umaIdx changed.
void analYosou();
// Cut-off date, minimum count and weights, from the race date and the settings file.
void initYosouWork();

// Per runner umaIdx.
void calcAveSisuu();
void calcKinsouSisuu();
void judgeKyakusitu();
void calcFactorWaku();
void calcFactorKyori();
void calcFactorKankaku();
void calcFactorTaizyu();
void calcFactorZyo();
void calcFactorBaba();
void calcFactorKisyu();
void calcYosouSisuu();

// Per field; each loops umaIdx itself.
void judgeSirusi();
void analAveSisuu();
void calcKakuritu1();
void calcKakuritu2();
void analSisuuRange();
