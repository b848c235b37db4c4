#include "core/dialogComment.h"

#include "platform/database.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>

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

void DialogComment::load(CommentTarget target)
{
    target_ = std::move(target);
    lblUma->setText(target_.uName);
    lblRace->setText(target_.raceLabel);
    lblMotoSheet->setText(target_.motoSheet);
    txtComment->setPlainText(target_.note.comment);
    cmbSign01->setEditText(target_.note.sign01);
    cmbSign02->setEditText(target_.note.sign02);
}

// A failed save keeps the dialog open, so the typed note is not lost.
void DialogComment::cmdEnd_Click()
{
    const bool saved = vbTrap(QStringLiteral("Error-dialogComment01"), [&] {
        openCommentDb();
        DbSlotCloser closer(commentSlot);
        saveComment(target_.rCode, target_.uName,
                    {txtComment->toPlainText(), cmbSign01->currentText(), cmbSign02->currentText()});
    });
    if (!saved)
        return;
    if (target_.refresh)
        target_.refresh();
    close();
}

void DialogComment::cmdCancel_Click()
{
    close();
}

DialogComment* showDialogComment(QWidget* owner, CommentTarget target)
{
    static QPointer<DialogComment> dialog;
    // A closed dialog is already on its way to deletion: open a fresh one.
    if (!dialog || !dialog->isVisible())
        dialog = new DialogComment(owner);
    dialog->load(std::move(target));
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}
