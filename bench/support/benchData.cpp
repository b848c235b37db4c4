#include "bench/support/benchData.h"

#include "tests/support/dataFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <cstdio>

QString keptBenchFolder(const QString& name, const QStringList& schemas,
                        const std::function<void(const QString& folder)>& generate)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& schema : schemas) {
        QFile file(testSchemaDir() + "/" + schema);
        file.open(QIODevice::ReadOnly);
        hash.addData(file.readAll());
    }
    const QString kept = name + "_" + hash.result().toHex().left(12);
    QDir benchDir(QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR) + "/bench");
    benchDir.mkpath(".");
    for (const QString& old : benchDir.entryList({name + "_*"}, QDir::Dirs))
        if (old != kept)
            QDir(benchDir.filePath(old)).removeRecursively();
    const QString folder = benchDir.filePath(kept);
    const QString complete = folder + "/complete";
    if (!QFile::exists(complete)) {
        QDir(folder).removeRecursively();
        benchDir.mkpath(kept);
        std::fprintf(stderr, "generating %s (kept for later runs) ...\n", qPrintable(folder));
        generate(folder);
        QFile(complete).open(QIODevice::WriteOnly);
    }
    return folder;
}
