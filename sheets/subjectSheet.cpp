#include "sheets/subjectSheet.h"

#include "core/dataFiles.h"
#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/widgets.h"
#include "sheets/sheetRunReader.h"
#include "sheets/umaRIreki.h"
#include "sheets/umaTekiseiRentai.h"
#include "sheets/umaTekiseiSisuu.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {
// How long one slice of an arriving list may keep the window from the user's input.
constexpr int arrivalSliceMs = 15;
// How often the arrived runs join the run grid.
constexpr int arrivalShownMs = 250;

// The progress dialog of one fill, owned by the sheet and unloaded on every way out.
class Progress {
public:
    Progress(QWidget* owner, int max)
    {
        showDialogSincyoku(owner);
        dialogSincyoku().setMax(float(max));
    }
    ~Progress() { unloadDialogSincyoku(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void step() { dialogSincyoku().setValue(dialogSincyoku().value() + 1); }
};
}  // namespace

SubjectSheet::SubjectSheet(SheetKind kind, const QString& key, const SheetTags& tags, const QString& fillTag,
                           int progressMax)
    : SheetFrame(kind, key, tags), fillTag_(fillTag), progressMax_(progressMax)
{
    cmbTarKikan = combo("cmbTarKikan", this);
    cmbTarKikan->setFixedWidth(twipsToPixels(2000));
    gridTekiseiSisuu = named(new FlexGrid(this), "gridTekiseiSisuu");
    gridTekiseiRentai = named(new FlexGrid(this), "gridTekiseiRentai");
    gridMochiTime = named(new FlexGrid(this), "gridMochiTime");
    gridMochiTime->setHeightTwips(2150);
    arrival_ = new QTimer(this);
    arrival_->setInterval(0);
    connect(arrival_, &QTimer::timeout, this, [this] { arrive(); });
    // A pick fills; so does Return on a typed period that is no item (counted with no lower
    // bound), without adding it to the list.
    cmbTarKikan->setInsertPolicy(QComboBox::NoInsert);
    connect(cmbTarKikan, &QComboBox::activated, this, [this] { cmbTarKikan_Click(); });
    connect(cmbTarKikan->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (cmbTarKikan->findText(cmbTarKikan->currentText()) < 0)
            cmbTarKikan_Click();
    });
}

// The reading stops before the window's parts go, whatever order they are destroyed in.
SubjectSheet::~SubjectSheet()
{
    stopArrival();
}

bool SubjectSheet::runsArriving() const
{
    return reader_ != nullptr;
}

void SubjectSheet::buildSubject(const QString& caption, const QStringList& buttonKeys)
{
    buildFrame(caption, "lblUmaInfo", buttonKeys);
    addTab("出走履歴", {gridRireki});
    addTab("適性（スピード指数）", {gridTekiseiSisuu, cmbTarKikan});
    addTab("適性（勝率・連対率）", {cmbTarKikan, gridTekiseiRentai});
    addTab("適性（持ち時計）", {gridMochiTime, cmbTarKikan});
}

void SubjectSheet::loadSubject(const QString& infoText)
{
    Form_Resize();
    cmbTarKikan->addItems(kikanEntries());
    cmbTarKikan->setCurrentIndex(cmbTarKikan->findText("1年以内対象"));
    lblInfo->setText(infoText);
    hideGrids();
    cmbTarKikan_Click();
    gridRireki->show();
}

void SubjectSheet::cmbTarKikan_Click()
{
    if (saidImportBusy())
        return;
    if (!vbTrap(fillTag_, [this] { fill(); }))
        stopArrival();
}

std::vector<TekiseiRun> SubjectSheet::runsLookedAt(const std::vector<const SheetRun*>& listed) const
{
    return tekiseiRunsOf(listed);
}

void SubjectSheet::fill()
{
    stopArrival();
    Progress progress(this, progressMax_);
    {
        openDb(slotMain, DataFileKind::NarData);
        if (!isDbOpen(slotMain))  // the open has named the file and the cause
            return;
        DbSlotCloser closer(slotMain);
        reader_ = std::make_unique<SheetRunReader>(SheetRequest {kind_, key_, pd.raceZyo, firstJockey(), pd.raceDate,
                                                                 kikanDays(cmbTarKikan->currentText())});
    }
    const SheetInputs in = reader_->inputs();
    progress.step();
    const SheetRunList shown = listedRuns(reader_->takeRuns(), pd.raceDate);
    const std::vector<const SheetRun*> listed = pointersTo(*shown);
    vbTrap("Error-umaRireki-1", [&] {
        drawSheetGridRireki(*gridRireki, kind_, shown);
        fitToTab(*gridRireki);
    });
    progress.step();
    const auto columns = tekiseiColumns(runsLookedAt(listed), tekiseiContextOfRace(), cmbTarKikan->currentText(), in);
    vbTrap("Error-umaTekiseiSisuu-1", [&] { drawSheetGridTekiseiSisuu(*gridTekiseiSisuu, columns); });
    progress.step();
    vbTrap("Error-umaTekiseiRentai-1", [&] { drawSheetGridTekiseiRentai(*gridTekiseiRentai, columns); });
    progress.step();
    if (fillComments(listed))
        progress.step();
    Form_Resize();
    if (reader_->complete()) {
        reader_->rethrowFailure();
        reader_.reset();
    } else {
        sinceShown_.start();
        arrival_->start();
    }
}

void SubjectSheet::arrive()
{
    arrival_->stop();
    const bool done = !vbTrap(fillTag_, [this] {
        for (SheetRun& run : reader_->nextSlice(arrivalSliceMs))
            arrived_.push_back(std::move(run));
        const bool last = reader_->complete();
        if (last || sinceShown_.elapsed() >= arrivalShownMs)
            showArrived();
        if (last)
            reader_->rethrowFailure();  // told once the runs read before it are listed
    }) || reader_->complete();
    if (done)
        stopArrival();
    else
        arrival_->start();
}

// Each addition to the run grid lays out and paints it anew: the arrived runs join it a few times
// a second, not at every slice. They stay the sheet's own: a race read or an import may be using
// the shared run table while they arrive.
void SubjectSheet::showArrived()
{
    appendSheetGridRireki(*gridRireki, kind_, std::make_shared<const std::vector<SheetRun>>(std::exchange(arrived_, {})));
    fitToTab(*gridRireki);
    sinceShown_.start();
}

void SubjectSheet::stopArrival()
{
    arrival_->stop();
    reader_.reset();
    arrived_.clear();
}

void SubjectSheet::closeEvent(QCloseEvent* event)
{
    stopArrival();
    SheetFrame::closeEvent(event);
}

void SubjectSheet::layoutPages(int tabLeft, int tabTop, int tabWidth, int)
{
    const int left = tabLeft + 50;
    const int comboHeight = pixelsToTwips(cmbTarKikan->sizeHint().height());
    moveTwips(cmbTarKikan, left, tabTop + 400, pixelsToTwips(cmbTarKikan->width()), comboHeight);
    for (FlexGrid* grid : {gridTekiseiSisuu, gridTekiseiRentai, gridMochiTime})
        moveTwips(grid, left, tabTop + 400 + comboHeight + 50, tabWidth - 2 * left, grid->heightTwips());
}
