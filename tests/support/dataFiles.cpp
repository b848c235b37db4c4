#include "tests/support/dataFiles.h"

#include "core/publicFunction.h"
#include "platform/database.h"

#include <gtest/gtest.h>

TestAppDir::TestAppDir()
{
    setAppPathForTests(dir_.path());
}

TestAppDir::~TestAppDir()
{
    for (int slot = 0; slot < int(cnDB.size()); ++slot)
        closeDb(slot);
    setAppPathForTests(QString());
}

QString TestAppDir::path() const
{
    return dir_.path() + QLatin1Char('/');
}

QString TestAppDir::filePath(const QString& name) const
{
    return dir_.filePath(name);
}

QString TestAppDir::create(DataFileKind kind)
{
    try {
        return createDataFile(kind, testSchemaDir(), dir_.path());
    } catch (const std::exception& e) {
        ADD_FAILURE() << "cannot create " << dataFileEntry(kind).fileName.toStdString() << ": " << e.what();
        return filePath(dataFileEntry(kind).fileName);
    }
}

QString testSchemaDir()
{
    return QStringLiteral(BRENNOCK_SCHEMA_DIR);
}
