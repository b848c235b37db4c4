#include "platform/msgbox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {
// The innermost live recorder; recorders nest as a stack through previous_.
MsgBoxRecorder* activeRecorder = nullptr;

QMessageBox::StandardButtons standardButtons(int buttons)
{
    switch (buttons) {
    case vbOKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case vbYesNo: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

// A short message would give a box too narrow for its title, which the window frame then cuts:
// the box is kept as wide as the title with the frame's icon and buttons beside it.
void makeRoomForTitle(QMessageBox& box)
{
    constexpr int frameButtons = 160;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + frameButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

int resultOf(int pressed)
{
    switch (pressed) {
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return vbOK;
    }
}
}

MsgBoxRecorder::MsgBoxRecorder(int answer)
    : answer_(answer)
    , previous_(activeRecorder)
{
    activeRecorder = this;
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    activeRecorder = previous_;
}

int msgBox(const QString& text, int buttons, const QString& title)
{
    if (MsgBoxRecorder* r = activeRecorder) {
        r->texts_.append(text);
        return r->answerer_ ? r->answerer_(text) : r->answer_;
    }
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationName() : title, text, standardButtons(buttons), QApplication::activeWindow());
    if (buttons == vbOKCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    makeRoomForTitle(box);
    return resultOf(box.exec());
}

QStringList MsgBoxRecorder::firstLines() const
{
    QStringList lines;
    for (const QString& text : texts_)
        lines << text.section(QLatin1Char('\n'), 0, 0);
    return lines;
}
