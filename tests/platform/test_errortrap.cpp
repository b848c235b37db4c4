#include "platform/application.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

// A real modal box with the asked buttons and title; the pressed button's answer comes back.
TEST(MsgBox, ShowsAModalBoxWithTheAskedButtonsAndTitle)
{
    const struct { int buttons; QString title; QMessageBox::StandardButton press; int answer; QString seen; } cases[] = {
        {vbYesNo, "", QMessageBox::No, vbNo, "Brennock|question|" + QString::number(QMessageBox::Yes | QMessageBox::No, 16)},
        {vbOKCancel, "馬場情報", QMessageBox::Cancel, vbCancel, "馬場情報|question|" + QString::number(QMessageBox::Ok | QMessageBox::Cancel, 16)},
    };
    for (const auto& c : cases) {
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = box->windowTitle() + "|" + box->text() + "|" + QString::number(box->standardButtons(), 16);
            box->button(c.press)->click();
        });
        EXPECT_EQ(std::pair(msgBox("question", c.buttons, c.title), seen), std::pair(c.answer, c.seen));
    }
}

// Any exception is trapped and its tag shown; the silent trap never shows nor rethrows (debug mode: the callers' tests).
// Errors no procedure traps reach the application's handler: it says what failed where, and goes on.
TEST(VbTrap, TrapsShowTheirTagAndTheTopLevelHandlerWhatFailedWhere)
{
    MsgBoxRecorder rec;
    bool ran = false;
    EXPECT_TRUE(vbTrap("Error-frmMain-22", [&] { ran = true; }) && ran);
    EXPECT_FALSE(vbTrap("U_sisuu算出エラー(err-BA06)", [] { throw std::runtime_error("x"); }));
    debugMode = true;
    EXPECT_FALSE(vbTrapSilent([] { throw VbError(vbErrDatabase, "locked"); }));
    debugMode = false;
    QObject handler;
    handler.setObjectName("cmdRaceRead");
    int handled = 0;
    const auto work = [&] { if (++handled == 1) throw VbError(vbErrObjectMissing, "record set closed"); };
    QMetaObject::invokeMethod(&handler, work, Qt::QueuedConnection);
    QMetaObject::invokeMethod(&handler, work, Qt::QueuedConnection);
    doEvents();
    ASSERT_EQ(std::pair(handled, rec.texts().size()), std::pair(2, qsizetype(2)));
    const QString& said = rec.texts()[1];
    EXPECT_EQ(rec.texts()[0], "U_sisuu算出エラー(err-BA06)");
    EXPECT_TRUE(said.contains("record set closed") && said.contains("cmdRaceRead") && said.contains("QObject")) << said.toStdString();
}
