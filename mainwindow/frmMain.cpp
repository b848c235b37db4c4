#include "mainwindow/frmMain.h"

#include "core/frmOption.h"
#include "core/mainBabaFile.h"
#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/vberror.h"
#include "platform/widgets.h"
#include "webimport/frmWebSeiseki.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

FrmMain::FrmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName("frmMain");
    setCentralWidget(new QWidget);
    resize(twipsToPixels(12300), twipsToPixels(9000));
    buildMenus();
    buildFrameStart();
    Form_Load();
}

void FrmMain::buildMenus()
{
    QMenu* menuDb = menuBar()->addMenu("ﾃﾞｰﾀﾍﾞｰｽﾂｰﾙ(&D)");
    menuDb->setObjectName("menuDb");
    QAction* kakoRead = menuDb->addAction("過去出走ﾃﾞｰﾀ読込み");
    kakoRead->setObjectName("menuDbKakoRead");
    connect(kakoRead, &QAction::triggered, this, [] { vbTrap("Error-frmMain-23", [] { showFrmWebSeiseki(); }); });
    QMenu* menuBabaFile = menuBar()->addMenu("馬場情報ﾌｧｲﾙ更新(&S)");
    menuBabaFile->setObjectName("menuBabaFile");
    QAction* nar = menuBabaFile->addAction("地方馬場情報ﾌｧｲﾙ更新");
    nar->setObjectName("menuBabaFileNar");
    connect(nar, &QAction::triggered, this, [] { vbTrap("Error-frmMain-21", updateNarBabaFile); });
    QAction* jra = menuBabaFile->addAction("中央馬場情報ﾌｧｲﾙ更新");
    jra->setObjectName("menuBabaFileJra");
    connect(jra, &QAction::triggered, this, [] { vbTrap("Error-frmMain-20", updateJraBabaFile); });
    QAction* menuOption = menuBar()->addAction("ｵﾌﾟｼｮﾝ(&O)");
    menuOption->setObjectName("menuOption");
    connect(menuOption, &QAction::triggered, this, [] { vbTrap("Error-frmMain-28", showFrmOption); });
}

void FrmMain::buildFrameStart()
{
    frameStart = placed(new QGroupBox(centralWidget()), "frameStart", 120, 1300, 11800, 6400);
    auto label = [this](const char* name, int left, int top, int width, int height) {
        return placed(new QLabel(frameStart), name, left, top, width, height);
    };
    auto button = [this](const char* name, const QString& caption, int top) {
        return placed(new QPushButton(caption, frameStart), name, 200, top, 2600, 700);
    };
    Label1 = label("Label1", 200, 300, 11400, 300);
    Label1->setText("　上の青枠緑ＢＯＸの開催日・場・レースを指定して、「出走表の読込み」ボタンを押してください　");
    cmdBabaFile = button("cmdBabaFile", "地方馬場情報ﾌｧｲﾙ更新", 900);
    lblBabaFileRecnt = label("lblBabaFileRecnt", 3000, 900, 5400, 300);
    lblBabaNotice = label("lblBabaNotice", 3000, 1250, 8600, 1000);
    cmdJraFile = button("cmdJraFile", "中央馬場情報ﾌｧｲﾙ更新", 2300);
    lblJraFileRecnt = label("lblJraFileRecnt", 3000, 2300, 5400, 300);
    lblJraNotice = label("lblJraNotice", 3000, 2650, 8600, 1000);
    cmdDbRead = button("cmdDbRead", "過去出走ﾃﾞｰﾀ読込み", 3700);
    lblDbKikan = label("lblDbKikan", 3000, 3700, 5400, 300);
    lblDbNotice = label("lblDbNotice", 3000, 4050, 8600, 1000);
    Picture3 = label("Picture3", 200, 5100, 2600, 1100);
    lblVersion = label("lblVersion", 10200, 5900, 1400, 300);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* notice : {lblBabaNotice, lblJraNotice, lblDbNotice})
        notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(cmdBabaFile, &QPushButton::clicked, this, &FrmMain::cmdBabaFile_Click);
    connect(cmdJraFile, &QPushButton::clicked, this, &FrmMain::cmdJraFile_Click);
    connect(cmdDbRead, &QPushButton::clicked, this, &FrmMain::cmdDbRead_Click);
    setStartNoticeLabels({lblBabaFileRecnt, lblBabaNotice, lblDbKikan, lblDbNotice, lblJraFileRecnt,
                          lblJraNotice, lblVersion});
}

void FrmMain::Form_Load()
{
    vbTrap("Error-frmMain-8", [this] {
        redimUma(18, 100);
        setWindowTitle("Brennock");
        dispDataFileInfo();
        frameStart->show();
    });
}

void FrmMain::cmdBabaFile_Click()
{
    vbTrap("Error-frmMain-2", updateNarBabaFile);
}

void FrmMain::cmdJraFile_Click()
{
    vbTrap("Error-frmMain-4", updateJraBabaFile);
}

void FrmMain::cmdDbRead_Click()
{
    vbTrap("Error-frmMain-3", [] { showFrmWebSeiseki(); });
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    vbTrap("Error-frmMain-10", endProgram);
    event->accept();
}
