#include "tests/support/pdfTool.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {
QByteArray run(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}
}  // namespace

QMap<QString, QString> pdfInfo(const QString& file)
{
    QMap<QString, QString> fields;
    for (const QString& line : QString::fromUtf8(run("pdfinfo", {file})).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            fields.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return fields;
}

QImage pdfPage(const QString& file, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    run("pdftoppm", {"-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page),
                     "-singlefile", file, prefix});
    return QImage(prefix + ".png");
}
