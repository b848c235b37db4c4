#include "lhaTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

// `lha command archive`; fails the current test unless it ends well.
static bool runLha(const QString& command, const QString& archive)
{
    QProcess lha;
    lha.setProcessChannelMode(QProcess::MergedChannels);
    lha.start(QStringLiteral("lha"), {command, archive});
    const bool ok = lha.waitForFinished(120000) && lha.exitStatus() == QProcess::NormalExit && lha.exitCode() == 0;
    if (!ok)
        ADD_FAILURE() << "lha " << command.toStdString() << ": " << lha.readAll().toStdString();
    return ok;
}

bool lhaTestPasses(const QString& archive)
{
    return runLha(QStringLiteral("tq"), archive);
}

std::map<std::string, QByteArray> lhaExtract(const QString& archive, const QString& folder)
{
    std::map<std::string, QByteArray> files;
    QDir().mkpath(folder);
    if (!runLha(QStringLiteral("xqfw=") + folder, QFileInfo(archive).absoluteFilePath()))
        return files;
    const std::filesystem::path root(QFile::encodeName(folder).toStdString());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().lexically_relative(root).generic_string()] =
            QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}});
    }
    // Qt cannot remove names that are not UTF-8; the raw-byte walk can.
    std::filesystem::remove_all(root);
    return files;
}

void writeTestFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readTestFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
