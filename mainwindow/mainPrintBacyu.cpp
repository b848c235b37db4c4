#include "mainwindow/mainPrintBacyu.h"

#include "analysis/mainGrid.h"
#include "core/publicDim.h"
#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

namespace {
constexpr int slotCount = 18;
constexpr int blockRows = 5;
constexpr int pastRuns = 5;
constexpr double fontPoints = 8;
constexpr uint32_t shade = 0xE0E0E0;
constexpr uint32_t red = 0xFF;
constexpr uint32_t black = 0x0;

int blockRow(int h)
{
    return (h - 1) * blockRows;
}

// The narrow column of run k; its wide column is the next one.
int runCol(int k)
{
    return 2 * (k - 1) + 6;
}

void setUpSheet(FlexGrid& grid)
{
    grid.setCols(bacyuCols);
    grid.setRows(bacyuRows);
    grid.setGridFontSize(fontPoints);
    grid.setWordWrap(false);
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setRowHeightMin(50);
    const int widths[bacyuCols] = {250, 250, 1500, 700, 400, 400, 400, 1800, 400, 1800, 400, 1800, 400, 1800, 400, 1800};
    for (int c = 0; c < bacyuCols; ++c) {
        grid.setColWidth(c, widths[c]);
        grid.setColAlignment(c, flexAlignGeneral);
    }
}

// Neighbouring runners and neighbouring runs alternate between grey and white.
void shadeBlocks(FlexGrid& grid)
{
    static const std::vector<int> oddCols {6, 7, 10, 11, 14, 15, 3, 1};
    static const std::vector<int> evenCols {8, 9, 12, 13, 4, 5, 2};
    for (int h = 1; h <= slotCount; ++h)
        for (int c : h % 2 ? oddCols : evenCols)
            for (int r = blockRow(h); r < blockRow(h) + blockRows; ++r)
                grid.setCellBackColor(r, c, shade);
}

// Bracket colours of column 0; brackets 5..8 keep the grid's text colour, bracket 1 everything.
void colourFrame(FlexGrid& grid, int b, int waku)
{
    static const std::pair<uint32_t, bool> frames[] = {
        {vbWindowText, true}, {0xFF, true}, {0xFF0000, true}, {0x80FFFF, false},
        {0xC000, false},      {0x80FF, false}, {0xC0C0FF, false}};
    if (waku < 2 || waku > 8)
        return;
    const auto& [back, whiteText] = frames[waku - 2];
    for (int r = b; r < b + blockRows; ++r) {
        grid.setCellBackColor(r, 0, back);
        if (whiteText)
            grid.setCellForeColor(r, 0, white);
    }
}

void writeRunner(FlexGrid& grid, int h)
{
    const int b = blockRow(h);
    const int waku = pd.uWaku(h, 0);
    if (h == 1 || waku != pd.uWaku(h - 1, 0))
        grid.setTextMatrix(b, 0, QString::number(waku));
    colourFrame(grid, b, waku);
    grid.setTextMatrix(b, 1, QString::number(h));
    grid.setTextMatrix(b + 2, 1, pd.sirusi(h));
    grid.setTextMatrix(b + 2, 2, pd.uName(h));
    grid.setTextMatrix(b + 1, 3, pd.uKisyu(h, 0));
    grid.setCellForeColor(b + 1, 3, pd.uKisyu(h, 0).left(3) != pd.uKisyu(h, 1).left(3) ? red : black);
    grid.setTextMatrix(b + 2, 3, Format(pd.uHutan(h, 0), QStringLiteral("00.0")));
    grid.setTextMatrix(b + 3, 3, QString::number(pd.uTaizyu(h, 0)));
    grid.setTextMatrix(b, 3, pd.uSeirei(h));
    grid.setTextMatrix(b, 4, QStringLiteral("予想"));
    grid.setTextMatrix(b + 1, 4, Format(pd.yosouSisuu(h), QStringLiteral("00")));
    grid.setTextMatrix(b, 5, QStringLiteral("基礎"));
    grid.setTextMatrix(b + 1, 5, Format(pd.kisoSisuu(h, 0), QStringLiteral("00")));
    grid.setTextMatrix(b + 3, 4, pd.uKyakusitu(h, 0));
    if (pd.tuka1Ave(h, 0) > 0)
        grid.setTextMatrix(b + 3, 5, Format(pd.tuka1Ave(h, 0), QStringLiteral("#0.0")));
    const float wins = pd.taisenMatrix(h, 0, 0), losses = pd.taisenMatrix(h, 0, 1);
    if (wins + losses > 0)
        grid.setTextMatrix(b + 4, 3, Format(double(wins) / (double(wins) + losses), QStringLiteral("0%")));
    grid.setTextMatrix(b + 4, 4, singleText(wins));
    grid.setTextMatrix(b + 4, 5, singleText(losses));
}

QString goingLetter(int baba)
{
    static const QString letters[] = {QStringLiteral("良"), QStringLiteral("稍"), QStringLiteral("重"),
                                      QStringLiteral("不")};
    return baba >= 1 && baba <= 4 ? letters[baba - 1] : QString();
}

QString dateLine(int h, int k)
{
    return pd.uZyo(h, k) + QLatin1Char(' ') + Format(pd.uDate(h, k), QStringLiteral("mmdd")) + QLatin1Char(' ')
        + goingLetter(pd.uBaba(h, k)) + QLatin1Char(' ') + (pd.uSiba(h, k) == 1 ? QStringLiteral("芝") : QString())
        + QString::number(pd.uKyori(h, k));
}

QString placingLine(int h, int k)
{
    return QString::number(pd.uCyaku(h, k)) + QLatin1Char('/') + QString::number(pd.uTousuu(h, k)) + QLatin1Char(' ')
        + QString::number(pd.uNinki(h, k)) + QStringLiteral("人 ") + pd.uKisyu(h, k) + QLatin1Char(' ')
        + singleText(pd.uHutan(h, k));
}

QString bodyLine(int h, int k)
{
    QString text = QString::number(pd.uNo(h, k)) + QStringLiteral("番 ") + QString::number(pd.uTaizyu(h, k));
    if (pd.u3f(h, k) != 0)
        text += QStringLiteral("\u3000  ") + Format(pd.u3f(h, k), QStringLiteral("00.0"));
    return text;
}

QString timeLine(int h, int k)
{
    return singleText(pd.uTime(h, k)) + QLatin1Char('(') + singleText(pd.uCyakusa(h, k)) + QStringLiteral(")  ")
        + QStringLiteral("%1-%2-%3-%4")
              .arg(pd.uTuka(h, 1, k))
              .arg(pd.uTuka(h, 2, k))
              .arg(pd.uTuka(h, 3, k))
              .arg(pd.uTuka(h, 4, k));
}

void writeRun(FlexGrid& grid, int h, int k)
{
    const int b = blockRow(h), n = runCol(k);
    grid.setTextMatrix(b, n, Format(pd.uSisuu(h, k), QStringLiteral("00")));
    grid.setCellFontBold(b, n, true);
    grid.setCellForeColor(b, n, pd.uSisuu(h, k) > pd.lineSisuu ? red : black);
    if (pd.uSisuu3f(h, k) != 0) {
        grid.setTextMatrix(b + 2, n, Format(pd.uSisuu3f(h, k), QStringLiteral("00")));
        grid.setCellFontBold(b + 2, n, false);
        grid.setTextMatrix(b + 1, n, QStringLiteral("上がり"));
        grid.setCellFontBold(b + 1, n, false);
        grid.setCellFontSize(b + 1, n, 6);
    }
    grid.setTextMatrix(b, n + 1, dateLine(h, k));
    grid.setTextMatrix(b + 1, n + 1, pd.uRname(h, k));
    grid.setCellFontSize(b + 1, n + 1, fontPoints - 1);
    grid.setTextMatrix(b + 2, n + 1, placingLine(h, k));
    grid.setColAlignment(n + 1, flexAlignLeftCenter);
    grid.setTextMatrix(b + 3, n + 1, bodyLine(h, k));
    grid.setTextMatrix(b + 4, n + 1, timeLine(h, k));
}
}  // namespace

// Each fill starts from a fresh grid, so an earlier race's colours never show through.
void fillGridPrintBacyu(FlexGrid& grid)
{
    vbTrap(QStringLiteral("bacyuエラー(err-BA01)"), [&] {
        const GridFill fill(grid);
        setUpSheet(grid);
        shadeBlocks(grid);
        for (int h = 1; h <= slotCount; ++h) {
            if (pd.uName(h).isEmpty())
                continue;
            writeRunner(grid, h);
            for (int k = 1; k <= pastRuns; ++k)
                if (pd.uDate(h, k).serial() > 0)
                    writeRun(grid, h, k);
        }
    });
}
