#pragma once
// The results import window: reads every local track's results over a range of days into the
// race database, and shows per day and track how many result races are stored for a year.
#include <QWidget>

class FlexGrid;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class FrmWebSeiseki : public QWidget {
    Q_OBJECT
public:
    explicit FrmWebSeiseki(QWidget* owner = nullptr);

    // True while the import or the status grid is at work (the window then refuses to close).
    bool isWorking() const { return working_; }

    QGroupBox* Frame1;
    QComboBox* cmbStartNen;
    QComboBox* cmbStartTuki;
    QComboBox* cmbStartHi;
    QComboBox* cmbEndNen;
    QComboBox* cmbEndTuki;
    QComboBox* cmbEndHi;
    QPushButton* cmdWebStart;
    QComboBox* cmbYomiNen;
    QLabel* Label9;
    QPushButton* cmdTorikomiGrid;
    QPlainTextEdit* txtYmikomi;
    FlexGrid* gridYomikomi;
    QPushButton* cmdEnd;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class WorkingState;

    QGroupBox* buildFrame1();
    void Form_Load();
    void cmdWebStart_Click();
    void cmdTorikomiGrid_Click();
    void cmbYomiNen_Click();
    void cmdEnd_Click();
    void showYomikomiGrid();
    void readWebSeisekiRange();
    void setWorking(bool on);

    bool working_ = false;
};

// The single window, created on first use; shown modeless.
void showFrmWebSeiseki(QWidget* owner = nullptr);
