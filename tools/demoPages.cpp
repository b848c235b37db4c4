#include "tools/demoPages.h"

#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/inifile.h"
#include "platform/textcodec.h"
#include "platform/vbformat.h"
#include "tools/demoHtml.h"

#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const horseNames[] = {
    "アサカゼスター", "ハヤテノオー",   "ミナミノカオリ", "ユウヒクイーン", "カゼノシラベ",   "トウカイボルト",
    "ホシノキセキ",   "サクラノシズク", "ライトニング",   "ツキノミチ",     "ヒカリノツバサ", "マツリバヤシ",
    "シラユキヒメ",   "ダイチノチカラ", "アオゾラカナタ", "ナミノハナ",     "コハクノユメ",   "レイメイ",
};
const char* const jockeys[] = {"山田太郎", "佐藤次郎", "鈴木一郎", "高橋三郎", "田中四郎", "伊藤五郎"};
const char* const trainers[] = {"井上", "木村", "林", "清水", "山口", "松本"};
const char* const otherTracks[] = {"川崎", "船橋", "浦和", "大井"};
const int distances[] = {1200, 1400, 1600, 1800};
const char* const goings[] = {"良", "稍重", "重", "不良"};
// Runs 1..sharedRuns of every runner are the same races: the field met before.
constexpr int sharedRuns = 3;

// A fixed pseudo-random number 0..999 for a horse and a run: the pages are the same every time.
int noise(int horse, int run, int salt = 0)
{
    unsigned v = unsigned(horse) * 2654435761u ^ unsigned(run) * 40503u ^ unsigned(salt) * 9973u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    v ^= v >> 15;
    return int(v % 1000);
}

struct Run {
    VbDate date;
    QString zyo;
    int raceNo = 0;
    QString name;
    int kyori = 0;
    int baba = 0;
    int tousuu = 12;
    int waku = 0;
    int umaban = 0;
    int ninki = 0;
    int cyaku = 0;
    float time = 0;
    float agari = 0;
    float cyakusa = 0;
    int taizyu = 0;
    QString kisyu;
    float hutan = 0;
};

// Higher is better: each horse has its own ability, and each race its own day.
int score(int horse, int run)
{
    return (18 - horse) * 40 + noise(horse, run);
}

int sharedPlacing(const DemoRace& race, int horse, int run)
{
    int placing = 1;
    for (int other = 1; other <= race.runners; ++other)
        if (other != horse && (score(other, run) > score(horse, run) || (score(other, run) == score(horse, run) && other < horse)))
            ++placing;
    return placing;
}

float raceTime(int kyori, int baba, int placing, int wobble)
{
    const float base = 75.0f + float(kyori - 1200) / 200.0f * 13.8f;
    return base + float(placing - 1) * 0.2f - float(baba - 1) * 0.3f + float(wobble % 10) / 10.0f;
}

Run makeRun(const DemoRace& race, int horse, int run)
{
    Run r;
    r.date = race.date.addDays(-race.daysBetweenRuns * run);
    const bool shared = run <= sharedRuns;
    r.zyo = shared ? race.zyo : QString::fromUtf8(otherTracks[(horse + run) % 4]);
    r.raceNo = shared ? race.raceNo : (horse + run) % 12 + 1;
    r.name = shared ? QStringLiteral("Ｃ２六組特別") : QStringLiteral("Ｃ２一般%1").arg(run % 9 + 1);
    r.kyori = distances[shared ? run % 2 : (horse * 3 + run) % 4];
    r.baba = shared ? 1 : noise(horse, run, 1) % 4 + 1;
    r.tousuu = shared ? race.runners : 12;
    r.umaban = shared ? horse : noise(horse, run, 2) % 12 + 1;
    r.waku = demoBracketOf(r.umaban, r.tousuu);
    r.cyaku = shared ? sharedPlacing(race, horse, run) : noise(horse, run, 3) % 12 + 1;
    r.ninki = std::clamp(r.cyaku + noise(horse, run, 4) % 5 - 2, 1, r.tousuu);
    r.time = raceTime(r.kyori, r.baba, r.cyaku, shared ? run : noise(horse, run, 5));
    r.agari = 37.0f + float(r.cyaku) * 0.2f + float(noise(horse, run, 6) % 10) / 10.0f;
    r.cyakusa = r.cyaku == 1 ? 0.0f : float(r.cyaku - 1) * 0.2f;
    r.taizyu = 440 + horse * 3 + noise(horse, run, 7) % 9 - 4;
    r.kisyu = QString::fromUtf8(jockeys[(horse + run) % 6]);
    r.hutan = 54.0f + float(horse % 3);
    return r;
}

int tenths(float seconds)
{
    return int(seconds * 10 + 0.5f);
}

QString number(float v, const char* pattern)
{
    return Format(double(v), pattern);
}

QString titleLine(const DemoRace& race, const VbDate& day, int kyori)
{
    return QStringLiteral("%1年%2月%3日%4　%5　第%6競走　ダート　%7ｍ　天候：晴　馬場：良")
        .arg(day.year())
        .arg(day.month())
        .arg(day.day())
        .arg(weekdayLabel(day), race.zyo)
        .arg(race.raceNo)
        .arg(kyori);
}

QString horseId(int horse)
{
    return QStringLiteral("20041%1").arg(horse, 5, 10, QLatin1Char('0'));
}

// A past run as the race card shows it: date, track, distance, going, placing, time, field, corners.
QString cardRunCell(const DemoRace& race, int horse, int run)
{
    const Run r = makeRun(race, horse, run);
    const int first = std::clamp(r.cyaku + noise(horse, run, 8) % 5 - 2, 1, r.tousuu);
    return Format(r.date, "yy/mm/dd") + "&nbsp;" + r.zyo + "<br>ダ" + QString::number(r.kyori) + "&nbsp;" +
           QString::fromUtf8(goings[r.baba - 1]).left(1) + "<br>" + QString::number(r.cyaku) + "着&nbsp;" +
           demoTimeText(tenths(r.time), u'.') + "<br>（" + QString::number(r.tousuu) +
           "頭）" + QStringLiteral("%1-%2-%3-%4")
                        .arg(first)
                        .arg(std::clamp(first + noise(horse, run, 9) % 3 - 1, 1, r.tousuu))
                        .arg(std::clamp((first + r.cyaku) / 2, 1, r.tousuu))
                        .arg(r.cyaku);
}

QString cardRunner(const DemoRace& race, int k, int& lastBracket)
{
    const int bracket = demoBracketOf(k, race.runners);
    const Run last = makeRun(race, k, 1);
    QString rows;
    rows += "<tr>";
    if (bracket != lastBracket) {
        int size = 0;
        for (int other = 1; other <= race.runners; ++other)
            size += demoBracketOf(other, race.runners) == bracket ? 1 : 0;
        rows += QStringLiteral("<td rowspan=\"%1\" class=\"waku%2\">%2</td>").arg(6 * size).arg(bracket);
        lastBracket = bracket;
    }
    rows += QStringLiteral("<td rowspan=\"6\">%1</td>").arg(k) + demoCell(QStringLiteral("父馬%1").arg(k, 2, 10, QLatin1Char('0'))) +
            demoCell(k % 2 ? "牡&nbsp;4" : "牝&nbsp;5") + "</tr>\r\n";
    rows += "<tr><td><a href=\"" + kDemoHorsePath + horseId(k) + "\">" + demoHorseName(k) + "</a></td>" +
            demoCell(QStringLiteral("母馬%1").arg(k)) + "</tr>\r\n";
    rows += QStringLiteral("<tr><td>（母父%1）</td></tr>\r\n<tr><td>馬主%1</td></tr>\r\n<tr><td>生産%1</td></tr>\r\n").arg(k);
    rows += "<tr>" + demoCell("鹿毛") + demoCell(QString::fromUtf8(trainers[k % 6]) + "（" + race.zyo + "）") +
            demoCell(number(last.hutan, "0.0") + ' ' + QString::fromUtf8(jockeys[k % 6])) +
            demoCell(QStringLiteral("%1(+%2)").arg(last.taizyu).arg(k % 4)) + demoCell(QString::number(1.5 + k)) + demoCell(QString::number(k));
    for (int run = 1; run <= 5; ++run)
        rows += demoCell(run <= race.historyRuns ? cardRunCell(race, k, run) : QStringLiteral("&nbsp;"));
    return rows + "</tr>\r\n";
}

QString historyRow(const Run& r, int horse)
{
    return "<tr>" + demoCell(Format(r.date, "yyyy/mm/dd")) + demoCell(r.zyo) + demoCell(QString::number(r.raceNo)) + demoCell(r.name) +
           demoCell("Ｃ２") + demoCell("&nbsp;" + QString::number(r.kyori)) + demoCell("晴") + demoCell(QString::fromUtf8(goings[r.baba - 1])) +
           demoCell(QString::number(r.tousuu)) + demoCell(QString::number(r.waku)) + demoCell(QString::number(r.umaban)) +
           demoCell(QString::number(r.ninki)) + demoCell(QStringLiteral("%1/%2").arg(r.cyaku).arg(r.tousuu)) + demoCell(demoTimeText(tenths(r.time))) +
           demoCell(number(r.cyakusa, "0.0")) + demoCell(number(r.agari, "0.0")) + demoCell(QString::number(r.taizyu)) + demoCell(r.kisyu) +
           demoCell(number(r.hutan, "0.0")) + demoCell(QString::fromUtf8(trainers[horse % 6])) + "</tr>\r\n";
}

}

QString demoHorseName(int horse)
{
    return QString::fromUtf8(horseNames[(horse - 1) % 18]);
}

QString demoCardTarget(const DemoRace& race)
{
    return kDemoCardPath + "?k_babaCode=" + zyoToNarCode(race.zyo) +
           "&k_raceNo=" + Format(double(race.raceNo), "00") + "&k_raceDate=" + demoDateQuery(race.date);
}

QString demoHistoryTarget(int horse)
{
    return kDemoHorsePath + horseId(horse);
}

QByteArray demoCard(const DemoRace& race)
{
    QString page = demoPageHead("地方競馬 情報", "HOME ＞ 出馬表");
    page += "<table class=\"race\">\r\n<tr><td class=\"title\">" + titleLine(race, race.date, 1400) + "</td></tr>\r\n" +
            "<tr><td class=\"racename\">Ｃ２六組特別（サラ系３歳以上）</td></tr>\r\n"
            "<tr><td>発走時刻　20:10</td></tr>\r\n<tr><td>賞金　１着 1,000,000円</td></tr>\r\n</table>\r\n"
            "<table class=\"deba\" border=\"1\">\r\n"
            "<tr><td>枠番</td><td>馬番</td><td>馬名・父・母</td><td>性齢</td><td>調教師</td><td>負担重量・騎手</td>"
            "<td>馬体重</td><td>前走</td><td>2走前</td><td>3走前</td><td>4走前</td><td>5走前</td></tr>\r\n"
            "<tr><td>毛色</td><td>馬主</td><td>生産者</td></tr>\r\n";
    int lastBracket = 0;
    for (int k = 1; k <= race.runners; ++k)
        page += cardRunner(race, k, lastBracket);
    return toCp932(page + "</table>\r\n" + demoPageFoot(QStringLiteral("ページトップへ")));
}

QByteArray demoHistory(const DemoRace& race, int horse)
{
    QString page = demoPageHead("地方競馬 情報", "HOME ＞ 競走馬情報");
    page += "<table class=\"profile\">\r\n<tr><td>" + demoHorseName(horse) + "</td></tr>\r\n" +
            "<tr><td>性齢</td><td>牡4</td></tr>\r\n<tr><td>父</td><td>父馬</td></tr>\r\n<tr><td>母</td><td>母馬</td></tr>\r\n"
            "</table>\r\n<table class=\"history\" border=\"1\">\r\n"
            "<tr><td>年月日</td><td>競馬場</td><td>R</td><td>レース名</td><td>格</td><td>距離</td><td>天候</td><td>馬場</td>"
            "<td>頭数</td><td>枠</td><td>馬番</td><td>人気</td><td>着順</td><td>タイム</td><td>差</td><td>上3F</td>"
            "<td>馬体重</td><td>騎手</td><td>負担</td><td>調教師</td></tr>\r\n";
    for (int run = race.historyRuns; run >= 1; --run)
        page += historyRow(makeRun(race, horse, run), horse);
    return toCp932(page + "</table>\r\n" + demoPageFoot(QStringLiteral("ページトップへ")));
}

void writeDemoTrackTables(const QString& path, const QString& password, const DemoRace& race)
{
    openDbOrThrow(slotTools, path, password);
    const DbSlotCloser closer(slotTools);
    DbTransaction tables(slotTools);
    QStringList tracks {race.zyo};
    for (const char* zyo : otherTracks)
        if (!tracks.contains(QString::fromUtf8(zyo)))
            tracks << QString::fromUtf8(zyo);
    for (int run = 1; run <= race.historyRuns; ++run)
        for (const QString& zyo : tracks)
            insertRow(slotTools, "T_sisuu", DbRow().set("S_date", race.date.addDays(-race.daysBetweenRuns * run))
                                        .set("S_zyo", zyo).set("S_siba", 0).set("S_sisuu", 0.5));
    for (const QString& zyo : tracks)
        for (const int kyori : distances)
            for (const int sinKyu : {0, 1})
                insertRow(slotTools, "T_avetime", DbRow().set("A_zyo", zyo).set("A_kyori", kyori).set("A_class", "ave")
                                              .set("A_sin_kyu", sinKyu).set("A_siba", 0)
                                              .set("A_time", raceTime(kyori, 1, 4, 5)));
    tables.commit();
}

// A host of the user's own stays; an empty one, the default "localhost" the set-up writes or an
// earlier demo's address is replaced.
bool pointWebHostAt(const QString& iniPath, const QString& host)
{
    const IniFile settings(iniPath);
    QString current;
    settings.getString(QStringLiteral("System"), QStringLiteral("webHost"), QString(), current);
    current = current.trimmed();
    const bool ours = current.isEmpty() || current == QStringLiteral("localhost")
        || current.startsWith(QStringLiteral("127.0.0.1:"));
    if (!ours) {
        std::fprintf(stderr, "demoServer: webHost is %s; the demo is not used\n", qPrintable(current));
        return false;
    }
    if (!settings.writeString(QStringLiteral("System"), QStringLiteral("webHost"), host)) {
        std::fprintf(stderr, "demoServer: cannot write %s\n", qPrintable(iniPath));
        return false;
    }
    return true;
}

