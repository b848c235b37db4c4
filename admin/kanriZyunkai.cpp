#include "admin/kanriZyunkai.h"

#include "admin/kanriCommon.h"
#include "core/dataFiles.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicLzh.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/traplog.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

ZyunkaiState zyunkai;

namespace {

const QString kArchiveFolder = QStringLiteral("予想");
const QString kRana = dataFileName(DataFileKind::Rana);
constexpr int32_t kZyunkaiKikan = 550;
constexpr int kMaxRaceNo = 12;

VbDate zyunkaiDateOf(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{4})/([0-9]{1,2})/([0-9]{1,2})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    const QDate day = m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QDate();
    if (!day.isValid())
        kanriFail("巡回の日付は yyyy/mm/dd の形で指定してください: " + text);
    return VbDate::fromQDate(day);
}

// Every regular file of the output folder goes; folders inside it stay.
void emptyOutFolder()
{
    const QDir dir(appPath() + kOutFolder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (!QFile::remove(dir.filePath(name)))
            kanriFail("ファイルを削除できません: " + dir.filePath(name));
}

// Before anything is deleted or written: the folders and the work file with what the run uses.
void checkZyunkaiFiles()
{
    requireFolder(kOutFolder);
    requireFolder(kArchiveFolder);
    openKanriDb(slotMain, DataFileKind::Rana);
    const DbSlotCloser closer(slotMain);
    requireTables(slotMain, kRana, {"T_Rana", "Q_date"});
}

// The read of one race; in debug mode a failure arrives as an error, which is told with the race
// and its Japanese cause; the library's own text goes to the trap log.
RaceReadOutcome readRace(const RaceReader& reader, const QString& info)
{
    try {
        return reader.starRaceRead();
    } catch (const std::exception& e) {
        logTrap(QStringLiteral("Error-kanriZyunkai"), e);
        const QString cause = japaneseCause(e);
        kanriFail("レースを読み込めませんでした: " + info + (cause.isEmpty() ? QString() : "\n" + cause));
    }
}

// One track's races from race 1 up to the first without a card; a cancelled or failed read ends
// the whole run.
void zyunkaiTrack(const QString& zyo, const RaceReader& reader,
                  const std::function<void(const QString&)>& showRaceInfo)
{
    reader.setSelector(3, zyo);
    for (int n = 1; n <= kMaxRaceNo; ++n) {
        const QString info = zyo + "-" + QString::number(n) + "R";
        showRaceInfo(info);
        reader.setSelector(4, Format(n, "00"));
        const RaceReadOutcome outcome = readRace(reader, info);
        if (outcome == RaceReadOutcome::Cancelled)
            throw KanriReported();
        if (outcome == RaceReadOutcome::Failed)
            kanriFail("レースを読み込めませんでした: " + info + (webLoadFailure.failed() ? "\n" + webLoadFailure.text() : QString()));
        if (outcome == RaceReadOutcome::NoCard || !pd.raceExists) {
            pd.raceExists = true;
            return;
        }
        saveRana();
        writeRaceHtml();
    }
}

}

const QStringList& zyunkaiTracks()
{
    static const QStringList tracks =
        QStringLiteral("門別 札幌 旭川 盛岡 水沢 浦和 船橋 大井 川崎 金沢 笠松 名古 園田 姫路 福山 高知 佐賀 荒尾").split(' ');
    return tracks;
}

void runZyunkai(const QString& dateText, const RaceReader& reader,
                const std::function<void(const QString&)>& showRaceInfo)
{
    const VbDate day = zyunkaiDateOf(dateText);
    checkZyunkaiFiles();
    const int32_t kakoKikan = pd.kakoKikan;
    struct KikanRestorer {
        int32_t value;
        ~KikanRestorer() { pd.kakoKikan = value; }
    } restorer {kakoKikan};
    pd.kakoKikan = kZyunkaiKikan;
    emptyOutFolder();
    pd.raceExists = true;
    zyunkai = ZyunkaiState {day, weekdayLabel(day), {}, {}};
    reader.setSelector(0, Format(day, "yyyy"));
    reader.setSelector(1, Format(day, "mm"));
    reader.setSelector(2, Format(day, "dd"));
    for (const QString& zyo : zyunkaiTracks())
        zyunkaiTrack(zyo, reader, showRaceInfo);
    // A day without a race has nothing to publish: empty pages would pass for a day's predictions.
    const qsizetype written = zyunkai.indexLink.size();
    if (written == 0) {
        msgBox("巡回を終了しました\n" + Format(day, "yyyy/mm/dd") + " のレースは1つも見つかりませんでした\n"
               "予想ページ・索引・書庫は書き出していません");
        return;
    }
    writeZyunkaiIndex();
    if (!lzhAdd(appPath() + kOutFolder + "/", appPath() + kArchiveFolder + "/" + Format(day, "mmdd") + ".lzh"))
        throw KanriReported();
    msgBox("巡回を完了\n" + QString::number(written) + "レースの予想を書き出しました");
}

void saveRana()
{
    openKanriDb(slotMain, DataFileKind::Rana);
    const DbSlotCloser closer(slotMain);
    DbRow values;
    for (int k = 1; k <= 5; ++k) {
        const float top = pd.sirusiTop(k, 0);
        const int h = CLng(top);
        values.set(QString("R_ana(%1)").arg(k), top)
            .set(QString("winRitu(%1)").arg(k), pd.kakuritu1(h))
            .set(QString("renRitu(%1)").arg(k), pd.kakuritu2(h));
    }
    // Once marked, a race stays marked when it is stored again.
    for (int h = 1; h <= 16 && h <= pd.uName.ubound(); ++h)
        if (!pd.uName(h).isEmpty() && pd.yosouSisuu(h) == 0)
            values.set("taisyo", "out");
    KanriTransaction transaction(slotMain, kRana);
    transaction.write([&] { upsertRow(slotMain, "T_Rana", DbRow().set("R_code", pd.raceCode), values); });
    transaction.commit();
}

void writeZyunkaiFile(const QString& path, const QString& text, TextKind kind)
{
    const QString whole = text + "\r\n";
    const QByteArray bytes = kind == TextKind::Page ? toCp932Html(whole) : toCp932(whole);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        kanriFail("ファイルを書き込めません: " + path);
}
