#include "webimport/dialogWeb.h"

#include "core/publicDim.h"
#include "platform/application.h"
#include "platform/fonts.h"
#include "platform/webbrowser.h"
#include "platform/widgets.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {
// Guarded: the owner window deletes the window with itself.
QPointer<DialogWeb> loaded;
// The settings file may hold nonsense; a time-out of zero would time out every pass.
constexpr int defaultTimerInter = 5;
// The longest time-out whose milliseconds a timer can count.
constexpr int maxTimerInter = std::numeric_limits<int>::max() / 1000;
// Room in pixels for the icon and the buttons that share the title bar with the caption.
constexpr int titleBarControls = 160;
}

DialogWeb::DialogWeb()
    : Timer1(new QTimer(this))
    , lblTitle(new QLabel(QStringLiteral("Label1"), this))
    , Timer2(new QTimer(this))
    , WebBrowser1(new WebBrowser(this))
    , cmdCancel(new QPushButton(QStringLiteral("CANCEL"), this))
{
    setObjectName(QStringLiteral("dialogWeb"));
    setWindowTitle(QStringLiteral("Webよりデータ読込み中・・・"));
    setFont(vbFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    cmdCancel->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    // The title bar shows the whole caption beside the window's icon and buttons.
    const int captionWidth = std::max(fontMetrics().horizontalAdvance(windowTitle()),
                                      QFontMetrics(QApplication::font()).horizontalAdvance(windowTitle()));
    setMinimumWidth(captionWidth + titleBarControls);
    connect(Timer1, &QTimer::timeout, this, &DialogWeb::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &DialogWeb::Timer2_Timer);
    connect(cmdCancel, &QPushButton::clicked, this, &DialogWeb::cmdCancel_Click);
    formLoad();
}

void DialogWeb::formLoad()
{
    pd.webTimeOut = false;
    Timer1->start(webTimeOutSeconds() * 1000);
    Timer2->start(200);
}

void DialogWeb::reject()
{
    cmdCancel_Click();
}

void DialogWeb::Timer1_Timer()
{
    pd.webTimeOut = true;
}

void DialogWeb::Timer2_Timer()
{
    const QPointer<DialogWeb> self(this);
    doEvents();
    if (self)
        repaint();
}

void DialogWeb::cmdCancel_Click()
{
    pd.webCancel = true;
}

int webTimeOutSeconds()
{
    return pd.timerInter > 0 ? std::min(pd.timerInter, maxTimerInter) : defaultTimerInter;
}

void DialogWeb::showOnScreen()
{
    if (isVisible())
        return;
    keepOnScreen(this);
    show();
    paintNow(this);
}

void DialogWeb::showLoading(const QString& title)
{
    lblTitle->setText(title);
    // A longer title widens the window now, not after the page: the label is never cut.
    layout()->activate();
    showOnScreen();
    repaint();
}

DialogWeb& dialogWeb()
{
    if (!loaded)
        loaded = new DialogWeb;
    return *loaded;
}

bool isDialogWebLoaded()
{
    return loaded != nullptr;
}

void unloadDialogWeb()
{
    delete loaded.data();
}

void showDialogWebOver(QWidget* owner, const QString& title)
{
    DialogWeb& dialog = dialogWeb();
    if (owner && dialog.parentWidget() != owner)
        dialog.setParent(owner, dialog.windowFlags());
    dialog.showLoading(title);
}
