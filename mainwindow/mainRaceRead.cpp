// The race read: the race card of the chosen race, each runner's history with the indices of
// its past runs, the prediction, then the pages. The test read takes the same road on stored
// page files.
#include "mainwindow/frmMain.h"

#include "admin/kanriZyunkai.h"
#include "analysis/mainAnalSisuu.h"
#include "analysis/mainAnalSisuu02.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "core/trackFileLoan.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"
#include "webimport/dialogWeb.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <functional>

namespace {

const QString cardPath = QStringLiteral("/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf");
constexpr int raceReadRuns = 150;
constexpr int testReadRuns = 100;
constexpr int runnerSlots = 18;

// A read that ends before the prediction puts the race shown back into the shared state, so
// that every later click acts on the race the pages show. What the read itself reports
// (cancel, a missing card in batch mode) and the settings stay as they are now.
class RaceStateKeeper {
public:
    RaceStateKeeper() : saved_(pd) {}
    ~RaceStateKeeper()
    {
        if (kept_)
            return;
        PublicDim now = std::move(pd);
        pd = std::move(saved_);
        pd.webCancel = now.webCancel;
        pd.webTimeOut = now.webTimeOut;
        pd.raceExists = now.raceExists;
        pd.kakoKikan = now.kakoKikan;
        pd.timerInter = now.timerInter;
        pd.graphFlags = now.graphFlags;
        pd.lineRatio = now.lineRatio;
        pd.jraGraphOn = now.jraGraphOn;
        pd.sheetKey = now.sheetKey;
        pd.sheetForm = now.sheetForm;
    }
    RaceStateKeeper(const RaceStateKeeper&) = delete;
    RaceStateKeeper& operator=(const RaceStateKeeper&) = delete;
    void keep() { kept_ = true; }

private:
    PublicDim saved_;
    bool kept_ = false;
};

QString runnerTitle(int i, int n)
{
    return Format(double(i), "00") + '/' + Format(double(n), "00") + ' ' + pd.uName(i) +
           QStringLiteral("成績読込み中・・・");
}

// Said for a runner without a history address; the read goes on without its runs. The
// administration batch runs unattended and is told nothing.
void reportNoAddress(int i)
{
    if (!batchMode())
        msgBox(pd.uName(i) + QStringLiteral("の成績を読込めませんでした：成績ページのアドレスがありません"));
}

// A history page that did not come (the server stopped answering, or gave it cut short every
// time) ends the read: a prediction from the runners read so far would pass for the race's. The
// batch names the cause in its own message.
void reportStoppedRead(int read, int n)
{
    if (!batchMode())
        msgBox(QStringLiteral("%1頭中%2頭の成績を読込んだところで読込みを中止しました\n").arg(n).arg(read) + webLoadFailure.text());
}

// Every runner's history and the indices of its past runs; false on a cancel or a page that did
// not come. A runner without a history address is passed at once: there is no page to wait for.
bool readHistories(const std::function<QString(int)>& pageOf)
{
    const int n = pd.tousuu;
    int read = 0;
    for (int i = 1; i <= n; ++i) {
        pd.umaIdx = i;
        const QString page = pageOf(i);
        if (page.isEmpty()) {
            reportNoAddress(i);
        } else {
            showDialogWebOver(frmMain(), runnerTitle(i, n));
            const bool loaded = readUmaRirekiPage(page);
            if (pd.webCancel) {
                unloadDialogWeb();
                msgBox(QStringLiteral("キャンセルしました"));
                return false;
            }
            if (webLoadFailure.failed()) {
                unloadDialogWeb();
                reportStoppedRead(read, n);
                return false;
            }
            read += loaded ? 1 : 0;
        }
        pd.umaIdx = i;
        calcUmaSisuu();
    }
    unloadDialogWeb();
    return true;
}

// A card that is not there (no card on the page, or the server's answer that there is no such
// page) ends a batch's track without a word (raceExists); a card whose page did not come, or came
// cut short, is a failed read there, which the batch reports itself.
void reportNoCard()
{
    if (pd.webCancel)
        return;
    if (batchMode()) {
        if (!webLoadFailure.failed() || webLoadFailure.pageMissing())
            pd.raceExists = false;
        return;
    }
    msgBox(QStringLiteral("指定した出走表はありません") +
           (webLoadFailure.failed() ? QStringLiteral("\n") + webLoadFailure.text() : QString()));
}

void startRead(int runs)
{
    initPublic();
    ++pd.raceReadNo;
    pd.kakoMax = runs;
    redimUma(runnerSlots, pd.kakoMax);
    beginRaceAnalysis();
}

}

RaceReadOutcome FrmMain::starRaceRead()
{
    return runRead("Error-frmMain-6", &FrmMain::raceReadBody, true);
}

void FrmMain::cmdRaceRead_Click()
{
    runRead("Error-frmMain-6", &FrmMain::raceReadBody);
}

void FrmMain::cmdTest_Click()
{
    runRead("Error-frmMain-7", &FrmMain::testReadBody);
}

// One read at a time, and nothing else of the window meanwhile: the busy state, the import
// token while pages load, the race shown kept until the new one is predicted, the loading window
// closed. The pages are filled after the token is given back: they load no page, and the course
// table refuses to read while an import holds it. The batch's reads pass the busy state its
// window holds. A read refused or ended by an error is Failed; one that finds no card, NoCard.
RaceReadOutcome FrmMain::runRead(const QString& tag, ReadEnd (FrmMain::*body)(), bool forBatch)
{
    if (isBusy() && !forBatch)
        return RaceReadOutcome::Failed;
    const BusyGuard busy(*this);
    const DbConnectionKeeper connections;
    const TrackLookupMemo lookups;
    ReadEnd end = ReadEnd::Stopped;
    RaceReadOutcome outcome = RaceReadOutcome::Failed;
    {
        const ImportGuard guard;
        // The batch reports its failed races itself.
        if (!(forBatch ? guard.acquired() : guard.acquiredOrSaid()))
            return RaceReadOutcome::Failed;
        RaceStateKeeper keeper;
        const DialogWebUnloader closer;
        const FileFailureMemo fileFailures;
        if (!vbTrap(tag, [&] { end = (this->*body)(); }))
            return RaceReadOutcome::Failed;
        if (end != ReadEnd::Stopped) {
            keeper.keep();
            outcome = RaceReadOutcome::Read;
        } else if (pd.webCancel) {
            outcome = RaceReadOutcome::Cancelled;
        } else if (!pd.raceExists) {
            outcome = RaceReadOutcome::NoCard;
        }
    }
    if (end == ReadEnd::Shown)
        vbTrap(tag, [this] { showReadRace(); });
    return outcome;
}

FrmMain::ReadEnd FrmMain::raceReadBody()
{
    Form_Resize();
    startRead(raceReadRuns);
    const QString year = cmbSelRace[0]->currentText(), month = cmbSelRace[1]->currentText(),
                  day = cmbSelRace[2]->currentText(), zyo = cmbSelRace[3]->currentText(),
                  race = cmbSelRace[4]->currentText();
    const QString url = webServerUrl() + cardPath + "?k_babaCode=" + zyoToNarCode(zyo) + "&k_raceNo=" + race +
                        "&k_raceDate=" + year + "%2F" + month + "%2F" + day;
    pd.raceCode = zyo + year + month + day + race;
    pd.raceZyo = zyo;
    showDialogWebOver(frmMain(), QStringLiteral("出走表読込み中"));
    if (!readSyuxtubaPage(url)) {
        unloadDialogWeb();
        reportNoCard();
        return ReadEnd::Stopped;
    }
    unloadDialogWeb();
    repaint();
    if (pd.webCancel) {
        msgBox(QStringLiteral("キャンセルしました"));
        return ReadEnd::Stopped;
    }
    if (!readHistories([](int i) { return pd.uUrl(i); }))
        return ReadEnd::Stopped;
    analYosou();
    return batchMode() ? ReadEnd::Predicted : ReadEnd::Shown;
}

FrmMain::ReadEnd FrmMain::testReadBody()
{
    startRead(testReadRuns);
    pd.raceZyo = QStringLiteral("浦和");
    pd.raceCode = QStringLiteral("浦和08021506");
    showDialogWebOver(frmMain(), QStringLiteral("出走表読込み中"));
    readSyuxtubaPage(appPath() + "temp/raceMatrix.htm");
    unloadDialogWeb();
    if (pd.webCancel) {
        msgBox(QStringLiteral("キャンセルしました"));
        return ReadEnd::Stopped;
    }
    if (!readHistories([](int i) { return appPath() + "temp/" + QString::number(i) + ".htm"; }))
        return ReadEnd::Stopped;
    analYosou();
    return ReadEnd::Shown;
}

// The display steps after the prediction: the pages, the race line and the page of the tab.
void FrmMain::showReadRace()
{
    pd.umaIdx = 1;
    cmbTarKikan_Click();
    lblRaceInfo->setText(QString(pd.raceName + '\r' + pd.raceTitle).replace('\r', '\n'));
    raceShown_ = true;
    tabMain_Click();
    Form_Resize();
    updateActions();
}
