#include "platform/vberror.h"

#include "platform/msgbox.h"
#include "platform/traplog.h"
#include "platform/vbarray.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

bool debugMode = false;

namespace {

// Less free space than this on the file's disk makes a failed write a full disk.
constexpr qint64 kLowDiskSpace = 1024 * 1024;

// Tried as the file system sees this process: a permission test alone would answer for another
// user than the one the system checks.
bool canCreateIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.writable-XXXXXX"));
    return probe.open();
}

}  // namespace

VbError::VbError(int number, const QString& description, VbCause cause)
    : std::runtime_error(QStringLiteral("%1: %2").arg(number).arg(description).toStdString())
    , number_(number)
    , description_(description)
    , cause_(cause)
{
}

QString japaneseCause(const std::exception& error)
{
    const auto* vb = dynamic_cast<const VbError*>(&error);
    if (!vb)
        return {};
    return vb->cause() == VbCause::stated ? vb->description() : japaneseCause(vb->cause());
}

QString japaneseCause(VbCause cause)
{
    switch (cause) {
    case VbCause::none:
    case VbCause::stated:
        return {};
    case VbCause::folderNotWritable:
        return QStringLiteral("フォルダに書き込めません（書き込みが許可されていないフォルダです）");
    case VbCause::fileReadOnly:
        return QStringLiteral("ファイルが読み取り専用です");
    case VbCause::lockedByOther:
        return QStringLiteral("ほかのプログラムがファイルを使用中です");
    case VbCause::notDataFile:
        return QStringLiteral("データファイルではないか、パスワードが違います");
    case VbCause::diskFull:
        return QStringLiteral("ディスクの空き容量が足りません");
    case VbCause::missing:
        return QStringLiteral("ファイルがありません");
    case VbCause::folderMissing:
        return QStringLiteral("保存先のフォルダがありません");
    case VbCause::folderInTheWay:
        return QStringLiteral("同じ名前のフォルダがあります");
    case VbCause::logReadOnly:
        return QStringLiteral("同じフォルダの作業用ファイル（-wal、-shm）が読み取り専用です");
    }
    return {};
}

VbCause fileWriteCause(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return VbCause::folderMissing;
    if (info.isDir())
        return VbCause::folderInTheWay;
    if (info.exists() && !canWriteFile(path))
        return VbCause::fileReadOnly;
    if (!canCreateIn(folder))
        return VbCause::folderNotWritable;
    return diskNearlyFull(folder) ? VbCause::diskFull : VbCause::none;
}

bool diskNearlyFull(const QString& folder)
{
    const QStorageInfo disk(folder);
    return disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < kLowDiskSpace;
}

QString writeFailureCause(const std::exception& error, const QString& path)
{
    QString cause = japaneseCause(error);
    if (cause.isEmpty())
        cause = japaneseCause(fileWriteCause(path));
    return cause.isEmpty() ? QStringLiteral("ほかのプログラムが使用中か、ディスクの空きが足りません") : cause;
}

// Asked of the file system for the user it checks this thread as (its effective ids), never by
// opening the file.
bool canWriteFile(const QString& path)
{
    return faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

void showTrapTag(const QString& tag, const std::exception& error)
{
    logTrap(tag, error);
    const QString cause = japaneseCause(error);
    msgBox(cause.isEmpty() ? tag : tag + QLatin1Char('\n') + cause, vbOKOnly);
}

void vbarray_detail::subscriptError()
{
    throw VbError(vbErrSubscript, QStringLiteral("Subscript out of range"));
}
