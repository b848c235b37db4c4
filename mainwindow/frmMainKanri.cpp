// What the administration window uses of the main window: the race selectors and race read for
// its batch run, the history chart for its chart test, and the busy guard while one of its
// buttons works.
#include "admin/frmKanri.h"
#include "charts/graphDrawGraph.h"
#include "mainwindow/frmMain.h"

#include <QComboBox>

void FrmMain::cmdKanri_Click()
{
    KanriHost host;
    host.raceReader = {[this](int i, const QString& text) { cmbSelRace[size_t(i)]->setCurrentText(text); },
                       [this] { return starRaceRead(); }};
    host.drawGraph = drawGraph;
    host.setBusy = [this](bool on) {
        if (on)
            kanriBusy_ = std::make_unique<BusyGuard>(*this);
        else
            kanriBusy_.reset();
    };
    showFrmKanri(this, std::move(host));
}
