// The fill-all: the analysis pages refilled in a fixed order under the progress window. The
// period combo's pick runs it, and so does the race read after its prediction.
#include "mainwindow/frmMain.h"

#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "platform/vberror.h"

#include <QComboBox>
#include <functional>
#include <vector>

namespace {

constexpr int progressSteps = 11;

struct ProgressUnloader {
    ~ProgressUnloader() { unloadDialogSincyoku(); }
};

}

// A pick of the entry already shown refills all the same; typing runs nothing.
void FrmMain::cmbTarKikan_Activated()
{
    if (!isBusy())
        cmbTarKikan_Click();
}

void FrmMain::cmbTarKikan_Click()
{
    const BusyGuard busy(*this);
    const ProgressUnloader unloader;
    vbTrap("Error-frmMain-1", [this] { fillAll(); });
}

void FrmMain::fillAll()
{
    showDialogSincyoku(this);
    DialogSincyoku& progress = dialogSincyoku();
    progress.setMax(progressSteps);
    const std::vector<std::function<void()>> steps {
        [] {},
        [] {},
        [] {},
        [] {},
        [] {},
        [] {},
        [] {
            pd.graphShiftDays = 0;
            pd.umaIdx = 1;
        },
        [] {},
        [] {},
        [] {},
    };
    for (const auto& step : steps) {
        progress.setValue(progress.value() + 1);
        step();
    }
    progress.setValue(progress.value() + 1);
}
