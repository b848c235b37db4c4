#include "sheets/frmUma.h"

#include "core/dataFiles.h"
#include "core/publicComment.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/widgets.h"
#include "sheets/sheetGrid.h"
#include "sheets/sheetOpen.h"
#include "sheets/umaComment.h"
#include "webimport/importGuard.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const SheetTags umaTags {"Error-frmUma-2", "Error-frmUma-3", "Error-frmUma-4", "Error-frmUma-5",
                         "Error-frmUma-6", "Error-frmUma-7", "Error-frmUma-8"};


// The runner slot of the race on screen that holds the horse, checked against the race and the
// table's bounds before anything is read; 0 when there is none.
int runnerSlotOf(int slot, const QString& key)
{
    if (slot < 1 || slot > pd.tousuu || slot > pd.uName.ubound() || slot > pd.uWaku.ubound(1))
        return 0;
    return pd.uName(slot) == key ? slot : 0;
}
}  // namespace

FrmUma::FrmUma(const QString& key)
    : SubjectSheet(SheetKind::Uma, key, umaTags, "Error-frmUma-1", 5), slot_(runnerSlotOf(pd.umaIdx, key))
{
    fraUmaComment = named(new QGroupBox("馬コメント", this), "fraUmaComment");
    txtUmaComment = named(new QLineEdit("コメントを入力しリターンキーで確定", fraUmaComment), "txtUmaComment");
    cmbUmaSign01 = combo("cmbUmaSign01", fraUmaComment);
    cmbUmaSign02 = combo("cmbUmaSign02", fraUmaComment);
    for (QComboBox* sign : {cmbUmaSign01, cmbUmaSign02})
        sign->setFixedWidth(twipsToPixels(900));
    moveTwips(fraUmaComment, 0, 0, 6000, 1300);
    moveTwips(txtUmaComment, 50, 300, 4000, 400);
    moveTwips(cmbUmaSign01, 5000, 250, 900, 350);
    moveTwips(cmbUmaSign02, 5000, 750, 900, 350);
    gridComment = named(new FlexGrid(this), "gridComment");
    connect(txtUmaComment, &QLineEdit::textEdited, this,
            [this] { vbTrap("Error-frmUma-9", [this] { showCommentBoxSaved(txtUmaComment, false); }); });
    connect(txtUmaComment, &QLineEdit::returnPressed, this, [this] { txtUmaComment_KeyPress(); });
    connect(gridComment, &FlexGrid::click, this, [this] { gridComment_Click(); });
    connect(&commentStore(), &CommentStore::saved, this, &FrmUma::noteSaved);
}

void FrmUma::load()
{
    vbTrap(tags_.load, [this] {
        buildSubject("馬毎シート " + key_, {"Prev", "Next", "Back"});
        addTab("コメント", {fraUmaComment, gridComment});
        const QString info = slot_ ? QString::number(pd.uWaku(slot_, 0)) + "枠" + QString::number(slot_) + "番 " + key_
                                   : key_;
        loadSubject(info);
    });
}

int FrmUma::currentSlot() const
{
    return runnerSlotOf(slot_, key_);
}

QString FrmUma::firstJockey() const
{
    const int slot = currentSlot();
    return slot ? pd.uKisyu(slot, 0) : QString();
}

std::vector<TekiseiRun> FrmUma::runsLookedAt(const std::vector<const SheetRun*>& listed) const
{
    const int slot = currentSlot();
    return slot ? tekiseiRunsOfSlot(slot) : tekiseiRunsOf(listed);
}

void FrmUma::showSaved(QWidget* box)
{
    showCommentBoxSaved(box, true);
}

void FrmUma::noteSaved(const QString& rCode, const QString& uName, const CommentNote& note)
{
    if (uName != key_)
        return;
    if (rCode != commentKeyUma) {
        commentCells_.write(*gridComment, rCode, uName, note);
    } else if (commentBoxSaved(txtUmaComment)) {
        showGeneralNote(note);
    }
}

void FrmUma::showGeneralNote(const CommentNote& note)
{
    txtUmaComment->setText(note.comment);
    cmbUmaSign01->setCurrentText(note.sign01);
    cmbUmaSign02->setCurrentText(note.sign02);
    for (QWidget* box : {static_cast<QWidget*>(txtUmaComment), static_cast<QWidget*>(cmbUmaSign01),
                         static_cast<QWidget*>(cmbUmaSign02)})
        showSaved(box);
}

bool FrmUma::fillComments(const std::vector<const SheetRun*>& listed)
{
    vbTrap("Error-umaComment-1", [&] {
        openCommentDb();
        DbSlotCloser closer(commentSlot);
        const QHash<QString, CommentNote> notes = readHorseComments(key_);
        if (const auto general = notes.constFind(commentKeyUma); general != notes.constEnd())
            showGeneralNote(*general);
        commentRows_.clear();
        commentCells_.clear();
        for (const SheetRun* run : listed) {
            commentRows_.push_back({(*run)[fRCode].toString(),
                                    commentRaceLabel((*run)[fZyo].toString(), run->date(), (*run)[fRaceNo].toInt())});
            commentCells_.add(commentRows_.back().rCode, key_, int(commentRows_.size()), 4);
        }
        drawSheetGridComment(*gridComment, listed, notes);
        fitToTab(*gridComment);
    });
    return true;
}

void FrmUma::txtUmaComment_KeyPress()
{
    vbTrap("Error-frmUma-10", [this] {
        if (saidImportBusy())
            return;
        storeComment(commentKeyUma, key_,
                     {txtUmaComment->text(), cmbUmaSign01->currentText(), cmbUmaSign02->currentText()});
        showSaved(txtUmaComment);
        gridComment->setFocus();
    });
}

void FrmUma::gridComment_Click()
{
    vbTrap("Error-frmUma-11", [this] {
        const int row = gridComment->row();
        if (row < 1 || row > int(commentRows_.size()))
            return;
        // The note is filed under the sheet's own key and the run's race code.
        const CommentRow& r = commentRows_[size_t(row - 1)];
        showDialogComment(mainWindowWidget(), {key_, r.raceLabel, r.rCode, "Uma"});
    });
}

void FrmUma::toolbarClicked(const QString& key)
{
    if (key != "Prev" && key != "Next") {
        SubjectSheet::toolbarClicked(key);
        return;
    }
    const int n = pd.tousuu;
    if (n < 1 || n > pd.uName.ubound())
        return;
    if (saidImportBusy())
        return;
    const int idx = pd.umaIdx;
    if (key == "Prev")
        pd.umaIdx = idx > 1 && idx <= n ? idx - 1 : n;
    else
        pd.umaIdx = idx >= 1 && idx < n ? idx + 1 : 1;
    openSheet(SheetKind::Uma, pd.uName(pd.umaIdx));
}

void FrmUma::layoutPages(int tabLeft, int tabTop, int tabWidth, int tabHeight)
{
    SubjectSheet::layoutPages(tabLeft, tabTop, tabWidth, tabHeight);
    const int left = tabLeft + 50;
    const int fraWidth = tabWidth - left - 50;
    const int fraHeight = pixelsToTwips(fraUmaComment->height());
    moveTwips(fraUmaComment, left, tabTop + 400, fraWidth, fraHeight);
    const int signWidth = pixelsToTwips(cmbUmaSign01->width());
    for (QComboBox* sign : {cmbUmaSign01, cmbUmaSign02})
        moveTwips(sign, fraWidth - 50 - signWidth, pixelsToTwips(sign->y()), signWidth, pixelsToTwips(sign->height()));
    moveTwips(txtUmaComment, 50, pixelsToTwips(txtUmaComment->y()), tabWidth - 50 - 100 - signWidth,
              pixelsToTwips(txtUmaComment->height()));
    moveTwips(gridComment, left, tabTop + 400 + fraHeight + 100, tabWidth - 2 * left, gridComment->heightTwips());
    fitToTab(*gridComment);
}
