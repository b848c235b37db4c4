#include "tests/support/dataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestAppDir::~TestAppDir()
{
    for (int slot = 0; slot < int(cnDB.size()); ++slot)
        closeDb(slot);
    setAppPathForTests(QString());
}

void TestAppDir::copyImages() const
{
    const QDir images(QStringLiteral(BRENNOCK_IMAGES_DIR));
    for (const QString& name : images.entryList(QDir::Files))
        EXPECT_TRUE(QFile::copy(images.filePath(name), dir_.filePath(name))) << name.toStdString();
}

void setDateRow(const QString& path, VbDate d, const QString& table, const QString& column)
{
    openDb(1, path, dbPassword);
    slotConnection(1).execute("DELETE FROM " + table);
    if (!d.isZero())
        insertRow(1, table, DbRow().set(column, d));
    closeDb(1);
}

QString createTrackFile(DataFileKind kind, const QString& path, VbDate edition)
{
    EXPECT_TRUE(QFile::rename(createDataFile(kind, testSchemaDir(), QFileInfo(path).path()), path));
    setDateRow(path, edition);
    openDb(1, path, dbPassword);
    insertRow(1, "T_sisuu", DbRow().set("S_date", edition).set("S_zyo", kind == DataFileKind::JraGraph ? "01" : "大井"));
    closeDb(1);
    return path;
}
