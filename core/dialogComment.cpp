#include "core/dialogComment.h"

#include "core/dataFiles.h"
#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>

namespace {
constexpr uint32_t unsavedColour = 0x808080;
}

void CommentCells::add(const QString& rCode, const QString& uName, int row, int col)
{
    cells_.insert({rCode, uName}, {row, col});
}

void CommentCells::write(FlexGrid& grid, const QString& rCode, const QString& uName, const CommentNote& note) const
{
    for (const auto& [row, col] : cells_.values({rCode, uName})) {
        grid.setTextMatrix(row, col, note.comment);
        grid.setTextMatrix(row, col + 1, note.sign01);
        grid.setTextMatrix(row, col + 2, note.sign02);
    }
}

void showCommentBoxSaved(QWidget* box, bool saved)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Text, vbColor(saved ? vbMenuText : unsavedColour));
    box->setPalette(p);
}

bool commentBoxSaved(const QWidget* box)
{
    return box->palette().color(QPalette::Text) != vbColor(unsavedColour);
}

DialogComment::DialogComment(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("dialogComment"));
    setWindowTitle(QStringLiteral("コメント"));
    setAttribute(Qt::WA_DeleteOnClose);
    lblUma = named(new QLabel(this), QStringLiteral("lblUma"));
    lblRace = named(new QLabel(this), QStringLiteral("lblRace"));
    lblMotoSheet = named(new QLabel(this), QStringLiteral("lblMotoSheet"));
    lblMotoSheet->hide();
    txtComment = named(new QPlainTextEdit(QStringLiteral("コメント入力してください"), this),
                       QStringLiteral("txtComment"));
    cmbSign01 = combo(QStringLiteral("cmbSign01"), this);
    cmbSign02 = combo(QStringLiteral("cmbSign02"), this);
    cmdEnd = button(QStringLiteral("cmdEnd"), QStringLiteral("更新"), this);
    cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("CANCEL"), this);
    connect(cmdEnd, &QPushButton::clicked, this, &DialogComment::cmdEnd_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &DialogComment::cmdCancel_Click);
    connect(&commentStore(), &CommentStore::saved, this, &DialogComment::noteSaved);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblUma, 0, 0);
    grid->addWidget(lblRace, 0, 1);
    grid->addWidget(txtComment, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("ﾏｰｸ1"), this), 2, 0);
    grid->addWidget(cmbSign01, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("ﾏｰｸ2"), this), 3, 0);
    grid->addWidget(cmbSign02, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdEnd);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);
    resize(twipsToPixels(6000), twipsToPixels(3600));
}

void DialogComment::load(CommentTarget target, const CommentNote& stored)
{
    target_ = std::move(target);
    lblUma->setText(target_.uName);
    lblRace->setText(target_.raceLabel);
    lblMotoSheet->setText(target_.motoSheet);
    showNote(stored);
}

CommentNote DialogComment::shownNote() const
{
    return {txtComment->toPlainText(), cmbSign01->currentText(), cmbSign02->currentText()};
}

void DialogComment::showNote(const CommentNote& note)
{
    loaded_ = note;
    txtComment->setPlainText(note.comment);
    cmbSign01->setEditText(note.sign01);
    cmbSign02->setEditText(note.sign02);
}

void DialogComment::noteSaved(const QString& rCode, const QString& uName, const CommentNote& note)
{
    if (rCode == target_.rCode && uName == target_.uName && shownNote() == loaded_)
        showNote(note);
}

// A failed save keeps the dialog open, so the typed note is not lost. The views that show the
// note refresh themselves from the store's announcement.
void DialogComment::cmdEnd_Click()
{
    if (vbTrap(QStringLiteral("Error-dialogComment01"), [&] { storeComment(target_.rCode, target_.uName, shownNote()); }))
        close();
}

void DialogComment::cmdCancel_Click()
{
    close();
}

DialogComment* showDialogComment(QWidget* owner, CommentTarget target)
{
    const CommentNote stored = storedComment(target.rCode, target.uName);
    static QPointer<DialogComment> dialog;
    // A closed dialog is already on its way to deletion: open a fresh one.
    if (!dialog || !dialog->isVisible())
        dialog = new DialogComment(owner);
    dialog->load(std::move(target), stored);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}
