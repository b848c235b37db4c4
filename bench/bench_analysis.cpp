// The whole prediction engine on a full race: the speed index of every runner's past runs
// (two track-file queries per run) and the prediction of the field. Target: under 10 ms.
#include "analysis/mainAnalSisuu.h"
#include "analysis/mainAnalSisuu02.h"
#include "bench/support/benchRace.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "tests/support/dataFiles.h"

#include <benchmark/benchmark.h>

namespace {

// Clears what the engine accumulates into, as the race read's fresh run table does.
void clearPrediction()
{
    pd.kisoSisuu.clear();
    pd.tekiseiFactor.clear();
    pd.yosouSisuu.clear();
    pd.sirusi.clear();
    pd.kakuritu1.clear();
    pd.kakuritu2.clear();
    pd.tuka1Ave.clear();
}

void BM_WholeEngine(benchmark::State& state)
{
    TestAppDir dir;
    fillRunTable();
    fillTrackFile(dir.createStrevinData());
    dbKeyFor(dbPassword);
    for (auto _ : state) {
        clearPrediction();
        beginRaceAnalysis();
        for (pd.umaIdx = 1; pd.umaIdx <= kRunners; ++pd.umaIdx)
            calcUmaSisuu();
        analYosou();
        benchmark::DoNotOptimize(pd.yosouSisuu(1));
    }
}
BENCHMARK(BM_WholeEngine)->Unit(benchmark::kMillisecond);

// The prediction alone, on indices already computed.
void BM_Prediction(benchmark::State& state)
{
    TestAppDir dir;
    fillRunTable();
    fillTrackFile(dir.createStrevinData());
    for (pd.umaIdx = 1; pd.umaIdx <= kRunners; ++pd.umaIdx)
        calcUmaSisuu();
    for (auto _ : state) {
        clearPrediction();
        analYosou();
        benchmark::DoNotOptimize(pd.yosouSisuu(1));
    }
}
BENCHMARK(BM_Prediction)->Unit(benchmark::kMillisecond);

}
