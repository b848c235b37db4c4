#pragma once
// A temporary program folder for tests: appPath() points at it while the object lives, and the
// data files are made from the real schemas, as the data-file tool makes them.
#include "core/dataFiles.h"
#include <QString>
#include <QTemporaryDir>

class TestAppDir {
public:
    TestAppDir();
    // Closes every connection slot (the files go with the folder) and restores appPath().
    ~TestAppDir();
    TestAppDir(const TestAppDir&) = delete;
    TestAppDir& operator=(const TestAppDir&) = delete;

    bool isValid() const { return dir_.isValid(); }
    // The folder with a trailing "/", as appPath() gives it.
    QString path() const;
    QString filePath(const QString& name) const;

    // Each returns the path of the new file; an existing file makes the test fail.
    QString create(DataFileKind kind);
    QString createNarData() { return create(DataFileKind::NarData); }
    QString createStrevinData() { return create(DataFileKind::StrevinData); }  // with the track list
    QString createJraGraph() { return create(DataFileKind::JraGraph); }
    QString createComment() { return create(DataFileKind::Comment); }

private:
    QTemporaryDir dir_;
};

// The schema folder of the source tree.
QString testSchemaDir();
