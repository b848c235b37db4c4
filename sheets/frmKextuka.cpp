#include "sheets/frmKextuka.h"

#include "core/dataFiles.h"
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
            [this] { vbTrap("Error-frmKextuka-8", [this] { showCommentBoxSaved(txtRaceComment, false); }); });
    connect(txtRaceComment, &QLineEdit::returnPressed, this, [this] { txtRaceComment_KeyPress(); });
    connect(gridComment, &FlexGrid::click, this, [this] { gridComment_Click(); });
    connect(&commentStore(), &CommentStore::saved, this, &FrmKextuka::noteSaved);
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
                openDb(slotMain, DataFileKind::NarData);
                if (!isDbOpen(slotMain))  // the open has named the file and the cause
                    return;
                DbSlotCloser closer(slotMain);
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
        showCommentBoxSaved(txtRaceComment, true);
        drawGridKextukaComment(*gridComment, race_, notes);
        commentCells_.clear();
        for (int r = 1; r <= int(race_.runners.size()); ++r)
            commentCells_.add(key_, race_.runners[size_t(r - 1)][fName].toString(), r, 4);
    });
}

void FrmKextuka::noteSaved(const QString& rCode, const QString& uName, const CommentNote& note)
{
    if (rCode != key_)
        return;
    if (uName != commentKeyRace) {
        commentCells_.write(*gridComment, rCode, uName, note);
    } else if (commentBoxSaved(txtRaceComment)) {
        txtRaceComment->setText(note.comment);
        showCommentBoxSaved(txtRaceComment, true);
    }
}

void FrmKextuka::txtRaceComment_KeyPress()
{
    vbTrap("Error-frmKextuka-9", [this] {
        if (saidImportBusy())
            return;
        storeRaceComment(key_, txtRaceComment->text());
        showCommentBoxSaved(txtRaceComment, true);
        gridComment->setFocus();
    });
}

void FrmKextuka::gridComment_Click()
{
    vbTrap("Error-frmKextuka-10", [this] {
        const int row = gridComment->row();
        if (row < 1 || row > int(race_.runners.size()))
            return;
        showDialogComment(mainWindowWidget(), {race_.runners[size_t(row - 1)][fName].toString(),
                                               commentRaceLabel(race_.zyo, race_.date, race_.raceNo), key_, "Race"});
    });
}

void FrmKextuka::layoutPages(int tabLeft, int tabTop, int tabWidth, int)
{
    const int left = tabLeft + 50;
    const int boxHeight = pixelsToTwips(txtRaceComment->height());
    moveTwips(txtRaceComment, left, tabTop + 400, tabWidth - 2 * left, boxHeight);
    moveTwips(gridComment, left, tabTop + 400 + boxHeight + 50, tabWidth - 2 * left, gridComment->heightTwips());
}
