// The fill-all: the analysis pages refilled in a fixed order under the progress window. The
// period combo's pick runs it, and so does the race read after its prediction.
#include "mainwindow/frmMain.h"

#include "analysis/mainMochiTime.h"
#include "analysis/mainSpSisuu.h"
#include "analysis/mainSyuxtubaHyo.h"
#include "analysis/mainTaisen.h"
#include "analysis/mainTekiseiRentai.h"
#include "analysis/mainTekiseiSisuu.h"
#include "analysis/mainYosou.h"
#include "charts/graphDrawGraph.h"
#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "mainwindow/mainComment.h"
#include "mainwindow/mainPrintBacyu.h"
#include "platform/flexgrid.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"

#include <QComboBox>
#include <QPushButton>
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
    const QString kikan = cmbTarKikan->currentText();
    const std::vector<std::function<void()>> steps {
        [this] { drawGridSyuxtusouHyou(*gridSyuxtusouHyou); },
        [this] { drawGridSpSisuu(*gridSpSisuu); },
        // The horse-column image reads the head-to-head totals: they are computed first.
        [&] {
            calcTaisenMatrix(kikan);
            fillGridPrintBacyu(*gridPrintBacyu);
        },
        [&] { drawGridTekiseiSisuu(*gridTekiseiSisuu, kikan); },
        [&] { drawGridTekiseiRentai(*gridTekiseiRentai, kikan); },
        [&] { drawGridMochiTime(*gridMochiTime, kikan); },
        [] { drawFirstRunnerGraph(); },
        [&] { drawGridTaisen(*gridTaisen, kikan); },
        [this] { drawGridYosou(*gridYosou); },
        [&] { drawGridComment(*gridComment, *txtRaceComment, kikan); },
    };
    for (const auto& step : steps) {
        if (quitAfterWork_)
            return;
        progress.setValue(progress.value() + 1);
        step();
    }
    progress.setValue(progress.value() + 1);
    keepChartControlsOnTheirPage();
}

// The chart drawn by the fill-all shows its legend and shift button; on another page they would
// stand over that page's grid.
void FrmMain::keepChartControlsOnTheirPage()
{
    if (!Picture1->isHidden())
        return;
    for (QWidget* w : {static_cast<QWidget*>(Picture2), static_cast<QWidget*>(cmdGraphShift),
                       static_cast<QWidget*>(cmdGraphBack)})
        w->hide();
}
