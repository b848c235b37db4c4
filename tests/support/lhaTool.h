#pragma once
// Checks of LZH archives with an independent reader: Debian's lhasa (the `lha` command).
// Member names are compared as raw bytes (CP932), as lhasa writes them to the disk unchanged.
#include <QByteArray>
#include <QString>
#include <map>
#include <string>

struct LhaRun {
    int exitCode = -1;
    QByteArray output;
};

LhaRun runLha(const QString& command, const QString& archive);

// `lha t`: every member's CRC checks out.
bool lhaTestPasses(const QString& archive);

// The member methods ("-lh5-", "-lh0-") of `lha v`, keyed by the name it shows (ASCII names only).
std::map<std::string, std::string> lhaMethods(const QString& archive);

// `lha x` into `folder`; every extracted file by its raw path relative to it ('/' between
// folders). The folder is removed afterwards.
std::map<std::string, QByteArray> lhaExtract(const QString& archive, const QString& folder);

// Writes a file (creating its folders); fails the current test when it cannot.
void writeTestFile(const QString& path, const QByteArray& bytes);
