#include "core/dialogSincyoku.h"

#include <QApplication>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QProgressBar* bar()
{
    return dialogSincyoku().findChild<QProgressBar*>("prgSincyoku");
}

QTimer* timer()
{
    return dialogSincyoku().findChild<QTimer*>("Timer1");
}

class ProgressDialog : public ::testing::Test {
protected:
    void TearDown() override
    {
        unloadDialogSincyoku();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}

TEST_F(ProgressDialog, LoadsWithItsCaptionBarAndTimer)
{
    EXPECT_FALSE(isDialogSincyokuLoaded());
    showDialogSincyoku();
    EXPECT_TRUE(isDialogSincyokuLoaded());
    EXPECT_TRUE(dialogSincyoku().isVisible());
    EXPECT_EQ(dialogSincyoku().windowTitle(), "データ処理中、しばらくお待ちください・・・");
    EXPECT_EQ(bar()->minimum(), 0);
    EXPECT_EQ(bar()->maximum(), 100);
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 500);
}

TEST_F(ProgressDialog, CountsStepsAndClampsWhatOversteps)
{
    showDialogSincyoku();
    dialogSincyoku().setMax(11);
    for (int i = 0; i < 11; ++i)
        dialogSincyoku().setValue(dialogSincyoku().value() + 1);
    EXPECT_EQ(dialogSincyoku().value(), 11.0f);
    dialogSincyoku().setValue(12);  // one step too many
    EXPECT_EQ(dialogSincyoku().value(), 11.0f);
    dialogSincyoku().setValue(-3);
    EXPECT_EQ(dialogSincyoku().value(), 0.0f);
    dialogSincyoku().setMax(0);  // an empty period: nothing to count
    EXPECT_EQ(dialogSincyoku().max(), 1.0f);
    dialogSincyoku().setValue(5);
    EXPECT_EQ(dialogSincyoku().value(), 1.0f);
    dialogSincyoku().setMax(364.6f);
    EXPECT_EQ(dialogSincyoku().max(), 365.0f);
    dialogSincyoku().setMax(1e12f);
    dialogSincyoku().setValue(1e12f);
    EXPECT_EQ(bar()->value(), bar()->maximum());
}

TEST_F(ProgressDialog, ASmallerMaximumKeepsTheCountGoing)
{
    showDialogSincyoku();
    dialogSincyoku().setMax(100);
    dialogSincyoku().setValue(40);
    dialogSincyoku().setMax(5);  // the next caller reuses the window without unloading it
    EXPECT_EQ(dialogSincyoku().value(), 5.0f);
    dialogSincyoku().setMax(3);
    dialogSincyoku().setValue(0);
    for (int i = 0; i < 2; ++i)
        dialogSincyoku().setValue(dialogSincyoku().value() + 1);
    dialogSincyoku().setMax(8);  // growing keeps the count as it is
    EXPECT_EQ(dialogSincyoku().value(), 2.0f);
}

TEST_F(ProgressDialog, ShowingTwiceReusesTheWindowAndItsTimer)
{
    showDialogSincyoku();
    DialogSincyoku* first = &dialogSincyoku();
    dialogSincyoku().setMax(5);
    dialogSincyoku().setValue(2);
    const int timerId = timer()->timerId();
    showDialogSincyoku();
    EXPECT_EQ(&dialogSincyoku(), first);
    EXPECT_EQ(timer()->timerId(), timerId);
    EXPECT_EQ(dialogSincyoku().value(), 2.0f);
}

TEST_F(ProgressDialog, UnloadForgetsItAndTheNextUseStartsAfresh)
{
    showDialogSincyoku();
    dialogSincyoku().setWindowTitle("馬場指数作成　1/3");
    EXPECT_EQ(dialogSincyoku().windowTitle(), "馬場指数作成　1/3");
    dialogSincyoku().setMax(3);
    dialogSincyoku().setValue(3);
    DialogSincyoku* first = &dialogSincyoku();
    QTimer* firstTimer = timer();
    unloadDialogSincyoku();
    EXPECT_FALSE(isDialogSincyokuLoaded());
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(firstTimer->isActive());
    unloadDialogSincyoku();  // twice is harmless
    showDialogSincyoku();
    EXPECT_EQ(dialogSincyoku().windowTitle(), "データ処理中、しばらくお待ちください・・・");
    EXPECT_EQ(bar()->maximum(), 100);
    EXPECT_EQ(bar()->value(), 0);
}

TEST_F(ProgressDialog, OwnerIsTheCallingForm)
{
    QWidget owner;
    owner.show();
    showDialogSincyoku(&owner);
    EXPECT_EQ(dialogSincyoku().parentWidget(), &owner);
    EXPECT_TRUE(dialogSincyoku().isWindow());
    unloadDialogSincyoku();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    showDialogSincyoku();
    EXPECT_EQ(dialogSincyoku().parentWidget(), nullptr);
}
