#include "lhaTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>
#include <clocale>
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

std::map<QString, std::pair<QByteArray, qint64>> libarchiveMembers(const QString& path)
{
    std::map<QString, std::pair<QByteArray, qint64>> members;
    setlocale(LC_CTYPE, "C.UTF-8");  // libarchive converts CP932 names through the C locale
    archive* a = archive_read_new();
    archive_read_support_format_lha(a);
    archive_read_set_options(a, "hdrcharset=CP932");
    archive_read_open_filename(a, QFile::encodeName(path).constData(), 65536);
    archive_entry* entry = nullptr;
    int status;
    while ((status = archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
        const QString name = QString::fromUtf8(archive_entry_pathname_utf8(entry));
        EXPECT_EQ(members.count(name), 0u) << "in the archive twice: " << name.toStdString();
        auto& [data, offset] = members[name];
        offset = archive_read_header_position(a);
        char buffer[65536];
        la_ssize_t n;
        while ((n = archive_read_data(a, buffer, sizeof buffer)) > 0)
            data.append(buffer, n);
        EXPECT_EQ(n, 0) << name.toStdString() << ": " << archive_error_string(a);
    }
    EXPECT_EQ(status, ARCHIVE_EOF) << archive_error_string(a);
    archive_read_free(a);
    return members;
}

