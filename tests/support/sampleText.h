#pragma once
// Deterministic test and benchmark data.
#include <QByteArray>

// Japanese prose in CP932 mixed with CSV-like lines of numbers, CR LF line ends, as our texts look.
QByteArray mixedCp932Text(qsizetype bytes, quint32 seed);

// Bytes from a seeded generator: nothing to compress.
QByteArray randomBytes(qsizetype bytes, quint32 seed);
