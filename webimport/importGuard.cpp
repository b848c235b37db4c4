#include "webimport/importGuard.h"

namespace {
bool importRunning = false;
}

ImportGuard::ImportGuard()
{
    if (!importRunning) {
        importRunning = true;
        acquired_ = true;
    }
}

ImportGuard::~ImportGuard()
{
    if (acquired_)
        importRunning = false;
}

bool ImportGuard::busy()
{
    return importRunning;
}
