#include "core/dialogComment.h"

#include "platform/database.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

#include <QTest>

namespace {
CommentTarget target(int* refreshed, const QString& name = "O'Reilly")
{
    return {name, "Ｊ東京10/11/07-11R", "Ｊ東京10110711", {"old", "◎", ""}, "Uma", [refreshed] { ++*refreshed; }};
}

void click(QWidget* dialog, const QString& button)
{
    QTest::mouseClick(childNamed<QPushButton>(dialog, button), Qt::LeftButton);
}
}  // namespace

// "更新" files the typed note under the key its opener gave, refreshes the opener and closes;
// a second opening refills the one window; "CANCEL" stores nothing and refreshes nothing.
TEST(DialogComment, SaveRefreshesTheOriginAndCancelStoresNothing)
{
    TestAppDir dir;
    dir.createComment();
    QWidget owner;
    int refreshed = 0;
    QPointer<DialogComment> d = showDialogComment(&owner, target(&refreshed));
    ASSERT_TRUE(d && d->isVisible() && d->parentWidget() == &owner);
    EXPECT_EQ(childNamed<QLabel>(d, "lblRace")->text(), "Ｊ東京10/11/07-11R");
    EXPECT_EQ(childNamed<QLabel>(d, "lblUma")->text(), "O'Reilly");
    EXPECT_EQ(childNamed<QPlainTextEdit>(d, "txtComment")->toPlainText(), "old");
    EXPECT_EQ(childNamed<QComboBox>(d, "cmbSign01")->currentText(), "◎");
    EXPECT_EQ(showDialogComment(&owner, target(&refreshed, "B")), d.data());
    EXPECT_EQ(childNamed<QLabel>(d, "lblUma")->text(), "B");
    showDialogComment(&owner, target(&refreshed));

    auto* text = childNamed<QPlainTextEdit>(d, "txtComment");
    text->selectAll();
    QTest::keyClicks(text, "new 'note'");
    QTest::keyClicks(childNamed<QComboBox>(d, "cmbSign02"), "B+");
    click(d, "cmdEnd");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(refreshed, 1);
    openCommentDb();
    EXPECT_EQ(readComment("Ｊ東京10110711", "O'Reilly"), (CommentNote {"new 'note'", "◎", "B+"}));
    closeDb(commentSlot);

    d = showDialogComment(&owner, target(&refreshed));
    QTest::keyClicks(childNamed<QPlainTextEdit>(d, "txtComment"), "discarded");
    click(d, "cmdCancel");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(refreshed, 1);
    openCommentDb();
    EXPECT_EQ(readComment("Ｊ東京10110711", "O'Reilly")->comment, "new 'note'");
}

// A save that cannot reach Comment.dat says so, keeps the dialog and its text, refreshes nothing.
TEST(DialogComment, FailedSaveKeepsTheDialogOpen)
{
    TestAppDir dir;
    MsgBoxRecorder rec;
    QWidget owner;
    int refreshed = 0;
    QPointer<DialogComment> d = showDialogComment(&owner, target(&refreshed));
    click(d, "cmdEnd");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(d.isNull());
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(rec.firstLines(), (QStringList {"dataファイルが開けません", "Error-dialogComment01"}));
    EXPECT_EQ(refreshed, 0);
    d->close();
}
