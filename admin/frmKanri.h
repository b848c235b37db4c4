#pragma once
// The administration window: the index evaluation with standard-time correction and index
// recalculation, the track-file build, the batch prediction run, the jockey-name rewrite and
// two test buttons. While it exists the main window's race read works in batch mode.
#include "admin/kanriSisuuHyouka.h"
#include "admin/kanriZyunkai.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the window uses of the main window.
struct KanriHost {
    RaceReader raceReader;
    std::function<void()> drawGraph;      // the history chart of runner umaIdx
    std::function<void(bool)> setBusy;    // the main window's busy guard, held while a button works
};

class FrmKanri : public QWidget {
    Q_OBJECT
public:
    FrmKanri(QWidget* owner, KanriHost host);

    // True while a button's work runs (the window then refuses to close).
    bool isWorking() const { return working_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class KanriWorking;

    QGroupBox* buildFrame5();
    QGroupBox* buildFrame4();
    QGroupBox* buildFrame3();
    QGroupBox* buildFrame2();
    QGroupBox* buildFrame1();
    void Form_Load();
    HyoukaTarget target() const;
    void setWorking(bool on);
    // Runs one button's work: see the definition.
    void runOperation(const QString& name, bool holdsSlots, const std::function<void()>& work);

    void cmdAnalSisuu_Click();
    void cmdTimeChange_Click();
    void cmdReCal_Click();
    void cmdBabaFile_Click();
    void cmbZyunkai_Click();
    void Command1_Click();
    void Command2_Click();
    void cmdWebRead_Click();

    KanriHost host_;
    bool working_ = false;

    QLineEdit* TxtTar01;
    QLineEdit* TxtTar02;
    QLineEdit* TxtTarZyo;
    QComboBox* cmbAnalSisuuSyurui;
    QLineEdit* TxtHosei;
    QLineEdit* txtAve01;
    QLineEdit* txtAve02;
    QLineEdit* txtCount;
    QPushButton* cmdAnalSisuu;
    QPushButton* cmdTimeChange;
    QPushButton* cmdReCal;
    QComboBox* cmbNenBaba;
    QCheckBox* chkReCal;
    QPushButton* cmdBabaFile;
    QLineEdit* txtZyunkaiDate;
    QPushButton* cmbZyunkai;
    QLabel* txtRaceInfo;
    QPushButton* Command1;
    QPushButton* Command2;
    QLineEdit* txtURL;
    QPushButton* cmdWebRead;
};

// Shows the single window modeless, owned by `owner`; a second call raises the open one.
void showFrmKanri(QWidget* owner, KanriHost host);

// The jockey-name rule of the rewrite: the part before the first half-width "(", and of a part of
// exactly four characters its last three; a name without "(" stays whole.
QString cutKisyuName(const QString& name);
// Rewrites every stored U_kisyu by that rule; only changed rows are written. Cancel rolls back.
void convertKisyuNames();
