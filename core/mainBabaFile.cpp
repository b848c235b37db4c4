#include "core/mainBabaFile.h"

#include "core/dataFiles.h"
#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/filedialog.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

namespace {

struct BabaFileKind {
    QString title;
    bool central;
    QString wrongKindMessage;
    QString target;
    // Every table and column the program reads from a file of this kind.
    QStringList readQueries;
};

const QStringList kCommonQueries {
    "SELECT S_date, S_zyo, S_siba, S_sisuu FROM T_sisuu LIMIT 1",
    "SELECT A_zyo, A_kyori, A_class, A_sin_kyu, A_siba, A_time FROM T_avetime LIMIT 1",
    "SELECT date FROM version LIMIT 1",
};

const BabaFileKind kNar {"地方馬場情報ファイルの更新", false, "地方版ファイルを選択してください",
                         dataFileName(DataFileKind::StrevinData),
                         kCommonQueries + QStringList {
                             "SELECT zyoCode, zyoNo, zyoName FROM MasterZyo LIMIT 1",
                             "SELECT name, point FROM T_Kisyu LIMIT 1",
                             "SELECT W_zyo, W_kyori, W_waku, W_kakeritu FROM T_waku LIMIT 1",
                         }};
const BabaFileKind kJra {"中央馬場情報ファイルの更新", true, "中央版ファイルを選択してください",
                         dataFileName(DataFileKind::JraGraph), kCommonQueries};

const QString kFilter = QStringLiteral("馬場情報ファイル (*.dat);;すべてのファイル (*.*)");

BabaFilePicker picker;

QString pickFile(const QString& title)
{
    if (picker)
        return picker(title, kFilter);
    QFileDialog dialog(QApplication::activeWindow(), title, QString(), kFilter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepareFileDialog(dialog, appPath());
    return runFileDialog(dialog);
}

bool isSameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(b).canonicalFilePath();
    return !canonical.isEmpty() && QFileInfo(a).canonicalFilePath() == canonical;
}

struct PickedFile {
    bool central = false;
    VbDate edition;
};

// Opens the picked file and tells its kind; for the right kind also its edition date. Throws
// when it is no sound database with the password and the tables the program reads.
PickedFile examine(const QString& path, const BabaFileKind& kind)
{
    openDbOrThrow(slotMain, path, dbPassword);
    const RecordSet check(slotMain, "PRAGMA quick_check");
    if (check.eof() || check.field(0).toString() != QLatin1String("ok"))
        throw VbError(vbErrDatabase, QStringLiteral("damaged database: ") + path);
    PickedFile picked;
    picked.central = !RecordSet(slotMain, "SELECT * FROM T_sisuu WHERE S_zyo = ?", {"01"}).eof();
    if (picked.central != kind.central)
        return picked;
    for (const QString& query : kind.readQueries)
        RecordSet(slotMain, query);
    const RecordSet version(slotMain, "SELECT * FROM version");
    if (!version.eof())
        picked.edition = version.field("date").toDate();
    return picked;
}

// Writes a copy beside the target and renames it into place, so the installed file is either
// the old one or the whole new one.
bool install(const QString& source, const QString& target)
{
    QFile in(source);
    QSaveFile out(target);
    bool ok = in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly);
    while (ok && !in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        ok = in.error() == QFileDevice::NoError && out.write(chunk) == chunk.size();
    }
    if (ok && out.commit())
        return true;
    out.cancelWriting();
    msgBox(QStringLiteral("馬場情報ファイルを書き込めませんでした\n") + target, vbOKOnly);
    return false;
}

bool updateBabaFile(const BabaFileKind& kind)
{
    const QString source = pickFile(kind.title);
    const QString target = appPath() + kind.target;
    if (source.isEmpty() || isSameFile(source, target))
        return false;
    PickedFile picked;
    const bool readable = vbTrap(QStringLiteral("馬場情報ファイルを選択してください"),
                                 [&] { picked = examine(source, kind); });
    closeDb(slotMain);
    if (!readable)
        return false;
    if (picked.central != kind.central) {
        msgBox(kind.wrongKindMessage, vbOKOnly);
        return false;
    }
    if (picked.edition <= VbDate() || !install(source, target))
        return false;
    msgBox(Format(picked.edition, "yyyy/mm/dd") + QStringLiteral("版に更新しました"), vbOKOnly);
    if (kind.central)
        pd.jraGraphOn = true;
    dispDataFileInfo();
    return true;
}

}

bool updateNarBabaFile()
{
    return updateBabaFile(kNar);
}

bool updateJraBabaFile()
{
    return updateBabaFile(kJra);
}

void setBabaFilePicker(BabaFilePicker p)
{
    picker = std::move(p);
}
