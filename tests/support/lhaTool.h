#pragma once
// Checks of LZH archives with an independent reader: Debian's lhasa (the `lha` command).
#include <QByteArray>
#include <QString>
#include <utility>
#include <map>
#include <string>

// `lha t`: every member's CRC checks out.
bool lhaTestPasses(const QString& archive);

// `lha x` into `folder`; every extracted file by its path relative to it ('/' between folders),
// as the raw CP932 bytes lhasa writes to the disk unchanged. The folder is removed afterwards.
std::map<std::string, QByteArray> lhaExtract(const QString& archive, const QString& folder);

// Every member as libarchive reads it (hdrcharset=CP932; it checks each member's CRC), by its
// name, with its header's offset.
std::map<QString, std::pair<QByteArray, qint64>> libarchiveMembers(const QString& archive);

// Writes a file (creating its folders); fails the current test when it cannot.
void writeTestFile(const QString& path, const QByteArray& bytes);
// The file's bytes, empty when it cannot be read.
QByteArray readTestFile(const QString& path);
