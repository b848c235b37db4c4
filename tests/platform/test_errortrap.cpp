#include "platform/application.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct DebugModeGuard {
    bool saved = debugMode;
    explicit DebugModeGuard(bool on) { debugMode = on; }
    ~DebugModeGuard() { debugMode = saved; }
};

TEST(MsgBoxRecorder, RecordsTextsAndAnswersInsteadOfShowing)
{
    MsgBoxRecorder rec(vbNo);
    EXPECT_EQ(msgBox("first", vbYesNo), vbNo);
    rec.setAnswerer([](const QString& text) { return text == "ok?" ? vbOK : vbCancel; });
    EXPECT_EQ(msgBox("ok?", vbOKCancel, "title"), vbOK);
    EXPECT_EQ(msgBox("other", vbOKCancel), vbCancel);
    EXPECT_EQ(rec.texts(), (QStringList {"first", "ok?", "other"}));
}

TEST(MsgBoxRecorder, InnerRecorderTakesOverUntilItEnds)
{
    MsgBoxRecorder outer(vbYes);
    {
        MsgBoxRecorder inner(vbNo);
        EXPECT_EQ(msgBox("inner", vbYesNo), vbNo);
        EXPECT_EQ(inner.texts(), QStringList {"inner"});
    }
    EXPECT_EQ(msgBox("outer", vbYesNo), vbYes);
    EXPECT_EQ(outer.texts(), QStringList {"outer"});
}

// Without a recorder a real modal box appears; the timer reads it and presses `press`.
struct ShownBox {
    QString text, title;
    QStringList buttons;
};

ShownBox showAndPress(int buttons, QMessageBox::StandardButton press, int* result, const QString& title = {})
{
    ShownBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->text(), box->windowTitle(), {}};
        for (QAbstractButton* b : box->buttons())
            seen.buttons << QString::number(box->standardButton(b), 16);
        box->button(press)->click();
    });
    *result = msgBox("question", buttons, title);
    return seen;
}

TEST(MsgBox, ShowsAModalBoxWithTheAskedButtons)
{
    int result = 0;
    ShownBox seen = showAndPress(vbYesNo, QMessageBox::No, &result);
    EXPECT_EQ(result, vbNo);
    EXPECT_EQ(seen.text, "question");
    EXPECT_EQ(seen.title, "");
    seen.buttons.sort();
    EXPECT_EQ(seen.buttons, (QStringList {QString::number(QMessageBox::No, 16), QString::number(QMessageBox::Yes, 16)}));

    seen = showAndPress(vbOKCancel, QMessageBox::Cancel, &result, "Brennock");
    EXPECT_EQ(result, vbCancel);
    EXPECT_EQ(seen.title, "Brennock");
    EXPECT_EQ(seen.buttons.size(), 2);

    seen = showAndPress(vbOKOnly, QMessageBox::Ok, &result);
    EXPECT_EQ(result, vbOK);
    EXPECT_EQ(seen.buttons, QStringList {QString::number(QMessageBox::Ok, 16)});
}

TEST(VbTrap, ShowsTheTagAndReturnsFalseWhenNotInDebugMode)
{
    DebugModeGuard guard(false);
    MsgBoxRecorder rec;
    bool ran = false;
    EXPECT_TRUE(vbTrap("Error-frmMain-22", [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(rec.texts().isEmpty());

    EXPECT_FALSE(vbTrap("Error-frmMain-22", [] { throw VbError(vbErrSubscript, "out of range"); }));
    EXPECT_FALSE(vbTrap(QString::fromUtf8("U_sisuu算出エラー(err-BA06)"), [] { throw std::runtime_error("x"); }));
    EXPECT_EQ(rec.texts(), (QStringList {"Error-frmMain-22", QString::fromUtf8("U_sisuu算出エラー(err-BA06)")}));
}

TEST(VbTrap, LetsErrorsThroughInDebugMode)
{
    DebugModeGuard guard(true);
    MsgBoxRecorder rec;
    EXPECT_THROW(vbTrap("tag", [] { throw VbError(vbErrTypeMismatch, "bad"); }), VbError);
    EXPECT_TRUE(rec.texts().isEmpty());
}

TEST(VbTrap, SilentTrapCatchesInBothModesAndShowsNothing)
{
    MsgBoxRecorder rec;
    for (bool mode : {false, true}) {
        DebugModeGuard guard(mode);
        EXPECT_FALSE(vbTrapSilent([] { throw VbError(vbErrDatabase, "locked"); }));
        EXPECT_TRUE(vbTrapSilent([] {}));
    }
    EXPECT_TRUE(rec.texts().isEmpty());
}

TEST(VbError, CarriesNumberAndDescription)
{
    const VbError e(vbErrFile, QString::fromUtf8("ファイルがありません"));
    EXPECT_EQ(e.number(), 53);
    EXPECT_EQ(e.description(), QString::fromUtf8("ファイルがありません"));
    EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QString::fromUtf8("ファイルがありません")));
}

class ThrowingHandler : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        if (++handled == 1)
            throw VbError(vbErrObjectMissing, "record set closed");
        return true;
    }
};

TEST(Application, TopLevelHandlerShowsWhatFailedWhereAndKeepsRunning)
{
    ASSERT_NE(dynamic_cast<Application*>(QCoreApplication::instance()), nullptr);
    MsgBoxRecorder rec;
    ThrowingHandler handler;
    handler.setObjectName("cmdRaceRead");

    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    doEvents();

    EXPECT_EQ(handler.handled, 2);
    ASSERT_EQ(rec.texts().size(), 1);
    const QString text = rec.texts().front();
    EXPECT_TRUE(text.contains("record set closed")) << text.toStdString();
    EXPECT_TRUE(text.contains("cmdRaceRead")) << text.toStdString();
    EXPECT_TRUE(text.contains("QObject")) << text.toStdString();
}

}
