#include "app/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <gtest/gtest.h>

namespace {

QMainWindow* shownMainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmMain" && w->isVisible())
            return qobject_cast<QMainWindow*>(w);
    return nullptr;
}

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        debugMode = false;
        pd.jraGraphOn = false;
    }
    void TearDown() override
    {
        if (QMainWindow* w = shownMainWindow())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        debugMode = false;
        pd.jraGraphOn = false;
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
};

}

TEST_F(StartUp, MarkerFilesSettingsAndTheMainWindow)
{
    dir_.createStrevinData();
    dir_.createNarData();
    openDb(1, dir_.createJraGraph(), dbPassword);
    updateRow(1, "version", DbRow(), DbRow().set("date", VbDate::fromYmd(2008, 3, 8)));
    closeDb(1);
    touch(dir_.filePath("kanri.id"));
    iniWrite("System", "tarKikanWebUma", "1100");
    iniWrite("System", "timerInter", "abc");
    iniWrite("graph", "iniGraph(4)", "false");
    Main();
    EXPECT_TRUE(debugMode);
    EXPECT_TRUE(pd.jraGraphOn);
    EXPECT_EQ(pd.kakoKikan, 1100);
    EXPECT_EQ(pd.timerInter, 5);  // the bad key alone falls back
    EXPECT_EQ(pd.graphFlags[4], "false");
    EXPECT_FLOAT_EQ(pd.lineRatio, 0.2f);
    QMainWindow* w = shownMainWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Brennock");
    EXPECT_TRUE(w->findChild<QLabel*>("lblJraFileRecnt")->text().contains("2008/03/08版を読込み"));
    // Start-up traps even though the marker switched the debug mode on.
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainStart-1"});
}

TEST_F(StartUp, SoundSettingsStartWithoutAMessage)
{
    dir_.createStrevinData();
    dir_.createNarData();
    iniWrite("System", "timerInter", "20");
    Main();
    EXPECT_EQ(pd.timerInter, 20);
    ASSERT_NE(shownMainWindow(), nullptr);
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(StartUp, EmptyProgramFolderStillStarts)
{
    Main();
    EXPECT_FALSE(debugMode);
    EXPECT_FALSE(pd.jraGraphOn);
    EXPECT_EQ(pd.kakoKikan, 730);
    EXPECT_EQ(pd.timerInter, 5);
    EXPECT_EQ(pd.graphFlags[0], "true");
    QMainWindow* w = shownMainWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QLabel*>("lblBabaFileRecnt")->text(), " 地方馬場情報ファイル：　ファイルが開けません ");
    EXPECT_EQ(w->findChild<QLabel*>("lblDbKikan")->text(), " 過去データ：　ファイルが開けません ");
    EXPECT_EQ(w->findChild<QLabel*>("lblJraFileRecnt")->text(), "中央馬場情報ファイル：　ファイルが存在しません");
    EXPECT_EQ(msgs_.texts(),
              (QStringList {"dataファイルが開けません", "dataファイルが開けません", "Error-mainStart-2"}));
}

TEST_F(StartUp, DebugModeWithoutDataFilesStillStarts)
{
    touch(dir_.filePath("kanri.id"));
    Main();
    EXPECT_TRUE(debugMode);
    QMainWindow* w = shownMainWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QLabel*>("lblDbKikan")->text(), " 過去データ：　ファイルが開けません ");
    EXPECT_EQ(msgs_.texts(), QStringList {"Error-mainStart-2"});
}

TEST_F(StartUp, MarkerFolderIsNotAMarkerFile)
{
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("kanri.id")));
    Main();
    EXPECT_FALSE(debugMode);
}
