#pragma once
// Recorded message texts by their first line (a message may go on with the file and the cause).
#include <QStringList>

inline QStringList firstLines(const QStringList& texts)
{
    QStringList lines;
    for (const QString& t : texts)
        lines << t.section(QLatin1Char('\n'), 0, 0);
    return lines;
}
