#include "platform/vbformat.h"

#include "platform/vberror.h"

#include <QStringList>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    const QStringView t = QStringView(text).trimmed();
    return !t.isEmpty() && leadingNumberLength(t) == t.size();
}

namespace {
// A short number (sign, at most 15 digits, a point) read without the general parse: a race read
// converts tens of thousands of page cells. Its digits make an exact integer and the power of
// ten is exact too, so the one division rounds as the general parse does. Empty when `t` is
// another text.
std::optional<double> shortNumber(QStringView t)
{
    constexpr int maxDigits = 15;
    static constexpr std::array<double, maxDigits + 1> powers {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype i = 0;
    const bool negative = i < t.size() && t[i] == u'-';
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    double mantissa = 0;
    int digits = 0, fraction = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9' && digits < maxDigits) {
            mantissa = mantissa * 10 + (c - u'0');
            ++digits;
            fraction += point;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    const double v = mantissa / powers[size_t(fraction)];
    return negative ? -v : v;
}
}

double CDblText(const QString& text)
{
    const QStringView t = QStringView(text).trimmed();
    if (const auto v = shortNumber(t))
        return *v;
    if (!IsNumeric(text))
        throw VbError(vbErrTypeMismatch, QStringLiteral("Type mismatch: \"%1\"").arg(text));
    return t.toDouble();
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
// A number as decimal text with the given significant digits, split at the point. Plain byte
// strings: the grids format hundreds of thousands of cells, and these stay within the small
// string buffer.
struct Decimal {
    std::string whole;  // no leading zeros; "" for zero
    std::string frac;
};

Decimal toDecimal(double magnitude, int significant, int shift)
{
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, significant - 1).ptr;
    const std::string_view e(buf, size_t(end - buf));
    const size_t ePos = e.find('e');
    std::string digits;
    for (const char c : e.substr(0, ePos))
        if (c != '.')
            digits += c;
    int exponent = 0;
    const std::string_view expText = e.substr(ePos + 1);
    std::from_chars(expText.data() + (expText.front() == '+' ? 1 : 0), expText.data() + expText.size(), exponent);
    exponent += shift;
    if (exponent < 0)
        return {std::string(), std::string(size_t(-exponent - 1), '0') + digits};
    if (digits.size() < size_t(exponent) + 1)
        digits.resize(size_t(exponent) + 1, '0');
    Decimal d {digits.substr(0, size_t(exponent) + 1), digits.substr(size_t(exponent) + 1)};
    d.whole.erase(0, std::min(d.whole.find_first_not_of('0'), d.whole.size()));
    return d;
}

// Adds one unit in the last place of a digit string; returns the carry out.
bool incrementDigits(std::string& digits)
{
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

// Keeps `places` decimals, a dropped first digit of 5 or more rounds away from zero.
Decimal roundDecimal(Decimal d, int places)
{
    const bool up = d.frac.size() > size_t(places) && d.frac[size_t(places)] >= '5';
    d.frac.resize(size_t(places), '0');
    if (up && incrementDigits(d.frac) && incrementDigits(d.whole))
        d.whole.insert(d.whole.begin(), '1');
    return d;
}

// Thousands separators every three digits from the right.
std::string grouped(const std::string& digits)
{
    std::string out = digits;
    for (ptrdiff_t i = ptrdiff_t(out.size()) - 3; i > 0; i -= 3)
        out.insert(size_t(i), 1, ',');
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
        while (d.frac.size() > size_t(decZeros) && d.frac.back() == '0')
            d.frac.pop_back();
        std::string number = d.whole;
        if (number.size() < size_t(intZeros))
            number.insert(0, size_t(intZeros) - number.size(), '0');
        if (thousands)
            number = grouped(number);
        if (point)
            number += '.' + d.frac;
        return prefix + QLatin1StringView(number.data(), qsizetype(number.size())) + suffix;
    }
};

bool hasNonZeroDigit(const QString& text)
{
    for (QChar c : text)
        if (c >= u'1' && c <= u'9')
            return true;
    return false;
}

// The sections of a pattern, parsed once per pattern and thread. The system uses a few dozen
// patterns, and a short list compared by length and text is found faster than a hash is
// computed; patterns beyond the list's room are parsed on every call.
const std::vector<NumberSection>& patternSections(const QString& pattern)
{
    struct Parsed {
        QString pattern;
        std::vector<NumberSection> sections;
    };
    constexpr size_t room = 64;
    thread_local std::vector<Parsed> parsed;
    thread_local Parsed uncached;
    for (const Parsed& p : parsed)
        if (p.pattern == pattern)
            return p.sections;
    Parsed& p = parsed.size() < room ? parsed.emplace_back() : uncached;
    p.pattern = pattern;
    p.sections.clear();
    for (const QString& s : pattern.split(u';'))
        p.sections.emplace_back(s);
    return p.sections;
}

QString formatNumber(double value, const QString& pattern, int significant)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const std::vector<NumberSection>& sections = patternSections(pattern);
    if (value < 0 && sections.size() > 1)
        return sections[1].render(-value, significant);
    const QString text = sections[0].render(std::fabs(value), significant);
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
