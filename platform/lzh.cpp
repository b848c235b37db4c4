// Archive side of the LHA writer: level-2 headers, reading the members of an archive that is
// being updated, collecting files and the all-or-nothing write.
#include "platform/lzh.h"

#include "platform/textcodec.h"
#include "platform/vberror.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <array>

namespace {

// The system the archive says it was made on: MS-DOS, as the Japanese Windows archivers write.
constexpr char osIdMsDos = 'M';
constexpr char extHeaderCrc = 0x00;
constexpr char extFileName = 0x01;
constexpr char extDirName = 0x02;
constexpr char dirSeparator = char(0xFF);
constexpr qsizetype levelTwoBaseSize = 24;
constexpr qint64 maxMemberSize = 0xFFFFFFFFLL;

const std::array<quint16, 256>& crcTable()
{
    static const std::array<quint16, 256> table = [] {
        std::array<quint16, 256> t{};
        for (int i = 0; i < 256; ++i) {
            quint16 r = quint16(i);
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 1) ? quint16((r >> 1) ^ 0xA001) : quint16(r >> 1);
            t[i] = r;
        }
        return t;
    }();
    return table;
}

quint32 le(const QByteArray& b, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

void appendLe(QByteArray& b, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

void setLe16(QByteArray& b, qsizetype at, quint16 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

// An extended header: its size (counting the type byte, the data and the size field of the
// next one), its type and its data.
void appendExtHeader(QByteArray& h, char type, const QByteArray& data)
{
    appendLe(h, quint32(data.size() + 3), 2);
    h.append(type);
    h.append(data);
}

QString quoted(const QString& path)
{
    return QStringLiteral("「%1」").arg(QDir::toNativeSeparators(path));
}

// ---- names ----

struct EncodedName {
    QByteArray dir;   // folders, each followed by 0xFF; empty at the top
    QByteArray file;
};

// A name the archive cannot hold in CP932 would come back as another file: refuse it.
bool encodeName(const QString& name, EncodedName& out)
{
    QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    const QString file = parts.takeLast();
    for (const QString& part : std::as_const(parts) + QStringList{file}) {
        if (fromCp932(toCp932(part)) != part)
            return false;
    }
    out.file = toCp932(file);
    for (const QString& part : std::as_const(parts))
        out.dir += toCp932(part) + dirSeparator;
    return true;
}

QString decodeDirName(const QByteArray& dir)
{
    QStringList parts;
    for (const QByteArray& part : dir.split(dirSeparator)) {
        if (!part.isEmpty())
            parts.append(fromCp932(part));
    }
    return parts.isEmpty() ? QString() : parts.join(QLatin1Char('/')) + QLatin1Char('/');
}

// ---- writing members ----

struct PackedData {
    QByteArray method;
    QByteArray bytes;
};

PackedData pack(const QByteArray& data)
{
    QByteArray packed = lh5Compress(data);
    if (data.isEmpty() || packed.size() >= data.size())
        return {QByteArrayLiteral("-lh0-"), data};
    return {QByteArrayLiteral("-lh5-"), std::move(packed)};
}

QByteArray levelTwoHeader(const PackedData& packed, const QByteArray& data, quint32 mtime,
                          const EncodedName& name)
{
    QByteArray h;
    appendLe(h, 0, 2);  // header size, set below
    h.append(packed.method);
    appendLe(h, quint32(packed.bytes.size()), 4);
    appendLe(h, quint32(data.size()), 4);
    appendLe(h, mtime, 4);
    h.append(char(0x20));
    h.append(char(2));
    appendLe(h, lzhCrc16(data), 2);
    h.append(osIdMsDos);
    const qsizetype crcAt = h.size() + 3;
    appendExtHeader(h, extHeaderCrc, QByteArray(2, '\0'));
    appendExtHeader(h, extFileName, name.file);
    if (!name.dir.isEmpty())
        appendExtHeader(h, extDirName, name.dir);
    appendLe(h, 0, 2);
    // A size whose low byte is 0 would read as the end mark of the archive.
    if ((h.size() & 0xFF) == 0)
        h.append('\0');
    if (h.size() > 0xFFFF)
        return {};
    setLe16(h, 0, quint16(h.size()));
    setLe16(h, crcAt, lzhCrc16(h));
    return h;
}

quint32 unixTime(const QFileInfo& info)
{
    return quint32(std::clamp<qint64>(info.lastModified().toSecsSinceEpoch(), 0, maxMemberSize));
}

LzhResult packMember(const LzhSource& source, QByteArray& member)
{
    EncodedName name;
    if (!encodeName(source.name, name))
        return LzhResult::failure(QStringLiteral("ファイル名%1はShift-JISで表せません").arg(quoted(source.name)));
    QFile file(source.path);
    if (!file.open(QIODevice::ReadOnly))
        return LzhResult::failure(QStringLiteral("%1を読み込めません").arg(quoted(source.path)));
    if (file.size() > maxMemberSize)
        return LzhResult::failure(QStringLiteral("%1は大きすぎます").arg(quoted(source.path)));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError || data.size() != file.size())
        return LzhResult::failure(QStringLiteral("%1を読み込めません").arg(quoted(source.path)));
    const PackedData packed = pack(data);
    const QByteArray header = levelTwoHeader(packed, data, unixTime(QFileInfo(file)), name);
    if (header.isEmpty())
        return LzhResult::failure(QStringLiteral("ファイル名%1が長すぎます").arg(quoted(source.name)));
    member = header + packed.bytes;
    return {};
}

// ---- reading the archive being updated ----

struct KeptMember {
    QString name;
    qsizetype offset;
    qsizetype size;
};

struct NameParts {
    QString dir;
    QString file;
    qsizetype crcAt = -1;        // where the header's own CRC is kept, when it has one
    qsizetype extEnd = -1;       // just past the extended headers' end mark
};

// Walks the extended headers whose first size field is at `at`, within `end`. A common header
// long enough to hold it starts with the CRC of the whole header, whatever it carries after it.
// A header with two of them is refused: only one could be checked, and readers read nothing from
// such a header on. A file-name header of no bytes names nothing (a level-1 member keeps its base
// name).
bool readExtHeaders(const QByteArray& raw, qsizetype at, qsizetype end, NameParts& name)
{
    constexpr qsizetype crcHeaderSize = 5;
    for (;;) {
        if (at + 2 > end)
            return false;
        const qsizetype size = le(raw, at, 2);
        if (size == 0) {
            name.extEnd = at + 2;
            return true;
        }
        if (size < 3 || at + size + 2 > end)
            return false;
        const QByteArray data = raw.mid(at + 3, size - 3);
        if (raw[at + 2] == extHeaderCrc && size >= crcHeaderSize) {
            if (name.crcAt >= 0)
                return false;
            name.crcAt = at + 3;
        } else if (raw[at + 2] == extFileName && !data.isEmpty()) {
            name.file = fromCp932(data);
        } else if (raw[at + 2] == extDirName) {
            name.dir = decodeDirName(data);
        }
        at += size;
    }
}

// Level 0 and 1 keep the path in the base header, folders separated by '\' (or '/').
void readBaseName(const QByteArray& raw, qsizetype pos, NameParts& name)
{
    const QString path = fromCp932(raw.mid(pos + 22, quint8(raw[pos + 21]))).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    name.dir = path.left(slash + 1);
    name.file = path.mid(slash + 1);
}

// A method id reads "-lXX-" ("-lh5-", "-lh0-", "-lzs-" ...).
bool isMethodId(const QByteArray& raw, qsizetype pos)
{
    return raw[pos + 2] == '-' && raw[pos + 3] == 'l' && raw[pos + 6] == '-';
}

// Levels 0 and 1 keep the byte sum of the base header after its first two bytes.
bool baseChecksumHolds(const QByteArray& raw, qsizetype pos)
{
    quint8 sum = 0;
    for (qsizetype i = pos + 2; i < pos + 2 + quint8(raw[pos]); ++i)
        sum = quint8(sum + quint8(raw[i]));
    return sum == quint8(raw[pos + 1]);
}

// Levels 1 and 2 keep the CRC of the whole header (base and extended headers) in the common
// extended header, taken with the CRC field at 0.
bool headerCrcHolds(const QByteArray& raw, qsizetype pos, qsizetype headerSize, qsizetype crcAt)
{
    if (crcAt < 0)
        return true;
    QByteArray header = raw.mid(pos, headerSize);
    setLe16(header, crcAt - pos, 0);
    return lzhCrc16(header) == le(raw, crcAt, 2);
}

// A file is unreadable without its file name, and so is everything after it; a folder entry may
// be named by its folders alone.
bool isNamed(const QByteArray& raw, qsizetype pos, const NameParts& name)
{
    return !name.file.isEmpty() || (!name.dir.isEmpty() && raw.mid(pos + 2, 5) == "-lhd-");
}

// The member at pos: its name and its whole length (header and data), or false when it is broken.
// An archive whose headers do not check out is never written into: the member added after them
// would be unreadable.
bool readMember(const QByteArray& raw, qsizetype pos, KeptMember& member)
{
    const qsizetype left = raw.size() - pos;
    if (left < 22 || !isMethodId(raw, pos))
        return false;
    const int level = quint8(raw[pos + 20]);
    const qsizetype packedSize = le(raw, pos + 7, 4);
    NameParts name;
    qsizetype total = 0;
    if (level == 0 || level == 1) {
        const qsizetype headerSize = quint8(raw[pos]) + 2;
        total = headerSize + packedSize;  // level 1 counts its extended headers in the packed size
        if (headerSize < 24 + quint8(raw[pos + 21]) || total > left || !baseChecksumHolds(raw, pos))
            return false;
        readBaseName(raw, pos, name);
        if (level == 1
            && (!readExtHeaders(raw, pos + headerSize - 2, pos + total, name) || !headerCrcHolds(raw, pos, name.extEnd - pos, name.crcAt)))
            return false;
    } else if (level == 2) {
        const qsizetype headerSize = le(raw, pos, 2);
        total = headerSize + packedSize;
        if (headerSize < levelTwoBaseSize + 2 || total > left
            || !readExtHeaders(raw, pos + levelTwoBaseSize, pos + headerSize, name)
            || !headerCrcHolds(raw, pos, headerSize, name.crcAt))
            return false;
    } else {
        return false;
    }
    member = {name.dir + name.file, pos, total};
    return isNamed(raw, pos, name);
}

// Members up to the end mark (a 0 byte, or the end of the file). A file that holds nothing but
// is more than an end mark is some other file, not an empty archive.
bool readMembers(const QByteArray& raw, QList<KeptMember>& members)
{
    qsizetype pos = 0;
    while (pos < raw.size() && raw[pos] != '\0') {
        KeptMember member;
        if (!readMember(raw, pos, member))
            return false;
        members.append(member);
        pos += member.size;
    }
    return !members.isEmpty() || raw.size() <= 1;
}

LzhResult readArchive(const QString& archive, QByteArray& raw, QList<KeptMember>& members)
{
    if (!QFileInfo::exists(archive))
        return {};
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly))
        return LzhResult::failure(QStringLiteral("%1を読み込めません").arg(quoted(archive)));
    raw = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return LzhResult::failure(QStringLiteral("%1を読み込めません").arg(quoted(archive)));
    if (!readMembers(raw, members))
        return LzhResult::failure(QStringLiteral("%1はLZHファイルとして読めません").arg(quoted(archive)));
    return {};
}

LzhResult writeFailure(const QString& archive)
{
    const QString cause = japaneseCause(fileWriteCause(archive));
    return LzhResult::failure(QStringLiteral("%1に書き込めません").arg(quoted(archive))
                              + (cause.isEmpty() ? QString() : QStringLiteral("（%1）").arg(cause)));
}

bool sameFile(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

}  // namespace

quint16 lzhCrc16(QByteArrayView data, quint16 crc)
{
    const auto& table = crcTable();
    for (const char c : data)
        crc = quint16((crc >> 8) ^ table[(crc ^ quint8(c)) & 0xFF]);
    return crc;
}

LzhResult lzhCollectSources(const QString& fileOrFolder, QList<LzhSource>& sources)
{
    sources.clear();
    const QFileInfo info(fileOrFolder);
    if (info.isFile()) {
        sources.append({info.fileName(), info.absoluteFilePath()});
        return {};
    }
    if (!info.isDir())
        return LzhResult::failure(QStringLiteral("%1が見つかりません").arg(quoted(fileOrFolder)));
    const QDir root(info.absoluteFilePath());
    QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        sources.append({root.relativeFilePath(path), path});
    }
    if (sources.isEmpty())
        return LzhResult::failure(QStringLiteral("%1に追加するファイルがありません").arg(quoted(fileOrFolder)));
    std::sort(sources.begin(), sources.end(),
              [](const LzhSource& a, const LzhSource& b) { return a.name < b.name; });
    return {};
}

LzhResult lzhAddFiles(const QString& archive, const QList<LzhSource>& sources)
{
    QByteArray old;
    QList<KeptMember> kept;
    if (LzhResult read = readArchive(archive, old, kept); !read)
        return read;
    QSet<QString> added;
    for (const LzhSource& source : sources)
        added.insert(source.name);

    const QString folder = QFileInfo(archive).absolutePath();
    if (!QFileInfo(folder).isDir())
        return LzhResult::failure(QStringLiteral("フォルダ%1がありません").arg(quoted(folder)));
    QSaveFile file(archive);
    if (!file.open(QIODevice::WriteOnly))
        return writeFailure(archive);
    for (const KeptMember& member : std::as_const(kept)) {
        if (!added.contains(member.name) && file.write(old.constData() + member.offset, member.size) != member.size)
            return writeFailure(archive);
    }
    for (const LzhSource& source : sources) {
        if (sameFile(source.path, archive))
            continue;
        QByteArray member;
        if (LzhResult packed = packMember(source, member); !packed)
            return packed;
        if (file.write(member) != member.size())
            return writeFailure(archive);
    }
    if (file.write("\0", 1) != 1 || !file.commit())
        return writeFailure(archive);
    return {};
}
