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

VbDate VbDate::fromDbText(const QString& text, bool* ok)
{
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
