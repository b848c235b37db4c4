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

// Presses a button and lets a closed dialog go.
void click(QWidget* dialog, const QString& button)
{
    QTest::mouseClick(childNamed<QPushButton>(dialog, button), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}  // namespace

// Save files the note under the opener's key, refreshes the opener and closes; a second opening
// refills the one window; cancel stores and refreshes nothing.
TEST(DialogComment, SaveRefreshesTheOriginAndCancelStoresNothing)
{
    TestAppDir dir;
    dir.createComment();
    QWidget owner;
    int refreshed = 0;
    QPointer<DialogComment> d = showDialogComment(&owner, target(&refreshed));
    ASSERT_TRUE(d && d->isVisible() && d->parentWidget() == &owner);
    EXPECT_EQ(childNamed<QPlainTextEdit>(d, "txtComment")->toPlainText() + childNamed<QComboBox>(d, "cmbSign01")->currentText(), "old◎");
    EXPECT_EQ(showDialogComment(&owner, target(&refreshed, "B")), d.data());
    EXPECT_EQ(childNamed<QLabel>(d, "lblUma")->text(), "B");
    showDialogComment(&owner, target(&refreshed));
    auto* text = childNamed<QPlainTextEdit>(d, "txtComment");
    text->selectAll();
    QTest::keyClicks(text, "new 'note'");
    QTest::keyClicks(childNamed<QComboBox>(d, "cmbSign02"), "B+");
    click(d, "cmdEnd");
    EXPECT_TRUE(d.isNull() && refreshed == 1);
    openCommentDb();
    EXPECT_EQ(readComment("Ｊ東京10110711", "O'Reilly"), (CommentNote {"new 'note'", "◎", "B+"}));
    closeDb(commentSlot);

    d = showDialogComment(&owner, target(&refreshed));
    QTest::keyClicks(childNamed<QPlainTextEdit>(d, "txtComment"), "discarded");
    click(d, "cmdCancel");
    EXPECT_TRUE(d.isNull() && refreshed == 1);
    openCommentDb();
    EXPECT_EQ(readComment("Ｊ東京10110711", "O'Reilly")->comment, "new 'note'");
}

// A save that cannot reach Comment.dat says so, keeps the dialog open and refreshes nothing.
TEST(DialogComment, FailedSaveKeepsTheDialogOpen)
{
    TestAppDir dir;
    MsgBoxRecorder rec;
    QWidget owner;
    int refreshed = 0;
    QPointer<DialogComment> d = showDialogComment(&owner, target(&refreshed));
    click(d, "cmdEnd");
    ASSERT_FALSE(d.isNull());
    EXPECT_TRUE(d->isVisible() && refreshed == 0);
    EXPECT_EQ(rec.firstLines(), (QStringList {"dataファイルが開けません", "Error-dialogComment01"}));
    d->close();
}
