// The demo as the start script runs it: a program folder of its own, made from the program
// folder's executable, pictures and help file, and the program folder left as it was.
#include "platform/inifile.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"
#include "tests/support/qtPrinters.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Every file under a folder by its path there, with a hash of its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        files.insert(QDir(folder).relativeFilePath(path), QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return files;
}

// The files added, removed or changed from one snapshot to the other.
QStringList changedFiles(const QMap<QString, QByteArray>& before, const QMap<QString, QByteArray>& after)
{
    QStringList changed;
    for (const QString& file : before.keys() + after.keys())
        if (before.value(file) != after.value(file) && !changed.contains(file))
            changed << file;
    return changed;
}

bool writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions more = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.setPermissions(file.permissions() | more);
}

// A built program folder: the data-file tool's files, a help file, the pictures, and in place of the
// program one that leaves a note in its own folder and ends.
class DemoFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(top_.path()).mkpath("program") && QDir(top_.path()).mkpath("tools"));
        for (const char* tool : {"makedata", "demoServer"})
            ASSERT_TRUE(QFile::link(QStringLiteral(BRENNOCK_TOOLS_DIR "/") + tool, top_.filePath(QStringLiteral("tools/") + tool)));
        ASSERT_EQ(QProcess::execute(top_.filePath("tools/makedata"), {testSchemaDir(), program()}), 0);
        ASSERT_TRUE(writeFile(program() + "/Strevin.chm", "help"));
        ASSERT_TRUE(writeFile(program() + "/brennock", "#!/bin/sh\necho started >\"$(dirname \"$0\")/started\"\n", QFile::ExeOwner));
        for (const QFileInfo& image : QDir(BRENNOCK_IMAGES_DIR).entryInfoList(QDir::Files))
            ASSERT_TRUE(QFile::copy(image.filePath(), program() + '/' + image.fileName()));
    }

    QString program() const { return top_.filePath("program"); }
    QString demo() const { return top_.filePath("demo"); }
    // The script's exit status and what it wrote to standard error.
    std::pair<int, QByteArray> runDemo() const
    {
        QProcess run;
        run.start("bash", {QStringLiteral(BRENNOCK_SCRIPTS_DIR "/demo-server.sh"), program(), demo()});
        EXPECT_TRUE(run.waitForFinished(120000));
        return {run.exitCode(), run.readAllStandardError()};
    }
    QString demoSetting(const QString& key) const
    {
        QString value;
        IniFile(demo() + "/Strevin.ini").getString("System", key, "", value);
        return value;
    }

    QTemporaryDir top_;
};

}

TEST_F(DemoFolder, RunsInAFolderOfItsOwnAndLeavesTheProgramFolderAsItWas)
{
    const QMap<QString, QByteArray> before = snapshot(program());
    EXPECT_EQ(runDemo(), std::pair(0, QByteArray("demoServer: the demo's track tables are in Strevin_data.dat\n"
                                                 "demoServer: the demo's track tables are in CalSisuu.mdb\n"
                                                 "demoServer: the demo's track tables are in motofile.mdb\n")));
    EXPECT_EQ(changedFiles(before, snapshot(program())), QStringList());
    // The demo folder: the program's own files, its own data files (the track files filled, as the server said),
    // settings pointing at the server, the administration tools' folders; and the program was started there.
    const QMap<QString, QByteArray> made = snapshot(demo());
    for (const QString& file : before.keys())
        EXPECT_TRUE(made.contains(file)) << file.toStdString();
    for (const QString& file : QStringList {"brennock", "Strevin.chm", "Back.gif", "harrow.cur"})
        EXPECT_TRUE(made.value(file) == before.value(file)) << file.toStdString();
    EXPECT_EQ(readTestFile(demo() + "/started"), "started\n");
    EXPECT_TRUE(demoSetting("webHost").startsWith("127.0.0.1:")) << demoSetting("webHost").toStdString();
    for (const char* folder : {"予想出力", "予想", "情報ファイル"})
        EXPECT_TRUE(QDir(demo()).exists(folder)) << folder;

    // Started again after a new build: the new program is copied; the demo's data (its track files filled) and
    // settings stay.
    ASSERT_TRUE(writeFile(program() + "/brennock", "#!/bin/sh\necho again >\"$(dirname \"$0\")/started\"\n", QFile::ExeOwner));
    ASSERT_TRUE(IniFile(demo() + "/Strevin.ini").writeString("System", "Zyo", "園田"));
    const QMap<QString, QByteArray> rebuilt = snapshot(program());
    const QByteArray notes = snapshot(demo()).value("Comment.dat");
    EXPECT_EQ(runDemo(), std::pair(0, QByteArray()));
    EXPECT_EQ(std::tuple(changedFiles(rebuilt, snapshot(program())), readTestFile(demo() + "/started"), demoSetting("Zyo"),
                         snapshot(demo()).value("Comment.dat") == notes),
              std::tuple(QStringList(), QByteArray("again\n"), QString("園田"), true));
}
