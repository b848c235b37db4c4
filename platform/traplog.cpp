#include "platform/traplog.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

Q_LOGGING_CATEGORY(lcTrap, "brennock.trap")

namespace {

QString logPath;
// A cause longer than this (a page's text in an error) is cut, so one line never fills the file.
constexpr int kCauseChars = 2000;

// Before a line would take the file past the limit, the file becomes the one old file.
void rotateIfFull(const QString& path, qint64 adding)
{
    const QFileInfo info(path);
    if (!info.exists() || info.size() + adding <= kTrapLogLimit)
        return;
    const QString old = path + QStringLiteral(".old");
    QFile::remove(old);
    QFile::rename(path, old);
}

}  // namespace

void setTrapLogFile(const QString& path)
{
    logPath = path;
}

void logTrap(const QString& tag, const std::exception& error)
{
    const QString cause = QString::fromUtf8(error.what()).simplified().left(kCauseChars);
    qCWarning(lcTrap).noquote() << tag << cause;
    if (logPath.isEmpty())
        return;
    const QByteArray line = (QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + tag +
                             QLatin1Char(' ') + cause + QLatin1Char('\n')).toUtf8();
    rotateIfFull(logPath, line.size());
    QFile file(logPath);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(line);
}
