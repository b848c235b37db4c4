#include "webimport/webText.h"

#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <QDate>
#include <QStringList>

namespace {
// The classic run time's number for an argument out of its range (a Mid at position 0).
constexpr int vbErrInvalidCall = 5;
}

void pageError(const QString& what)
{
    throw VbError(vbErrInvalidCall, what);
}

QString textBetween(const QString& s, const QString& from, const QString& to)
{
    const qsizetype a = s.indexOf(from);
    const qsizetype b = s.indexOf(to);
    if (a < 0 || b < a + from.size())
        pageError(QStringLiteral("no text between \"%1\" and \"%2\" in \"%3\"").arg(from, to, s));
    return s.mid(a + from.size(), b - a - from.size());
}

QString textBefore(const QString& s, const QString& mark)
{
    const qsizetype p = s.indexOf(mark);
    if (p < 0)
        pageError(QStringLiteral("no \"%1\" in \"%2\"").arg(mark, s));
    return s.left(p);
}

QString trimSpaces(const QString& s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    return s.mid(begin, end - begin);
}

float timeTextSeconds(const QString& t)
{
    const qsizetype p1 = t.indexOf(u':');
    const qsizetype p2 = t.indexOf(u':', p1 + 1);
    if (p2 < 0)
        return float(CDblText(t.left(p1)) + CDblText(t.mid(p1 + 1, 1)) / 10);
    return float(CDblText(t.left(p1)) * 60 + CDblText(t.mid(p1 + 1, p2 - p1 - 1))
                 + CDblText(t.mid(p2 + 1, 1)) / 10);
}

bool webDate(const QString& text, VbDate* date)
{
    const QStringList parts = text.trimmed().split(u'/');
    if (parts.size() != 3)
        return false;
    int ymd[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        ymd[i] = parts[i].toInt(&ok);
        if (!ok)
            return false;
    }
    // A year of more than four digits is no date of a race, and its day number would not fit.
    const QDate d(ymd[0], ymd[1], ymd[2]);
    if (!d.isValid() || ymd[0] < 1 || ymd[0] > 9999)
        return false;
    *date = VbDate::fromQDate(d);
    return true;
}
