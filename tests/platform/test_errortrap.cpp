#include "platform/application.h"
#include "platform/msgbox.h"
#include "platform/traplog.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
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

// Any exception is trapped and its tag shown; the trap that always goes to the log only never shows nor rethrows.
// Errors no procedure traps reach the application's handler: it says what failed where, and goes on.
TEST(VbTrap, TrapsShowTheirTagAndTheTopLevelHandlerWhatFailedWhere)
{
    MsgBoxRecorder rec;
    bool ran = false;
    EXPECT_TRUE(vbTrap("Error-frmMain-22", [&] { ran = true; }) && ran);
    EXPECT_FALSE(vbTrap("U_sisuu算出エラー(err-BA06)", [] { throw std::runtime_error("x"); }));
    debugMode = true;
    EXPECT_FALSE(vbTrapAlwaysToLog("DbTransaction-rollback", [] { throw VbError(vbErrDatabase, "locked"); }));
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

// The tag stays the first line; a failure with a cause tells it in Japanese on the next, one without (a library's
// English, a program's slip) shows the tag alone. The file system tells why a write failed, as the user nobody sees it.
TEST(VbTrap, TheCauseFollowsTheTagInJapanese)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Comment.dat");
    QFile(file).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.dat"));
    using P = QFileDevice;
    const P::Permissions readable = P::ReadOwner | P::ReadGroup | P::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readable | P::WriteOwner | P::ExeOwner | P::ExeGroup | P::ExeOther)
                && QFile::setPermissions(file, readable));
    std::vector<VbCause> causes;
    asNobody([&] {
        causes = {fileWriteCause(file), fileWriteCause(dir.filePath("new.dat")), fileWriteCause(dir.filePath("none/new.dat")),
                  fileWriteCause(dir.filePath("taken.dat"))};
    });
    EXPECT_EQ(fileWriteCause(file), VbCause::none) << "root writes anything";
    MsgBoxRecorder rec;
    for (const VbCause cause : causes)
        EXPECT_FALSE(vbTrap("Error-mainComment", [&] { throw VbError(vbErrFile, "Permission denied", cause); }));
    vbTrapAlways("Error-a", [] { throw VbError(vbErrDatabase, "database is locked", VbCause::lockedByOther); });
    vbTrap("Error-b", [] { throw VbError(vbErrDatabase, "file is encrypted or is not a database", VbCause::notDataFile); });
    vbTrap("Error-c", [] { throw VbError(vbErrDatabase, "database or disk is full", VbCause::diskFull); });
    vbTrap("Error-d", [] { throw VbError(vbErrFile, "フォルダ「予想」がありません", VbCause::stated); });
    vbTrap("Error-e", [] { throw VbError(vbErrDatabase, "no current record"); });
    vbTrap("Error-f", [] { throw std::bad_alloc(); });
    EXPECT_EQ(rec.texts(), (QStringList {"Error-mainComment\nファイルが読み取り専用です",
                                         "Error-mainComment\nフォルダに書き込めません（書き込みが許可されていないフォルダです）",
                                         "Error-mainComment\n保存先のフォルダがありません", "Error-mainComment\n同じ名前のフォルダがあります",
                                         "Error-a\nほかのプログラムがファイルを使用中です",
                                         "Error-b\nデータファイルではないか、パスワードが違います", "Error-c\nディスクの空き容量が足りません",
                                         "Error-d\nフォルダ「予想」がありません", "Error-e", "Error-f"}));
}

// A trapped failure leaves one line with its tag and its own text (the failing query) in the log, while the
// user sees what they always saw; the log moves to one old file before it passes its limit, and a log that
// cannot be written changes nothing for the user.
TEST(VbTrap, TheLogKeepsTheCauseAndStaysBounded)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("error.log");
    setTrapLogFile(log);
    MsgBoxRecorder rec;
    vbTrapAlways("Error-frmMain-33", [] { throw VbError(vbErrDatabase, "no such table: RaceData\nSELECT * FROM RaceData"); });
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    file.close();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(QDateTime::fromString(lines[0].section(' ', 0, 0), Qt::ISODate).isValid()) << lines[0].toStdString();
    EXPECT_EQ(lines[0].section(' ', 1), "Error-frmMain-33 3000: no such table: RaceData SELECT * FROM RaceData");
    EXPECT_EQ(rec.texts(), QStringList {"Error-frmMain-33"});

    const QString longCause(5000, QChar(u'x'));
    for (int i = 0; i < 400; ++i)
        vbTrapAlways("Error-b", [&] { throw VbError(vbErrFile, longCause); });
    EXPECT_LE(QFileInfo(log).size(), kTrapLogLimit);
    EXPECT_GT(QFileInfo(log + ".old").size(), kTrapLogLimit / 2);
    EXPECT_LE(QFileInfo(log + ".old").size(), kTrapLogLimit);
    // One cause larger than the whole bound is cut to a line's share: its line is logged, and neither file passes the limit.
    vbTrapAlways("Error-huge", [] { throw VbError(vbErrFile, QString(2 * kTrapLogLimit, QChar(u'y'))); });
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString last = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts).last();
    file.close();
    EXPECT_TRUE(last.section(' ', 1).startsWith("Error-huge 53: yyyy")) << last.left(80).toStdString();
    EXPECT_LE(QFileInfo(log).size(), kTrapLogLimit);
    EXPECT_LE(QFileInfo(log + ".old").size(), kTrapLogLimit);

    setTrapLogFile(dir.filePath("none/error.log"));
    rec.clear();
    EXPECT_FALSE(vbTrapAlways("Error-c", [] { throw std::bad_alloc(); }));
    EXPECT_EQ(rec.texts(), QStringList {"Error-c"});
    setTrapLogFile({});
}

// Every kind of trap leaves one line, its tag and the error's own text, whether it shows the tag or not; in debug mode
// the two that trap anyway still leave theirs, and the two others let the error through untouched and log nothing.
TEST(VbTrap, EveryKindOfTrapLeavesItsLineInTheLog)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("error.log");
    setTrapLogFile(log);
    MsgBoxRecorder rec;
    const auto failing = [](const char* what) { return [what] { throw VbError(vbErrDatabase, what); }; };
    const QList<bool> trapped {vbTrap("Error-a", failing("one")), vbTrapAlways("Error-b", failing("two")),
                               vbTrapToLog("getWebTable", failing("three")), vbTrapAlwaysToLog("addRaceIndexes", failing("four"))};
    debugMode = true;
    EXPECT_THROW(vbTrap("Error-c", failing("passed")), VbError);
    EXPECT_THROW(vbTrapToLog("getWebTable", failing("passed")), VbError);
    const bool trappedInDebug = vbTrapAlways("Error-d", failing("five")) || vbTrapAlwaysToLog("readNumber", failing("six"));
    debugMode = false;
    setTrapLogFile({});
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
        lines << line.section(' ', 1);
    EXPECT_EQ(trapped, QList<bool>(4, false));
    EXPECT_FALSE(trappedInDebug);
    EXPECT_EQ(lines, (QStringList {"Error-a 3000: one", "Error-b 3000: two", "getWebTable 3000: three", "addRaceIndexes 3000: four",
                                   "Error-d 3000: five", "readNumber 3000: six"}));
    EXPECT_EQ(rec.texts(), (QStringList {"Error-a", "Error-b", "Error-d"}));
}
