#include "tools/demoHtml.h"

#include <QDate>
#include <cstdlib>

const QString kDemoCardPath = QStringLiteral("/keibaWeb/PageFlows/DebaTable/DebaTableController.jpf");
const QString kDemoResultsPath = QStringLiteral("/keibaWeb/PageFlows/RaceMarkTable/RaceMarkTableController.jpf");
const QString kDemoHorsePath =
    QStringLiteral("/keibaWeb/PageFlows/HorseMarkInfo/HorseMarkInfoController.jpf?k_lineageLoginNo=");

QString demoDateQuery(const VbDate& day)
{
    const QDate d = day.toQDate();
    return d.toString(QStringLiteral("yyyy")) + QStringLiteral("%2F") + d.toString(QStringLiteral("MM")) + QStringLiteral("%2F")
           + d.toString(QStringLiteral("dd"));
}

int demoBracketOf(int number, int field)
{
    if (field <= 8)
        return number;
    const int base = field / 8, extra = field % 8;
    int first = 1;
    for (int b = 1; b <= 8; ++b) {
        const int size = base + (b > 8 - extra ? 1 : 0);
        if (number < first + size)
            return b;
        first += size;
    }
    return 8;
}

QString demoPageHead(const QString& title, const QString& crumb)
{
    return QStringLiteral("<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
                          "<title>%1</title>\r\n</head>\r\n<body>\r\n"
                          "<table class=\"menu\" width=\"100%\">\r\n"
                          "<tr><td><a href=\"/keibaWeb/\">地方競馬情報</a></td><td>検索</td></tr>\r\n"
                          "<tr><td>トップ</td><td>出馬表</td><td>レース成績</td><td>競走馬</td></tr>\r\n</table>\r\n"
                          "<table class=\"crumb\">\r\n<tr><td>%2</td></tr>\r\n</table>\r\n")
        .arg(title, crumb);
}

QString demoPageFoot(const QString& text)
{
    return QStringLiteral("<table class=\"foot\">\r\n<tr><td>%1</td></tr>\r\n</table>\r\n").arg(text) + demoPageEnd();
}

QString demoPageEnd()
{
    return QStringLiteral("</body>\r\n</html>\r\n");
}

QString demoCell(const QString& text)
{
    return QStringLiteral("<td>") + text + QStringLiteral("</td>");
}

QString demoTimeText(int tenths, QChar tenthMark)
{
    const int minutes = tenths / 600, seconds = tenths % 600 / 10, tenth = tenths % 10;
    if (minutes == 0)
        return QString::number(seconds) + tenthMark + QString::number(tenth);
    return QString::number(minutes) + u':' + QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0')) + tenthMark
           + QString::number(tenth);
}

QString demoTenthsText(int tenths)
{
    const int a = std::abs(tenths);
    return (tenths < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 10) + u'.' + QString::number(a % 10);
}
