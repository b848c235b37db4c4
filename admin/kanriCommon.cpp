#include "admin/kanriCommon.h"

#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"

#include <QFileInfo>
#include <QRegularExpression>

void kanriFail(const QString& cause)
{
    throw VbError(vbErrFile, cause, VbCause::stated);
}

namespace {

// "Rana.mdbに書き込めません（ファイルが読み取り専用です）": the file, what failed on it and, when the
// error tells one, why.
[[noreturn]] void failOnFile(const QString& file, const QString& failed, const QString& cause)
{
    kanriFail(cause.isEmpty() ? file + failed : QStringLiteral("%1%2（%3）").arg(file, failed, cause));
}

}  // namespace

// The button is there before the dialog is first painted, which lets events run.
void showProgressWithCancel()
{
    dialogSincyoku().offerCancel();
    showDialogSincyoku();
}

void checkKanriCancel()
{
    if (isDialogSincyokuLoaded() && dialogSincyoku().pollCancel())
        throw KanriCancelled();
}

void requireFolder(const QString& name)
{
    if (!QFileInfo(appPath() + name).isDir())
        kanriFail(QStringLiteral("フォルダ「%1」がありません").arg(name));
}

// A folder in the file's place is told as the start-up and the database open tell it.
void requireFile(const QString& name)
{
    const QFileInfo info(appPath() + name);
    if (!info.exists())
        kanriFail(QStringLiteral("ファイル「%1」がありません").arg(name));
    if (!info.isFile())
        failOnFile(name, QStringLiteral("を開けません"), QStringLiteral("ファイルではありません"));
}

void requireTables(int slot, const QString& file, const QStringList& tables)
{
    if (const QString table = missingTable(slot, tables); !table.isEmpty())
        kanriFail(QStringLiteral("%1に「%2」がありません").arg(file, table));
}

void openKanriDb(int slot, DataFileKind kind)
{
    requireFile(dataFileName(kind));
    openKanriDbAt(slot, dataFilePath(kind), kind);
}

void openKanriDbAt(int slot, const QString& path, DataFileKind kind)
{
    const QString file = dataFileName(kind);
    try {
        openDbOrThrow(slot, path, dataFileEntry(kind).password);
    } catch (const std::exception& e) {
        failOnFile(file, QStringLiteral("を開けません"), japaneseCause(e));
    }
}

KanriTransaction::KanriTransaction(int slot, const QString& file)
    : slot_(slot)
    , file_(file)
{
    write([this] { transaction_.emplace(slot_); });
}

void KanriTransaction::write(const std::function<void()>& work)
{
    try {
        work();
    } catch (const VbError& e) {
        if (e.number() != vbErrDatabase)
            throw;
        failOnFile(file_, QStringLiteral("に書き込めません"), japaneseCause(e));
    }
}

void KanriTransaction::commit()
{
    write([this] { transaction_->commit(); });
}

QStringList regionTracks(const QString& region)
{
    static const QList<QPair<QString, QStringList>> regions {
        {"金沢", {"金沢"}},
        {"東海", {"名古", "笠松"}},
        {"南関", {"大井", "川崎", "船橋", "浦和"}},
        {"兵庫", {"園田", "姫路"}},
        {"高知", {"高知"}},
        {"北海", {"旭川", "札幌", "門別"}},
        {"九州", {"佐賀", "荒尾"}},
        {"岩手", {"盛岡", "水沢"}},
        {"福山", {"福山"}},
    };
    for (const auto& [name, tracks] : regions)
        if (name == region)
            return tracks;
    return {};
}

int32_t wholeDistance(const QString& text, const QString& field)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
    const QString t = text.trimmed();
    if (!digits.match(t).hasMatch())
        kanriFail(QStringLiteral("%1には距離（m）を整数で入力してください: %2").arg(field, text));
    return t.toInt();
}

bool runKanriOperation(const QString& name, const std::function<void()>& work)
{
    const int32_t kakoKikan = pd.kakoKikan;
    QString message;
    bool done = false;
    try {
        work();
        done = true;
    } catch (const KanriCancelled&) {
        message = name + "をキャンセルしました";
    } catch (const KanriReported&) {
    } catch (const std::exception& e) {
        const QString cause = japaneseCause(e);
        message = name + "を中止しました" + (cause.isEmpty() ? QString() : "\n" + cause);
    }
    for (int slot = slotMain; slot < int(cnDB.size()); ++slot)
        closeDb(slot);
    unloadDialogSincyoku();
    pd.kakoKikan = kakoKikan;
    if (!message.isEmpty())
        msgBox(message);
    return done;
}
