#include "platform/flexgridsort.h"

#include "platform/flexgrid.h"
#include "platform/vbformat.h"

#include <optional>

namespace {
std::optional<double> numberOf(const QString& text)
{
    QString t = text.trimmed();
    if (t.endsWith('%'))
        t.chop(1);
    if (!IsNumeric(t))
        return std::nullopt;
    return Val(t);
}

int compareValues(double x, double y)
{
    return x < y ? -1 : (x > y ? 1 : 0);
}
}  // namespace

int flexCompareTexts(const QString& a, const QString& b, int how)
{
    switch (how) {
    case flexSortNumericAscending:
    case flexSortNumericDescending:
        return compareValues(Val(a), Val(b));
    case flexSortStringAscending:
    case flexSortStringDescending:
        return a.compare(b);
    default: {
        const bool emptyA = a.trimmed().isEmpty(), emptyB = b.trimmed().isEmpty();
        if (emptyA || emptyB)
            return int(emptyB) - int(emptyA);
        const auto x = numberOf(a), y = numberOf(b);
        if (x && y)
            return compareValues(*x, *y);
        return a.compare(b);
    }
    }
}

bool flexSortDescending(int how)
{
    return how == flexSortGenericDescending || how == flexSortNumericDescending
        || how == flexSortStringDescending;
}
