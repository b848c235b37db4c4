#include "core/dialogSincyoku.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

// A value above the maximum, or a maximum below 1, is clamped, never an error; a smaller maximum
// from the next caller clamps the count, a larger one keeps it. A caller may change the caption; a
// second show reuses the window; after unloading the next use starts afresh.
TEST(ProgressDialog, CountsClampsAndUnloads)
{
    showDialogSincyoku();
    DialogSincyoku& d = dialogSincyoku();
    QPointer<QTimer> timer = d.findChild<QTimer*>("Timer1");
    auto* bar = d.findChild<QProgressBar*>("prgSincyoku");
    ASSERT_TRUE(timer && bar && d.isVisible() && timer->isActive());
    const auto fresh = std::tuple(QString("データ処理中、しばらくお待ちください・・・"), 100.0f, 0.0f);
    EXPECT_EQ(std::tuple(d.windowTitle(), d.max(), d.value()), fresh);
    const std::vector<std::tuple<float, std::optional<float>, float, float>> steps {  // max and value set, max and value read
        {11, 12, 11, 11}, {11, -3, 11, 0}, {0, 5, 1, 1}, {364.6f, 40, 365, 40}, {5, {}, 5, 5}, {8, {}, 8, 5}};
    for (const auto& [max, value, maxRead, valueRead] : steps) {
        d.setMax(max);
        if (value)
            d.setValue(*value);
        EXPECT_EQ(std::pair(d.max(), d.value()), std::pair(maxRead, valueRead)) << max << ' ' << value.value_or(-1);
    }
    d.setMax(1e12f);  // beyond the bar's whole numbers
    d.setValue(1e12f);
    EXPECT_EQ(bar->value(), bar->maximum());
    d.setWindowTitle("馬場指数作成　1/3");
    showDialogSincyoku();
    EXPECT_EQ(d.windowTitle(), "馬場指数作成　1/3");
    unloadDialogSincyoku();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!isDialogSincyokuLoaded() && timer.isNull());
    showDialogSincyoku();
    EXPECT_EQ(std::tuple(dialogSincyoku().windowTitle(), dialogSincyoku().max(), dialogSincyoku().value()), fresh);
    unloadDialogSincyoku();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// What the screen shows of the dialog the moment showing it returns, before any event is processed:
// a caller's long first step must not leave an empty frame there. Also after the dialog moved to
// another owner.
TEST(ProgressDialog, IsOnTheScreenPaintedBeforeTheFirstStep)
{
    QWidget owner;
    owner.resize(500, 400);
    owner.show();
    for (QWidget* o : {static_cast<QWidget*>(nullptr), &owner}) {
        showDialogSincyoku(o);
        DialogSincyoku& d = dialogSincyoku();
        const QImage onScreen = d.screen()->grabWindow(d.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage drawn = d.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(onScreen.size(), drawn.size());
        EXPECT_EQ(onScreen, drawn) << "owner " << o;
    }
    unloadDialogSincyoku();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Cancel only when a caller offers it; a press is seen at the next poll and stays seen; the next
// load starts without it.
TEST(ProgressDialog, CancelOnlyWhenOffered)
{
    showDialogSincyoku();
    auto* cancel = dialogSincyoku().findChild<QPushButton*>("cmdCancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_FALSE(cancel->isVisible());
    dialogSincyoku().offerCancel();
    EXPECT_TRUE(cancel->isVisible() && !dialogSincyoku().pollCancel());
    cancel->click();
    EXPECT_TRUE(dialogSincyoku().pollCancel() && dialogSincyoku().pollCancel());
    unloadDialogSincyoku();
    showDialogSincyoku();
    EXPECT_FALSE(dialogSincyoku().findChild<QPushButton*>("cmdCancel")->isVisible() || dialogSincyoku().pollCancel());
    unloadDialogSincyoku();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
