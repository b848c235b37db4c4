#include "mainwindow/mainPrint.h"

#include "charts/graphDrawGraph.h"
#include "charts/graphDrawHikaku.h"
#include "core/publicDim.h"
#include "mainwindow/frmMain.h"
#include "platform/flexgrid.h"
#include "platform/fonts.h"
#include "platform/msgbox.h"
#include "platform/picturebox.h"
#include "platform/printer.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPointer>

namespace {
constexpr double cellWidth = 3800;
constexpr double cellHeight = 2700;
constexpr double cellsTop = 200;
constexpr int cellsAcross = 4;
constexpr int runnersPerPage = 16;
constexpr double titleFontSize = 5;
const QString cannotPrint = QStringLiteral("印刷できません");

// The hourglass while a page is printed, the usual pointer again however the page ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// One page as one document: a failure drops the document and says so; the caller goes on.
template <class F>
void printDocument(const QString& printerName, int orientation, F&& drawPage)
{
    vbTrap(cannotPrint, [&] {
        BusyCursor busy;
        Printer& p = printer();
        PrinterDocGuard guard(p);
        p.selectByName(printerName);
        p.setOrientation(orientation);
        p.setScaleMode(vbTwips);
        drawPage(p);
        p.endDoc();
    });
}

void printTitle(Printer& p, double y)
{
    p.setCurrentX(0);
    p.setCurrentY(y);
    p.setFontSize(titleFontSize);
    p.print(pd.raceTitle);
}

// What printing the chart pages changes and the user did not ask for.
struct ChartState {
    int32_t umaIdx = pd.umaIdx;
    int32_t graphShiftDays = pd.graphShiftDays;
    bool graphMode = pd.graphMode;

    void restore(const PrintSources& sources) const
    {
        pd.umaIdx = umaIdx;
        pd.graphShiftDays = graphShiftDays;
        if (graphMode)
            sources.drawGraph();
        else
            sources.drawHikaku();
    }
};
}  // namespace

void printGraphPage(const PrintSources& sources, const QString& printerName, int first, int last)
{
    printDocument(printerName, vbPRORLandscape, [&](Printer& p) {
        PictureBox& chart = *sources.Picture1;
        for (pd.umaIdx = first; pd.umaIdx <= last; ++pd.umaIdx) {
            const int i = pd.umaIdx - first;
            pd.graphShiftDays = 0;
            sources.drawGraph();
            p.paintPicture(chart.image(), (i % cellsAcross) * cellWidth, (i / cellsAcross) * cellHeight + cellsTop,
                           cellWidth, cellHeight);
        }
        const double sx = cellWidth / chart.widthTwips(), sy = cellHeight / chart.heightTwips();
        PictureBox& legend = *sources.Picture2;
        p.paintPicture(legend.image(), cellsAcross * cellWidth, cellsTop, legend.widthTwips() * sx,
                       legend.heightTwips() * sy);
        p.setScaleMode(vbCharacters);
        printTitle(p, 0);
    });
}

void printGraphPages(const PrintSources& sources, const QString& printerName)
{
    vbTrap(QStringLiteral("Error-mainPrint-2"), [&] {
        const int n = pd.tousuu;
        if (n > runnersPerPage) {
            printGraphPage(sources, printerName, 1, runnersPerPage);
            msgBox(QStringLiteral("2ページ目を印刷します"));
            printGraphPage(sources, printerName, runnersPerPage + 1, n);
        } else {
            printGraphPage(sources, printerName, 1, n);
        }
    });
}

// The whole 90 x 16 grid as one picture, shrunk to 75 % of its width and 70 % of its height.
void printBacyu(const PrintSources& sources, const QString& printerName)
{
    printDocument(printerName, vbPRORPortrait, [&](Printer& p) {
        const QImage sheet = sources.gridPrintBacyu->picture().toImage();
        p.paintPicture(sheet, 0, 500, pixelsToTwips(sheet.width()) * 0.75, pixelsToTwips(sheet.height()) * 0.7);
        printTitle(p, 250);
    });
}

void startPrint(const PrintSources& sources, const QString& printerName)
{
    vbTrap(QStringLiteral("Error-mainPrint-1"), [&] {
        if (sources.Picture1 && sources.Picture1->isVisible()) {
            const ChartState before;
            printGraphPages(sources, printerName);
            before.restore(sources);
        } else if (sources.gridPrintBacyu && sources.gridPrintBacyu->isVisible()) {
            printBacyu(sources, printerName);
        }
    });
}

DialogStartPrint::DialogStartPrint(QWidget* owner, PrintSources sources)
    : QDialog(owner), sources_(std::move(sources))
{
    setObjectName(QStringLiteral("dialogStartPrint"));
    setWindowTitle(QStringLiteral("プリンタ選択"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(vbFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    cmbPrinter = combo(QStringLiteral("cmbPrinter"), this);
    cmbPrinter->setMinimumWidth(twipsToPixels(3600));
    auto* cmdPrint = button(QStringLiteral("cmdPrint"), QStringLiteral("印刷開始"), this);
    connect(cmdPrint, &QPushButton::clicked, this, &DialogStartPrint::cmdPrint_Click);
    auto* row = new QHBoxLayout(this);
    row->addWidget(cmbPrinter);
    row->addWidget(cmdPrint);
    Form_Load();
}

void DialogStartPrint::Form_Load()
{
    vbTrap(QStringLiteral("Error-dialogStartPrint"), [&] {
        const QString kept = printer().deviceName();
        for (const QString& name : printer().deviceNames()) {
            cmbPrinter->addItem(name);
            if (name == kept)
                cmbPrinter->setCurrentText(name);
        }
    });
}

// The chooser closes after every print, also after a failed one.
void DialogStartPrint::cmdPrint_Click()
{
    startPrint(sources_, cmbPrinter->currentText());
    close();
}

DialogStartPrint* showDialogStartPrint(QWidget* owner, const PrintSources& sources)
{
    static QPointer<DialogStartPrint> dialog;
    if (dialog)
        dialog->close();
    dialog = new DialogStartPrint(owner, sources);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void showPrintChooser(FrmMain& form)
{
    showDialogStartPrint(&form, {form.Picture1, form.Picture2, form.gridPrintBacyu, drawGraph, drawHikaku});
}
