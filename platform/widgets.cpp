#include "platform/widgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
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

// move() of a window not yet shown takes the corner of its frame only while it has no native
// window; one that has (a dialog it owns made one) is given the place of its inside, or its inside
// would stand at the corner and its frame a title bar higher.
void moveFrameTo(QWidget* window, QPoint corner, const QMargins& frame)
{
    if (window->testAttribute(Qt::WA_WState_Created) && !window->isVisible())
        window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
    else
        window->move(corner);
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
    moveFrameTo(window, {clampedStart(outer.left(), outer.width(), area.left(), area.width()),
                         clampedStart(outer.top(), outer.height(), area.top(), area.height())}, frame);
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

namespace {

bool isWholeNumber(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The item that what was typed names exactly: the same text, else the same whole number.
int typedItem(const QComboBox* box, const QString& typed)
{
    if (const int same = box->findText(typed, Qt::MatchExactly | Qt::MatchCaseSensitive); same >= 0)
        return same;
    if (!isWholeNumber(typed))
        return -1;
    for (int i = 0; i < box->count(); ++i)
        if (isWholeNumber(box->itemText(i)) && box->itemText(i).toULongLong() == typed.toULongLong())
            return i;
    return -1;
}

// Watches a combo box's typing: what the user typed last, and whether the text is still that, or
// that with the completion's offer selected behind it.
class TypedItemPreference : public QObject {
public:
    explicit TypedItemPreference(QComboBox* box) : QObject(box), box_(box) { box->installEventFilter(this); }

protected:
    // The box goes before its filter: ~QWidget, which runs after ~QComboBox, still sends it the
    // focus-out of a focused box, and then it is no combo box any more.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!qobject_cast<QComboBox*>(watched))
            return false;
        watchTyping();
        if (event->type() == QEvent::FocusOut || (event->type() == QEvent::KeyPress && endsTyping(*static_cast<QKeyEvent*>(event))))
            preferTypedItem();
        return false;
    }

private:
    static bool endsTyping(const QKeyEvent& key)
    {
        return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
    }

    // The line edit goes and comes with the box's editable state.
    void watchTyping()
    {
        QLineEdit* edit = box_->lineEdit();
        if (edit == watched_)
            return;
        watched_ = edit;
        typed_.clear();
        if (edit)
            connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { typed_ = text; });
    }

    void preferTypedItem()
    {
        QLineEdit* edit = box_->lineEdit();
        if (!edit || typed_.isEmpty())
            return;
        const QString text = edit->text();
        const bool completionPending = text.startsWith(typed_) && edit->selectionStart() == typed_.size()
            && edit->selectedText().size() == text.size() - typed_.size();
        const int item = text == typed_ || completionPending ? typedItem(box_, typed_) : -1;
        typed_.clear();
        if (item >= 0)
            edit->setText(box_->itemText(item));
    }

    QComboBox* box_;
    QPointer<QLineEdit> watched_;
    QString typed_;
};

}  // namespace

void makeEditable(QComboBox* box)
{
    box->setEditable(true);
    new TypedItemPreference(box);
}
