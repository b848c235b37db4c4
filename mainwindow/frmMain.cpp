#include "mainwindow/frmMain.h"

#include "charts/graphDrawGraph.h"
#include "core/dataFiles.h"
#include "core/mainBabaFile.h"
#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "mainwindow/mainComment.h"
#include "mainwindow/mainGridClick.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/fonts.h"
#include "platform/msgbox.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "platform/widgets.h"
#include "webimport/frmWebSeiseki.h"
#include "webimport/importGuard.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>

namespace {

QPointer<FrmMain> theMainForm;

QStringList numberTexts(int first, int last, const char* pattern)
{
    QStringList texts;
    for (int i = first; i <= last; ++i)
        texts << Format(double(i), pattern);
    return texts;
}

FlexGrid* pageGrid(QWidget* parent, const QString& name)
{
    auto* grid = named(new FlexGrid(parent), name);
    grid->setGridFont(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    grid->resize(twipsToPixels(6000), twipsToPixels(3000));
    return grid;
}

QString currentZyo()
{
    return theMainForm ? theMainForm->cmbSelRace[3]->currentText() : QString();
}

}

FrmMain* frmMain()
{
    return theMainForm;
}

FrmMain::FrmMain(QWidget* parent)
    : QMainWindow(parent)
    , stopTimer_(new QTimer(this))
{
    theMainForm = this;
    setObjectName("frmMain");
    setCentralWidget(new QWidget);
    centralWidget()->installEventFilter(this);
    resize(twipsToPixels(17400), twipsToPixels(11400));
    buildActions();
    buildMenus();
    buildTopBand();
    buildSelectors();
    buildPages();
    connectGridClicks();
    buildFrameStart();
    setTrackSelectorHook(currentZyo);
    setImportChangeHook([this] { updateActions(); });
    connect(stopTimer_, &QTimer::timeout, this, &FrmMain::stopTimer_Timer);
    Form_Load();
}

FrmMain::~FrmMain()
{
    setImportChangeHook(nullptr);
    setTrackSelectorHook(nullptr);
}

bool FrmMain::isBusy() const
{
    return busy_ > 0 || ImportGuard::busy();
}

// The race cards open sheets, the analysis grids sort; like every action, not while busy.
void FrmMain::connectGridClicks()
{
    const auto onClick = [this](FlexGrid* grid, const char* tag, void (*handler)(FlexGrid&)) {
        connect(grid, &FlexGrid::click, this, [this, grid, tag, handler] {
            if (!isBusy())
                vbTrap(tag, [&] { handler(*grid); });
        });
    };
    onClick(gridSyuxtusouHyou, "Error-frmMain-15", [](FlexGrid& g) { raceCardClick(g, RaceCard::ByFinish); });
    onClick(gridSpSisuu, "Error-frmMain-14", [](FlexGrid& g) { raceCardClick(g, RaceCard::BySisuu); });
    onClick(gridYosou, "Error-frmMain-19", sortRunnersClick);
    onClick(gridTekiseiSisuu, "Error-frmMain-18", sortRunnersClick);
    onClick(gridTekiseiRentai, "Error-frmMain-17", sortRunnersClick);
    onClick(gridTaisen, "Error-frmMain-16", sortRunnersClick);
    onClick(gridMochiTime, "Error-frmMain-13", mochiTimeClick);
    onClick(gridGraph, "Error-frmMain-12", [](FlexGrid& g) { runnerListClick(g, drawGraph); });
}

void FrmMain::buildTopBand()
{
    cbMain = named(new QWidget(centralWidget()), "cbMain");
    auto* band = new QHBoxLayout(cbMain);
    band->setContentsMargins(twipsToPixels(100), twipsToPixels(30), 0, 0);
    band->setSpacing(0);
    buildToolbars();
    band->addWidget(tbMenuFile);
    band->addWidget(tbMenuMove);
    band->addStretch();
    shpSelRace = named(new QFrame(centralWidget()), "shpSelRace");
    shpSelRace->setFrameShape(QFrame::Box);
    shpSelRace->setStyleSheet("QFrame#shpSelRace { border: 2px solid #0000ff; background: #c0ffc0; }");
}

void FrmMain::buildSelectors()
{
    const int widths[] = {1000, 700, 700, 1100, 700};
    const char* units[] = {"年", "月", "日", "R", "R"};
    for (int i = 0; i < 5; ++i) {
        cmbSelRace[size_t(i)] = combo(QStringLiteral("cmbSelRace_%1").arg(i), centralWidget());
        cmbSelRace[size_t(i)]->resize(twipsToPixels(widths[i]), twipsToPixels(300));
        lblSelRace[size_t(i)] = named(new QLabel(units[i], centralWidget()), QStringLiteral("lblSelRace_%1").arg(i));
        lblSelRace[size_t(i)]->resize(twipsToPixels(250), twipsToPixels(250));
    }
    cmdRaceRead = button("cmdRaceRead", "出馬表の読込み", centralWidget());
    cmdRaceRead->resize(twipsToPixels(2000), twipsToPixels(330));
    connect(cmdRaceRead, &QPushButton::clicked, this, &FrmMain::cmdRaceRead_Click);
    lblRaceInfo = named(new QLabel(centralWidget()), "lblRaceInfo");
    lblRaceInfo->resize(twipsToPixels(11800), twipsToPixels(500));
    lblRaceInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void FrmMain::buildPages()
{
    QWidget* c = centralWidget();
    tabMain = named(new QTabBar(c), "tabMain");
    tabMain->setExpanding(false);
    tabMain->setUsesScrollButtons(true);
    tabMain->setElideMode(Qt::ElideNone);
    tabMain->setStyleSheet("QTabBar::tab { padding: 3px 6px; border: 1px solid #909090; border-bottom: none;"
                          " background: #e4e4e4; margin-right: 1px; }"
                          "QTabBar::tab:selected { background: #ffffff; }");
    connect(tabMain, &QTabBar::tabBarClicked, this, qOverload<int>(&FrmMain::tabMain_Click));
    cmbTarKikan = combo("cmbTarKikan", c);
    cmbTarKikan->resize(twipsToPixels(2000), twipsToPixels(300));
    cmbTarKikan->setInsertPolicy(QComboBox::NoInsert);
    cmbTarKikan->setCompleter(nullptr);
    connect(cmbTarKikan, &QComboBox::activated, this, &FrmMain::cmbTarKikan_Activated);

    gridSyuxtusouHyou = pageGrid(c, "gridSyuxtusouHyou");
    gridSpSisuu = pageGrid(c, "gridSpSisuu");
    gridGraph = pageGrid(c, "gridGraph");
    Picture1 = named(new PictureBox(c), "Picture1");
    connect(Picture1, &PictureBox::click, this, &FrmMain::Picture1_Click);
    Picture2 = named(new PictureBox(c), "Picture2");
    cmdGraphShift = button("cmdGraphShift", "←1年移動", c);
    cmdGraphBack = button("cmdGraphBack", "戻る→", c);
    for (QPushButton* b : {cmdGraphShift, cmdGraphBack})
        b->resize(twipsToPixels(1300), twipsToPixels(360));
    connect(cmdGraphShift, &QPushButton::clicked, this, &FrmMain::cmdGraphShift_Click);
    connect(cmdGraphBack, &QPushButton::clicked, this, &FrmMain::cmdGraphBack_Click);
    gridYosou = pageGrid(c, "gridYosou");
    gridTekiseiSisuu = pageGrid(c, "gridTekiseiSisuu");
    gridTekiseiRentai = pageGrid(c, "gridTekiseiRentai");
    gridMochiTime = pageGrid(c, "gridMochiTime");
    gridTaisen = pageGrid(c, "gridTaisen");
    gridPrintBacyu = pageGrid(c, "gridPrintBacyu");
    picBacyuPrint = named(new PictureBox(c), "picBacyuPrint");
    gridComment = pageGrid(c, "gridComment");
    lblRaceComment = named(new QLabel("ﾚｰｽｺﾒﾝﾄ", c), "lblRaceComment");
    lblRaceComment->resize(twipsToPixels(1000), twipsToPixels(300));
    txtRaceComment = named(new QLineEdit("レースコメントを入力してください", c), "txtRaceComment");
    txtRaceComment->setToolTip("Enterキーを押して確定させてください");
    txtRaceComment->resize(twipsToPixels(6000), twipsToPixels(300));
    connectCommentPage(*gridComment, *txtRaceComment, this);
    fraConner = named(new QGroupBox(c), "fraConner");
    fraConner->resize(twipsToPixels(9600), twipsToPixels(6600));
    picCornner = named(new PictureBox(fraConner), "picCornner");
    picCornner->moveTwips(120, 500, 9300, 5900);
    Label2 = placed(new QLabel("↑進行方向", fraConner), "Label2", 120, 200, 1500, 280);
    Label3 = placed(new QLabel("内ラチ", fraConner), "Label3", 8000, 200, 1400, 280);
    gridCorce = pageGrid(c, "gridCorce");
    bindGraphSurfaces({Picture1, Picture2, gridGraph, cmdGraphShift, cmdGraphBack});
}

void FrmMain::buildFrameStart()
{
    frameStart = placed(new QGroupBox(centralWidget()), "frameStart", 120, 2150, 11800, 6400);
    auto label = [this](const char* name, int left, int top, int width, int height) {
        return placed(new QLabel(frameStart), name, left, top, width, height);
    };
    auto frameButton = [this](const char* name, const QString& caption, int top) {
        return placed(new QPushButton(caption, frameStart), name, 200, top, 2600, 700);
    };
    Label1 = label("Label1", 200, 300, 11400, 300);
    Label1->setText("　上の青枠緑ＢＯＸの開催日・場・レースを指定して、「出走表の読込み」ボタンを押してください　");
    cmdBabaFile = frameButton("cmdBabaFile", "地方馬場情報ﾌｧｲﾙ更新", 900);
    lblBabaFileRecnt = label("lblBabaFileRecnt", 3000, 900, 5400, 300);
    lblBabaNotice = label("lblBabaNotice", 3000, 1250, 8600, 1000);
    cmdJraFile = frameButton("cmdJraFile", "中央馬場情報ﾌｧｲﾙ更新", 2300);
    lblJraFileRecnt = label("lblJraFileRecnt", 3000, 2300, 5400, 300);
    lblJraNotice = label("lblJraNotice", 3000, 2650, 8600, 1000);
    cmdDbRead = frameButton("cmdDbRead", "過去出走ﾃﾞｰﾀ読込み", 3700);
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
    cmdKanri = placed(new QPushButton("管理用", centralWidget()), "cmdKanri", 13000, 800, 1000, 360);
    connect(cmdKanri, &QPushButton::clicked, this, &FrmMain::cmdKanri_Click);
    cmdTest = placed(new QPushButton("test", centralWidget()), "cmdTest", 14100, 800, 800, 360);
    connect(cmdTest, &QPushButton::clicked, this, &FrmMain::cmdTest_Click);
}

// Whatever fails on the way is reported and the window is built all the same: a button without
// its picture or a short track list still leaves a usable window.
void FrmMain::Form_Load()
{
    vbTrap("Error-frmMain-8", [this] {
        redimUma(18, 100);
        setWindowTitle("Brennock");
        cmdKanri->setVisible(debugMode);
        cmdTest->setVisible(debugMode);
        loadImageList();
        Form_Resize();
        const int year = vbToday().year();
        cmbSelRace[0]->addItems(numberTexts(year - 3, year + 1, "0"));
        setComboText(cmbSelRace[0], Format(vbToday(), "yyyy"));
        cmbSelRace[1]->addItems(numberTexts(1, 12, "00"));
        setComboText(cmbSelRace[1], Format(vbToday(), "mm"));
        cmbSelRace[2]->addItems(numberTexts(1, 31, "00"));
        setComboText(cmbSelRace[2], Format(vbToday(), "dd"));
        QStringList fileProblems = loadTrackList();
        cmbSelRace[4]->addItems(numberTexts(1, 12, "00"));
        setComboText(cmbSelRace[4], "11");
        addPageTabs();
        cmbTarKikan->addItems(kikanEntries());
        setComboText(cmbTarKikan, "1年以内対象");
        hideTabPages();
        reportDataFileProblems(fileProblems + showDataFileInfo());
        frameStart->show();
        lblRaceInfo->setText("出馬表を読込んでください");
        updateActions();
    });
}

// Position zyoNo of each MasterZyo row names an item; positions no row names stay empty items.
// A row whose zyoNo lies outside the list is reported and left out. A track file that cannot
// serve the list, or holds no track, is returned as a problem line for the start's one report
// of the data files.
QStringList FrmMain::loadTrackList()
{
    QStringList names;
    QStringList outside;
    QStringList problems;
    try {
        DbSlotCloser closer(slotMain);
        openDataFile(slotMain, DataFileKind::StrevinData, {"MasterZyo"});
        QList<std::pair<int, QString>> rows;
        for (RecordSet rs(slotMain, "SELECT * FROM MasterZyo ORDER BY zyoNo"); !rs.eof(); rs.moveNext())
            rows.append({rs.field("zyoNo").toInt(), rs.field("zyoName").toString()});
        if (rows.isEmpty())
            problems << QStringLiteral("Strevin_data.dat：場の一覧（MasterZyo）に場がありません");
        names = QStringList(rows.size() + 1);
        for (const auto& [no, name] : rows) {
            if (no >= 0 && no < names.size())
                names[no] = name;
            else
                outside << QString::number(no) + ' ' + name;
        }
    } catch (const std::exception& e) {
        if (debugMode)
            throw;
        const QString cause = japaneseCause(e);
        problems << (cause.isEmpty() ? QStringLiteral("Strevin_data.dat：場の一覧（MasterZyo）を読めません") : cause);
    }
    cmbSelRace[3]->addItems(names);
    setComboText(cmbSelRace[3], iniRead("System", "Zyo", "大井"));
    if (!outside.isEmpty())
        msgBox("場の一覧に入らない番号があります（MasterZyo）：" + outside.join("、"));
    return problems;
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    if (isBusy()) {
        event->ignore();
        askToStopAndQuit();
        return;
    }
    vbTrap("Error-frmMain-10", [this] { endProgramOnce(); });
    event->accept();
}

// The work cannot be left in the middle (its handler is still running under this window), so a
// Yes stops it as its Cancel would and ends the program once it has unwound.
void FrmMain::askToStopAndQuit()
{
    if (quitAfterWork_)
        return;
    if (msgBox("読込みまたは処理を実行中です。\n中止して終了しますか？", vbYesNo) != vbYes) {
        raiseWorkWindows();
        return;
    }
    quitAfterWork_ = true;
    stopTimer_Timer();
    stopTimer_->start(50);
}

// A click on this window's close box raised it over the windows of the work that goes on (a
// window manager does so): they come back on top, the loading and progress windows uppermost.
void FrmMain::raiseWorkWindows()
{
    for (const char* name : {"frmKanri", "frmWebSeiseki", "dialogSincyoku", "dialogWeb"})
        if (QWidget* w = loadedForm(QString::fromLatin1(name)); w && w->isVisible())
            w->raise();
}

// The page loaders look at the Cancel flag while they wait; an import that starts its next page
// clears it, so it is set again until the work is over.
void FrmMain::stopTimer_Timer()
{
    if (isBusy()) {
        pd.webCancel = true;
        return;
    }
    stopTimer_->stop();
    vbTrap("Error-frmMain-10", [this] { endProgramOnce(); });
}

// endProgram closes every window, this one included; its close must not run it again.
void FrmMain::endProgramOnce()
{
    if (closing_)
        return;
    closing_ = true;
    endProgram();
    QCoreApplication::quit();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (isBusy() && isPageInput(watched, event))
        return true;
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
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
