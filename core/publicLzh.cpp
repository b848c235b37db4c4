#include "core/publicLzh.h"

#include "platform/lzh.h"
#include "platform/msgbox.h"

namespace {

// Callers pass paths as the batch run always wrote them, with "\" between folders.
QString withSlashes(const QString& path)
{
    return QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

}  // namespace

// "-r2" takes a folder as the base of the walk and "-x1" keeps the folders below it in the
// names: the batch output folder's pages go in as "index.html" or "sub/page.html", without the
// folder's own name in front, so the archive unpacks into the folder's own layout.
bool lzhAdd(const QString& files, const QString& archive)
{
    QList<LzhSource> sources;
    LzhResult result = lzhCollectSources(withSlashes(files), sources);
    if (result)
        result = lzhAddFiles(withSlashes(archive), sources);
    if (!result)
        msgBox(QStringLiteral("LZHファイルの作成に失敗しました\n") + result.error);
    return result.ok;
}
