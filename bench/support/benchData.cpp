#include "bench/support/benchData.h"

#include "tests/support/dataFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

QString schemaKeptFolder(const QString& prefix, const std::function<void(const QString& folder)>& generate)
{
    QFile schema(testSchemaDir() + "/NAR_data.sql");
    schema.open(QIODevice::ReadOnly);
    const QString name = prefix + QCryptographicHash::hash(schema.readAll(), QCryptographicHash::Sha1).toHex().left(12);
    QDir benchDir(QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR) + "/bench");
    benchDir.mkpath(".");
    for (const QString& old : benchDir.entryList({prefix + "*"}, QDir::Dirs))
        if (old != name)
            QDir(benchDir.filePath(old)).removeRecursively();
    const QString folder = benchDir.filePath(name);
    if (!QFile::exists(folder + "/NAR_data.dat")) {
        QDir(folder).removeRecursively();
        benchDir.mkpath(name);
        generate(folder);
    }
    return folder;
}
