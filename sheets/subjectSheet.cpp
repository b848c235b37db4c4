#include "sheets/subjectSheet.h"

#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/widgets.h"
#include "sheets/umaRIreki.h"
#include "sheets/umaTekiseiRentai.h"
#include "sheets/umaTekiseiSisuu.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
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
    // A pick fills; so does Return on a typed period that is no item (counted with no lower
    // bound), without adding it to the list.
    cmbTarKikan->setInsertPolicy(QComboBox::NoInsert);
    connect(cmbTarKikan, &QComboBox::activated, this, [this] { cmbTarKikan_Click(); });
    connect(cmbTarKikan->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (cmbTarKikan->findText(cmbTarKikan->currentText()) < 0)
            cmbTarKikan_Click();
    });
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
    if (ImportGuard::busy()) {
        showImportBusy();
        return;
    }
    vbTrap(fillTag_, [this] { fill(); });
}

std::vector<TekiseiRun> SubjectSheet::runsLookedAt(const std::vector<const SheetRun*>& listed) const
{
    return tekiseiRunsOf(listed);
}

void SubjectSheet::fill()
{
    Progress progress(this, progressMax_);
    std::vector<SheetRun> runs;
    {
        openDb(1, appPath() + "NAR_data.dat", dbPassword);
        DbSlotCloser closer(1);
        runs = readSubjectRuns(kind_, key_);
    }
    const SheetInputs in = buildSheetInputs(runs, pd.raceZyo, firstJockey(), pd.raceDate);
    progress.step();
    const std::vector<const SheetRun*> listed = runsBefore(runs, pd.raceDate);
    vbTrap("Error-umaRireki-1", [&] {
        drawSheetGridRireki(*gridRireki, kind_, listed);
        storeRunsInSlot0(listed, kind_);
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
}

void SubjectSheet::layoutPages(int tabLeft, int tabTop, int tabWidth, int)
{
    const int left = tabLeft + 50;
    const int comboHeight = pixelsToTwips(cmbTarKikan->sizeHint().height());
    moveTwips(cmbTarKikan, left, tabTop + 400, pixelsToTwips(cmbTarKikan->width()), comboHeight);
    for (FlexGrid* grid : {gridTekiseiSisuu, gridTekiseiRentai, gridMochiTime})
        moveTwips(grid, left, tabTop + 400 + comboHeight + 50, tabWidth - 2 * left, grid->heightTwips());
}
