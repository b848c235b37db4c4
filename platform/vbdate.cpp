#include "platform/vbdate.h"

namespace {
const QDate kZero(1899, 12, 30);
VbDate fixedToday;
}

VbDate VbDate::fromQDate(const QDate& d)
{
    return d.isValid() ? VbDate(int(kZero.daysTo(d))) : VbDate();
}

QDate VbDate::toQDate() const
{
    return kZero.addDays(serial_);
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
