#include "webimport/raceTitle.h"

#include "core/publicFunction.h"
#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"
#include "webimport/webText.h"

#include <QDate>

namespace {

VbDate titleDate(const QString& title)
{
    const QDate d(CLngText(textBefore(title, QStringLiteral("年"))),
                  CLngText(textBetween(title, QStringLiteral("年"), QStringLiteral("月"))),
                  CLngText(textBetween(title, QStringLiteral("月"), QStringLiteral("日"))));
    if (!d.isValid())
        pageError(QStringLiteral("no date in \"%1\"").arg(title));
    return VbDate::fromQDate(d);
}

// The four characters before "ｍ": digits, perhaps after half-width spaces (a 3-digit distance).
int32_t titleDistance(const QString& title)
{
    const qsizetype m = title.indexOf(QStringLiteral("ｍ"));
    if (m < 4)
        pageError(QStringLiteral("no distance in \"%1\"").arg(title));
    const QString digits = trimSpaces(title.mid(m - 4, 4));
    for (const QChar ch : digits)
        if (ch < u'0' || ch > u'9')
            pageError(QStringLiteral("no distance in \"%1\"").arg(title));
    return CLngText(digits);
}

}

int raceTitleRow()
{
    for (int r = 0; r <= 10; ++r)
        if (webCell(r, 1).startsWith(QStringLiteral("20")))
            return r;
    return -1;
}

void parseRaceTitle(const QString& title, RaceTitle& race)
{
    race.raceZyo = delSpace(textBetween(title, QStringLiteral("）"), QStringLiteral("第"))).left(2);
    race.raceChiku = zyoToChiku(race.raceZyo);
    race.raceDate = titleDate(title);
    race.raceNo = CLngText(textBetween(title, QStringLiteral("第"), QStringLiteral("競")));
    race.raceCode = makeRaceCode(race.raceZyo, race.raceDate, race.raceNo);
    race.raceSiba = title.mid(title.indexOf(QStringLiteral("競")) + 3, 1) == QStringLiteral("芝") ? 1 : 0;
    race.raceKyori = titleDistance(title);
    const qsizetype going = title.indexOf(QStringLiteral("馬場："));
    race.raceBaba = going < 0 ? 0 : babaToCode(delSpace(title.mid(going + 3, 1)));
}

void parseRaceNameLine(const QString& line, RaceTitle& race)
{
    struct Breed {
        const char16_t* marker;
        int32_t syurui;
    };
    static constexpr Breed breeds[] = {{u"（サラ", 1}, {u"（アラ", 2}, {u"（混合", 1}};
    qsizetype end = 9;
    for (const Breed& b : breeds) {
        const qsizetype p = line.indexOf(QStringView(b.marker));
        if (p >= 0) {
            end = p;
            race.raceSyurui = b.syurui;
            break;
        }
    }
    race.raceName = line.left(end);
}
