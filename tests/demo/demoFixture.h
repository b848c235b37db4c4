#pragma once
// The demo world of a fixed day.
#include "tools/demoSite.h"

#include <gtest/gtest.h>

inline const VbDate kDemoToday = VbDate::fromYmd(2026, 12, 7);
