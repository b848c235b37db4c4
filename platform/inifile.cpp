#include "platform/inifile.h"

#include "platform/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace {
constexpr qsizetype kBufferChars = 255;  // a 256-character buffer with its terminator

// One line of the file as stored (with its line end) and as text (without it).
struct Line {
    QByteArray raw;
    QString text;
};

QList<Line> readLines(const QString& path)
{
    QFile file(path);
    QList<Line> lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QByteArray all = file.readAll();
    for (qsizetype start = 0; start < all.size();) {
        const qsizetype nl = all.indexOf('\n', start);
        const qsizetype end = nl < 0 ? all.size() : nl + 1;
        const QByteArray raw = all.mid(start, end - start);
        QByteArray body = raw;
        while (body.endsWith('\n') || body.endsWith('\r'))
            body.chop(1);
        lines.append({raw, fromCp932(body)});
        start = end;
    }
    return lines;
}

QString trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b).toString();
}

bool sameName(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (lower(x) != lower(y))
            return false;
    }
    return true;
}

std::optional<QString> sectionOf(const QString& text)
{
    const QString t = trimBlanks(text);
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return trimBlanks(QStringView(t).mid(1, close < 0 ? -1 : close - 1));
}

struct Entry {
    QString key, value;
};

std::optional<Entry> entryOf(const QString& text)
{
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0 || trimBlanks(text).startsWith(u';'))
        return std::nullopt;
    return Entry {trimBlanks(QStringView(text).left(eq)), trimBlanks(QStringView(text).mid(eq + 1))};
}

// Where a key stands in the file: the section header's line, the key's line, and the line
// after the section's last non-blank line (where a new key goes).
struct Position {
    qsizetype section = -1, key = -1, insertAt = -1;
};

Position locate(const QList<Line>& lines, const QString& section, const QString& key)
{
    Position p;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionOf(lines[i].text)) {
            if (p.section >= 0)
                break;
            if (sameName(*name, section))
                p.section = p.insertAt = i;
            continue;
        }
        if (p.section < 0)
            continue;
        if (!trimBlanks(lines[i].text).isEmpty())
            p.insertAt = i;
        const auto entry = entryOf(lines[i].text);
        if (entry && sameName(entry->key, key)) {
            p.key = i;
            break;
        }
    }
    if (p.section >= 0)
        ++p.insertAt;
    return p;
}

Line makeLine(const QString& text)
{
    return {toCp932(text) + "\r\n", text};
}

// A new line after a last line that has no line end must not run on from it.
void insertLine(QList<Line>& lines, qsizetype at, const QString& text)
{
    if (at > 0 && !lines[at - 1].raw.endsWith('\n'))
        lines[at - 1].raw += "\r\n";
    lines.insert(at, makeLine(text));
}

bool writeAll(const QString& path, const QList<Line>& lines)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const Line& line : lines)
        file.write(line.raw);
    return file.commit();
}
}

int IniFile::getString(const QString& section, const QString& key, const QString& def, QString& value) const
{
    const QList<Line> lines = readLines(path_);
    const Position p = locate(lines, section, key);
    value = p.key >= 0 ? entryOf(lines[p.key].text)->value.left(kBufferChars) : def.left(kBufferChars);
    return int(value.size());
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) const
{
    return writeStrings({{section, key, value}});
}

bool IniFile::writeStrings(const QList<IniEntry>& entries) const
{
    if (QFileInfo::exists(path_) && !QFileInfo(path_).isReadable())
        return false;
    QList<Line> lines = readLines(path_);
    for (const IniEntry& e : entries) {
        const Position p = locate(lines, e.section, e.key);
        const QString text = e.key + QChar(u'=') + e.value;
        if (p.key >= 0) {
            lines[p.key] = makeLine(text);
        } else if (p.section >= 0) {
            insertLine(lines, p.insertAt, text);
        } else {
            insertLine(lines, lines.size(), QStringLiteral("[%1]").arg(e.section));
            insertLine(lines, lines.size(), text);
        }
    }
    return writeAll(path_, lines);
}
