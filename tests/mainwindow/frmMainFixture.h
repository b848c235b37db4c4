#pragma once
// The main window over a program folder, a loopback server with 大井 race 11 of 24 March 2008.
#include "core/dialogSincyoku.h"
#include "core/publicComment.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "mainwindow/frmMain.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/msgbox.h"
#include "platform/picturebox.h"
#include "platform/printer.h"
#include "tests/support/childNamed.h"
#include "tests/support/tabClick.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"
#include "tests/support/pageServer.h"
#include "tests/support/qtPrinters.h"
#include "tools/demoPages.h"
#include "webimport/dialogWeb.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

// Answers the save dialog when it shows: with that file, or with Cancel for "".
inline void answerFileDialog(const QString& file)
{
    QTimer::singleShot(0, [file] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                if (!file.isEmpty())
                    d->selectFile(file);
                file.isEmpty() ? d->reject() : static_cast<QDialog*>(d)->accept();
            }
    });
}

// Recording printers in place of the system's, the first one current; a TearDown clears them.
inline std::vector<RecordingPrinterDevice*> installPrinters(const QStringList& names)
{
    std::vector<RecordingPrinterDevice*> devices;
    std::vector<std::unique_ptr<PrinterDevice>> list;
    for (const QString& name : names)
        devices.push_back(static_cast<RecordingPrinterDevice*>(list.emplace_back(new RecordingPrinterDevice(name)).get()));
    printer().setDevices(std::move(list), names.value(0));
    return devices;
}

struct MainWindowTest : ::testing::Test {
    TestAppDir appDir;
    PageServer server;
    MsgBoxRecorder messages;
    DemoRace race {VbDate::fromYmd(2008, 3, 24)};
    std::unique_ptr<FrmMain> form;

    void SetUp() override
    {
        appDir.createNarData();
        writeDemoTrackTables(appDir.createStrevinData(), dbPassword, race);
        appDir.createComment();
        appDir.copyImages();
        ASSERT_TRUE(server.start());
        iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server.port()));
        debugMode = pd.webCancel = pd.webTimeOut = false;
        pd.timerInter = 5;
        pd.kakoKikan = 730;
        setVbToday(race.date);
        serveRace(race);
    }
    void TearDown() override
    {
        form.reset();
        printer().setDevices({}, {});
        unloadDialogWeb();
        unloadDialogSincyoku();
        setVbToday(VbDate());
    }
    void serveRace(const DemoRace& r)
    {
        const QByteArray type = "text/html; charset=Shift_JIS";
        server.addPage(demoCardTarget(r), demoCard(r), type);
        for (int h = 1; h <= r.runners; ++h)
            server.addPage(demoHistoryTarget(h), demoHistory(r, h), type);
    }
    // The window shown with a client area of 1000 x 700 pixels (15000 x 10500 twips).
    void openForm()
    {
        form = std::make_unique<FrmMain>();
        form->show();
        form->resize(1000, 700 + form->height() - form->centralWidget()->height());
        QCoreApplication::processEvents();
    }
    template <class W = QWidget>
    W* control(const QString& name) const { return childNamed<W>(form.get(), name); }
    QAction* action(const QString& name) const { return control<QAction>(name); }
    QTabBar* tabs() const { return control<QTabBar>("tabMain"); }
    void pressRead() { QTest::mouseClick(control<QPushButton>("cmdRaceRead"), Qt::LeftButton); }
    void clickTab(const QString& caption)
    {
        int i = 0;
        while (i < tabs()->count() && tabs()->tabText(i) != caption)
            ++i;
        ASSERT_LT(i, tabs()->count()) << caption.toStdString();
        clickTabAt(tabs(), i);
    }
    QStringList shownPageControls() const
    {
        QStringList shown;
        for (const QString& name : QString("gridSyuxtusouHyou gridSpSisuu gridGraph Picture1 Picture2 cmdGraphShift cmdGraphBack "
                                           "gridYosou gridTekiseiSisuu gridTekiseiRentai gridMochiTime gridTaisen gridPrintBacyu "
                                           "picBacyuPrint gridComment lblRaceComment txtRaceComment fraConner gridCorce "
                                           "cmbTarKikan frameStart").split(' '))
            if (control(name)->isVisible())
                shown << name;
        return shown;
    }
    // Runs f every few milliseconds while the event loop turns, until it returns true.
    static std::unique_ptr<QTimer> whenever(std::function<bool()> f)
    {
        auto timer = std::make_unique<QTimer>();
        QTimer* t = timer.get();
        QObject::connect(t, &QTimer::timeout, t, [t, f] { if (f()) t->stop(); });
        timer->start(2);
        return timer;
    }
    std::string shown() const { return messages.texts().join(u'|').toStdString(); }
};
