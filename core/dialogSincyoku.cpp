#include "core/dialogSincyoku.h"

#include "platform/application.h"
#include "platform/vbformat.h"
#include "platform/widgets.h"

#include <QDateTime>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPointer<DialogSincyoku> instance;

int wholeSteps(float v)
{
    return CLng(std::clamp(double(v), 0.0, double(std::numeric_limits<int32_t>::max())));
}

}

DialogSincyoku::DialogSincyoku(QWidget* owner)
    : QDialog(owner)
{
    setObjectName("dialogSincyoku");
    setWindowTitle("データ処理中、しばらくお待ちください・・・");
    setAttribute(Qt::WA_DeleteOnClose);
    // No close button: only the caller that showed it unloads it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    prgSincyoku = new QProgressBar;
    prgSincyoku->setObjectName("prgSincyoku");
    prgSincyoku->setRange(0, 100);
    prgSincyoku->setValue(0);
    prgSincyoku->setMinimumWidth(360);
    cmdCancel = new QPushButton("キャンセル");
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->hide();
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prgSincyoku);
    layout->addWidget(cmdCancel, 0, Qt::AlignRight);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &DialogSincyoku::Timer1_Timer);
    Timer1->start();
}

float DialogSincyoku::max() const
{
    return float(prgSincyoku->maximum());
}

// QProgressBar empties itself (value -1) when its range shrinks below the value; a caller that
// reads Value and adds 1 would then count from -1, so the value is kept within the new range.
void DialogSincyoku::setMax(float max)
{
    const int steps = std::max(1, wholeSteps(max));
    const int value = std::min(prgSincyoku->value(), steps);
    prgSincyoku->setMaximum(steps);
    prgSincyoku->setValue(value);
}

float DialogSincyoku::value() const
{
    return float(prgSincyoku->value());
}

void DialogSincyoku::setValue(float value)
{
    prgSincyoku->setValue(std::min(wholeSteps(value), prgSincyoku->maximum()));
}

void DialogSincyoku::offerCancel()
{
    cmdCancel->show();
}

bool DialogSincyoku::pollCancel()
{
    constexpr qint64 kPollMs = 100;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastPoll_ >= kPollMs) {
        lastPoll_ = now;
        doEvents();
    }
    return cancelled_;
}

void DialogSincyoku::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    QDialog::closeEvent(event);
}

void DialogSincyoku::Timer1_Timer()
{
    repaint();
    doEvents();
}

DialogSincyoku& dialogSincyoku()
{
    if (!instance)
        instance = new DialogSincyoku;
    return *instance;
}

// The caller's work starts as soon as this returns and may not let the event loop run for a
// while: the dialog is on the screen and painted before that.
void showDialogSincyoku(QWidget* owner)
{
    if (!instance) {
        instance = new DialogSincyoku(owner);
        keepOnScreen(instance);
    } else if (instance->parentWidget() != owner) {
        instance->setParent(owner, instance->windowFlags());
        keepOnScreen(instance);
    }
    if (instance->isVisible())
        return;
    instance->show();
    paintNow(instance);
}

// Closing, not deleting at once: a caller may unload it from inside the timer's own event
// processing. It is forgotten at once, so the next use loads a new one.
void unloadDialogSincyoku()
{
    if (DialogSincyoku* old = instance.data()) {
        instance.clear();
        old->close();
    }
}

bool isDialogSincyokuLoaded()
{
    return !instance.isNull();
}
