#include "webimport/importGuard.h"

#include "platform/msgbox.h"

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

void showImportBusy()
{
    msgBox(QStringLiteral("他の読込みが実行中です。終了してから開始してください"));
}
