#include "core/dialogBabaFile.h"

#include "core/mainBabaFile.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* addButton(QLayout* layout, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    layout->addWidget(button);
    return button;
}

}

DialogBabaFile::DialogBabaFile(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("dialogBabaFile");
    setWindowTitle("馬場情報ファイルの更新");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel("更新する馬場情報ファイルを選択してください");
    Label1->setObjectName("Label1");
    layout->addWidget(Label1);
    cmdJra = addButton(layout, "cmdJra", "中央馬場情報ファイルの更新");
    cmdNar = addButton(layout, "cmdNar", "地方馬場情報ファイルの更新");
    cmdCancel = addButton(layout, "cmdCancel", "キャンセル");
    connect(cmdJra, &QPushButton::clicked, this, &DialogBabaFile::cmdJra_Click);
    connect(cmdNar, &QPushButton::clicked, this, &DialogBabaFile::cmdNar_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::close);
}

void DialogBabaFile::cmdJra_Click()
{
    close();
    updateJraBabaFile();
}

void DialogBabaFile::cmdNar_Click()
{
    close();
    updateNarBabaFile();
}

void showDialogBabaFile()
{
    static QPointer<DialogBabaFile> dialog;
    if (!dialog) {
        dialog = new DialogBabaFile;
        keepOnScreen(dialog);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
