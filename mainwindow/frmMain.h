#pragma once
// The race window: selectors, race line, tab strip with its pages, two toolbars in one band,
// menus and the start notice. It coordinates; the race read, the fill-all and the tab pages
// live in files of their own. Controls are public because the window's own files (tab pages,
// fill-all, race read, printing) work on them; the analysis grids, charts and comments are handed
// the controls they fill, and the administration batch reaches the window through callbacks.
#include <QMainWindow>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <array>
#include <memory>

class FlexGrid;
class PictureBox;
class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTimer;
class QToolBar;
enum class RaceReadOutcome;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    // The administration batch's race read (debug mode only, so errors reach the batch's own
    // wrapper). The batch holds this window's busy guard while it runs, so its reads pass it.
    // Tells how the read ended.
    RaceReadOutcome starRaceRead();
    // The fill-all of the analysis pages (the period combo's pick runs it too).
    void cmbTarKikan_Click();
    // The tab switch for the tab shown (the race read calls it after the fill-all).
    void tabMain_Click();
    void Form_Resize();
    void hideTabPages();

    // While a race read, a fill-all or a page import (the results import's too) runs, nothing
    // that would re-enter it takes input.
    bool isBusy() const;
    // Each guard marks the window busy while it lives.
    class BusyGuard {
    public:
        explicit BusyGuard(FrmMain& form);
        ~BusyGuard();
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

    private:
        FrmMain& form_;
    };

    // Top band.
    QWidget* cbMain;
    QToolBar* tbMenuFile;
    QToolBar* tbMenuMove;
    QFrame* shpSelRace;
    std::array<QComboBox*, 5> cmbSelRace;
    std::array<QLabel*, 5> lblSelRace;
    QPushButton* cmdRaceRead;
    QLabel* lblRaceInfo;
    QTabBar* tabMain;
    QComboBox* cmbTarKikan;

    // Pages.
    FlexGrid* gridSyuxtusouHyou;
    FlexGrid* gridSpSisuu;
    FlexGrid* gridGraph;
    PictureBox* Picture1;
    PictureBox* Picture2;
    QPushButton* cmdGraphShift;
    QPushButton* cmdGraphBack;
    FlexGrid* gridYosou;
    FlexGrid* gridTekiseiSisuu;
    FlexGrid* gridTekiseiRentai;
    FlexGrid* gridMochiTime;
    FlexGrid* gridTaisen;
    FlexGrid* gridPrintBacyu;
    PictureBox* picBacyuPrint;
    FlexGrid* gridComment;
    QLabel* lblRaceComment;
    QLineEdit* txtRaceComment;
    QGroupBox* fraConner;
    PictureBox* picCornner;
    QLabel* Label2;
    QLabel* Label3;
    FlexGrid* gridCorce;

    // Start notice.
    QGroupBox* frameStart;
    QLabel* Label1;
    QLabel* lblBabaFileRecnt;
    QLabel* lblBabaNotice;
    QLabel* lblJraFileRecnt;
    QLabel* lblJraNotice;
    QLabel* lblDbKikan;
    QLabel* lblDbNotice;
    QLabel* lblVersion;
    QPushButton* cmdBabaFile;
    QPushButton* cmdJraFile;
    QPushButton* cmdDbRead;
    QLabel* Picture3;
    QPushButton* cmdKanri;
    QPushButton* cmdTest;

    // Commands: one action each; menus and toolbars show them.
    QAction* tbReadWeb;
    QAction* tbFile;
    QAction* tbPrint;
    QAction* tbEnd;
    QAction* tbPrev;
    QAction* tbNext;
    QAction* tbGraph;
    QAction* tbHikaku;
    QAction* menuFilePrint;
    QAction* menuCsv;
    QAction* menuFileEnd;
    QAction* menuDbKakoRead;
    QAction* menuDbSaiteki;
    QAction* menuBabaFileNar;
    QAction* menuBabaFileJra;
    QAction* menuOption;
    QAction* menuHelpHtml;
    QAction* menuHelpGraph;
    // The eleven toolbar pictures by key.
    QHash<QString, QIcon> ImageList1;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The central widget's size changes lay the window out; while busy, input to the pages is
    // held back.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction (frmMain.cpp).
    void buildTopBand();
    void buildSelectors();
    void buildPages();
    void buildFrameStart();
    void connectGridClicks();
    void Form_Load();
    QStringList loadTrackList();
    void endProgramOnce();
    // The close box while work runs: asks whether to stop it and end the program.
    void askToStopAndQuit();
    void raiseWorkWindows();
    // While a stop was asked for: repeats the Cancel until the work has ended, then ends.
    void stopTimer_Timer();

    // Actions, menus and toolbars (frmMainActions.cpp).
    void buildActions();
    void buildMenus();
    void buildToolbars();
    void loadImageList();
    void fillChartToolbar();
    void updateActions();
    bool isPageInput(QObject* watched, QEvent* event) const;
    void tbMenuFile_ButtonClick(const QString& key);
    void tbMenuMove_ButtonClick(const QString& key);
    void menuHelpHtml_Click();

    // Tab pages (frmMainPages.cpp).
    void addPageTabs();
    void tabMain_Click(int index);
    void showChartPage();
    void Picture1_Click();
    void stepHorse(int step);
    void redrawChart();
    void cmdGraphShift_Click();
    void cmdGraphBack_Click();

    // Race read (mainRaceRead.cpp).
    void cmdRaceRead_Click();
    void cmdTest_Click();
    // How far a read came: stopped before the prediction, predicted, or predicted for the pages.
    enum class ReadEnd { Stopped, Predicted, Shown };
    RaceReadOutcome runRead(const QString& tag, ReadEnd (FrmMain::*body)(), bool forBatch = false);
    ReadEnd raceReadBody();
    ReadEnd testReadBody();
    void showReadRace();

    // Fill-all (mainFillAll.cpp).
    void cmbTarKikan_Activated();
    void fillAll();
    void keepChartControlsOnTheirPage();

    void cmdBabaFile_Click();
    void cmdJraFile_Click();
    void cmdDbRead_Click();
    // The administration window (frmMainKanri.cpp).
    void cmdKanri_Click();

    int busy_ = 0;
    std::unique_ptr<BusyGuard> kanriBusy_;  // held while a button of the administration window works
    bool raceShown_ = false;      // a race was read into the pages: the tabs can be used
    bool printButtonOn_ = false;  // button 3 of tbMenuFile
    bool printMenuOn_ = false;    // menuFilePrint
    bool chartToolbarOn_ = false; // tbMenuMove holds its buttons and takes clicks
    bool closing_ = false;
    bool quitAfterWork_ = false;  // the user chose to stop the work and end the program
    QTimer* stopTimer_;
};

// The program's main window while it exists (the loading window takes it as its owner).
FrmMain* frmMain();
