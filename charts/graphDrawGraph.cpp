#include "charts/graphDrawGraph.h"

#include "core/publicDim.h"
#include "platform/flexgrid.h"
#include "platform/picturebox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

namespace {
GraphSurfaces surfaces;

constexpr uint32_t grey = RGB(128, 128, 128);
constexpr uint32_t black = RGB(0, 0, 0);

template <class T>
T& bound(T* control)
{
    if (!control)
        throw VbError(vbErrObjectMissing, QStringLiteral("chart surface not bound"));
    return *control;
}

// The switched series in the order they are drawn, later ones over earlier ones.
struct Switched {
    int flag;
    void (*draw)(GraphChart&);
    const char* tag;
};
const Switched switchedSeries[] = {
    {6, drawSeriesSisuu3f, "SP_sisuuエラー(err-AD03)"}, {5, drawSeriesCyaku, "cyakuエラー(err-AD09)"},
    {0, drawSeriesTaizyu, "taizyuエラー(err-AD04)"},   {1, drawSeriesWaku, "wakuエラー(err-AD05)"},
    {4, drawSeriesTuka, "tukaエラー(err-AD08)"},       {2, drawSeriesKyori, "kyoriエラー(err-AD06)"},
    {3, drawSeriesBaba, "babaエラー(err-AD07)"},
};

void drawGraphBody()
{
    pd.graphMode = true;
    PictureBox& picture = bound(surfaces.Picture1);
    Canvas& box = picture.canvas();
    box.cls();
    GraphChart c{box, ChartGeometry::of(float(picture.widthTwips()), float(picture.heightTwips()),
                                        pd.raceDate.serial() - pd.graphShiftDays)};
    c.h = pd.umaIdx;
    c.lastRun = lastChartRun(pd.kakoMax);
    bound(surfaces.cmdGraphBack).setVisible(pd.graphShiftDays != 0);
    bound(surfaces.cmdGraphShift).setVisible(true);

    vbTrapAlways(QStringLiteral("罫線エラー(err-AD01)"), [&] { drawGraphFrame(c); });
    drawGraphTitle(c);
    vbTrap(QStringLiteral("SP_sisuuエラー(err-AD03)"), [&] { drawSeriesSisuu(c); });
    for (const Switched& s : switchedSeries)
        if (graphSeriesOn(s.flag))
            vbTrapAlways(QString::fromUtf8(s.tag), [&] { s.draw(c); });
    if (pd.umaIdx == 1) {
        vbTrap(QStringLiteral("Error-graphDrawGraph-2"), [] { fillGridGraph(bound(surfaces.gridGraph)); });
        vbTrapAlways(QStringLiteral("凡例作成エラー(err-AD10)"), [&] { drawGraphLegend(bound(surfaces.Picture2), c.g); });
    }
}
}  // namespace

void bindGraphSurfaces(const GraphSurfaces& s)
{
    surfaces = s;
}

const GraphSurfaces& graphSurfaces()
{
    return surfaces;
}

bool graphSeriesOn(int n)
{
    return pd.graphFlags.at(size_t(n)).compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
}

void drawGraph()
{
    vbTrap(QStringLiteral("Error-graphDrawGraph-1"), drawGraphBody);
}

void drawFirstRunnerGraph()
{
    pd.umaIdx = 1;
    pd.graphShiftDays = 0;
    drawGraph();
}

void drawGraphFrame(GraphChart& c)
{
    Canvas& box = c.box;
    const ChartGeometry& g = c.g;
    const float top = chart::marginTop, left = chart::marginLeft, P = g.bottom(), R = g.right();
    box.setDrawWidth(1);
    box.setDrawStyle(vbDot);
    for (int i = 1; i <= 9; ++i)
        box.line(left, top + g.PH * i / 10, R, top + g.PH * i / 10, grey);
    box.setDrawStyle(vbSolid);
    box.line(left, top + g.PH / 2, R, top + g.PH / 2, black);
    const InkRoom leftOfFrame {.left = 0, .right = roomLeftOf(left, chart::framePen)};
    for (int i = 0; i <= 9; ++i)
        printGraphTextIn(box, 0, top + g.PH * i / 10 - 40, QString::number((10 - i) * 10 + pd.sisuuOffset), 8, leftOfFrame);

    box.setDrawStyle(vbDot);
    const int verticals = chart::windowDays / 14;
    for (int i = 1; i <= verticals; ++i)
        box.line(left + g.PW * i / verticals, top, left + g.PW * i / verticals, P, grey);
    const InkRoom belowFrame {.top = roomBelow(P, chart::framePen), .bottom = g.H};
    const int steps = chart::windowDays / 70;
    for (int i = 0; i <= steps; ++i) {
        const VbDate day(pd.raceDate.serial() - chart::windowDays + 70 * i - pd.graphShiftDays);
        float x = left + g.PW * i / steps - 170;
        if (i == steps)
            x += pd.graphShiftDays == 0 ? -120 : 500;
        printGraphTextIn(box, x, P + 5, Format(day, "m/d"), 8, belowFrame);
    }

    box.setDrawStyle(vbSolid);
    const float yearX = float(left + g.PW * (1 - (365 - pd.graphShiftDays) / double(chart::windowDays)));
    box.line(yearX, top, yearX, P, black);
    printGraphTextIn(box, yearX - 300, P + 5, QStringLiteral("1年前"), 8, belowFrame);

    drawRatioLine(box, g, g.y(double(pd.lineSisuu) - pd.sisuuOffset));

    box.setDrawWidth(chart::framePen);
    box.setDrawStyle(vbSolid);
    box.box(left, top, R, P, black);
}

QString graphTitleHead(int h)
{
    const QString blank = QStringLiteral(" ");
    return QString::number(pd.uWaku(h, 0)) + blank + QString::number(h) + blank + pd.uName(h) + blank + pd.uSeirei(h)
        + blank + QString::number(pd.uTaizyu(h, 0)) + blank + pd.uKisyu(h, 0) + QStringLiteral("(")
        + singleText(pd.uHutan(h, 0)) + QStringLiteral(")   ");
}

void drawGraphTitle(GraphChart& c)
{
    const int h = c.h;
    printChartTitle(c.box, graphTitleHead(h) + pd.uKyakusitu(h, 0) + Format(pd.tuka1Ave(h, 0), "0.0"));
}

int graphRowRunner(int row)
{
    return row >= 2 && row <= pd.tousuu + 1 ? row - 1 : 0;
}
