#include "platform/filedialog.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace {
QString lastFolder;

// The file list's type and date columns, which Qt writes in the system's language.
class JapaneseFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 2 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        if (index.column() == 3)
            return QLocale(QLocale::Japanese, QLocale::Japan).toString(info.lastModified(), QStringLiteral("yyyy/MM/dd H:mm"));
        if (info.isDir())
            return QStringLiteral("フォルダー");
        return info.suffix().isEmpty() ? QStringLiteral("ファイル") : info.suffix().toUpper() + QStringLiteral(" ファイル");
    }
};
}  // namespace

void prepareFileDialog(QFileDialog& dialog, const QString& firstFolder)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new JapaneseFileColumns(&dialog));
    dialog.setDirectory(lastFolder.isEmpty() ? firstFolder : lastFolder);
}

QString runFileDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString file = dialog.selectedFiles().constFirst();
    lastFolder = QFileInfo(file).absolutePath();
    return file;
}
