#include "sheets/sheetFrame.h"

#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/widgets.h"
#include "sheets/sheetGrid.h"
#include "sheets/sheetOpen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QTabBar>
#include <QToolBar>

namespace {
struct ToolButtonDef {
    const char* key;
    const char* caption;
    const char* picture;
};
const ToolButtonDef toolButtons[] = {
    {"Prev", "前の馬", "icoLeftArrow.ico"},
    {"Next", "次の馬", "icoRightArrow.ico"},
    {"Back", "戻る", "Back.gif"},
};
}  // namespace

QString sheetPicturePath(const QString& file)
{
    const QString path = appPath() + file;
    if (QFile::exists(path))
        return path;
    if (file == "Back.gif" && QFile::exists(appPath() + "List.gif"))
        return appPath() + "List.gif";
    return {};
}

QWidget* mainWindowWidget()
{
    return loadedForm(QStringLiteral("frmMain"));
}

void showMainWindowAgain(const QWidget* closing)
{
    QWidget* w = mainWindowWidget();
    if (isProgramEnding() || !w)
        return;
    w->show();
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != closing && qobject_cast<const SheetFrame*>(other) && other->isVisible())
            return;
    w->raise();
    w->activateWindow();
}

SheetFrame::SheetFrame(SheetKind kind, const QString& key, const SheetTags& tags)
    : QWidget(nullptr), kind_(kind), key_(key), tags_(tags)
{
    setObjectName(sheetFormName(kind));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(twipsToPixels(13500), twipsToPixels(8400));
    cbMain = named(new QWidget(this), "cbMain");
    tbMenuMove = named(new QToolBar(cbMain), "tbMenuMove");
    tbMenuMove->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tabMain = named(new QTabBar(this), "tabMain");
    tabMain->setExpanding(false);
    gridRireki = named(new FlexGrid(this), "gridRireki");
    connect(tabMain, &QTabBar::currentChanged, this, [this] { tabMain_Click(); });
    connect(gridRireki, &FlexGrid::click, this, [this] { gridRireki_Click(); });
}

void SheetFrame::buildFrame(const QString& caption, const QString& infoName, const QStringList& buttonKeys)
{
    setWindowTitle(caption);
    lblInfo = named(new QLabel(this), infoName);
    for (const ToolButtonDef& def : toolButtons) {
        if (!buttonKeys.contains(def.key))
            continue;
        QAction* action = tbMenuMove->addAction(QIcon(sheetPicturePath(def.picture)), def.caption);
        action->setObjectName(def.key);
        const QString key = def.key;
        connect(action, &QAction::triggered, this, [this, key] { vbTrap(tags_.toolbar, [&] { toolbarClicked(key); }); });
    }
    tbMenuMove->move(twipsToPixels(100), twipsToPixels(30));
    tbMenuMove->adjustSize();
}

void SheetFrame::addTab(const QString& caption, const QList<QWidget*>& controls)
{
    pages_.append({caption, controls});
    const QSignalBlocker block(tabMain);
    tabMain->addTab(caption);
    for (QWidget* w : controls)
        w->raise();
}

void SheetFrame::hideGrids()
{
    vbTrap(tags_.hide, [this] {
        for (const auto& page : pages_)
            for (QWidget* w : page.second)
                w->hide();
    });
}

void SheetFrame::tabMain_Click()
{
    hideGrids();
    vbTrap(tags_.tab, [this] {
        const QString caption = tabMain->tabText(tabMain->currentIndex());
        for (const auto& page : pages_)
            if (page.first == caption)
                for (QWidget* w : page.second)
                    w->show();
    });
}

void SheetFrame::toolbarClicked(const QString& key)
{
    if (key == "Back")
        close();
}

void SheetFrame::Form_Resize()
{
    vbTrap(tags_.resize, [this] {
        const int w = pixelsToTwips(width());
        const int h = pixelsToTwips(height());
        if (w < 2000)
            return;
        moveTwips(cbMain, 0, 0, w, 645);
        const int infoTop = 645 + 30;
        const int infoHeight = pixelsToTwips(lblInfo->sizeHint().height());
        moveTwips(lblInfo, 20, infoTop, w - 40, infoHeight);
        const int tabTop = infoTop + infoHeight + 60;
        const int tabWidth = w - 2 * 20;
        const int tabHeight = std::max(0, h - tabTop - 30);
        moveTwips(tabMain, 20, tabTop, tabWidth, tabHeight);
        moveTwips(gridRireki, 20 + 50, tabTop + 400, tabWidth - 2 * (20 + 50), gridRireki->heightTwips());
        fitToTab(*gridRireki);
        layoutPages(20, tabTop, tabWidth, tabHeight);
    });
}

void SheetFrame::fitToTab(FlexGrid& grid)
{
    const int gridTop = pixelsToTwips(grid.y());
    const int tabTop = pixelsToTwips(tabMain->y());
    grid.setHeightTwips(tabFitHeight(grid.rows(), grid.rowHeightMin(), gridTop, tabTop,
                                      pixelsToTwips(tabMain->height())));
}

void SheetFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void SheetFrame::closeEvent(QCloseEvent* event)
{
    if (tags_.unload.isEmpty())
        showMainWindowAgain(this);
    else
        vbTrap(tags_.unload, [this] { showMainWindowAgain(this); });
    event->accept();
}

void SheetFrame::gridRireki_Click()
{
    vbTrap(tags_.gridRireki, [this] {
        if (const auto target = sheetTargetOfCell(*gridRireki, gridRireki->row(), gridRireki->col()))
            openSheet(target->kind, target->key);
    });
}
