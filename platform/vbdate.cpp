#include "platform/vbdate.h"

namespace {
// Julian day of the zero date 1899-12-30; a plain number, so file-scope dates elsewhere never
// see it unset during static initialisation.
constexpr qint64 kZeroJulianDay = 2415019;
VbDate fixedToday;
}

VbDate VbDate::fromQDate(const QDate& d)
{
    return d.isValid() ? VbDate(int(d.toJulianDay() - kZeroJulianDay)) : VbDate();
}

QDate VbDate::toQDate() const
{
    return QDate::fromJulianDay(serial_ + kZeroJulianDay);
}

QString VbDate::toDbText() const
{
    return toQDate().toString(QStringLiteral("yyyy-MM-dd"));
}

namespace {
// The stored form "yyyy-mm-dd" read without the general date parser, which is slow enough to
// matter when a sheet reads tens of thousands of runs; 0 when the text is not in that form.
int fixedDigits(const QString& t, int from, int count)
{
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        if (t[i] < u'0' || t[i] > u'9')
            return -1;
        v = v * 10 + (t[i].unicode() - u'0');
    }
    return v;
}

QDate storedDate(const QString& t)
{
    if (t.size() != 10 || t[4] != u'-' || t[7] != u'-')
        return {};
    return QDate(fixedDigits(t, 0, 4), fixedDigits(t, 5, 2), fixedDigits(t, 8, 2));
}
}  // namespace

VbDate VbDate::fromDbText(const QString& text, bool* ok)
{
    if (const QDate stored = storedDate(text); stored.isValid()) {
        if (ok)
            *ok = true;
        return fromQDate(stored);
    }
    // A time part after the date ("2008-03-24 00:00:00") is ignored.
    QString t = text.trimmed().section(QLatin1Char(' '), 0, 0);
    t.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QDate d = QDate::fromString(t, QStringLiteral("yyyy-M-d"));
    if (ok)
        *ok = d.isValid();
    return fromQDate(d);
}

VbDate vbToday()
{
    return fixedToday.isZero() ? VbDate::fromQDate(QDate::currentDate()) : fixedToday;
}

void setVbToday(const VbDate& d)
{
    fixedToday = d;
}
