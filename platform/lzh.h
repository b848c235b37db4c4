#pragma once
// LHA archives as the Japanese archivers write them: each member packed with -lh5- (stored
// with -lh0- when packing would not shrink it), level-2 headers, names in CP932.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <vector>

struct LzhResult {
    bool ok = true;
    QString error;  // a short reason for the user when !ok

    static LzhResult failure(const QString& reason) { return {false, reason}; }
    explicit operator bool() const { return ok; }
};

// One file to add: its member name, '/' between folders ("sub/name.txt"), and its path on disk.
struct LzhSource {
    QString name;
    QString path;
};

// The CRC-16 that LHA keeps of each member's data and of each header (polynomial 0xA001,
// reflected, starting from 0).
quint16 lzhCrc16(QByteArrayView data, quint16 crc = 0);

// The -lh5- stream of data: LZSS over an 8 KiB window, Huffman-coded in blocks.
QByteArray lh5Compress(QByteArrayView data);

// Lengths of a complete Huffman code for the frequencies, none longer than the 16 bits the
// format allows; 0 for unused symbols, and all 0 when fewer than two are used (such a tree is
// written as its one symbol).
std::vector<quint8> lh5CodeLengths(const std::vector<quint32>& freq);

// The file itself (named by its file name), or every file under the folder, named relative to
// it with subfolders kept in the name. Hidden files are left out, as archivers do by default.
LzhResult lzhCollectSources(const QString& fileOrFolder, QList<LzhSource>& sources);

// Adds the sources to the archive, which is created or updated: a member of the same name is
// replaced, the others are kept byte for byte. The archive is written beside itself and
// renamed into place, so a failure leaves the previous archive as it was. An existing archive
// whose headers do not check out is refused, and its folder must exist (none is made).
LzhResult lzhAddFiles(const QString& archive, const QList<LzhSource>& sources);
