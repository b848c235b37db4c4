#pragma once
// Printing what the main window shows: the history charts of all runners, sixteen to an A4
// landscape page with the legend and the race title, or the horse-column sheet on one A4
// portrait page; and the printer chooser that starts it.
#include <QDialog>
#include <functional>

class FlexGrid;
class FrmMain;
class PictureBox;
class QComboBox;

// What printing reads of the main window and how it draws the charts there.
struct PrintSources {
    PictureBox* Picture1 = nullptr;  // the chart; shown while the chart tab is
    PictureBox* Picture2 = nullptr;  // the legend
    FlexGrid* gridPrintBacyu = nullptr;
    std::function<void()> drawGraph;   // the history chart of runner umaIdx on Picture1
    std::function<void()> drawHikaku;  // the comparison chart on Picture1
};

class DialogStartPrint : public QDialog {
    Q_OBJECT
public:
    DialogStartPrint(QWidget* owner, PrintSources sources);

private:
    void Form_Load();
    void cmdPrint_Click();

    PrintSources sources_;
    QComboBox* cmbPrinter;
};

// Shows the single printer chooser (modeless, owned by `owner`), its list filled afresh.
DialogStartPrint* showDialogStartPrint(QWidget* owner, const PrintSources& sources);
// The chooser for the main window's chart and sheet.
void showPrintChooser(FrmMain& form);

// Prints on the printer named `printerName` (the current printer when none has that name): the
// chart pages when the chart is shown, else the sheet when it is shown, else nothing. The runner,
// the year shift and the chart shown before are restored afterwards.
void startPrint(const PrintSources& sources, const QString& printerName);
void printGraphPages(const PrintSources& sources, const QString& printerName);
void printGraphPage(const PrintSources& sources, const QString& printerName, int first, int last);
void printBacyu(const PrintSources& sources, const QString& printerName);
