// makedata <schema-dir> <target-dir> [--jra]
// Creates the program's default data files and its settings file Strevin.ini in target-dir; an
// existing file is skipped, never overwritten. jraGraph.dat is made only with --jra: its absence
// means "no central file".
#include "core/dataFiles.h"
#include "core/publicFunction.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <exception>

namespace {

void say(FILE* out, const QString& text)
{
    std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
}

bool makeOne(const DataFileEntry& entry, const QString& schemaDir, const QString& targetDir)
{
    const QString path = QDir(targetDir).filePath(entry.fileName);
    if (QFileInfo::exists(path)) {
        say(stdout, QStringLiteral("kept     ") + path);
        return true;
    }
    try {
        createDataFile(entry.kind, schemaDir, targetDir);
        say(stdout, QStringLiteral("created  ") + path);
        return true;
    } catch (const std::exception& e) {
        say(stderr, QStringLiteral("failed   ") + path + QStringLiteral(": ") + QString::fromUtf8(e.what()));
        return false;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const bool withJra = args.removeAll(QStringLiteral("--jra")) > 0;
    if (args.size() != 2) {
        say(stderr, QStringLiteral("usage: makedata <schema-dir> <target-dir> [--jra]"));
        return 2;
    }
    const QString& schemaDir = args[0];
    const QString& targetDir = args[1];
    if (!QDir().mkpath(targetDir)) {
        say(stderr, QStringLiteral("cannot create folder ") + targetDir);
        return 1;
    }
    bool ok = true;
    for (const DataFileEntry& entry : dataFileEntries()) {
        if (entry.kind != DataFileKind::JraGraph || withJra)
            ok = makeOne(entry, schemaDir, targetDir) && ok;
    }
    const QString settings = QDir(targetDir).filePath(QStringLiteral("Strevin.ini"));
    const bool existed = QFileInfo::exists(settings);
    if (createDefaultSettings(targetDir)) {
        say(stdout, (existed ? QStringLiteral("kept     ") : QStringLiteral("created  ")) + settings);
    } else {
        say(stderr, QStringLiteral("failed   ") + settings);
        ok = false;
    }
    return ok ? 0 : 1;
}
