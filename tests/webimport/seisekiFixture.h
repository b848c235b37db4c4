#pragma once
// Our own results pages as the results-import tests and benchmark serve them.
#include "platform/webbrowser.h"
#include "tests/webimport/webImportFixture.h"

inline QByteArray seisekiPage(const QString& fileName) { return samplePage(fileName); }

inline QByteArray pageWith(const QByteArray& page, const QString& from, const QString& to)
{
    QString text = fromCp932(page);
    EXPECT_TRUE(text.contains(from)) << from.toStdString();
    return toCp932(text.replace(from, to));
}

inline QByteArray raceOn(const QString& zyo, const VbDate& day, int raceNo)
{
    return pageWith(seisekiPage("seiseki_normal.htm"), "2008年3月24日（月）　大井　第11競走",
                    QStringLiteral("%1年%2月%3日（月）　%4　第%5競走").arg(day.year()).arg(day.month()).arg(day.day()).arg(zyo).arg(raceNo));
}

inline void cutPage(const QByteArray& page)
{
    clearWebCell();
    webHtml = bodyInnerHtmlOf(decodePage(page, "Shift_JIS")).remove(QStringLiteral("\r\n"));
    cutWebTable(webHtml);
}

inline QString resultsPath(const QString& code, const VbDate& day, int raceNo)
{
    return "/keibaWeb/PageFlows/RaceMarkTable/RaceMarkTableController.jpf?k_babaCode=" + code + "&k_raceNo="
        + QString::number(raceNo) + "&k_raceDate=" + day.toDbText().replace(u'-', "%2F");
}
