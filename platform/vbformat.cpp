#include "platform/vbformat.h"

#include "platform/vberror.h"

#include <QStringList>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

int32_t CLng(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
        throw VbError(vbErrOverflow, QStringLiteral("Overflow"));
    return int32_t(r);
}

double Int(double v)
{
    return std::floor(v);
}

double Fix(double v)
{
    return std::trunc(v);
}

namespace {
// Length of the number at the start of `t`: optional sign, digits, optional point and
// digits; at least one digit. 0 when `t` does not start with a number.
qsizetype leadingNumberLength(QStringView t)
{
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    auto skipDigits = [&] {
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
            ++i;
            ++digits;
        }
    };
    skipDigits();
    if (i < t.size() && t[i] == u'.') {
        ++i;
        skipDigits();
    }
    return digits ? i : 0;
}
}

bool IsNumeric(const QString& text)
{
    const QString t = text.trimmed();
    return !t.isEmpty() && leadingNumberLength(t) == t.size();
}

double CDblText(const QString& text)
{
    if (!IsNumeric(text))
        throw VbError(vbErrTypeMismatch, QStringLiteral("Type mismatch: \"%1\"").arg(text));
    return text.trimmed().toDouble();
}

int32_t CLngText(const QString& text)
{
    return CLng(CDblText(text));
}

float CSngText(const QString& text)
{
    const double v = CDblText(text);
    if (std::fabs(v) > std::numeric_limits<float>::max())
        throw VbError(vbErrOverflow, QStringLiteral("Overflow"));
    return float(v);
}

// Blanks anywhere in the text are ignored, as the classic Val does ("1 2" is 12).
double Val(const QString& text)
{
    QString t = text;
    t.remove(u' ').remove(u'\t').remove(u'\r').remove(u'\n');
    const qsizetype n = leadingNumberLength(t);
    return n ? t.left(n).toDouble() : 0.0;
}

namespace {
// A number as decimal text with the given significant digits, split at the point.
struct Decimal {
    QString whole;  // no leading zeros; "" for zero
    QString frac;
};

Decimal toDecimal(double magnitude, int significant, int shift)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, magnitude);
    const QString e = QString::fromLatin1(buf);
    const qsizetype ePos = e.indexOf(u'e');
    const QString digits = e.left(ePos).remove(u'.');
    const int exponent = e.mid(ePos + 1).toInt() + shift;
    if (exponent < 0)
        return {QString(), QString(-exponent - 1, u'0') + digits};
    const QString padded = digits.leftJustified(exponent + 1, u'0');
    Decimal d {padded.left(exponent + 1), padded.mid(exponent + 1)};
    while (d.whole.startsWith(u'0'))
        d.whole.remove(0, 1);
    return d;
}

// Adds one unit in the last place of a digit string; returns the carry out.
bool incrementDigits(QString& digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = u'0';
    }
    return true;
}

// Keeps `places` decimals, a dropped first digit of 5 or more rounds away from zero.
Decimal roundDecimal(Decimal d, int places)
{
    const bool up = d.frac.size() > places && d.frac[places] >= u'5';
    d.frac = d.frac.left(places).leftJustified(places, u'0');
    if (up && incrementDigits(d.frac) && incrementDigits(d.whole))
        d.whole.prepend(u'1');
    return d;
}

// Thousands separators every three digits from the right.
QString grouped(const QString& digits)
{
    QString out = digits;
    for (qsizetype i = out.size() - 3; i > 0; i -= 3)
        out.insert(i, u',');
    return out;
}

// One section of a number pattern: literal prefix, integer digits ('#' or '0', a ',' among
// them groups thousands), an optional point with decimal digits, literal suffix; a '%'
// anywhere multiplies by 100.
struct NumberSection {
    QString prefix, suffix;
    int intZeros = 0;   // digits always shown before the point
    bool thousands = false;
    bool point = false;
    int decimals = 0;
    int decZeros = 0;   // decimals always shown
    bool percent = false;

    explicit NumberSection(const QString& s)
    {
        const auto isDigitChar = [](QChar c) { return c == u'#' || c == u'0' || c == u'.' || c == u','; };
        qsizetype i = 0;
        while (i < s.size() && !isDigitChar(s[i]))
            prefix += s[i++];
        for (; i < s.size() && isDigitChar(s[i]) && !(s[i] == u'.' && point); ++i) {
            if (s[i] == u',')
                thousands = true;
            else if (s[i] == u'.')
                point = true;
            else if (point)
                ++decimals, decZeros += s[i] == u'0';
            else
                intZeros += s[i] == u'0';
        }
        suffix = s.mid(i);
        percent = s.contains(u'%');
    }

    QString render(double magnitude, int significant) const
    {
        Decimal d = roundDecimal(toDecimal(magnitude, significant, percent ? 2 : 0), decimals);
        while (d.frac.size() > decZeros && d.frac.endsWith(u'0'))
            d.frac.chop(1);
        QString whole = d.whole.rightJustified(intZeros, u'0');
        if (thousands)
            whole = grouped(whole);
        return prefix + whole + (point ? QChar(u'.') + d.frac : QString()) + suffix;
    }
};

bool hasNonZeroDigit(const QString& text)
{
    for (QChar c : text)
        if (c >= u'1' && c <= u'9')
            return true;
    return false;
}

QString formatNumber(double value, const QString& pattern, int significant)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const QStringList sections = pattern.split(u';');
    if (value < 0 && sections.size() > 1)
        return NumberSection(sections[1]).render(-value, significant);
    const QString text = NumberSection(sections[0]).render(std::fabs(value), significant);
    return value < 0 && hasNonZeroDigit(text) ? QChar(u'-') + text : text;
}
}

// A double shows 15 significant digits, a Single 7; rounding works on that decimal text.
QString Format(double value, const QString& pattern)
{
    return formatNumber(value, pattern, 15);
}

QString FormatSingle(float value, const QString& pattern)
{
    return formatNumber(value, pattern, 7);
}

QString Format(float value, const QString& pattern)
{
    return FormatSingle(value, pattern);
}

QString singleText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

// Date patterns: runs of y, m, d are year, month, day (one letter unpadded, two padded,
// yyyy the full year); anything else is copied.
QString Format(const VbDate& date, const QString& pattern)
{
    if (date.isZero())
        return QString();
    const QDate d = date.toQDate();
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        i += run;
        const bool fullYear = c == u'y' && run >= 4;
        const int value = c == u'y' ? (fullYear ? d.year() : d.year() % 100)
            : c == u'm'             ? d.month()
            : c == u'd'             ? d.day()
                                    : -1;
        if (value < 0)
            out += QString(run, c);
        else
            out += QString::number(value).rightJustified(fullYear ? 4 : int(qMin<qsizetype>(run, 2)), u'0');
    }
    return out;
}
