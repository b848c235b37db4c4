// The cell table of a page: its rows and cells cut from the body markup, and the check the
// pages with a breadcrumb share.
#include "webimport/ReadWeb.h"

#include <QStringView>

namespace {

constexpr int webRows = 300;
constexpr int webCells = 60;

// First closing tag "</tr>" / "</TR>" (kind 'r') or "</td>" / "</TD>" (kind 'd') at or after
// from; only these two spellings count.
qsizetype findClosingTag(QStringView s, qsizetype from, char16_t kind)
{
    const char16_t upper = kind - u'a' + u'A';
    for (qsizetype p = s.indexOf(u"</", from); p >= 0 && p + 5 <= s.size(); p = s.indexOf(u"</", p + 2)) {
        const char16_t t = s[p + 2].unicode(), k = s[p + 3].unicode();
        if (s[p + 4] == u'>' && ((t == u't' && k == kind) || (t == u'T' && k == upper)))
            return p;
    }
    return -1;
}

// Position just after the tag that begins at from: after its ">", which inside a quoted
// attribute value does not count; the end of s when the tag does not end.
qsizetype endOfTag(QStringView s, qsizetype from)
{
    bool inQuote = false;
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == u'"')
            inQuote = !inQuote;
        else if (s[i] == u'>' && !inQuote)
            return i + 1;
    }
    return s.size();
}

// The text of a cell's markup in one pass: what stands up to the end of the first tag is
// dropped, then every character outside tags is kept once (a ">" in the text is text).
QString stripMarkup(QStringView s)
{
    QString out;
    for (qsizetype i = endOfTag(s, 0); i < s.size();) {
        qsizetype open = s.indexOf(u'<', i);
        if (open < 0)
            open = s.size();
        out += s.mid(i, open - i);
        i = endOfTag(s, open);
    }
    return out;
}

void cutCells(int r, QStringView row)
{
    qsizetype start = 0;
    for (int c = 1; c <= webCells; ++c) {
        const qsizetype p = findClosingTag(row, start + 1, u'd');
        if (p < 0)
            return;
        webCell(r, c) = stripMarkup(row.mid(start, p - start));
        start = p + 5;
    }
}

}

int webCellCount(int r)
{
    const QStringView row(webCell(r, 0));
    int count = 0;
    for (qsizetype start = 0; count < webCells; ++count) {
        const qsizetype p = findClosingTag(row, start + 1, u'd');
        if (p < 0)
            break;
        start = p + 5;
    }
    return count;
}

bool pageFallsShort(const QString& breadcrumb, PageShortCheck partsFallShort)
{
    constexpr int breadcrumbRow = 3;
    if (webCell(breadcrumbRow, 0).isEmpty())
        return !webCell(1, 0).isEmpty() || !webCell(2, 0).isEmpty();
    return webCell(breadcrumbRow, 1) == breadcrumb && partsFallShort();
}

void clearWebCell()
{
    webCell.clear();
}

// Two closing row tags in a row leave that row empty and cutting goes on behind them.
void cutWebTable(const QString& body)
{
    const QStringView html(body);
    qsizetype start = 0;
    for (int r = 1; r <= webRows; ++r) {
        const qsizetype p = findClosingTag(html, start, u'r');
        if (p < 0)
            break;
        if (p > start) {
            webCell(r, 0) = body.mid(start, p - start);
            cutCells(r, html.mid(start, p - start));
        }
        start = p + 5;
    }
}

