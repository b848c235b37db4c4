#include "core/mainBabaFile.h"
#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "mainwindow/frmMain.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"
#include "webimport/frmWebSeiseki.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QWidget* optionsWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmOption")
            return w;
    return nullptr;
}

class MainWindowStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        pd.jraGraphOn = false;
        setBabaFilePicker([this](const QString& title, const QString&) {
            titles_ << title;
            return pick_;
        });
    }
    void TearDown() override
    {
        setBabaFilePicker({});
        delete form_.data();
        delete optionsWindow();
        if (isFrmWebSeisekiLoaded())
            delete &frmWebSeiseki();
        pd.jraGraphOn = false;
    }

    FrmMain& open()
    {
        form_ = new FrmMain;
        form_->show();
        return *form_;
    }
    template <class W>
    W* get(const QString& name) const
    {
        return childNamed<W>(form_, name);
    }
    QString text(const QString& label) const { return get<QLabel>(label)->text(); }
    // A newer track file of that kind, dated as given, in a download folder.
    QString download(DataFileKind kind, VbDate edition)
    {
        const QString path = createDataFile(kind, testSchemaDir(), downloads_.path());
        openDb(1, path, dbPassword);
        updateRow(1, "version", DbRow(), DbRow().set("date", edition));
        if (kind == DataFileKind::JraGraph)  // a central file holds rows of central track "01"
            insertRow(1, "T_sisuu", DbRow().set("S_date", edition).set("S_zyo", "01").set("S_siba", 1));
        closeDb(1);
        return path;
    }

    TestAppDir dir_;
    QTemporaryDir downloads_;
    MsgBoxRecorder msgs_;
    QPointer<FrmMain> form_;
    QString pick_;
    QStringList titles_;
};

}

TEST_F(MainWindowStart, StartNoticeHoldsEveryControlInsideItsFrame)
{
    openDb(1, dir_.createStrevinData(), dbPassword);
    updateRow(1, "version", DbRow(), DbRow().set("date", VbDate::fromYmd(2008, 3, 1)));
    closeDb(1);
    dir_.createNarData();
    FrmMain& f = open();
    EXPECT_EQ(f.windowTitle(), "Brennock");
    auto* frame = get<QGroupBox>("frameStart");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(text("Label1"),
              "　上の青枠緑ＢＯＸの開催日・場・レースを指定して、「出走表の読込み」ボタンを押してください　");
    const QStringList names {"Label1", "lblBabaFileRecnt", "lblBabaNotice", "lblJraFileRecnt", "lblJraNotice",
                             "lblDbKikan", "lblDbNotice", "lblVersion", "cmdBabaFile", "cmdJraFile",
                             "cmdDbRead", "Picture3"};
    QList<QRect> placed;
    for (const QString& name : names) {
        auto* w = form_->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        EXPECT_EQ(w->parentWidget(), frame) << name.toStdString();
        EXPECT_TRUE(frame->rect().contains(w->geometry())) << name.toStdString();
        for (const QRect& other : placed)
            EXPECT_FALSE(other.intersects(w->geometry())) << name.toStdString() << " overlaps";
        placed << w->geometry();
    }
    EXPECT_TRUE(f.rect().contains(frame->geometry()));
    EXPECT_EQ(text("lblBabaFileRecnt"), " 地方馬場情報ファイル：　2008/03/01版を読込み ");
    EXPECT_EQ(text("lblDbKikan"), " 過去データ：　読込みなし ");
    EXPECT_TRUE(text("lblVersion").startsWith("Ver."));
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(MainWindowStart, TrackFileButtonsInstallAndRefreshTheNotice)
{
    dir_.createStrevinData();
    dir_.createNarData();
    open();
    pick_ = download(DataFileKind::StrevinData, VbDate::fromYmd(2027, 1, 9));
    get<QPushButton>("cmdBabaFile")->click();
    EXPECT_EQ(text("lblBabaFileRecnt"), " 地方馬場情報ファイル：　2027/01/09版を読込み ");

    EXPECT_EQ(text("lblJraFileRecnt"), "中央馬場情報ファイル：　ファイルが存在しません");
    pick_ = download(DataFileKind::JraGraph, VbDate::fromYmd(2027, 1, 16));
    get<QPushButton>("cmdJraFile")->click();
    EXPECT_EQ(text("lblJraFileRecnt"), " 中央馬場情報ファイル：　2027/01/16版を読込み ");
    EXPECT_EQ(titles_, (QStringList {"地方馬場情報ファイルの更新", "中央馬場情報ファイルの更新"}));
    EXPECT_EQ(msgs_.texts(), (QStringList {"2027/01/09版に更新しました", "2027/01/16版に更新しました"}));
}

TEST_F(MainWindowStart, ResultsImportOpensFromButtonAndMenu)
{
    dir_.createStrevinData();
    dir_.createNarData();
    open();
    EXPECT_EQ(get<QAction>("menuDbKakoRead")->text(), "過去出走ﾃﾞｰﾀ読込み");
    get<QPushButton>("cmdDbRead")->click();
    ASSERT_TRUE(isFrmWebSeisekiLoaded());
    EXPECT_TRUE(frmWebSeiseki().isVisible());
    delete &frmWebSeiseki();
    get<QAction>("menuDbKakoRead")->trigger();
    EXPECT_TRUE(isFrmWebSeisekiLoaded());
    EXPECT_TRUE(msgs_.texts().isEmpty());
}

TEST_F(MainWindowStart, MenusReachTheInstallAndTheOptions)
{
    open();
    get<QAction>("menuBabaFileNar")->trigger();
    get<QAction>("menuBabaFileJra")->trigger();
    EXPECT_EQ(titles_, (QStringList {"地方馬場情報ファイルの更新", "中央馬場情報ファイルの更新"}));
    EXPECT_EQ(get<QAction>("menuOption")->text(), "ｵﾌﾟｼｮﾝ(&O)");
    EXPECT_FALSE(isFormLoaded("frmOption"));
    get<QAction>("menuOption")->trigger();
    EXPECT_TRUE(isFormLoaded("frmOption"));
}

TEST_F(MainWindowStart, ClosingTheWindowEndsTheProgram)
{
    open();
    get<QAction>("menuOption")->trigger();
    form_->close();
    bool anyShown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        anyShown |= w->isVisible() && (w->objectName() == "frmOption" || w->objectName() == "frmMain");
    EXPECT_FALSE(anyShown);
}

// Renders the start notice and the options dialog for a person to look at.
TEST_F(MainWindowStart, ScreenshotsForReview)
{
    dir_.createStrevinData();
    dir_.createNarData();
    loadSettings();
    open();
    get<QAction>("menuOption")->trigger();
    QWidget* options = optionsWindow();
    ASSERT_NE(options, nullptr);
    const QString out = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR);
    ASSERT_TRUE(QDir().mkpath(out));
    for (const auto& [widget, name] : {std::pair<QWidget*, QString> {form_, "frmMain-start.png"},
                                       std::pair<QWidget*, QString> {options, "frmOption.png"}}) {
        const QImage image = widget->grab().toImage();
        ASSERT_TRUE(image.save(out + "/" + name)) << name.toStdString();
        // Text was drawn: far more than the two or three colours of an empty window.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 20) << name.toStdString();
    }
}
