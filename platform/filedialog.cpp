#include "platform/filedialog.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace {
QString lastFolder;

QString sizeText(const QFileInfo& info)
{
    if (info.isDir())
        return {};
    if (info.size() < 1024)
        return QStringLiteral("%1 バイト").arg(info.size());
    return QLocale(QLocale::Japanese, QLocale::Japan).formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
}

// The file list's size, type and date columns, which Qt writes in the system's language.
class JapaneseFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        if (index.column() == 1)
            return sizeText(info);
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
    dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 460)));
    // The size, type and date columns as wide as what they hold, none of it cut.
    if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        for (int column = 1; column <= 3; ++column)
            files->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

QString runFileDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString file = dialog.selectedFiles().constFirst();
    lastFolder = QFileInfo(file).absolutePath();
    return file;
}
