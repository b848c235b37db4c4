// Menus, the two toolbars and the one place that decides what can be used.
#include "mainwindow/frmMain.h"

#include "charts/frmHlpGraph.h"
#include "charts/graphDrawGraph.h"
#include "charts/graphDrawHikaku.h"
#include "core/dialogBabaFile.h"
#include "core/frmOption.h"
#include "core/mainBabaFile.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "mainwindow/mainCsv.h"
#include "mainwindow/mainPrint.h"
#include "platform/flexgrid.h"
#include "platform/htmlhelp.h"
#include "platform/msgbox.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"
#include "webimport/frmWebSeiseki.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

namespace {

struct ImageFile {
    const char* key;
    const char* file;
};
constexpr ImageFile imageFiles[] = {
    {"List", "List.gif"},   {"Prev", "icoLeftArrow.ico"}, {"Next", "icoRightArrow.ico"}, {"Graph", "Graph.gif"},
    {"Bacyu", "bacyu.gif"}, {"Hikaku", "hikaku.gif"},     {"DataLab", "DataLab.gif"},     {"Print", "Print.gif"},
    {"End", "End.gif"},     {"File", "File.gif"},         {"Taizyu", "taizyu.gif"},
};

QAction* namedAction(QObject* owner, const QString& name, const QString& caption)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    return action;
}

// A toolbar button: its key as the system names it, and its caption.
QAction* toolAction(QObject* owner, const QString& toolbar, const QString& key, const QString& caption)
{
    QAction* action = namedAction(owner, toolbar + '_' + key, caption);
    action->setData(key);
    return action;
}

// A toolbar is as wide as its buttons: the band lays them side by side.
QToolBar* bareToolbar(const QString& name)
{
    auto* bar = new QToolBar;
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(16, 16));
    bar->setStyleSheet("QToolBar { border: none; }");
    return bar;
}

}

void FrmMain::buildActions()
{
    tbReadWeb = toolAction(this, "tbMenuFile", "ReadWeb", "成績読込み");
    tbFile = toolAction(this, "tbMenuFile", "File", "馬場ﾌｧｲﾙ");
    tbPrint = toolAction(this, "tbMenuFile", "Print", "印刷");
    tbEnd = toolAction(this, "tbMenuFile", "End", "終了");
    for (QAction* a : {tbReadWeb, tbFile, tbPrint, tbEnd})
        connect(a, &QAction::triggered, this, [this, a] { tbMenuFile_ButtonClick(a->data().toString()); });
    tbPrev = toolAction(this, "tbMenuMove", "Prev", "前の馬");
    tbNext = toolAction(this, "tbMenuMove", "Next", "次の馬");
    tbGraph = toolAction(this, "tbMenuMove", "Graph", "グラフ");
    tbHikaku = toolAction(this, "tbMenuMove", "Hikaku", "比較ｸﾞﾗﾌ");
    for (QAction* a : {tbPrev, tbNext, tbGraph, tbHikaku})
        connect(a, &QAction::triggered, this, [this, a] { tbMenuMove_ButtonClick(a->data().toString()); });

    menuFilePrint = namedAction(this, "menuFilePrint", "印刷");
    connect(menuFilePrint, &QAction::triggered, this, [this] { vbTrap("Error-frmMain-25", [this] { showPrintChooser(*this); }); });
    menuCsv = namedAction(this, "menuCsv", "CSV出力");
    connect(menuCsv, &QAction::triggered, this, [this] { menuCsv_Click(this); });
    menuFileEnd = namedAction(this, "menuFileEnd", "終了");
    connect(menuFileEnd, &QAction::triggered, this, [this] { vbTrap("Error-frmMain-24", [this] { endProgramOnce(); }); });
    menuDbKakoRead = namedAction(this, "menuDbKakoRead", "過去出走ﾃﾞｰﾀ読込み");
    connect(menuDbKakoRead, &QAction::triggered, this, [] { vbTrap("Error-frmMain-23", [] { showFrmWebSeiseki(); }); });
    menuDbSaiteki = namedAction(this, "menuDbSaiteki", "ﾃﾞｰﾀﾍﾞｰｽの最適化");
    menuBabaFileNar = namedAction(this, "menuBabaFileNar", "地方馬場情報ﾌｧｲﾙ更新");
    connect(menuBabaFileNar, &QAction::triggered, this, [] { vbTrap("Error-frmMain-21", updateNarBabaFile); });
    menuBabaFileJra = namedAction(this, "menuBabaFileJra", "中央馬場情報ﾌｧｲﾙ更新");
    connect(menuBabaFileJra, &QAction::triggered, this, [] { vbTrap("Error-frmMain-20", updateJraBabaFile); });
    menuOption = namedAction(this, "menuOption", "ｵﾌﾟｼｮﾝ(&O)");
    connect(menuOption, &QAction::triggered, this, [] { vbTrap("Error-frmMain-28", showFrmOption); });
    menuHelpHtml = namedAction(this, "menuHelpHtml", "ﾍﾙﾌﾟ");
    connect(menuHelpHtml, &QAction::triggered, this, &FrmMain::menuHelpHtml_Click);
    menuHelpGraph = namedAction(this, "menuHelpGraph", "ｸﾞﾗﾌの見方");
    connect(menuHelpGraph, &QAction::triggered, this, [] { vbTrap("Error-frmMain-26", showFrmHlpGraph); });
}

void FrmMain::buildMenus()
{
    QMenu* file = menuBar()->addMenu("ﾌｧｲﾙ(&F)");
    file->setObjectName("menuFile");
    file->addActions({menuFilePrint, menuCsv, menuFileEnd});
    QMenu* db = menuBar()->addMenu("ﾃﾞｰﾀﾍﾞｰｽﾂｰﾙ(&D)");
    db->setObjectName("menuDb");
    db->addActions({menuDbKakoRead, menuDbSaiteki});
    QMenu* baba = menuBar()->addMenu("馬場情報ﾌｧｲﾙ更新(&S)");
    baba->setObjectName("menuBabaFile");
    baba->addActions({menuBabaFileNar, menuBabaFileJra});
    // The options title is an item of the menu bar itself: a click on it opens the dialog.
    menuBar()->addAction(menuOption);
    QMenu* help = menuBar()->addMenu("ﾍﾙﾌﾟ('&H)");
    help->setObjectName("menuHelp");
    help->addActions({menuHelpHtml, menuHelpGraph});
}

void FrmMain::buildToolbars()
{
    tbMenuFile = bareToolbar("tbMenuFile");
    tbMenuFile->addActions({tbReadWeb, tbFile, tbPrint, tbEnd});
    tbMenuMove = bareToolbar("tbMenuMove");
}

// A picture that is missing or unreadable leaves its buttons without one; the names of all
// such files are reported together.
void FrmMain::loadImageList()
{
    QStringList missing;
    for (const ImageFile& image : imageFiles) {
        const QString path = appPath() + image.file;
        const QIcon icon(path);
        if (!QFileInfo(path).isFile() || icon.availableSizes().isEmpty())
            missing << image.file;
        else
            ImageList1.insert(image.key, icon);
    }
    for (QAction* a : {tbReadWeb, tbFile, tbPrint, tbEnd, tbPrev, tbNext, tbGraph, tbHikaku})
        a->setIcon(ImageList1.value(a->data().toString() == "ReadWeb" ? "DataLab" : a->data().toString()));
    if (!missing.isEmpty())
        msgBox("画像ファイルが読めません：" + missing.join("、"));
}

void FrmMain::fillChartToolbar()
{
    tbMenuMove->clear();
    tbMenuMove->addActions({tbPrev, tbNext, tbGraph, tbHikaku});
}

// The only writer of enabled state: every flag follows from the tab shown, whether a race is
// shown, and whether a long operation (a race read, a fill-all, an import) runs.
void FrmMain::updateActions()
{
    const bool idle = !isBusy();
    for (QAction* title : menuBar()->actions())
        title->setEnabled(idle);
    for (QComboBox* c : cmbSelRace)
        c->setEnabled(idle);
    for (QWidget* w : std::initializer_list<QWidget*> {cmdRaceRead, cmbTarKikan, cmdTest, cmdKanri, cmdBabaFile,
                                                       cmdJraFile, cmdDbRead, cmdGraphShift, cmdGraphBack})
        w->setEnabled(idle);
    tabMain->setEnabled(raceShown_ && idle);
    tbMenuMove->setEnabled(chartToolbarOn_ && idle);
    tbPrint->setEnabled(printButtonOn_ && idle);
    menuFilePrint->setEnabled(printMenuOn_ && idle);
    for (QAction* a : {tbReadWeb, tbFile, tbEnd, tbPrev, tbNext, tbGraph, tbHikaku, menuCsv, menuFileEnd,
                       menuDbKakoRead, menuDbSaiteki, menuBabaFileNar, menuBabaFileJra, menuOption, menuHelpHtml,
                       menuHelpGraph})
        a->setEnabled(idle);
}

// The pages keep their look while busy (greying every grid would repaint them all at each
// read); their clicks and keys are held back instead.
FrmMain::BusyGuard::BusyGuard(FrmMain& form)
    : form_(form)
{
    if (form_.busy_++ == 0)
        qApp->installEventFilter(&form_);
    form_.updateActions();
}

FrmMain::BusyGuard::~BusyGuard()
{
    if (--form_.busy_ == 0)
        qApp->removeEventFilter(&form_);
    form_.updateActions();
}

bool FrmMain::isPageInput(QObject* watched, QEvent* event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        break;
    default:
        return false;
    }
    if (!watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    for (QWidget* page : std::initializer_list<QWidget*> {
             gridSyuxtusouHyou, gridSpSisuu, gridGraph, Picture1, Picture2, gridYosou, gridTekiseiSisuu,
             gridTekiseiRentai, gridMochiTime, gridTaisen, gridPrintBacyu, gridComment, txtRaceComment, fraConner,
             gridCorce})
        if (page == target || page->isAncestorOf(target))
            return true;
    return false;
}

void FrmMain::tbMenuFile_ButtonClick(const QString& key)
{
    vbTrap("Error-frmMain-31", [&] {
        if (key == "ReadWeb")
            showFrmWebSeiseki();
        else if (key == "File")
            showDialogBabaFile();
        else if (key == "Print")
            showPrintChooser(*this);
        else if (key == "End")
            endProgramOnce();
    });
}

void FrmMain::tbMenuMove_ButtonClick(const QString& key)
{
    vbTrap("Error-frmMain-32", [&] {
        if (key == "Prev") {
            stepHorse(-1);
        } else if (key == "Next") {
            stepHorse(1);
        } else if (key == "Graph") {
            pd.graphShiftDays = 0;
            drawGraph();
        } else if (key == "Hikaku") {
            drawHikaku();
        }
    });
}

void FrmMain::menuHelpHtml_Click()
{
    vbTrap("Error-frmMain-27", [] {
        if (!htmlHelp(appPath() + "Strevin.chm", "index.htm"))
            msgBox("ヘルプファイルが開けません：Strevin.chm");
    });
}
