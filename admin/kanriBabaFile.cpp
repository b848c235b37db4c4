#include "admin/kanriBabaFile.h"

#include "admin/kanriCommon.h"
#include "core/dataFiles.h"
#include "core/dialogSincyoku.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>
#include <filesystem>

namespace {

const QString kNar = dataFileName(DataFileKind::NarData);
const QString kWork = dataFileName(DataFileKind::CalSisuu);
const QString kTemplate = dataFileName(DataFileKind::Motofile);
const QString kOutFolder = QStringLiteral("情報ファイル");

// Our choice for the centre of the band that a race's deviation must lie in to count for its
// day: 0, so the band is -3.0 < R_sisuu < 3.0 seconds. A centre at the day's own mean would let
// one wild race drag the band along with it.
constexpr float kBandCentre = 0.0f;
constexpr float kBandHalfWidth = 3.0f;

struct BuildState {
    VbDate start;
    bool reCalAll = false;
};

void setStep(const QString& caption, int rows)
{
    DialogSincyoku& d = dialogSincyoku();
    d.setWindowTitle(caption);
    d.setMax(float(rows));
    d.setValue(0);
}

void advance()
{
    DialogSincyoku& d = dialogSincyoku();
    d.setValue(d.value() + 1);
    checkKanriCancel();
}

int countOf(int slot, const QString& from, const DbParams& params)
{
    return RecordSet(slot, "SELECT COUNT(*) " + from, params).field(0).toInt();
}

// Step 1: one day row per results day, local track and surface of its races 1 and 2; the first
// race visited (race 1 before race 2) gives the row its going.
void makeBabaDays(const BuildState& b)
{
    const QString from = "FROM T_Rdata WHERE R_date >= ? AND R_no <= 2 AND R_flag = 'Seiseki'";
    setStep("馬場指数作成　1/3", countOf(slotMain, from, {b.start}));
    for (RecordSet rs(slotMain, "SELECT R_date, R_zyo, R_siba, R_baba " + from + " ORDER BY R_date, R_zyo, R_no, R_code",
                      {b.start});
         !rs.eof(); rs.moveNext()) {
        advance();
        const QString zyo = rs["R_zyo"].toString();
        if (isCentralTrack(zyo))
            continue;
        const DbRow key = DbRow().set("S_date", rs["R_date"].toDate()).set("S_zyo", zyo).set("S_siba", rs["R_siba"].value());
        if (!RecordSet(slotSide, "SELECT 1 FROM T_sisuu WHERE S_date IS ? AND S_zyo IS ? AND S_siba IS ?", key.values()).eof())
            continue;
        DbRow row = key;
        row.set("S_baba", rs["R_baba"].value()).set("S_sisuu", 0.0).set("S_taisyo", 0);
        insertRow(slotSide, "T_sisuu", row);
    }
}

// The standard time a race's deviation is measured against: the first local row of its track,
// distance and class, dirt before turf (the lookup does not name the surface).
QHash<QString, float> classTimes()
{
    QHash<QString, float> times;
    for (RecordSet rs(slotSide, "SELECT A_zyo, A_kyori, A_class, A_time FROM T_avetime WHERE A_sin_kyu = 1 "
                         "ORDER BY A_zyo, A_kyori, A_class, A_siba");
         !rs.eof(); rs.moveNext()) {
        const QString key = rs["A_zyo"].toString() + '\t' + rs["A_kyori"].toString() + '\t' + rs["A_class"].toString();
        if (!times.contains(key))
            times.insert(key, rs["A_time"].toFloat());
    }
    return times;
}

struct RaceDeviation {
    QString code;
    float sisuu;
};

// Step 2: R_sisuu = R_time - A_time of every race without one (every race with reCalAll).
void makeRaceSisuu(const BuildState& b)
{
    const QString from = "FROM T_Rdata WHERE R_date >= ?" + QString(b.reCalAll ? "" : " AND R_sisuu = 0");
    setStep("馬場指数作成　2/3", countOf(slotMain, from, {b.start}));
    const QHash<QString, float> times = classTimes();
    std::vector<RaceDeviation> found;
    for (RecordSet rs(slotMain, "SELECT R_code, R_zyo, R_kyori, R_class, R_time " + from + " ORDER BY R_code", {b.start});
         !rs.eof(); rs.moveNext()) {
        advance();
        const QString key = rs["R_zyo"].toString() + '\t' + rs["R_kyori"].toString() + '\t' + rs["R_class"].toString();
        const float aveTime = times.value(key, 0.0f);
        if (aveTime > 0)
            found.push_back({rs["R_code"].toString(), float(rs["R_time"].toDouble() - double(aveTime))});
    }
    for (const RaceDeviation& r : found)
        slotConnection(slotMain).execute("UPDATE T_Rdata SET R_sisuu = ? WHERE R_code = ?", {r.sisuu, r.code});
}

struct DayVariant {
    DbParams key;
    int32_t taisyo;
    double sisuu;
};

// Step 3: each day row's variant, the mean of the day's deviations inside the band (both
// surfaces of a day share it: the races are not told apart by surface).
void makeDaySisuu(const BuildState& b)
{
    const QString from = "FROM T_sisuu WHERE S_date >= ?" + QString(b.reCalAll ? "" : " AND S_sisuu = 0");
    setStep("馬場指数作成　3/3", countOf(slotSide, from, {b.start}));
    std::vector<DayVariant> computed;
    for (RecordSet rs(slotSide, "SELECT S_date, S_zyo, S_siba " + from + " ORDER BY S_date, S_zyo, S_siba", {b.start});
         !rs.eof(); rs.moveNext()) {
        advance();
        float sum = 0;
        int32_t n = 0;
        for (RecordSet race(slotMain, "SELECT R_sisuu FROM T_Rdata WHERE R_zyo = ? AND R_date = ? AND R_sisuu <> 0",
                            {rs["S_zyo"].value(), rs["S_date"].toDate()});
             !race.eof(); race.moveNext()) {
            const float r = race.field(0).toFloat();
            if (kBandCentre - kBandHalfWidth < r && r < kBandCentre + kBandHalfWidth) {
                sum += r;
                ++n;
            }
        }
        if (n > 0)
            computed.push_back({{rs["S_date"].value(), rs["S_zyo"].value(), rs["S_siba"].value()}, n, double(sum) / n});
    }
    for (const DayVariant& d : computed)
        slotConnection(slotSide).execute("UPDATE T_sisuu SET S_taisyo = ?, S_sisuu = ? WHERE S_date IS ? AND S_zyo IS ? "
                                  "AND S_siba IS ?",
                                  DbParams {d.taisyo, d.sisuu, d.key[0], d.key[1], d.key[2]});
}

// Copies every work day row into the template open on slot 3 and stamps its edition date: the
// newest day it holds, in place of its edition, if any (a new set-up's template has none). A
// template without any day row has no edition to stamp.
VbDate fillTemplate()
{
    setStep("ファイル作成", countOf(slotSide, "FROM T_sisuu", {}));
    for (RecordSet rs(slotSide, "SELECT S_zyo, S_date, S_taisyo, S_sisuu, S_baba, S_siba FROM T_sisuu "
                         "ORDER BY S_date, S_zyo, S_siba");
         !rs.eof(); rs.moveNext()) {
        const DbRow key = DbRow().set("S_date", rs["S_date"].value()).set("S_zyo", rs["S_zyo"].value()).set("S_siba", rs["S_siba"].value());
        const DbRow values = DbRow().set("S_taisyo", rs["S_taisyo"].value()).set("S_sisuu", rs["S_sisuu"].value())
                                 .set("S_baba", rs["S_baba"].value());
        upsertRow(slotExtra, "T_sisuu", key, values);
        advance();
    }
    const RecordSet newest(slotExtra, "SELECT S_date FROM T_sisuu ORDER BY S_date DESC LIMIT 1");
    if (newest.eof())
        kanriFail(kTemplate + "に馬場指数の行がないため、版の日付が決まりません");
    const VbDate edition = newest.field(0).toDate();
    setEdition(slotExtra, edition);
    return edition;
}

// The file's bytes into a file beside the target, renamed into place only by commit().
void stageCopy(const QString& source, QSaveFile& out)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        kanriFail("ファイルを書き込めません: " + out.fileName());
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (in.error() != QFileDevice::NoError || out.write(chunk) != chunk.size())
            kanriFail("ファイルを書き込めません: " + out.fileName());
    }
}

// Step 4: the template is filled in a copy of itself; the dated file and the template are put in
// place together, after everything else has succeeded and before the work files commit.
void exportBabaFile()
{
    QTemporaryFile staged(appPath() + "motofile.XXXXXX.tmp");
    if (!staged.open())
        kanriFail("一時ファイルを作れません: " + appPath());
    staged.close();
    {
        QFile::remove(staged.fileName());
        if (!QFile::copy(appPath() + kTemplate, staged.fileName()))
            kanriFail(kTemplate + "をコピーできません");
    }
    VbDate edition;
    {
        DbSlotCloser closer(slotExtra);
        openKanriDbAt(slotExtra, staged.fileName(), DataFileKind::Motofile);
        requireTables(slotExtra, kTemplate, {"T_sisuu", "version"});
        KanriTransaction transaction(slotExtra, kTemplate);
        transaction.write([&] { edition = fillTemplate(); });
        transaction.commit();
        // A closed file in the rollback journal is whole: its bytes are the database.
        slotConnection(slotExtra).execute("PRAGMA journal_mode = DELETE");
    }
    QSaveFile dated(appPath() + kOutFolder + '/' + babaFileName(edition));
    stageCopy(staged.fileName(), dated);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(staged.fileName()).toStdString(),
                            QFile::encodeName(appPath() + kTemplate).toStdString(), error);
    if (error)
        kanriFail(kTemplate + "を置き換えられません");
    staged.setAutoRemove(false);
    if (!dated.commit())
        kanriFail("ファイルを書き込めません: " + dated.fileName());
}

VbDate startOfYear(const QString& text)
{
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    const QString t = text.trimmed();
    if (!fourDigits.match(t).hasMatch() || t.toInt() < 1900)
        kanriFail("開始年は西暦4桁で指定してください: " + text);
    return VbDate::fromYmd(t.toInt(), 1, 1);
}

}

QString babaFileName(const VbDate& edition)
{
    return "地方馬場ファイル" + Format(edition, "yymmdd") + "版.dat";
}

void makeBabaFile(const QString& startYear, bool reCalAll)
{
    const BuildState b {startOfYear(startYear), reCalAll};
    requireFolder(kOutFolder);
    requireFile(kTemplate);
    openKanriDb(slotMain, DataFileKind::NarData);
    openKanriDb(slotSide, DataFileKind::CalSisuu);
    requireTables(slotMain, kNar, {"T_Rdata"});
    requireTables(slotSide, kWork, {"T_sisuu", "T_avetime"});
    showProgressWithCancel();
    KanriTransaction races(slotMain, kNar), work(slotSide, kWork);
    work.write([&] { makeBabaDays(b); });
    races.write([&] { makeRaceSisuu(b); });
    work.write([&] { makeDaySisuu(b); });
    exportBabaFile();
    work.commit();
    races.commit();
    unloadDialogSincyoku();
    msgBox("馬場情報ファイルを作成しました");
}
