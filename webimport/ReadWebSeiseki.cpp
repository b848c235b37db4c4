#include "webimport/ReadWebSeiseki.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/database.h"
#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"
#include "webimport/webText.h"

#include <algorithm>

namespace {

const QString kBreadcrumb = QStringLiteral("HOME ＞ レース成績表");
const QString kPageError = QStringLiteral("Error-ReadWeb-2");
const QString kParseError = QStringLiteral("成績data変換エラー");
const QString kUmaError = QStringLiteral("U毎の読込みエラー");
const QString kWriteError = QStringLiteral("成績data書込みエラー");
const QString kSisuuError = QStringLiteral("U_sisuu算出エラー(err-BA06)");
const QString kYen = QStringLiteral("円");

// The first row among first..last whose cell 1 begins with prefix; notFound when none does.
int findRow(int first, int last, const QString& prefix, int notFound)
{
    for (int r = first; r <= last; ++r)
        if (webCell(r, 1).startsWith(prefix))
            return r;
    return notFound;
}

int finisherHeaderRow()
{
    return findRow(5, 20, QStringLiteral("着順"), 21);
}

bool isDigitChar(const QString& c)
{
    return c.size() == 1 && ((c[0] >= u'0' && c[0] <= u'9') || (c[0] >= u'０' && c[0] <= u'９'));
}

// The class text that begins with the class letter at position p of the race name, by the
// track's own way of writing classes and groups.
QString classAt(const SeisekiRace& race, qsizetype p)
{
    const QString& name = race.raceName;
    auto c = [&](int i) { return name.mid(p + i, 1); };
    const QString& zyo = race.raceZyo;
    if (zyo == QStringLiteral("高知"))
        return name.mid(p, c(3) == QStringLiteral("抜") || c(3) == QStringLiteral("混") ? 4 : 2);
    if (zyo == QStringLiteral("名古") || zyo == QStringLiteral("笠松"))
        return name.mid(p, isDigitChar(c(2)) ? 3 : 2);
    if (zyo == QStringLiteral("福山")) {
        const QString cls = name.mid(p, isDigitChar(c(3)) ? 4 : isDigitChar(c(2)) ? 3 : 2);
        return race.raceSyurui == 1 ? cls : QStringLiteral("アラ") + cls;
    }
    if (zyo == QStringLiteral("盛岡") || zyo == QStringLiteral("水沢")) {
        QString cls = name.mid(p, 2);
        for (const QString& age : {QStringLiteral("３歳"), QStringLiteral("２歳")})
            if (name.contains(age))
                cls += age;
        return cls;
    }
    if (zyo == QStringLiteral("荒尾") && c(1) == QStringLiteral("－"))
        return c(0) + c(2) + (isDigitChar(c(3)) ? c(3) : QString());
    return name.mid(p, 2);
}

// The first class letter Ａ..Ｆ in the name decides; on the Iwate tracks the last one does.
void parseClass(SeisekiRace& race)
{
    const bool lastLetterWins = race.raceZyo == QStringLiteral("盛岡") || race.raceZyo == QStringLiteral("水沢");
    for (const QChar letter : QStringView(u"ＡＢＣＤＥＦ")) {
        const qsizetype p = race.raceName.indexOf(letter);
        if (p < 0)
            continue;
        race.raceClass = classAt(race, p);
        if (!lastLetterWins)
            return;
    }
}

void parseTitle(SeisekiRace& race)
{
    const int t = raceTitleRow();
    if (t < 0)
        pageError(QStringLiteral("no title line"));
    parseRaceTitle(webCell(t, 1), race);
    parseRaceNameLine(webCell(t + 1, 1), race);
    parseClass(race);
}

// Apprentice marks stand before the name and the affiliation after it: "▲山田太(大井)" is 山田太.
QString jockeyName(const QString& cell)
{
    const qsizetype paren = cell.indexOf(u'(');
    const QString name = paren < 0 ? cell : cell.left(paren);
    return name.size() == 4 ? name.right(3) : name;
}

// One finisher row into the slot of its horse number.
void parseSeisekiUma(SeisekiRace& race, int row)
{
    auto cell = [&](int c) -> const QString& { return webCell(row, c); };
    const int i = CLngText(cell(3));
    race.uWaku(i, 0) = CLngText(cell(2));
    race.uName(i) = delSpace(cell(4));
    if (IsNumeric(cell(1)))
        race.uCyaku(i, 0) = CLngText(cell(1));
    if (IsNumeric(cell(10)))
        race.uTaizyu(i, 0) = CLngText(cell(10));
    race.uKisyu(i, 0) = jockeyName(cell(8));
    if (IsNumeric(cell(7)))
        race.uHutan(i, 0) = CSngText(cell(7));
    race.uCyoukyou(i, 0) = cell(9);
    race.uSyozoku(i, 0) = cell(5);
    if (IsNumeric(cell(15)))
        race.uNinki(i, 0) = CLngText(cell(15));
    if (IsNumeric(cell(14)))
        race.u3f(i, 0) = CSngText(cell(14));
    if (cell(12).contains(u':'))
        race.uTime(i, 0) = timeTextSeconds(cell(12));
}

void parseFinishers(SeisekiRace& race)
{
    const int h = finisherHeaderRow();
    for (int k = 1; k <= SeisekiRace::maxUma; ++k) {
        if (webCell(h + k, 3).isEmpty())
            break;
        vbTrap(kUmaError, [&] { parseSeisekiUma(race, h + k); });
    }
}

bool isSequenceChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || QStringView(u"(),=-.").contains(c);
}

// Start of the next passing-order sequence from `from` on: a digit followed by a sequence
// character; -1 when there is none.
qsizetype sequenceStart(const QString& s, qsizetype from)
{
    for (qsizetype i = from; i + 1 < s.size(); ++i)
        if (s[i] >= u'0' && s[i] <= u'9' && isSequenceChar(s[i + 1]))
            return i;
    return -1;
}

// Horse numbers in passing order (positions 1..16). A 17th number is a subscript error.
Array1<int32_t> passingOrder(const QString& sequence)
{
    constexpr qsizetype walkLimit = 51;
    Array1<int32_t> order(SeisekiRace::maxUma);
    int j = 0;
    QString number;
    auto store = [&] {
        if (!number.isEmpty())
            order(++j) = number.toInt();
        number.clear();
    };
    for (qsizetype i = 0; i < std::min(sequence.size(), walkLimit); ++i) {
        if (QStringView(u"(),= -.").contains(sequence[i]))
            store();
        else
            number += sequence[i];
    }
    if (sequence.size() <= walkLimit)
        store();
    return order;
}

void placeAtCorner(SeisekiRace& race, int corner, const Array1<int32_t>& order)
{
    for (int n = 1; n <= SeisekiRace::maxUma; ++n)
        for (int j = 1; j <= SeisekiRace::maxUma; ++j)
            if (order(j) == n) {
                race.uTuka(n, corner, 0) = j;
                break;
            }
}

// Corners are numbered in the order their sequences stand in the text. A bad sequence ends the
// section; the corners before it stay.
void parseCorners(SeisekiRace& race)
{
    const int r = findRow(10, 60, QStringLiteral("コーナー通"), 61);
    if (r >= 60)
        return;
    const QString& s = webCell(r, 1);
    qsizetype q = 0;
    for (int corner = 1; corner <= 4; ++corner) {
        const qsizetype start = sequenceStart(s, q);
        if (start < 0)
            return;
        qsizetype end = start;
        while (end + 1 < s.size() && isSequenceChar(s[end + 1]))
            ++end;
        q = end;
        placeAtCorner(race, corner, passingOrder(s.mid(start, end - start + 1)));
    }
}

// Field size, and the average time of the runners within 1.5 s of the middle finisher.
void countField(SeisekiRace& race)
{
    race.tousuu = 0;
    for (int i = 1; i <= SeisekiRace::maxUma; ++i)
        if (!race.uName(i).isEmpty())
            ++race.tousuu;

    const int m = CLng(race.tousuu / 2.0);
    int middle = m;
    for (int i = 1; i <= race.tousuu; ++i)
        if (race.uCyaku(i, 0) == m) {
            middle = i;
            break;
        }
    const float lo = race.uTime(middle, 0) - 1.5f;
    const float hi = race.uTime(middle, 0) + 1.5f;
    double sum = 0;
    int count = 0;
    for (int i = 1; i <= race.tousuu; ++i) {
        const float t = race.uTime(i, 0);
        if (t != 0 && t >= lo && t <= hi) {
            sum += t;
            ++count;
        }
    }
    race.aveTime = count > 0 ? float(sum / count) : 0.0f;
}

// With a dead heat the higher horse number takes the place.
void topThree(SeisekiRace& race)
{
    for (int i = 1; i <= SeisekiRace::maxUma; ++i) {
        const int c = race.uCyaku(i, 0);
        if (c >= 1 && c <= 3)
            race.cyakuUma(c) = i;
    }
}

int32_t yenAmount(QString text)
{
    return CLngText(text.remove(u','));
}

struct Bet {
    const char16_t* label;
    int32_t SeisekiRace::*single;           // bets paying one amount
    Array1<int32_t> SeisekiRace::*several;  // 複勝 and ワイド: up to three amounts in one cell
};
constexpr Bet kBets[] = {
    {u"単勝", &SeisekiRace::payTansyo, nullptr},  {u"複勝", nullptr, &SeisekiRace::payHukusyo},
    {u"馬連複", &SeisekiRace::payUmahuku, nullptr}, {u"馬連単", &SeisekiRace::payUmatan, nullptr},
    {u"ワイド", nullptr, &SeisekiRace::payWide},    {u"三連複", &SeisekiRace::pay3huku, nullptr},
    {u"三連単", &SeisekiRace::pay3tan, nullptr},
};

// The column of the bet's label in the label row; 0 when none (column 30 does not count).
int labelColumn(int row, const QString& label)
{
    for (int c = 1; c <= 29; ++c)
        if (webCell(row, c).startsWith(label))
            return c;
    return 0;
}

void readBet(SeisekiRace& race, const Bet& bet, int sectionRow)
{
    const int c = labelColumn(sectionRow + 1, QString::fromUtf16(bet.label));
    if (c == 0)
        return;
    const QString a = webCell(sectionRow + 2, 2 * c - 1);
    if (bet.single) {
        if (a.contains(kYen))
            race.*bet.single = yenAmount(a.left(a.indexOf(kYen)));
        return;
    }
    qsizetype from = 0;
    for (int i = 1; i <= 3; ++i) {
        const qsizetype yen = a.indexOf(kYen, from);
        if (yen < 0)
            return;
        (race.*bet.several)(i) = yenAmount(delSpace(a.mid(from, yen - from)));
        from = yen + 1;
    }
}

// Each bet on its own: a bad cell costs that bet's payout, not the others'.
void parsePayouts(SeisekiRace& race)
{
    const int r = findRow(5, 80, QStringLiteral("払戻"), 81);
    if (r > 79)
        return;
    for (const Bet& bet : kBets)
        if (!vbTrap(kParseError, [&] { readBet(race, bet, r); })) {
            if (bet.single)
                race.*bet.single = 0;
            else
                (race.*bet.several).clear();
        }
}

// The winner's margin is minus its lead over the second; a runner without a time, or a race
// without a second-placed time, gets no margin rather than a time passed off as one.
void setMargins(SeisekiRace& race)
{
    float first = 0, second = 0;
    for (int i = 1; i <= SeisekiRace::maxUma; ++i) {
        if (race.uCyaku(i, 0) == 1)
            first = race.uTime(i, 0);
        if (race.uCyaku(i, 0) == 2)
            second = race.uTime(i, 0);
    }
    for (int i = 1; i <= SeisekiRace::maxUma; ++i) {
        const int c = race.uCyaku(i, 0);
        const float t = race.uTime(i, 0);
        if (c == 1)
            race.uCyakusa(i, 0) = second > 0 ? first - second : 0.0f;
        else if (c >= 2)
            race.uCyakusa(i, 0) = t > 0 && first > 0 ? t - first : 0.0f;
    }
}

IndexedRun indexedRun(const SeisekiRace& race, int i)
{
    IndexedRun run;
    run.date = race.raceDate;
    run.zyo = race.raceZyo;
    run.siba = race.raceSiba;
    run.kyori = race.raceKyori;
    run.time = race.uTime(i, 0);
    run.f3 = race.u3f(i, 0);
    run.hutan = race.uHutan(i, 0);
    run.sisuu = race.uSisuu(i, 0);
    run.sisuu3f = race.uSisuu3f(i, 0);
    run.file = race.uFile(i, 0);
    run.fileFound = race.uFileFound(i, 0) != 0;
    return run;
}

// Running style and speed index of every runner, on the race's own track, day and surface.
void rateRunners(SeisekiRace& race)
{
    for (int i = 1; i <= SeisekiRace::maxUma; ++i) {
        if (race.uName(i).isEmpty())
            continue;
        judgeKyakusitu({race.uTuka(i, 1, 0), race.uTuka(i, 2, 0), race.uTuka(i, 3, 0), race.uTuka(i, 4, 0)},
                       race.tousuu, race.uKyakusitu(i, 0));
        IndexedRun run = indexedRun(race, i);
        vbTrap(kSisuuError, [&] { computeLocalIndex(run, slotMain); });
        race.uSisuu(i, 0) = run.sisuu;
        race.uSisuu3f(i, 0) = run.sisuu3f;
        race.uFile(i, 0) = run.file;
        race.uFileFound(i, 0) = run.fileFound;
    }
}

void writeRace(const SeisekiRace& race)
{
    DbRow row;
    row.set("R_zyo", race.raceZyo)
        .set("R_date", race.raceDate)
        .set("R_no", race.raceNo)
        .set("R_baba", race.raceBaba)
        .set("R_kyori", race.raceKyori)
        .set("R_name", race.raceName.left(100))
        .set("R_class", race.raceClass)
        .set("R_tousuu", race.tousuu)
        .set("R_time", race.aveTime)
        .set("R_syurui", race.raceSyurui)
        .set("R_zyo02", race.raceChiku)
        .set("R_siba", race.raceSiba)
        .set("R_tansyo", race.payTansyo)
        .set("R_umahuku", race.payUmahuku)
        .set("R_umatan", race.payUmatan)
        .set("R_3huku", race.pay3huku)
        .set("R_3tan", race.pay3tan);
    for (int n = 1; n <= 3; ++n)
        row.set(QStringLiteral("R_cyaku(%1)").arg(n), race.cyakuUma(n))
            .set(QStringLiteral("R_hukusyo(%1)").arg(n), race.payHukusyo(n))
            .set(QStringLiteral("R_wide(%1)").arg(n), race.payWide(n));
    // With tied popularity the higher horse number stays.
    for (int n = 1; n <= race.tousuu; ++n) {
        int horse = 0;
        for (int j = 1; j <= SeisekiRace::maxUma; ++j)
            if (race.uNinki(j, 0) == n)
                horse = j;
        if (horse > 0)
            row.set(QStringLiteral("R_ninki(%1)").arg(n), horse);
    }
    row.set("R_flag", "Seiseki");
    upsertRow(slotSide, "T_Rdata", DbRow().set("R_code", race.raceCode), row);
}

void writeRunner(const SeisekiRace& race, int i)
{
    DbRow row;
    row.set("U_no", i)
        .set("U_waku", race.uWaku(i, 0))
        .set("U_cyaku", race.uCyaku(i, 0))
        .set("U_time", race.uTime(i, 0))
        .set("U_taizyu", race.uTaizyu(i, 0))
        .set("U_cyakusa", race.uCyakusa(i, 0))
        .set("U_kisyu", race.uKisyu(i, 0))
        .set("U_hutan", race.uHutan(i, 0));
    for (int c = 1; c <= 4; ++c)
        row.set(QStringLiteral("U_tuka0%1").arg(c), race.uTuka(i, c, 0));
    row.set("U_cyoukyou", race.uCyoukyou(i, 0))
        .set("U_syozoku", race.uSyozoku(i, 0))
        .set("U_ninki", race.uNinki(i, 0))
        .set("U_3f", race.u3f(i, 0))
        .set("U_kyakusitu", race.uKyakusitu(i, 0))
        .set("U_sisuu", race.uSisuu(i, 0))
        .set("U_sisuu3f", race.uSisuu3f(i, 0))
        .set("U_file", race.uFileFound(i, 0) != 0);
    upsertRow(slotSide, "T_Useiseki", DbRow().set("R_code", race.raceCode).set("U_name", race.uName(i)), row);
}

SeisekiPage readAndSave(const QString& url)
{
    clearWebCell();
    if (!getWebTable(url, seisekiFallsShort)) {
        if (pd.webCancel)
            return SeisekiPage::Cancelled;
        return webLoadFailure.failed() ? SeisekiPage::LoadFailed : SeisekiPage::NotResults;
    }
    if (webCell(3, 1) != kBreadcrumb)
        return SeisekiPage::NotResults;
    SeisekiRace race;
    if (!parseSeiseki(race))
        return SeisekiPage::TitleUnread;
    if (race.raceDate == vbToday())
        return SeisekiPage::DatedToday;
    return saveSeiseki(race) ? SeisekiPage::Saved : SeisekiPage::WriteFailed;
}

// A finisher row with fewer cells than the table's header (or than the 15 the reader takes): the
// page ended inside it.
bool finisherRowCut(int h)
{
    constexpr int finisherCells = 15;
    const int complete = std::min(webCellCount(h), finisherCells);
    for (int k = 1; k <= SeisekiRace::maxUma && !webCell(h + k, 3).isEmpty(); ++k)
        if (webCellCount(h + k) < complete)
            return true;
    return false;
}

// Every label of the bet row has its amount and its numbers below it.
bool payoutsCutOff(int r)
{
    const int labels = webCellCount(r + 1);
    return labels == 0 || webCellCount(r + 2) < 2 * labels;
}

// A results page without a finisher row is none; a payout table is there or not, but one that is
// there has every amount.
bool resultPartsFallShort()
{
    const int h = finisherHeaderRow();
    const int payouts = findRow(5, 79, QStringLiteral("払戻"), 0);
    return webCell(h + 1, 3).isEmpty() || finisherRowCut(h) || (payouts > 0 && payoutsCutOff(payouts));
}

}

SeisekiRace::SeisekiRace()
    : uName(maxUma)
    , uKisyu(maxUma, 0)
    , uCyoukyou(maxUma, 0)
    , uSyozoku(maxUma, 0)
    , uKyakusitu(maxUma, 0)
    , uCyaku(maxUma, 0)
    , uWaku(maxUma, 0)
    , uTaizyu(maxUma, 0)
    , uNinki(maxUma, 0)
    , uHutan(maxUma, 0)
    , u3f(maxUma, 0)
    , uTime(maxUma, 0)
    , uCyakusa(maxUma, 0)
    , uSisuu(maxUma, 0)
    , uSisuu3f(maxUma, 0)
    , uFile(maxUma, 0)
    , uFileFound(maxUma, 0)
    , uTuka(maxUma, 4, 0)
    , cyakuUma(3)
    , payHukusyo(3)
    , payWide(3)
{
}

bool seisekiFallsShort()
{
    return pageFallsShort(kBreadcrumb, resultPartsFallShort);
}

bool parseSeiseki(SeisekiRace& race)
{
    race = SeisekiRace();
    if (!vbTrap(kParseError, [&] { parseTitle(race); }))
        return false;
    parseFinishers(race);
    vbTrap(kParseError, [&] { parseCorners(race); });
    countField(race);
    topThree(race);
    parsePayouts(race);
    return true;
}

QString seisekiWriteFailure;

// A write refused is not shown here: the import tells it once, with the races stored so far.
bool saveSeiseki(SeisekiRace& race)
{
    setMargins(race);
    rateRunners(race);
    const QString refused = writeOrFailureLines(slotSide, kWriteError, [&] {
        DbTransaction transaction(slotSide);
        writeRace(race);
        for (int i = 1; i <= SeisekiRace::maxUma; ++i)
            if (!race.uName(i).isEmpty())
                writeRunner(race, i);
        transaction.commit();
    });
    seisekiWriteFailure = refused.isEmpty() ? QString() : kWriteError + QLatin1Char('\n') + refused;
    return refused.isEmpty();
}

SeisekiPage readSeisekiPage(const QString& url)
{
    SeisekiPage result = SeisekiPage::NotResults;
    vbTrap(kPageError, [&] { result = readAndSave(url); });
    return result;
}
