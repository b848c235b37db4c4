#include "core/dataFiles.h"
#include "platform/flexgriddraw.h"
#include "platform/textcodec.h"
#include "platform/vbformat.h"
#include "sheets/sheetOpen.h"
#include "tests/mainwindow/frmMainFixture.h"
#include "tests/support/canvasInk.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// The longest texts the pages give: nine-letter names and sires, five-letter trainers and jockeys,
// long race titles, central-track turf runs, two-digit corners (sixteen runners), signed margins
// and weight changes.
const QString longName = QStringLiteral("ーーーーーーーーー");
const QString longSire = QStringLiteral("カゼノシンフォニー");
const QString longTitle = QStringLiteral("ＪＲＡ交流ジョッキーズ特別");

QString longTrainer(int h)
{
    return h % 2 ? QStringLiteral("長谷部太一") : QStringLiteral("五十嵐冬樹");
}

QString longJockey(int h)
{
    return h % 2 ? QStringLiteral("小野寺大樹") : QStringLiteral("勅使河原司");
}

QString longHorseName(int h)
{
    return demoHorseName(h) + longName.left(9 - demoHorseName(h).size());
}

// A history row rewritten cell by cell: every other run on 東京's turf, signed margins.
QString longHistoryRow(const QString& row, int index, int h)
{
    QStringList cells = row.split(QStringLiteral("</td>"));
    if (cells.size() < 20)
        return row;
    const auto set = [&cells](int i, const QString& text) { cells[i] = cells[i].left(cells[i].indexOf("<td>") + 4) + text; };
    if (index % 2) {
        set(1, QStringLiteral("Ｊ東京"));
        set(5, QStringLiteral("芝1400"));
    }
    set(3, longTitle);
    set(14, index % 3 ? QStringLiteral("-2.5") : QStringLiteral("12.5"));
    set(17, longJockey(h + index));
    set(19, longTrainer(h));
    return cells.join(QStringLiteral("</td>"));
}

QByteArray longHistory(const DemoRace& race, int h)
{
    QString page = fromCp932(demoHistory(race, h));
    page.replace(demoHorseName(h), longHorseName(h));
    QStringList rows = page.split(QStringLiteral("<tr>"));
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (rows[i].contains(QRegularExpression(QStringLiteral("^<td>\\d{4}/\\d\\d/\\d\\d</td>"))))
            rows[i] = longHistoryRow(rows[i], int(i), h);
    return toCp932(rows.join(QStringLiteral("<tr>")));
}

// The card's runner cells: name, sire, trainer (before its home track), jockey (after the weight carried).
QByteArray longCard(const DemoRace& race)
{
    QString page = fromCp932(demoCard(race));
    for (int h = 1; h <= race.runners; ++h) {
        page.replace(">" + demoHorseName(h) + "<", ">" + longHorseName(h) + "<");
        page.replace(QStringLiteral(">父馬%1<").arg(h, 2, 10, QLatin1Char('0')), ">" + longSire + "<");
    }
    int h = 0;
    const QRegularExpression person(QStringLiteral("<td>[^<（]+（大井）</td><td>(\\d\\d\\.\\d) [^<]+</td>"));
    for (QRegularExpressionMatch m = person.match(page); m.hasMatch(); m = person.match(page, m.capturedStart() + 1)) {
        ++h;
        page.replace(m.capturedStart(), m.capturedLength(),
                     "<td>" + longTrainer(h) + "（大井）</td><td>" + m.captured(1) + ' ' + longJockey(h) + "</td>");
    }
    page.replace(QRegularExpression(QStringLiteral("\\(\\+(\\d)\\)")), QStringLiteral("(-1\\1)"));
    return toCp932(page);
}

// The runs stored as a results import stores them: with their five-letter trainers and jockeys.
void storeLongPeople(int runners)
{
    openDb(slotMain, dataFilePath(DataFileKind::NarData), dbPassword);
    const DbSlotCloser closer(slotMain);
    for (int h = 1; h <= runners; ++h)
        updateRow(slotMain, QStringLiteral("T_Useiseki"), DbRow().set(QStringLiteral("U_name"), longHorseName(h)),
                  DbRow().set(QStringLiteral("U_cyoukyou"), longTrainer(h)).set(QStringLiteral("U_kisyu"), longJockey(h)));
}

// Every cell of a grid whose text, drawn as the grid draws it, is wider or higher than the cell.
QStringList cutCellsOf(const FlexGrid* grid, const QString& where)
{
    QStringList cut;
    for (int r = 0; r < grid->rows(); ++r)
        for (int c = 0; c < grid->cols(); ++c) {
            if (grid->textMatrix(r, c).isEmpty() || grid->colWidth(c) == 0)
                continue;
            const FlexTextLayout layout = grid->cellTextLayout(r, c);
            if (!layout.fits())
                cut << QStringLiteral("%1 %2(%3,%4) \"%5\" %6 > %7").arg(where, grid->objectName()).arg(r).arg(c)
                           .arg(grid->textMatrix(r, c)).arg(layout.width).arg(layout.room.width()) + QStringLiteral(" (%1 > %2 high)").arg(layout.height).arg(layout.room.height());
        }
    return cut;
}

// The cut cells of every shown grid of a window.
QStringList cutCells(const QWidget* window, const QString& where)
{
    QStringList cut;
    for (const FlexGrid* grid : window->findChildren<FlexGrid*>())
        if (grid->isVisible())
            cut << cutCellsOf(grid, where);
    return cut;
}

QRectF opRect(const CanvasOp& op)
{
    if (op.kind == CanvasOp::Circle)
        return QRectF(op.x1 - op.radius, op.y1 - op.radius, 2 * op.radius, 2 * op.radius);
    return QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized();
}

// The chart's frame: the box drawn at the plot's top-left corner.
QRectF frameOf(const std::vector<CanvasOp>& ops)
{
    for (const CanvasOp& op : ops)
        if (op.kind == CanvasOp::Box && op.x1 == 250 && op.y1 == 200)
            return opRect(op);
    return {};
}

QString opText(const QString& where, const CanvasOp& op, const QString& what)
{
    const QRectF r = opRect(op);
    return QStringLiteral("%1 %2 \"%3\" (%4,%5)-(%6,%7)").arg(where, what, op.text).arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom());
}

bool isFrame(const CanvasOp& op)
{
    return op.kind == CanvasOp::Box;
}

bool isDrawn(const CanvasOp& op)
{
    return op.kind != CanvasOp::Cls;
}

// A chart's texts cut by its edges or touching its frame, by their ink, and lines leaving the frame.
QStringList misplacedOnChart(const std::vector<CanvasOp>& ops, const QSizeF& surface, const QString& where)
{
    QStringList wrong;
    for (const QString& clash : inkClashes(ops, surface, isFrame))
        wrong << where + ' ' + clash;
    const QRectF frame = frameOf(ops), inside = frame.adjusted(15, 15, -15, -15);
    for (const CanvasOp& op : ops) {
        const QRectF r = opRect(op);
        if (op.kind == CanvasOp::Line && !frame.isEmpty() && !frame.adjusted(-1, -1, 1, 1).contains(r) && r.intersects(inside))
            wrong << opText(where, op, "line out of the frame");
    }
    return wrong;
}

void saveShot(QWidget* window, const QString& name)
{
    const QString dir = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR) + "/legible";
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(window->grab().save(dir + '/' + name + ".png")) << name.toStdString();
}

struct LongRace : MainWindowTest {
    void SetUp() override
    {
        MainWindowTest::SetUp();
        race.runners = 16;
        const QByteArray type = "text/html; charset=Shift_JIS";
        server.addPage(demoCardTarget(race), longCard(race), type);
        for (int h = 1; h <= race.runners; ++h)
            server.addPage(demoHistoryTarget(h), longHistory(race, h), type);
        openForm();
    }
    void readRace()
    {
        pressRead();
        ASSERT_EQ(std::pair(shown(), pd.tousuu), std::pair(std::string(), 16));
    }
    // Every tab shown in turn: its cut cells, and its picture among the test artefacts.
    QStringList cutCellsOfEveryTab(QWidget* window, QTabBar* tabBar, const QString& prefix)
    {
        QStringList cut;
        for (int i = 0; i < tabBar->count(); ++i) {
            QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(i).center());
            QCoreApplication::processEvents();
            const QString name = prefix + QString::number(i) + '_' + tabBar->tabText(i);
            saveShot(window, name);
            cut << cutCells(window, name);
        }
        return cut;
    }
};

}  // namespace

// A race of the longest texts the pages give: every text of every page of the main window and of every
// sheet is whole in its cell, in the font, size and margins the grid draws it with.
TEST_F(LongRace, EveryCellOfEveryPageAndSheetHoldsItsText)
{
    readRace();
    storeLongPeople(race.runners);
    form->resize(1280, 900);
    QStringList cut = cutCellsOfEveryTab(form.get(), tabs(), "main");
    // The horse-column page prints as the grid draws it, shown or not: its picture among the artefacts.
    const auto* bacyu = control<FlexGrid>("gridPrintBacyu");
    cut << cutCellsOf(bacyu, "print");
    EXPECT_TRUE(bacyu->picture().save(QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR) + "/legible/print.png"));
    const QString name = pd.uName(1);
    ASSERT_EQ(std::tuple(name, pd.uCyoukyou(1, 0), pd.uCyoukyou(1, 1), pd.uChichi(1)),
              std::tuple(longHorseName(1), longTrainer(1), longTrainer(1), longSire));
    const std::pair<SheetKind, QString> sheets[] = {
        {SheetKind::Uma, name}, {SheetKind::Kisyu, longJockey(1)}, {SheetKind::Cyoukyou, longTrainer(1)},
        {SheetKind::Syuboba, pd.uChichi(1)}, {SheetKind::Kextuka, pd.uZyo(1, 1) + Format(pd.uDate(1, 1), "yymmdd") + Format(pd.uRaceNo(1, 1), "00")}};
    for (const auto& [kind, key] : sheets) {
        ASSERT_TRUE(openSheet(kind, key)) << key.toStdString();
        QWidget* sheet = loadedSheet(kind);
        ASSERT_NE(sheet, nullptr);
        QCoreApplication::processEvents();
        cut << cutCellsOfEveryTab(sheet, childNamed<QTabBar>(sheet, "tabMain"), sheetFormName(kind) + '_');
    }
    EXPECT_EQ(cut.join('\n').toStdString(), "");
}

// The chart and the comparison chart of the same race: the ink of every text whole on its surface and clear
// of the frame, the legend's texts clear of each other and of its keys; the comparison's lines stay inside
// the frame.
TEST_F(LongRace, ChartTextsAndLinesStayInTheirPlaces)
{
    readRace();
    auto* chart = control<PictureBox>("Picture1");
    auto* legend = control<PictureBox>("Picture2");
    CanvasRecorder chartOps, legendOps;
    chart->setRecorder(&chartOps);
    legend->setRecorder(&legendOps);
    pd.graphFlags.fill("true");  // every series and every key of the legend
    clickTab("グラフ");
    const QSizeF chartSize(chart->widthTwips(), chart->heightTwips());
    QStringList wrong = misplacedOnChart(chartOps.ops(), chartSize, "chart");
    wrong << inkClashes(legendOps.ops(), QSizeF(legend->widthTwips(), legend->heightTwips()), isDrawn);
    ASSERT_FALSE(legendOps.ops().empty());
    saveShot(form.get(), "chart");
    chartOps.clear();
    action("tbMenuMove_Hikaku")->trigger();
    ASSERT_FALSE(frameOf(chartOps.ops()).isEmpty());
    wrong << misplacedOnChart(chartOps.ops(), chartSize, "comparison");
    saveShot(form.get(), "comparison");
    chart->setRecorder(nullptr);
    legend->setRecorder(nullptr);
    EXPECT_EQ(wrong.join('\n').toStdString(), "");
}

// While the pages load, the loading window shows its whole label (the longest runner's line) and CANCEL.
TEST_F(LongRace, TheLoadingWindowShowsItsWholeLabelAndCancel)
{
    for (int h = 1; h <= race.runners; ++h)
        server.setDelayFirstN(demoHistoryTarget(h), 1, 20);
    QStringList unreadable;
    QImage shot;
    const auto watcher = whenever([&] {
        if (!isDialogWebLoaded() || !dialogWeb().isVisible())
            return false;
        DialogWeb& dialog = dialogWeb();
        const QRect cancel = dialog.cmdCancel->geometry();
        if (dialog.lblTitle->width() < dialog.lblTitle->sizeHint().width() || !dialog.rect().contains(cancel)
            || !dialog.cmdCancel->isVisible())
            unreadable << dialog.lblTitle->text();
        if (dialog.lblTitle->text().contains(longHorseName(16)))
            shot = dialog.grab().toImage();
        return false;
    });
    readRace();
    EXPECT_EQ(std::pair(unreadable, shot.isNull()), std::pair(QStringList(), false));
    const QString dir = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR) + "/legible";
    EXPECT_TRUE(QDir().mkpath(dir) && shot.save(dir + "/loading.png"));
}
