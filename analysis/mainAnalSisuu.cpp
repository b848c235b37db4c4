#include "analysis/mainAnalSisuu.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/vberror.h"

namespace {

// Every race read sizes the run table for at least this many past runs.
constexpr int kIndexedRuns = 100;

}

void calcUmaSisuu()
{
    const int h = pd.umaIdx;
    const TrackFileLoan local(slotMain, {"T_sisuu", "T_avetime"});
    vbTrap(QStringLiteral("U_sisuu算出エラー(err-BA05)"), [&] {
        for (int k = 1; k <= kIndexedRuns; ++k) {
            // A run the history indexed would get the same index from the same inputs and lookups
            // again; the rest (card runs, runs the history could not index) are computed here.
            if (!(pd.uTime(h, k) > 0) || pd.uIndexed(h, k))
                continue;
            if (isCentralTrack(pd.uZyo(h, k))) {
                if (pd.jraGraphOn)
                    calcUSisuuJra(h, k);
            } else if (local.isOpen()) {
                calcUSisuu(h, k, slotMain);
            }
        }
    });
}
