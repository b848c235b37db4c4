#include "tests/mainwindow/frmMainFixture.h"
#include "platform/vbformat.h"
#include "webimport/frmWebSeiseki.h"
#include "webimport/importGuard.h"

#include <QMenuBar>

namespace {

const QString stopQuestion = "読込みまたは処理を実行中です。\n中止して終了しますか？";

struct Busy : MainWindowTest {
    void SetUp() override
    {
        MainWindowTest::SetUp();
        openForm();
        pressRead();
        clickTab("グラフ");  // the chart toolbar and printing on
        for (int h = 1; h <= race.runners; ++h)
            server.setDelayFirstN(demoHistoryTarget(h), 100, 30);
    }
    // The captions of the menu titles, menu items and toolbar buttons that can be used.
    QStringList usableCommands() const
    {
        QList<QAction*> all = form->menuBar()->actions();
        for (QAction* title : form->menuBar()->actions())
            if (title->menu())
                all += title->menu()->actions();
        all += control<QToolBar>("tbMenuFile")->actions() + control<QToolBar>("tbMenuMove")->actions();
        QStringList usable;
        for (QAction* a : all)
            if (a->isEnabled())
                usable << a->text();
        return usable;
    }
    // Runs f once, when the loading window shows the history page of runner h.
    std::unique_ptr<QTimer> atRunner(int h, std::function<void()> f)
    {
        const QString label = Format(double(h), "00") + "/12 ";
        return whenever([label, f] {
            if (!isDialogWebLoaded() || !dialogWeb().lblTitle->text().startsWith(label))
                return false;
            f();
            return true;
        });
    }
    std::string raceLine() const { return control<QLabel>("lblRaceInfo")->text().toStdString(); }
};

}

// A read, and an import in another window, grey every menu title, menu item and toolbar button through the
// one writer of enabled state; afterwards the tab shown decides again.
TEST_F(Busy, EveryCommandIsGreyedWhileAReadOrAnImportRuns)
{
    const QStringList idle = usableCommands();
    EXPECT_EQ(idle.size(), 22) << idle.join(' ').toStdString();
    {
        const ImportGuard import;
        EXPECT_EQ(std::pair(usableCommands(), control("cmdRaceRead")->isEnabled()), std::pair(QStringList(), false));
    }
    EXPECT_EQ(usableCommands(), idle);
    QStringList duringRead = {"not seen"};
    const auto probe = atRunner(3, [&] { duringRead = usableCommands(); });
    pressRead();
    EXPECT_EQ(std::pair(duringRead, usableCommands()), std::pair(QStringList(), idle));
}

// Esc in the main window leaves the read alone, even after the user has turned to it; Esc in the
// loading window cancels, as its CANCEL does.
TEST_F(Busy, EscCancelsOnlyInTheLoadingWindow)
{
    int escapes = 0;
    const auto turnAway = atRunner(2, [&] { QApplication::setActiveWindow(form.get()); });
    const auto pressEsc = whenever([&] {
        if (!isDialogWebLoaded() || QApplication::activeWindow() != form.get())
            return false;
        QTest::keyClick(QApplication::activeWindow(), Qt::Key_Escape);
        return ++escapes == 5;
    });
    pressRead();
    EXPECT_EQ(std::tuple(escapes, pd.webCancel, shown()), std::tuple(5, false, std::string()));
    const std::string before = raceLine();
    const auto cancel = atRunner(3, [] { QTest::keyClick(&dialogWeb(), Qt::Key_Escape); });
    pressRead();
    EXPECT_EQ(std::pair(messages.texts().value(0), raceLine()), std::pair(QString("キャンセルしました"), before));
}

// The close box while a read runs asks whether to stop and end: No lets the read finish, Yes stops it as a
// cancel does and ends the program once it has unwound; when idle the window closes at once.
TEST_F(Busy, TheCloseBoxAsksToStopTheWorkAndQuit)
{
    int answer = vbNo;
    messages.setAnswerer([&](const QString& text) { return text == stopQuestion ? answer : int(vbOK); });
    const auto closeNo = atRunner(3, [&] { form->close(); });
    pressRead();
    EXPECT_EQ(std::tuple(messages.texts(), form->isVisible(), pd.tousuu), std::tuple(QStringList {stopQuestion}, true, 12));
    messages.clear();
    answer = vbYes;
    const std::string before = raceLine();
    const auto closeYes = atRunner(4, [&] {
        form->close();
        form->close();  // asked once only
    });
    pressRead();
    EXPECT_EQ(std::pair(raceLine(), isDialogWebLoaded()), std::pair(before, false));
    QTRY_VERIFY(!form->isVisible());
    EXPECT_EQ(messages.texts().first(), stopQuestion);
    EXPECT_EQ(messages.texts().count(stopQuestion), 1);
}

// A results import in its own window greys the main window's commands too; the main window's close box then
// asks, and Yes stops the import, whose next page would otherwise clear the Cancel, and ends the program.
TEST_F(Busy, TheCloseBoxStopsAResultsImportAndQuits)
{
    messages.setAnswerer([](const QString& text) { return text == stopQuestion ? int(vbYes) : int(vbOK); });
    for (const char* code : {"20", "21", "19", "18"})
        for (int raceNo = 1; raceNo <= 2; ++raceNo)
            server.setDelayFirstN("/keibaWeb/PageFlows/RaceMarkTable/RaceMarkTableController.jpf?k_babaCode=" + QString(code)
                                      + "&k_raceNo=" + QString::number(raceNo) + "&k_raceDate=2008%2F03%2F20",
                                  1, 40);
    action("menuDbKakoRead")->trigger();
    auto* import = qobject_cast<FrmWebSeiseki*>(shownWindow("frmWebSeiseki"));
    ASSERT_NE(import, nullptr);
    int i = 0;
    for (QComboBox* box : {import->cmbStartNen, import->cmbStartTuki, import->cmbStartHi, import->cmbEndNen, import->cmbEndTuki,
                           import->cmbEndHi})
        box->setCurrentText(QStringList {"2008", "03", "20", "2008", "03", "23"}[i++]);
    QStringList duringImport = {"not seen"};
    int pagesAfterYes = -1;
    const auto closer = whenever([&] {
        if (!isDialogWebLoaded() || !dialogWeb().isVisible())
            return false;
        duringImport = usableCommands();
        form->close();
        pagesAfterYes = server.totalRequests();
        return true;
    });
    QTest::mouseClick(import->cmdWebStart, Qt::LeftButton);
    EXPECT_EQ(std::pair(duringImport, messages.texts().value(0)), std::pair(QStringList(), stopQuestion));
    EXPECT_LE(server.totalRequests() - pagesAfterYes, 1);  // at most the page asked for when Yes came
    QTRY_VERIFY(!form->isVisible() && !shownWindow("frmWebSeiseki"));
}
