#include "webimport/importGuard.h"

#include "core/raceIndexes.h"
#include "platform/msgbox.h"

namespace {
bool importRunning = false;
std::function<void()> changeHook;

void setRunning(bool running)
{
    importRunning = running;
    holdRaceIndexBuild(running);
    if (changeHook)
        changeHook();
}
}

ImportGuard::ImportGuard()
{
    if (!importRunning) {
        acquired_ = true;
        setRunning(true);
    }
}

ImportGuard::~ImportGuard()
{
    if (acquired_)
        setRunning(false);
}

void setImportChangeHook(std::function<void()> hook)
{
    changeHook = std::move(hook);
}

bool ImportGuard::busy()
{
    return importRunning;
}

namespace {

void showImportBusy()
{
    msgBox(QStringLiteral("他の読込みが実行中です。終了してから開始してください"));
}

}  // namespace

bool ImportGuard::acquiredOrSaid() const
{
    if (!acquired_)
        showImportBusy();
    return acquired_;
}

bool saidImportBusy()
{
    if (importRunning)
        showImportBusy();
    return importRunning;
}
