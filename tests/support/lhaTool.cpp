#include "lhaTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

LhaRun runLha(const QString& command, const QString& archive)
{
    QProcess lha;
    lha.setProcessChannelMode(QProcess::MergedChannels);
    lha.start(QStringLiteral("lha"), {command, archive});
    LhaRun run;
    if (!lha.waitForFinished(120000)) {
        ADD_FAILURE() << "lha " << command.toStdString() << " did not finish";
        return run;
    }
    run.exitCode = lha.exitStatus() == QProcess::NormalExit ? lha.exitCode() : -1;
    run.output = lha.readAll();
    return run;
}

bool lhaTestPasses(const QString& archive)
{
    const LhaRun run = runLha(QStringLiteral("tq"), archive);
    if (run.exitCode != 0)
        ADD_FAILURE() << "lha t: " << run.output.toStdString();
    return run.exitCode == 0;
}

std::map<std::string, std::string> lhaMethods(const QString& archive)
{
    // A member line of `lha v` reads "... -lhN- CRC month day time-or-year name".
    static const QRegularExpression member(QStringLiteral("(-l[a-z0-9]{2}-) [0-9a-f]{4} +\\S+ +\\d+ +\\S+ (.*)$"));
    std::map<std::string, std::string> methods;
    for (const QByteArray& line : runLha(QStringLiteral("v"), archive).output.split('\n')) {
        const QRegularExpressionMatch m = member.match(QString::fromLatin1(line));
        if (m.hasMatch())
            methods[m.captured(2).toStdString()] = m.captured(1).toStdString();
    }
    return methods;
}

std::map<std::string, QByteArray> lhaExtract(const QString& archive, const QString& folder)
{
    std::map<std::string, QByteArray> files;
    QDir().mkpath(folder);
    const LhaRun run = runLha(QStringLiteral("xqfw=") + folder, QFileInfo(archive).absoluteFilePath());
    if (run.exitCode != 0) {
        ADD_FAILURE() << "lha x: " << run.output.toStdString();
        return files;
    }
    const std::filesystem::path root(QFile::encodeName(folder).toStdString());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        files[entry.path().lexically_relative(root).generic_string()] = QByteArray::fromStdString(bytes);
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
