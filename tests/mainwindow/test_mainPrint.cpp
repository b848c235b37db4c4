#include "mainwindow/mainPrint.h"

#include "tests/mainwindow/frmMainFixture.h"

namespace {
// Runner h's chart is a plain colour of its own, the legend green: a painted picture tells whose it is.
uint32_t chartColour(int h)
{
    return RGB(h * 12, 0, 255 - h * 12);
}

const QString title = "大井 11R 東京記念";

// A sent chart page of runners first..last: cell i of the 4 x 4 table holds the i-th runner's chart
// (3800 x 2700 twips); the legend 900 x 8000 shrunk by 3800 / 9700 and 2700 / 7000; the title
// top-left in 5 points.
QString chartPage(int first, int last)
{
    QStringList page {"ended", "landscape"};
    for (int h = first, i = 0; h <= last; ++h, ++i)
        page << QString("%1,%2 3800.0x2700.0 %3").arg(i % 4 * 3800).arg(i / 4 * 2700 + 200).arg(vbColor(chartColour(h)).name());
    page << QString("15200,200 %1x%2 #00c800").arg(900 * 3800.0 / 9700, 0, 'f', 1).arg(8000 * 2700.0 / 7000, 0, 'f', 1);
    return (page << title + " 0,0 5pt").join(" | ");
}
}  // namespace

// Each runner drawn without a shift; page 1 of two is sent before the message; without any printer the
// chooser lists none and printing says it cannot.
TEST(Printing, ChartPagesFailedPageAndNoPrinter)
{
    initPublic();
    redimUma(18, 150);
    pd.raceTitle = title;
    QWidget window;
    auto* Picture1 = new PictureBox(&window);
    auto* Picture2 = new PictureBox(&window);
    Picture1->setWidthTwips(9700);
    Picture1->setHeightTwips(7000);
    Picture2->setWidthTwips(900);
    Picture2->setHeightTwips(8000);
    auto devices = installPrinters({"Office", "Home"});
    window.show();
    QStringList drawn;
    const auto drawGraph = [&] {
        drawn << QString("graph %1 %2").arg(pd.umaIdx).arg(pd.graphShiftDays);
        Picture1->setBackColor(chartColour(pd.umaIdx));
        Picture1->canvas().cls();
        if (pd.umaIdx == 1) {
            Picture2->setBackColor(RGB(0, 200, 0));
            Picture2->canvas().cls();
        }
        pd.graphMode = true;
    };
    const PrintSources sources {Picture1, Picture2, new FlexGrid(&window), drawGraph, [&] {
                                    drawn << "hikaku";
                                    pd.graphMode = false;
                                }};
    // Each document of a printer: ended or aborted, orientation, the picture calls (rectangle and the
    // colour at its centre), the last call's text with its place and size.
    const auto pages = [&](int device = 0) {
        QStringList out;
        for (const RecordingPrinterDevice::Document& doc : devices[size_t(device)]->documents()) {
            QStringList page {QString(doc.ended ? "ended" : "") + (doc.aborted ? "aborted" : ""),
                              doc.orientation == vbPRORLandscape ? "landscape" : "portrait"};
            for (const CanvasOp& op : doc.ops)
                if (op.kind == CanvasOp::Picture)
                    page << QString("%1,%2 %3x%4 %5").arg(op.x1).arg(op.y1).arg(op.x2 - op.x1, 0, 'f', 1).arg(op.y2 - op.y1, 0, 'f', 1)
                                .arg(op.picture.pixelColor(op.picture.width() / 2, op.picture.height() / 2).name());
            const CanvasOp& op = doc.ops.back();
            out << (page << QString("%1 %2,%3 %4pt").arg(op.text).arg(op.x1).arg(op.y1).arg(op.fontSize)).join(" | ");
        }
        return out;
    };
    pd.tousuu = 5;
    pd.umaIdx = 3;
    pd.graphShiftDays = 365;
    drawGraph();
    drawn.clear();
    startPrint(sources, "Office");
    EXPECT_EQ(std::tuple(pages(), drawn, pd.umaIdx, pd.graphShiftDays, pd.graphMode, QApplication::overrideCursor()),
              std::tuple(QStringList {chartPage(1, 5)}, QStringList {"graph 1 0", "graph 2 0", "graph 3 0", "graph 4 0", "graph 5 0", "graph 3 365"},
                         3, 365, true, nullptr));
    // Sixteen charts fill one page; the seventeenth starts a second.
    for (const auto& [runners, sent] : {std::pair(16, QStringList {chartPage(1, 16)}),
                                        std::pair(17, QStringList {chartPage(1, 16), chartPage(17, 17)})}) {
        devices = installPrinters({"Office", "Home"});
        pd.tousuu = runners;
        const MsgBoxRecorder quiet;
        startPrint(sources, "Office");
        EXPECT_EQ(std::pair(pages(), quiet.texts().size()), std::pair(sent, sent.size() - 1)) << runners;
    }
    devices = installPrinters({"Office", "Home"});
    pd.tousuu = 18;
    sources.drawHikaku();
    MsgBoxRecorder rec;
    bool sentBeforeMessage = false;
    rec.setAnswerer([&](const QString&) {
        sentBeforeMessage = pages(1) == QStringList {chartPage(1, 16)};
        return vbOK;
    });
    startPrint(sources, "Home");
    EXPECT_EQ(std::tuple(rec.texts(), sentBeforeMessage, pages(0).size(), pages(1), drawn.last(), pd.graphMode),
              std::tuple(QStringList {"2ページ目を印刷します"}, true, 0LL, QStringList {chartPage(1, 16), chartPage(17, 18)},
                         QString("hikaku"), false));
    // Page 1 failing is dropped with its message, page 2 still prints; an unknown printer name prints
    // on the current one.
    pd.tousuu = 17;
    rec.setAnswerer({});
    rec.clear();
    devices = installPrinters({"Office", "Home"});
    devices[0]->failAtCall(3);
    startPrint(sources, "Nowhere");
    const QStringList sent = pages();
    EXPECT_EQ(std::tuple(rec.texts(), sent.size(), sent.value(0).section(" | ", 0, 0), sent.value(1)),
              std::tuple(QStringList {"印刷できません", "2ページ目を印刷します"}, 2LL, QString("aborted"), chartPage(17, 17)));
    EXPECT_TRUE(QApplication::overrideCursor() == nullptr && !printer().docOpen());
    printer().setDevices({}, {});
    pd.tousuu = 2;
    QPointer<DialogStartPrint> d = showDialogStartPrint(&window, sources);
    QTest::mouseClick(childNamed<QPushButton>(d, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(std::pair(childNamed<QComboBox>(d, "cmbPrinter")->count(), rec.texts().mid(2)), std::pair(0, QStringList {"印刷できません"}));
}
