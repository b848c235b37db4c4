#include "sheets/frmKextuka.h"

#include "core/dialogComment.h"
#include "core/publicComment.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/widgets.h"
#include "sheets/kextukaComment.h"
#include "sheets/sheetGrid.h"
#include "webimport/importGuard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace {
const SheetTags kextukaTags {"Error-frmKextuka-1", "Error-frmKextuka-2", "Error-frmKextuka-3", "Error-frmKextuka-4",
                             "Error-frmKextuka-5", "Error-frmKextuka-6", "Error-frmKextuka-7"};

}  // namespace

FrmKextuka::FrmKextuka(const QString& raceCode)
    : SheetFrame(SheetKind::Kextuka, raceCode, kextukaTags)
{
    txtRaceComment = named(new QLineEdit("レースコメントを入力しリターンキーで確定", this), "txtRaceComment");
    moveTwips(txtRaceComment, 0, 0, 6000, 400);
    gridComment = named(new FlexGrid(this), "gridComment");
    connect(txtRaceComment, &QLineEdit::textEdited, this,
            [this] { vbTrap("Error-frmKextuka-8", [this] { setBoxTextColour(txtRaceComment, sheetGreyText); }); });
    connect(txtRaceComment, &QLineEdit::returnPressed, this, [this] { txtRaceComment_KeyPress(); });
    connect(gridComment, &FlexGrid::click, this, [this] { gridComment_Click(); });
}

void FrmKextuka::load()
{
    vbTrap(tags_.load, [this] {
        buildFrame("レース結果シート " + key_, "lblRaceInfo", {"Back"});
        addTab("レース結果", {gridRireki});
        addTab("コメント", {gridComment, txtRaceComment});
        hideGrids();
        vbTrap("Error-kextukaRireki-1", [this] {
            {
                openDb(1, appPath() + "NAR_data.dat", dbPassword);
                DbSlotCloser closer(1);
                race_ = readRaceResult(key_, pd.raceDate);
            }
            lblInfo->setText(race_.info);
            drawGridKextukaRireki(*gridRireki, race_);
        });
        fillComments();
        Form_Resize();
        gridRireki->show();
    });
}

void FrmKextuka::fillComments()
{
    vbTrap("Error-kextukaComment-1", [this] {
        openCommentDb();
        DbSlotCloser closer(commentSlot);
        const QHash<QString, CommentNote> notes = readRaceComments(key_);
        if (const auto own = notes.constFind(commentKeyRace); own != notes.constEnd())
            txtRaceComment->setText(own->comment);
        setBoxTextColour(txtRaceComment, vbMenuText);
        drawGridKextukaComment(*gridComment, race_, notes);
    });
}

void FrmKextuka::refreshComments()
{
    if (ImportGuard::busy()) {
        showImportBusy();
        return;
    }
    fillComments();
}

void FrmKextuka::txtRaceComment_KeyPress()
{
    vbTrap("Error-frmKextuka-9", [this] {
        if (ImportGuard::busy()) {
            showImportBusy();
            return;
        }
        openCommentDb();
        DbSlotCloser closer(commentSlot);
        saveRaceComment(key_, txtRaceComment->text());
        setBoxTextColour(txtRaceComment, vbMenuText);
        gridComment->setFocus();
    });
}

void FrmKextuka::gridComment_Click()
{
    vbTrap("Error-frmKextuka-10", [this] {
        const int row = gridComment->row();
        if (row < 1 || row > int(race_.runners.size()))
            return;
        QPointer<FrmKextuka> self(this);
        showDialogComment(mainWindowWidget(),
                          {gridComment->textMatrix(row, 3), commentRaceLabel(race_.zyo, race_.date, race_.raceNo), key_,
                           {gridComment->textMatrix(row, 4), gridComment->textMatrix(row, 5),
                            gridComment->textMatrix(row, 6)},
                           "Race", [self] {
                               if (self)
                                   self->refreshComments();
                           }});
    });
}

void FrmKextuka::layoutPages(int tabLeft, int tabTop, int tabWidth, int)
{
    const int left = tabLeft + 50;
    const int boxHeight = pixelsToTwips(txtRaceComment->height());
    moveTwips(txtRaceComment, left, tabTop + 400, tabWidth - 2 * left, boxHeight);
    moveTwips(gridComment, left, tabTop + 400 + boxHeight + 50, tabWidth - 2 * left, gridComment->heightTwips());
}
