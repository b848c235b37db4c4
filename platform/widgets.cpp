#include "platform/widgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QWindow>

namespace {

QMargins frameOf(const QWidget* window)
{
    const QRect frame = window->frameGeometry(), inside = window->geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
            frame.bottom() - inside.bottom()};
}

int clampedStart(int start, int length, int areaStart, int areaLength)
{
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

}

// A window not yet shown has no frame yet; the frames of the windows already open tell how large
// its title bar and borders will be.
QMargins windowFrame(const QWidget* window)
{
    if (window->isVisible())
        return frameOf(window);
    for (const QWidget* open : QApplication::topLevelWidgets())
        if (open->isVisible() && !frameOf(open).isNull())
            return frameOf(open);
    return {};
}

namespace {

// Before the first window with a frame is shown, the style's own tells how large it will be.
QMargins expectedFrame(const QWidget* window)
{
    if (const QMargins frame = windowFrame(window); window->isVisible() || !frame.isNull())
        return frame;
    const QStyle* style = window->style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {border, title + border, border, border};
}

}

void keepOnScreen(QWidget* window)
{
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QScreen* screen = owner ? owner->screen() : window->screen();
    if (!screen)
        return;
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QRect area = screen->availableGeometry();
    const QMargins frame = expectedFrame(window);
    window->resize(window->size().boundedTo(area.size().shrunkBy(frame)));
    QRect outer(QPoint(), window->size().grownBy(frame));
    outer.moveCenter(owner ? owner->frameGeometry().center() : area.center());
    window->move(clampedStart(outer.left(), outer.width(), area.left(), area.width()),
                 clampedStart(outer.top(), outer.height(), area.top(), area.height()));
}

void paintNow(QWidget* window)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const QWindow* shown = window->windowHandle();
        if ((shown && shown->isExposed()) || waited.elapsed() >= 500)
            break;
        QThread::msleep(5);
    }
    window->repaint();
}
