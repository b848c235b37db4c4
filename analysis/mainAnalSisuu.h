#pragma once
// Speed index of the loaded race's past runs.
#include "core/trackFileLoan.h"

// Gives runner umaIdx's past runs 1..100 their speed index and last-3F index. Runs without a
// time keep what they hold; central runs get theirs only while jraGraph.dat is present.
void calcUmaSisuu();
