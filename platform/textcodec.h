#pragma once
// The Japanese ANSI code page (CP932, Microsoft's Shift_JIS): settings file, CSV export,
// cell dump and most of the authority's pages. Characters only CP932 has (～ ① － 髙 﨑)
// survive both ways.
#include <QByteArray>
#include <QString>

QString fromCp932(const QByteArray& bytes);
QByteArray toCp932(const QString& text);
// The same for a page: a character CP932 lacks becomes a decimal character reference ("&#127943;").
QByteArray toCp932Html(const QString& text);
// Decodes by a charset name as pages and HTTP headers give it (Shift_JIS, EUC-JP, UTF-8 ...);
// Shift_JIS and its aliases decode as CP932; an unknown name decodes as CP932.
QString decodeByCharset(const QByteArray& bytes, const QByteArray& charset);

// Writes the text as CP932 through a temporary file that replaces `path` only when complete,
// so a failure never leaves a half-written file; a failure is a file error (VbError).
void saveCp932File(const QString& path, const QString& text);
