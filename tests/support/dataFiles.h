#pragma once
// A temporary program folder for tests: appPath() points at it while the object lives, and the
// data files are made from the real schemas, as the data-file tool makes them.
#include "core/dataFiles.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/fsuid.h>

inline QString testSchemaDir()
{
    return QStringLiteral(BRENNOCK_SCHEMA_DIR);
}

class TestAppDir {
public:
    TestAppDir() { setAppPathForTests(dir_.path()); }
    ~TestAppDir();  // closes every connection slot (the files go with the folder), restores appPath()

    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path() + '/'; }  // as appPath() gives it
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Each returns the path of the new file; an existing file throws (the test fails).
    QString create(DataFileKind kind) { return createDataFile(kind, testSchemaDir(), dir_.path()); }
    QString createNarData() { return create(DataFileKind::NarData); }
    QString createStrevinData() { return create(DataFileKind::StrevinData); }  // with the track list
    QString createJraGraph() { return create(DataFileKind::JraGraph); }
    QString createComment() { return create(DataFileKind::Comment); }
    // The toolbar pictures the program folder ships with.
    void copyImages() const;

private:
    QTemporaryDir dir_;
};

// Replaces the date row of a data file with the password (a zero date: none). Uses slot 1.
void setDateRow(const QString& path, VbDate d, const QString& table = "version", const QString& column = "date");

// A downloaded track file of that kind, with its edition and a variant of a track of its kind.
QString createTrackFile(DataFileKind kind, const QString& path, VbDate edition);

// Runs the body with the file system's checks of the user nobody: root passes every permission
// check, so a read-only file or folder refuses only another user.
template <class F>
void asNobody(F&& body)
{
    setfsuid(65534);
    body();
    setfsuid(0);
}

// The body as nobody, with the file read-only and its folder open to read but not to write; the
// file is writable again afterwards.
template <class F>
void asNobodyOverReadOnlyFile(const QString& file, F&& body)
{
    using P = QFileDevice;
    const P::Permissions readable = P::ReadOwner | P::ReadGroup | P::ReadOther;
    const QString folder = QFileInfo(file).absolutePath();
    ASSERT_TRUE(QFile::setPermissions(folder, readable | P::WriteOwner | P::ExeOwner | P::ExeGroup | P::ExeOther)
                && QFile::setPermissions(file, readable));
    asNobody(body);
    ASSERT_TRUE(QFile::setPermissions(file, readable | P::WriteOwner));
}
