#include "tools/demoWorldPages.h"

#include "core/publicFunction.h"
#include "platform/textcodec.h"
#include "tools/demoHtml.h"

#include <QDate>
#include <QUrlQuery>

namespace {

const QString kFootTop = QStringLiteral("ページトップへ");
const QString kFootCopyright = QStringLiteral("Copyright 地方競馬情報");
const char* const kGoings[] = {"", "良", "稍重", "重", "不良"};

// Races of an even number and the histories of every other horse end right after their last part,
// as the authority's pages may: the program meets both endings every day.
QString pageEnd(int number, const QString& footText)
{
    return number % 2 ? demoPageFoot(footText) : demoPageEnd();
}

QString going(int baba)
{
    return QString::fromUtf8(kGoings[baba]);
}

QString num(int v)
{
    return QString::number(v);
}

QString signedNum(int v)
{
    return v > 0 ? u'+' + num(v) : num(v);
}

QString yen(int amount)
{
    return QLocale::c().toString(amount) + QStringLiteral("円");
}

int ageAt(const DemoHorse& horse, const VbDate& day)
{
    return day.year() - horse.birthYear;
}

QString zyoOf(const DemoWorld& world, const DemoWorldRace& race)
{
    return world.tracks()[size_t(race.track)].name;
}

QString titleLine(const DemoWorld& world, const DemoWorldRace& race)
{
    const QDate d = race.date.toQDate();
    return QStringLiteral("%1年%2月%3日%4　%5　第%6競走　ダート　%7ｍ　天候：%8　馬場：%9")
        .arg(num(d.year()), num(d.month()), num(d.day()), weekdayLabel(race.date), zyoOf(world, race), num(race.raceNo),
             num(race.kyori), race.weather, going(race.baba));
}

QString raceTable(const DemoWorld& world, const DemoWorldRace& race, const QString& extraRows)
{
    return "<table class=\"race\">\r\n<tr><td class=\"title\">" + titleLine(world, race) + "</td></tr>\r\n"
           + "<tr><td class=\"racename\">" + race.name + "（サラ系３歳以上）</td></tr>\r\n"
           + "<tr><td>発走時刻　" + race.post + "</td></tr>\r\n" + extraRows + "</table>\r\n";
}

QString cornersText(const DemoWorldRace& race, const DemoStart& s)
{
    QStringList parts;
    for (int c = 0; c < race.cornerCount; ++c)
        parts << num(s.corners[size_t(c)]);
    return parts.join(u'-');
}

// A past run as the race card shows it: date, track, course, going, placing, time, field, corners.
QString cardRunCell(const DemoWorld& world, const std::pair<int, int>& start)
{
    const DemoWorldRace& race = world.races()[size_t(start.first)];
    const DemoStart& s = world.start(start);
    return race.date.toQDate().toString(QStringLiteral("yy/MM/dd")) + "&nbsp;" + zyoOf(world, race) + "<br>ダ" + num(race.kyori)
           + "&nbsp;" + going(race.baba).left(1) + "<br>" + num(s.finish) + "着&nbsp;" + demoTimeText(s.timeTenths, u'.')
           + "<br>（" + num(int(race.field.size())) + "頭）" + cornersText(race, s);
}

// The six rows of a runner; the bracket cell stands in the first runner of each bracket only.
QString cardRunner(const DemoWorld& world, const DemoWorldRace& race, const DemoStart& s)
{
    const DemoHorse& horse = world.horses()[size_t(s.horse)];
    const int field = int(race.field.size());
    QString rows = "<tr>";
    if (s.number == 1 || demoBracketOf(s.number - 1, field) != s.bracket) {
        int size = 0;
        for (int other = 1; other <= field; ++other)
            size += demoBracketOf(other, field) == s.bracket ? 1 : 0;
        rows += QStringLiteral("<td rowspan=\"%1\" class=\"waku%2\">%2</td>").arg(6 * size).arg(s.bracket);
    }
    rows += QStringLiteral("<td rowspan=\"6\">%1</td>").arg(s.number) + demoCell(horse.sire)
            + demoCell(horse.sex + "&nbsp;" + num(ageAt(horse, race.date))) + "</tr>\r\n";
    rows += "<tr><td><a href=\"" + demoHistoryTarget(horse) + "\">" + horse.name + "</a></td>" + demoCell(horse.dam) + "</tr>\r\n";
    rows += "<tr><td>（" + horse.damSire + "）</td></tr>\r\n<tr><td>" + horse.owner + "</td></tr>\r\n<tr><td>" + horse.breeder
            + "</td></tr>\r\n";
    rows += "<tr>" + demoCell(horse.coat) + demoCell(horse.trainer + "（" + world.tracks()[size_t(horse.home)].name + "）")
            + demoCell(demoTenthsText(s.carriedTenths) + ' ' + s.jockey)
            + demoCell(num(s.bodyWeight) + "(" + signedNum(s.weightChange) + ")")
            + demoCell(QString::number(demoOdds(s.popularity), 'f', 1)) + demoCell(num(s.popularity));
    const auto& starts = horse.starts;
    const auto today = std::find_if(starts.begin(), starts.end(), [&](const auto& st) { return &world.start(st) == &s; });
    for (int back = 1; back <= 5; ++back)
        rows += demoCell(today - starts.begin() >= back ? cardRunCell(world, *(today - back)) : QStringLiteral("&nbsp;"));
    return rows + "</tr>\r\n";
}

QString historyRow(const DemoWorld& world, const DemoHorse& horse, const std::pair<int, int>& start)
{
    const DemoWorldRace& race = world.races()[size_t(start.first)];
    const DemoStart& s = world.start(start);
    const int field = int(race.field.size());
    return "<tr>" + demoCell(race.date.toQDate().toString(QStringLiteral("yyyy/MM/dd"))) + demoCell(zyoOf(world, race))
           + demoCell(num(race.raceNo)) + demoCell(race.name) + demoCell(race.className) + demoCell("&nbsp;" + num(race.kyori))
           + demoCell(race.weather) + demoCell(going(race.baba)) + demoCell(num(field)) + demoCell(num(s.bracket))
           + demoCell(num(s.number)) + demoCell(num(s.popularity)) + demoCell(num(s.finish) + "/" + num(field))
           + demoCell(demoTimeText(s.timeTenths)) + demoCell(demoTenthsText(s.marginTenths))
           + demoCell(demoTenthsText(s.last3fTenths)) + demoCell(num(s.bodyWeight)) + demoCell(s.jockey)
           + demoCell(demoTenthsText(s.carriedTenths)) + demoCell(horse.trainer) + "</tr>\r\n";
}

// The margin to the horse in front as the board writes it.
QString marginWords(int tenthsBehind)
{
    static const char* const words[] = {"同着", "ハナ", "クビ", "1/2", "3/4", "1", "1 1/2", "2", "3", "4", "5"};
    return tenthsBehind > 10 ? QStringLiteral("大差") : QString::fromUtf8(words[tenthsBehind]);
}

QString resultRow(const DemoWorld& world, const DemoWorldRace& race, const DemoStart& s, int tenthsBehind)
{
    const DemoHorse& horse = world.horses()[size_t(s.horse)];
    return "<tr>" + demoCell(num(s.finish)) + demoCell(num(s.bracket)) + demoCell(num(s.number)) + demoCell(horse.name)
           + demoCell(world.tracks()[size_t(horse.home)].name) + demoCell(horse.sex + num(ageAt(horse, race.date)))
           + demoCell(demoTenthsText(s.carriedTenths)) + demoCell(s.jockey.left(3) + "(" + zyoOf(world, race) + ")")
           + demoCell(horse.trainer) + demoCell(num(s.bodyWeight)) + demoCell(signedNum(s.weightChange))
           + demoCell(demoTimeText(s.timeTenths)) + demoCell(s.finish == 1 ? QString() : marginWords(tenthsBehind))
           + demoCell(demoTenthsText(s.last3fTenths)) + demoCell(num(s.popularity)) + "</tr>\r\n";
}

QString cornerTable(const DemoWorldRace& race)
{
    static const char* const labels[] = {"１角", "２角", "３角", "４角"};
    QString text = QStringLiteral("コーナー通過順");
    for (int c = 0; c < race.cornerCount; ++c) {
        std::vector<int> byPosition(race.field.size());
        for (const DemoStart& s : race.field)
            byPosition[size_t(s.corners[size_t(c)] - 1)] = s.number;
        QStringList order;
        for (const int number : byPosition)
            order << num(number);
        text += "<br>" + QString::fromUtf8(labels[c + 4 - race.cornerCount]) + "　" + order.join(u',');
    }
    return "<table class=\"corner\">\r\n<tr><td>" + text + "</td></tr>\r\n</table>\r\n";
}

QString payTable(const DemoWorldRace& race)
{
    const std::vector<const DemoStart*> o = race.byFinish();
    const QString a = num(o[0]->number), b = num(o[1]->number), c = num(o[2]->number);
    const DemoPayouts& p = race.pay;
    const QString amounts[] = {yen(p.win), yen(p.place[0]) + "<br>" + yen(p.place[1]) + "<br>" + yen(p.place[2]), yen(p.quinella),
                               yen(p.exacta), yen(p.wide[0]) + "<br>" + yen(p.wide[1]) + "<br>" + yen(p.wide[2]), yen(p.trio),
                               yen(p.trifecta)};
    const QString numbers[] = {a, a + "<br>" + b + "<br>" + c, a + "-" + b, a + "-" + b, a + "-" + b + "<br>" + a + "-" + c + "<br>" + b + "-" + c,
                               a + "-" + b + "-" + c, a + "-" + b + "-" + c};
    QString labels, cells;
    for (const char* label : {"単勝", "複勝", "馬連複", "馬連単", "ワイド", "三連複", "三連単"})
        labels += "<td colspan=\"2\">" + QString::fromUtf8(label) + "</td>";
    for (int i = 0; i < 7; ++i)
        cells += demoCell(amounts[i]) + demoCell(numbers[i]);
    return "<table class=\"pay\" border=\"1\">\r\n<tr><td colspan=\"14\">払戻金</td></tr>\r\n<tr>" + labels + "</tr>\r\n<tr>" + cells
           + "</tr>\r\n</table>\r\n";
}

QString raceKey(const char* kind, const QString& babaCode, int raceNo, const QDate& day)
{
    return QString::fromLatin1(kind) + u'|' + num(babaCode.toInt()) + u'|' + num(raceNo) + u'|' + day.toString(Qt::ISODate);
}

}

QString demoCardTarget(const DemoWorld& world, const DemoWorldRace& race)
{
    return kDemoCardPath + "?k_babaCode=" + zyoToNarCode(zyoOf(world, race)) + "&k_raceNo="
           + QStringLiteral("%1").arg(race.raceNo, 2, 10, QLatin1Char('0')) + "&k_raceDate=" + demoDateQuery(race.date);
}

QString demoResultsTarget(const DemoWorld& world, const DemoWorldRace& race)
{
    return kDemoResultsPath + "?k_babaCode=" + zyoToNarCode(zyoOf(world, race)) + "&k_raceNo=" + num(race.raceNo)
           + "&k_raceDate=" + demoDateQuery(race.date);
}

QString demoHistoryTarget(const DemoHorse& horse)
{
    return kDemoHorsePath + horse.id;
}

QByteArray demoCard(const DemoWorld& world, const DemoWorldRace& race)
{
    QString page = demoPageHead("地方競馬 情報", "HOME ＞ 出馬表");
    page += raceTable(world, race, "<tr><td>賞金　１着 1,000,000円</td></tr>\r\n")
            + "<table class=\"deba\" border=\"1\">\r\n"
              "<tr><td>枠番</td><td>馬番</td><td>馬名・父・母</td><td>性齢</td><td>調教師</td><td>負担重量・騎手</td>"
              "<td>馬体重</td><td>前走</td><td>2走前</td><td>3走前</td><td>4走前</td><td>5走前</td></tr>\r\n"
              "<tr><td>毛色</td><td>馬主</td><td>生産者</td></tr>\r\n";
    for (const DemoStart& s : race.field)
        page += cardRunner(world, race, s);
    return toCp932(page + "</table>\r\n" + pageEnd(race.raceNo, kFootTop));
}

QByteArray demoResults(const DemoWorld& world, const DemoWorldRace& race)
{
    QString page = demoPageHead("地方競馬 情報 レース成績", "<a href=\"/keibaWeb/\">HOME</a> ＞ レース成績表");
    page += raceTable(world, race, QString())
            + "<table class=\"mark\" border=\"1\">\r\n"
              "<tr><td>着順</td><td>枠番</td><td>馬番</td><td>馬名</td><td>所属</td><td>性齢</td><td>負担重量</td><td>騎手</td>"
              "<td>調教師</td><td>馬体重</td><td>増減</td><td>タイム</td><td>着差</td><td>上り3F</td><td>人気</td></tr>\r\n";
    int before = 0;
    for (const DemoStart* s : race.byFinish()) {
        page += resultRow(world, race, *s, before ? s->timeTenths - before : 0);
        before = s->timeTenths;
    }
    page += "<tr><td colspan=\"15\">※馬体重は当日発表のものです</td></tr>\r\n</table>\r\n" + cornerTable(race) + payTable(race);
    return toCp932(page + pageEnd(race.raceNo, kFootCopyright));
}

QByteArray demoHistory(const DemoWorld& world, const DemoHorse& horse)
{
    QString page = demoPageHead("地方競馬 情報", "HOME ＞ 競走馬情報");
    page += "<table class=\"profile\">\r\n<tr><td>" + horse.name + "</td></tr>\r\n<tr><td>性齢</td><td>" + horse.sex
            + num(ageAt(horse, world.today())) + "</td></tr>\r\n<tr><td>父</td><td>" + horse.sire + "</td></tr>\r\n<tr><td>母</td><td>"
            + horse.dam + "</td></tr>\r\n<tr><td>調教師</td><td>" + horse.trainer + "</td></tr>\r\n</table>\r\n"
            + "<table class=\"history\" border=\"1\">\r\n"
              "<tr><td>年月日</td><td>競馬場</td><td>R</td><td>レース名</td><td>格</td><td>距離</td><td>天候</td><td>馬場</td>"
              "<td>頭数</td><td>枠</td><td>馬番</td><td>人気</td><td>着順</td><td>タイム</td><td>差</td><td>上3F</td>"
              "<td>馬体重</td><td>騎手</td><td>負担</td><td>調教師</td></tr>\r\n";
    for (const auto& start : horse.starts)
        if (!world.races()[size_t(start.first)].today)
            page += historyRow(world, horse, start);
    return toCp932(page + "</table>\r\n" + pageEnd(horse.id.back().digitValue(), kFootTop));
}

QByteArray demoMissingPage()
{
    return toCp932(demoPageHead("地方競馬 情報", "<a href=\"/keibaWeb/\">HOME</a> ＞ エラー")
                   + "<table>\r\n<tr><td>該当するデータはありません</td></tr>\r\n</table>\r\n" + demoPageFoot(kFootCopyright));
}

QHash<QByteArray, QByteArray> demoWorldPages(const DemoWorld& world)
{
    QHash<QByteArray, QByteArray> pages;
    pages.reserve(qsizetype(world.races().size() + world.horses().size()));
    for (const DemoWorldRace& race : world.races()) {
        const QString target = race.today ? demoCardTarget(world, race) : demoResultsTarget(world, race);
        pages.insert(demoPageKey(target), race.today ? demoCard(world, race) : demoResults(world, race));
    }
    for (const DemoHorse& horse : world.horses())
        pages.insert(demoPageKey(demoHistoryTarget(horse)), demoHistory(world, horse));
    return pages;
}

QByteArray demoPageKey(const QString& target)
{
    const qsizetype mark = target.indexOf(u'?');
    const QString path = target.left(mark);
    const QUrlQuery query(target.mid(mark + 1));
    if (mark < 0)
        return {};
    if (path + u'?' + "k_lineageLoginNo=" == kDemoHorsePath)
        return ("H|" + query.queryItemValue("k_lineageLoginNo")).toUtf8();
    const char* kind = path == kDemoCardPath ? "C" : path == kDemoResultsPath ? "R" : nullptr;
    const QStringList ymd = query.queryItemValue("k_raceDate", QUrl::FullyDecoded).split(u'/');
    bool numberOk = false;
    const int raceNo = query.queryItemValue("k_raceNo").toInt(&numberOk);
    if (!kind || !numberOk || ymd.size() != 3)
        return {};
    return raceKey(kind, query.queryItemValue("k_babaCode"), raceNo, QDate(ymd[0].toInt(), ymd[1].toInt(), ymd[2].toInt())).toUtf8();
}
