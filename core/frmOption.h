#pragma once
// The options dialog: look-back period of the history import, page time-out, the chart's
// series and the eight prediction weights. OK stores them all; CANCEL stores nothing.
#include <QDialog>
#include <array>
#include <optional>
#include <variant>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QSlider;

// What OK stores, read from the controls and checked before anything is written.
struct OptionChoices {
    std::optional<int> kakoKikan;  // none when the period box is empty
    int timerInter = 0;
    std::array<QString, 7> graphFlags;
    std::array<int, 8> weights;
};

// A field OK cannot store: the control and what the user is told.
struct OptionProblem {
    QComboBox* field;
    QString message;
};

class FrmOption : public QDialog {
    Q_OBJECT
public:
    explicit FrmOption(QWidget* parent = nullptr);

private:
    QGroupBox* buildFrame1();
    QGroupBox* buildFrame2();
    QGroupBox* buildFrame3();
    void Form_Load();
    void loadWeights();
    void setWeights(const std::array<int, 8>& weights);
    std::variant<OptionChoices, OptionProblem> readChoices() const;
    void cmdOk_Click();

    QComboBox* cmbTarKikanUma;
    QComboBox* cmbInterTime;
    std::array<QCheckBox*, 7> chkGraph;
    std::array<QSlider*, 8> sldYosouPara;
    QPushButton* cmdParaHyozyun;
    QPushButton* cmdParaHonnmei;
    QPushButton* cmdParaAna;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
};

// Shows the dialog modeless; a second call brings the open one to the front.
void showFrmOption();
