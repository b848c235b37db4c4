#pragma once
// What a past run (h, r) is compared with its next older run (h, r + 1). Runs are numbered
// newest first; a run without an older one in the run table has neither value.
#include "core/publicDim.h"
#include <optional>

// Body-weight change in kg, when both weights are given.
inline std::optional<int32_t> weightChange(int h, int r)
{
    if (r + 1 > pd.kakoMax || pd.uTaizyu(h, r + 1) < 1 || pd.uTaizyu(h, r) <= 0)
        return std::nullopt;
    return pd.uTaizyu(h, r) - pd.uTaizyu(h, r + 1);
}

// Days since the older run, when both dates are set. Both are after the zero date, so the
// difference of their day numbers always fits.
inline std::optional<int32_t> daysSincePrevious(int h, int r)
{
    if (r + 1 > pd.kakoMax || pd.uDate(h, r).serial() <= 0 || pd.uDate(h, r + 1).serial() <= 0)
        return std::nullopt;
    return pd.uDate(h, r) - pd.uDate(h, r + 1);
}
