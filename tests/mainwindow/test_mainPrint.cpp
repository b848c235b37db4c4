#include "mainwindow/mainPrint.h"

#include "mainwindow/mainPrintBacyu.h"
#include "tests/mainwindow/frmMainFixture.h"

namespace {
// Runner h's chart is a plain colour of its own, the legend green: a painted picture tells whose it is.
uint32_t chartColour(int h)
{
    return RGB(h * 12, 0, 255 - h * 12);
}

struct Printing : ::testing::Test {
    void SetUp() override
    {
        initPublic();
        redimUma(18, 150);
        pd.raceTitle = "大井 11R 東京記念";
        Picture1->setWidthTwips(9700);
        Picture1->setHeightTwips(7000);
        Picture2->setWidthTwips(900);
        Picture2->setHeightTwips(8000);
        devices = installPrinters({"Office", "Home"});
        window.show();
    }
    void TearDown() override { printer().setDevices({}, {}); }

    void drawGraph()
    {
        drawn << QString("graph %1 %2").arg(pd.umaIdx).arg(pd.graphShiftDays);
        Picture1->setBackColor(chartColour(pd.umaIdx));
        Picture1->canvas().cls();
        if (pd.umaIdx == 1) {
            Picture2->setBackColor(RGB(0, 200, 0));
            Picture2->canvas().cls();
        }
        pd.graphMode = true;
    }
    // A race of that many runners with its chart shown.
    void chartRace(int runners)
    {
        pd.tousuu = runners;
        for (int h = 1; h <= runners; ++h)
            pd.uName(h) = QString("馬%1").arg(h);
        grid->hide();
        Picture1->show();
    }
    const std::vector<RecordingPrinterDevice::Document>& docs(int device = 0) { return devices[size_t(device)]->documents(); }

    // The picture calls of a document: the rectangle and the colour at its centre.
    static QStringList pictures(const RecordingPrinterDevice::Document& doc)
    {
        QStringList out;
        for (const CanvasOp& op : doc.ops)
            if (op.kind == CanvasOp::Picture)
                out << QString("%1,%2 %3x%4 %5").arg(op.x1).arg(op.y1).arg(op.x2 - op.x1, 0, 'f', 1).arg(op.y2 - op.y1, 0, 'f', 1)
                           .arg(op.picture.pixelColor(op.picture.width() / 2, op.picture.height() / 2).name());
        return out;
    }
    static QString title(const RecordingPrinterDevice::Document& doc)
    {
        const CanvasOp& op = doc.ops.back();
        return QString("%1 %2,%3 %4pt").arg(op.text).arg(op.x1).arg(op.y1).arg(op.fontSize);
    }
    // Cell i of the 4 x 4 chart table holding runner h's chart.
    static QString cell(int i, int h)
    {
        return QString("%1,%2 3800.0x2700.0 %3").arg(i % 4 * 3800).arg(i / 4 * 2700 + 200).arg(vbColor(chartColour(h)).name());
    }
    // The legend: 900 x 8000 twips shrunk by 3800 / 9700 and 2700 / 7000.
    const QString legend = QString("15200,200 %1x%2 #00c800").arg(900 * 3800.0 / 9700, 0, 'f', 1).arg(8000 * 2700.0 / 7000, 0, 'f', 1);

    QWidget window;
    PictureBox* Picture1 = new PictureBox(&window);
    PictureBox* Picture2 = new PictureBox(&window);
    FlexGrid* grid = new FlexGrid(&window);
    PrintSources sources {Picture1, Picture2, grid, [this] { drawGraph(); }, [this] {
                              drawn << "hikaku";
                              pd.graphMode = false;
                          }};
    std::vector<RecordingPrinterDevice*> devices;
    QStringList drawn;
};
}  // namespace

// Five runners: one landscape page, a full row and one chart, the legend shrunk like the charts, the
// title top-left in 5 points; each runner drawn without a shift, then the chart shown before again.
TEST_F(Printing, FiveRunnersOnOneLandscapePage)
{
    chartRace(5);
    pd.umaIdx = 3;
    pd.graphShiftDays = 365;
    drawGraph();
    drawn.clear();
    startPrint(sources, "Office");
    ASSERT_EQ(docs().size(), 1u);
    EXPECT_EQ(std::tuple(docs()[0].orientation, pictures(docs()[0]), title(docs()[0])),
              std::tuple(int(vbPRORLandscape), QStringList {cell(0, 1), cell(1, 2), cell(2, 3), cell(3, 4), cell(4, 5), legend},
                         QString("大井 11R 東京記念 0,0 5pt")));
    EXPECT_EQ(drawn, (QStringList {"graph 1 0", "graph 2 0", "graph 3 0", "graph 4 0", "graph 5 0", "graph 3 365"}));
    EXPECT_EQ(std::tuple(pd.umaIdx, pd.graphShiftDays, pd.graphMode, QApplication::overrideCursor()), std::tuple(3, 365, true, nullptr));
}

// Eighteen runners: page 1 holds 1..16 and is sent before the message, page 2 holds 17 and 18 with
// the legend and the title again; the comparison chart shown before is shown again.
TEST_F(Printing, EighteenRunnersOnTwoPagesWithTheMessageBetween)
{
    chartRace(18);
    drawGraph();
    sources.drawHikaku();
    drawn.clear();
    MsgBoxRecorder rec;
    bool sentBeforeMessage = false;
    rec.setAnswerer([&](const QString&) {
        sentBeforeMessage = docs(1).size() == 1 && docs(1)[0].ended;
        return vbOK;
    });
    startPrint(sources, "Home");
    EXPECT_EQ(std::tuple(rec.texts(), sentBeforeMessage, docs(0).empty()), std::tuple(QStringList {"2ページ目を印刷します"}, true, true));
    ASSERT_EQ(docs(1).size(), 2u);
    QStringList page1;
    for (int h = 1; h <= 16; ++h)
        page1 << cell(h - 1, h);
    EXPECT_EQ(std::tuple(pictures(docs(1)[0]), pictures(docs(1)[1]), title(docs(1)[1]), drawn.last(), pd.graphMode),
              std::tuple(page1 + QStringList {legend}, QStringList {cell(0, 17), cell(1, 18), legend},
                         QString("大井 11R 東京記念 0,0 5pt"), QString("hikaku"), false));
}

// Page 1 failing is dropped with its message, page 2 still prints; an unknown printer name prints on
// the current one. Without any printer the chooser lists none and printing says it cannot.
TEST_F(Printing, FailedPageUnknownNameAndNoPrinter)
{
    chartRace(17);
    devices[0]->failAtCall(3);
    MsgBoxRecorder rec;
    startPrint(sources, "Nowhere");
    EXPECT_EQ(rec.texts(), (QStringList {"印刷できません", "2ページ目を印刷します"}));
    ASSERT_EQ(docs().size(), 2u);
    EXPECT_EQ(std::tuple(docs()[0].aborted, docs()[0].ended, docs()[1].aborted, docs()[1].ended, pictures(docs()[1]).value(0)),
              std::tuple(true, false, false, true, cell(0, 17)));
    EXPECT_TRUE(QApplication::overrideCursor() == nullptr && !printer().docOpen());
    printer().setDevices({}, {});
    chartRace(2);
    rec.clear();
    QPointer<DialogStartPrint> d = showDialogStartPrint(&window, sources);
    EXPECT_EQ(childNamed<QComboBox>(d, "cmbPrinter")->count(), 0);
    QTest::mouseClick(childNamed<QPushButton>(d, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(rec.texts(), QStringList {"印刷できません"});
}

// The sheet: one portrait page, the grid's whole picture at 0, 500 shrunk to 75 % x 70 %, the title
// at 0, 250; nothing at all from a tab that shows neither.
TEST_F(Printing, SheetOnOnePortraitPageAndNothingFromOtherTabs)
{
    chartRace(3);
    fillGridPrintBacyu(*grid);
    Picture1->hide();
    grid->show();
    startPrint(sources, "Office");
    ASSERT_EQ(docs().size(), 1u);
    const QImage sheet = grid->picture().toImage();
    const double w = pixelsToTwips(sheet.width()), h = pixelsToTwips(sheet.height());
    ASSERT_EQ(docs()[0].ops.size(), 2u);
    const CanvasOp& pic = docs()[0].ops[0];
    EXPECT_EQ(std::tuple(docs()[0].orientation, pic.x1, pic.y1, pic.x2, pic.y2, pic.picture.size(), title(docs()[0])),
              std::tuple(int(vbPRORPortrait), 0.0, 500.0, w * 0.75, 500 + h * 0.7, sheet.size(), QString("大井 11R 東京記念 0,250 5pt")));
    grid->hide();
    startPrint(sources, "Office");
    EXPECT_EQ(std::pair(docs().size(), drawn.isEmpty()), std::pair(size_t(1), true));
}
