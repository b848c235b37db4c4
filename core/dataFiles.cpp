#include "core/dataFiles.h"

#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/inifile.h"
#include "platform/vberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString readSchema(const QString& schemaDir, const QString& name)
{
    QFile file(QDir(schemaDir).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        throw VbError(vbErrFile, QStringLiteral("schema not readable: ") + file.fileName());
    return QString::fromUtf8(file.readAll());
}

}  // namespace

const std::vector<DataFileEntry>& dataFileEntries()
{
    const auto sql = [](const char* name) { return QString::fromLatin1(name); };
    static const QStringList strevin{sql("trackTables.sql"), sql("Strevin_data.sql"), sql("Strevin_data_defaults.sql")};
    static const std::vector<DataFileEntry> entries{
        {DataFileKind::NarData, QStringLiteral("NAR_data.dat"), {sql("NAR_data.sql")}, dbPassword},
        {DataFileKind::StrevinData, QStringLiteral("Strevin_data.dat"), strevin, dbPassword},
        {DataFileKind::JraGraph, QStringLiteral("jraGraph.dat"), {sql("trackTables.sql"), sql("jraGraph.sql")}, dbPassword},
        {DataFileKind::Comment, QStringLiteral("Comment.dat"), {sql("Comment.sql")}, dbPassword},
        {DataFileKind::CalSisuu, QStringLiteral("CalSisuu.mdb"), {sql("CalSisuu.sql"), sql("trackTables.sql")}, QString()},
        {DataFileKind::Rana, QStringLiteral("Rana.mdb"), {sql("Rana.sql")}, QString()},
        {DataFileKind::Motofile, QStringLiteral("motofile.mdb"), strevin, dbPassword},
    };
    return entries;
}

const DataFileEntry& dataFileEntry(DataFileKind kind)
{
    for (const DataFileEntry& entry : dataFileEntries()) {
        if (entry.kind == kind)
            return entry;
    }
    throw VbError(vbErrSubscript, QStringLiteral("unknown data file kind"));
}

QString createDataFile(DataFileKind kind, const QString& schemaDir, const QString& targetDir)
{
    const DataFileEntry& entry = dataFileEntry(kind);
    QString script;
    for (const QString& name : entry.scripts)
        script += readSchema(schemaDir, name) + QLatin1Char('\n');
    const QString path = QDir(targetDir).filePath(entry.fileName);
    createDbFile(path, entry.password, script);
    return path;
}

bool createDefaultSettings(const QString& targetDir)
{
    const QString path = QDir(targetDir).filePath(QStringLiteral("Strevin.ini"));
    if (QFileInfo::exists(path))
        return true;
    return IniFile(path).writeString(QStringLiteral("System"), QStringLiteral("webHost"), webHostDefault);
}
