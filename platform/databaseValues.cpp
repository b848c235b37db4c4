#include "platform/database.h"

#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <charconv>
#include <cmath>

namespace {

// Day numbers of the first and last day a date column may hold: 1 January 100 and 31 December 9999.
constexpr double kFirstDateSerial = -657434;
constexpr double kLastDateSerial = 2958465;

// Shortest text that reads back as the same value; a value stored from a single float shows
// as that float does ("42.35", not "42.349998474121094").
QString realText(double v)
{
    char buf[64];
    const float f = float(v);
    const auto res = (std::isfinite(v) && double(f) == v) ? std::to_chars(buf, buf + sizeof buf, f)
                                                          : std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

}  // namespace

// ---- DbField ----

double DbField::toDouble() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<int64_t>(v))
        return double(std::get<int64_t>(v));
    if (std::holds_alternative<double>(v))
        return std::get<double>(v);
    if (std::holds_alternative<QString>(v))
        return CDblText(std::get<QString>(v));
    if (std::holds_alternative<VbDate>(v))
        return std::get<VbDate>(v).serial();
    return 0.0;
}

int32_t DbField::toInt() const
{
    return CLng(toDouble());
}

float DbField::toFloat() const
{
    return float(toDouble());
}

bool DbField::toBool() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<QString>(v)) {
        const QString t = std::get<QString>(v).trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toDouble() != 0.0;
}

QString DbField::toString() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<int64_t>(v))
        return QString::number(std::get<int64_t>(v));
    if (std::holds_alternative<double>(v))
        return realText(std::get<double>(v));
    if (std::holds_alternative<QString>(v))
        return std::get<QString>(v);
    if (std::holds_alternative<VbDate>(v))
        return std::get<VbDate>(v).toDbText();
    return {};
}

VbDate DbField::toDate() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<QString>(v)) {
        bool ok = false;
        const VbDate d = VbDate::fromDbText(std::get<QString>(v), &ok);
        if (!ok)
            throw VbError(vbErrTypeMismatch, QStringLiteral("not a date: ") + std::get<QString>(v));
        return d;
    }
    if (std::holds_alternative<VbDate>(v))
        return std::get<VbDate>(v);
    // A serial number: the whole days count, a fraction would be the time of day. A number
    // beyond the calendar (a damaged file) is a bad value, not a date.
    const double serial = std::floor(toDouble());
    if (!(serial >= kFirstDateSerial && serial <= kLastDateSerial))
        throw VbError(vbErrOverflow, QStringLiteral("not a date: ") + toString());
    return VbDate(int(serial));
}
