// The race card page: title line, race name, one block of six rows per runner, horse links.
#include "webimport/ReadWeb.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/vbformat.h"
#include "webimport/raceTitle.h"
#include "webimport/webText.h"

#include <vector>

namespace {

const QString horsePath =
    QStringLiteral("/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=");
constexpr int horseIdLength = 10;
constexpr int maxRunners = 18;
constexpr int cardRuns = 5;
constexpr int blockRows = 6;
const QString cardBreadcrumb = QStringLiteral("HOME ＞ 出馬表");

// The header row of the runner table among rows 8..15; 16 when there is none.
int runnerHeaderRow()
{
    for (int r = 8; r <= 15; ++r)
        if (webCell(r, 1).startsWith(QStringLiteral("枠番")))
            return r;
    return 16;
}

// The first row of the k-th runner block.
int blockRow(int k)
{
    return runnerHeaderRow() + 2 + blockRows * (k - 1);
}

// Whether the block's first row holds the bracket cell (a bracket's first runner does); in the
// others every cell stands one place further left.
bool hasBracketCell(int b)
{
    return IsNumeric(webCell(b, 2));
}

const QString& horseNumberCell(int b)
{
    return webCell(b, hasBracketCell(b) ? 2 : 1);
}

// Every runner block, from the first on while blocks begin with a horse number, has its six rows,
// and its last row the cells of today's weights and trainer; a card without any runner block is
// none. The past-run cells after them are not demanded: a runner with fewer than five runs may
// leave them out, and an empty one reads as no run anyway.
bool runnerBlocksFallShort()
{
    constexpr int lastRowCells = 4;
    if (!IsNumeric(horseNumberCell(blockRow(1))))
        return true;
    for (int k = 1; k <= maxRunners && IsNumeric(horseNumberCell(blockRow(k))); ++k)
        if (webCellCount(blockRow(k) + blockRows - 1) < lastRowCells)
            return true;
    return false;
}

// The header goes into the shared race state also when a marker is missing: what was read
// before it stays, and the keys the race read set beforehand stay unless replaced.
void takeTitle(const RaceTitle& race)
{
    if (!race.raceZyo.isEmpty())
        pd.raceZyo = race.raceZyo;
    pd.raceChiku = race.raceChiku;
    if (!race.raceCode.isEmpty())
        pd.raceCode = race.raceCode;
    pd.raceDate = race.raceDate;
    pd.raceNo = race.raceNo;
    pd.raceSiba = race.raceSiba;
    pd.raceKyori = race.raceKyori;
    pd.raceBaba = race.raceBaba;
}

void parseTitleLines(int t)
{
    pd.raceTitle = webCell(t, 1);
    RaceTitle race;
    try {
        parseRaceTitle(pd.raceTitle, race);
    } catch (...) {
        takeTitle(race);
        throw;
    }
    takeTitle(race);
    race.raceSyurui = pd.raceSyurui;
    parseRaceNameLine(webCell(t + 1, 1), race);
    pd.raceName = race.raceName;
    pd.raceSyurui = race.raceSyurui;
    // The first of these letters that the name holds, wherever it stands, starts the class.
    for (const QChar letter : QStringView(u"ＡＢＣＤＥＦ")) {
        const qsizetype p = pd.raceName.indexOf(letter);
        if (p >= 0) {
            pd.raceClass = pd.raceName.mid(p, 2);
            break;
        }
    }
}

// Corner positions of a past run from the tail of its cell: "（...）3-3-2-1", "（...）5-4".
void parseCorners(int k, int r, const QString& cell)
{
    const QString s = cell.right(25);
    const qsizetype close = s.indexOf(QStringLiteral("）"));
    if (close < 0)
        return;
    qsizetype start = close + 1;
    for (int c = 1; c <= 4; ++c) {
        const qsizetype dash = s.indexOf(u'-', start);
        if (dash < 0) {
            const QString last = trimSpaces(s.mid(start, 3));
            if (IsNumeric(last))
                pd.uTuka(k, c, r) = CLngText(last);
            return;
        }
        pd.uTuka(k, c, r) = CLngText(trimSpaces(s.mid(start, dash - start)));
        start = dash + 1;
    }
}

void parseRunner(int k, int b, int32_t bracket)
{
    pd.tousuu += 1;
    pd.uDate(k, 0) = pd.raceDate;
    pd.uKyori(k, 0) = pd.raceKyori;
    pd.uZyo(k, 0) = pd.raceZyo;
    pd.uRaceNo(k, 0) = pd.raceNo;
    pd.uWaku(k, 0) = bracket;
    pd.uName(k) = trimSpaces(webCell(b + 1, 1));
    const QString weight = webCell(b + 5, 4).left(3);
    if (IsNumeric(weight))
        pd.uTaizyu(k, 0) = CLngText(weight);
    const QString carried = webCell(b + 5, 3);
    const int o = IsNumeric(carried.left(1)) ? 0 : 2;
    if (IsNumeric(carried.mid(o, 4)))
        pd.uHutan(k, 0) = CSngText(carried.mid(o, 4));
    pd.uKisyu(k, 0) = carried.mid(o + 5, 3);
    pd.uCyoukyou(k, 0) = textBefore(webCell(b + 5, 2), QStringLiteral("（"));
    const bool shifted = webCell(b, 4).isEmpty();
    pd.uSeirei(k) = webCell(b, shifted ? 3 : 4);
    pd.uChichi(k) = webCell(b, shifted ? 2 : 3);
    pd.uSeirei(k).remove(QStringLiteral("&nbsp;"));
    for (int r = 1; r <= cardRuns; ++r)
        parseCorners(k, r, webCell(b + 5, r + 6));
}

// The bracket cell spans every row of its bracket, so only a bracket's first runner has one;
// the others (the third of a bracket too) take the bracket last seen.
void parseRunnerBlocks(std::vector<int>& counted)
{
    int32_t bracket = 0;
    for (int k = 1; k <= maxRunners; ++k) {
        pd.umaIdx = k;
        const int b = blockRow(k);
        if (hasBracketCell(b))
            bracket = CLngText(webCell(b, 1));
        const QString& number = horseNumberCell(b);
        if (!IsNumeric(number) || CDblText(number) != k)
            continue;
        counted.push_back(k);
        parseRunner(k, b, bracket);
    }
    pd.umaIdx = maxRunners + 1;
}

}

bool readSyuxtubaPage(const QString& url)
{
    bool read = false;
    vbTrap(QStringLiteral("Error-ReadWeb-2"), [&] {
        clearWebCell();
        if (!getWebTable(url, cardFallsShort) || webCell(3, 1) != cardBreadcrumb)
            return;
        parseSyuxtubaHyo();
        getUmaUrl();
        read = true;
    });
    return read;
}

bool cardFallsShort()
{
    return pageFallsShort(cardBreadcrumb, runnerBlocksFallShort);
}

// Past runs' styles are judged once every runner is counted, against the whole field.
void parseSyuxtubaHyo()
{
    std::vector<int> counted;
    vbTrapAlways(QStringLiteral("Rdata読込みエラー(err-AA04)"), [&] {
        const int t = raceTitleRow();
        if (t < 0)
            pageError(QStringLiteral("no title row"));
        parseTitleLines(t);
        parseRunnerBlocks(counted);
    });
    for (const int k : counted)
        for (int r = 1; r <= cardRuns; ++r)
            calcKyakusitu(k, r);
}

// The k-th horse link of the page belongs to runner k; runners past the last link keep no address.
void getUmaUrl()
{
    vbTrapAlways(QStringLiteral("U_Url読込みエラー(err-AA05)"), [] {
        const QString server = webServerUrl();
        qsizetype from = 0;
        for (int k = 1; k <= pd.tousuu; ++k) {
            const qsizetype q = webHtml.indexOf(horsePath, from);
            if (q < 0)
                return;
            pd.uUrl(k) = server + horsePath + webHtml.mid(q + horsePath.size(), horseIdLength);
            from = q + horsePath.size() + 1;
        }
    });
}

void judgeKyakusitu(const std::array<int32_t, 4>& tuka, int tousuu, QString& style)
{
    int n = 0;
    while (n < 4 && tuka[size_t(n)] != 0)
        ++n;
    if (n <= 1) {
        style.clear();
        return;
    }
    for (int c = 0; c < n - 1; ++c)
        if (tuka[size_t(c)] == 1) {
            style = QStringLiteral("逃");
            return;
        }
    const int32_t last = tuka[size_t(n - 1)];
    const double field = tousuu;
    const bool empty = style.isEmpty();
    if (empty && last <= 4)
        style = QStringLiteral("先");
    else if (empty && last <= 2.0 * field / 3.0)
        style = QStringLiteral("差");
    else if (empty && field >= 6)
        style = QStringLiteral("追");
    else
        style = QStringLiteral("差");
}

void calcKyakusitu(int k, int r)
{
    vbTrap(QStringLiteral("Error-ReadWeb-7"), [&] {
        judgeKyakusitu({pd.uTuka(k, 1, r), pd.uTuka(k, 2, r), pd.uTuka(k, 3, r), pd.uTuka(k, 4, r)}, pd.tousuu,
                       pd.uKyakusitu(k, r));
    });
}
