#include "platform/application.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"

#include <gtest/gtest.h>

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
