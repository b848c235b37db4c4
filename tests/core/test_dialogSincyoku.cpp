#include "core/dialogSincyoku.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

static void unload()
{
    unloadDialogSincyoku();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Values above the maximum, or a maximum below 1, are clamped; a smaller maximum clamps the count, a
// larger one keeps it. A second show keeps the caller's caption; after unloading the next use starts afresh.
TEST(ProgressDialog, CountsClampsAndUnloads)
{
    showDialogSincyoku();
    DialogSincyoku& d = dialogSincyoku();
    QPointer<QTimer> timer = d.findChild<QTimer*>("Timer1");
    auto* bar = d.findChild<QProgressBar*>("prgSincyoku");
    ASSERT_TRUE(timer && bar && d.isVisible() && timer->isActive());
    const QString freshTitle = d.windowTitle();
    EXPECT_EQ(std::pair(d.max(), d.value()), std::pair(100.0f, 0.0f));
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
    unload();
    EXPECT_TRUE(!isDialogSincyokuLoaded() && timer.isNull());
    showDialogSincyoku();
    EXPECT_EQ(std::tuple(dialogSincyoku().windowTitle(), dialogSincyoku().max(), dialogSincyoku().value()),
              std::tuple(freshTitle, 100.0f, 0.0f));
    unload();
}

// The screen shows the painted dialog the moment showing it returns, with or without an owner.
TEST(ProgressDialog, IsOnTheScreenPaintedBeforeTheFirstStep)
{
    QWidget owner;
    owner.resize(500, 400);
    owner.show();
    for (QWidget* o : {static_cast<QWidget*>(nullptr), &owner}) {
        showDialogSincyoku(o);
        DialogSincyoku& d = dialogSincyoku();
        const QImage onScreen = d.screen()->grabWindow(d.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(onScreen, d.grab().toImage().convertToFormat(QImage::Format_RGB32)) << "owner " << o;
    }
    unload();
}

// Cancel only when offered; a press is seen at the next poll and stays seen; the next load starts without it.
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
    unload();
}
