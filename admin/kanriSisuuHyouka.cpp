#include "admin/kanriSisuuHyouka.h"

#include "admin/kanriCommon.h"
#include "core/dataFiles.h"
#include "core/dialogSincyoku.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <QHash>
#include <cmath>
#include <optional>

namespace {

const QString kNar = dataFileName(DataFileKind::NarData);
const QString kWork = dataFileName(DataFileKind::CalSisuu);
const QString kTemplate = dataFileName(DataFileKind::Motofile);
const QString kTrackFile = dataFileName(DataFileKind::StrevinData);
const QString kRana = dataFileName(DataFileKind::Rana);
const QString kDone = QStringLiteral("書き換え終了");
constexpr int kHyoukaDays = 400;

float correctionOf(const QString& text)
{
    const QString t = text.trimmed();
    const float h = IsNumeric(t) ? float(CDblText(t)) : NAN;
    if (!std::isfinite(h))
        kanriFail("補正値には数値を入力してください: " + text);
    return h;
}

// The standard-time rows one correction shifts, as (condition, parameters) on T_avetime.
QList<std::pair<QString, DbParams>> shiftedRows(const HyoukaTarget& t)
{
    if (t.kind == "距離間")
        return {{"A_zyo = ? AND A_kyori = ?", {t.tarZyo, wholeDistance(t.tar01, "対象1")}}};
    if (t.kind == "場間")
        return {{"A_zyo = ? AND A_class = 'ave'", {t.tar01}}};
    QList<std::pair<QString, DbParams>> rows;
    if (t.kind == "地区間")
        for (const QString& zyo : regionTracks(t.tar01))
            rows.append({"A_zyo = ? AND A_class = 'ave'", {zyo}});
    return rows;
}

struct AveTimeRow {
    DbParams key;  // A_zyo, A_kyori, A_class, A_sin_kyu, A_siba
    float time;
};

const QString kAveTimeKey = "A_zyo IS ? AND A_kyori IS ? AND A_class IS ? AND A_sin_kyu IS ? AND A_siba IS ?";

std::vector<AveTimeRow> aveTimeRows(int slot, const QString& condition, const DbParams& params)
{
    std::vector<AveTimeRow> rows;
    for (RecordSet rs(slot, "SELECT A_zyo, A_kyori, A_class, A_sin_kyu, A_siba, A_time FROM T_avetime WHERE "
                                + condition + " ORDER BY rowid",
                      params);
         !rs.eof(); rs.moveNext())
        rows.push_back({{rs.field(0).value(), rs.field(1).value(), rs.field(2).value(), rs.field(3).value(),
                         rs.field(4).value()},
                        rs.field(5).toFloat()});
    return rows;
}

void setAveTime(int slot, const AveTimeRow& row, float time)
{
    DbParams params {time};
    params.insert(params.end(), row.key.begin(), row.key.end());
    slotConnection(slot).execute("UPDATE T_avetime SET A_time = ? WHERE " + kAveTimeKey, params);
}

// Every destination row with a counterpart in the work file takes the work file's time; one
// without is named in a message and kept.
void copyAveTimes(int slot)
{
    for (const AveTimeRow& row : aveTimeRows(slot, "1", {})) {
        const RecordSet work(slotMain, "SELECT A_time FROM T_avetime WHERE A_zyo IS ? AND A_kyori IS ? AND A_class IS ? "
                                "AND A_siba IS ? ORDER BY A_sin_kyu DESC LIMIT 1",
                             {row.key[0], row.key[1], row.key[2], row.key[4]});
        if (work.eof()) {
            msgBox(DbField(row.key[0]).toString() + DbField(row.key[1]).toString() + DbField(row.key[2]).toString()
                   + "-コピー先が見つかりません");
            continue;
        }
        setAveTime(slot, row, work.field(0).toFloat());
    }
}

// What the recalculation reads of the work file for one track, held in memory: the day
// variants by (day, surface) and the all-class standard times by (distance, surface). A Null
// value stays none-but-present, which fails when a run needs it, as the lookup does.
struct TrackTimes {
    QHash<QString, std::optional<float>> variants;
    QHash<QString, std::optional<float>> aveTimes;
};

QString pairKey(const DbField& a, const DbField& b)
{
    return a.toString() + '\t' + b.toString();
}

std::optional<float> nonNull(const DbField& f)
{
    return f.isNull() ? std::nullopt : std::optional<float>(f.toFloat());
}

TrackTimes trackTimes(const QString& zyo)
{
    TrackTimes t;
    for (RecordSet rs(slotMain, "SELECT S_date, S_siba, S_sisuu FROM T_sisuu WHERE S_zyo = ?", {zyo}); !rs.eof(); rs.moveNext())
        t.variants.insert(pairKey(rs.field(0), rs.field(1)), nonNull(rs.field(2)));
    for (RecordSet rs(slotMain, "SELECT A_kyori, A_siba, A_time FROM T_avetime WHERE A_zyo = ? AND A_class = 'ave' "
                         "AND A_sin_kyu = 1",
                      {zyo});
         !rs.eof(); rs.moveNext())
        t.aveTimes.insert(pairKey(rs.field(0), rs.field(1)), nonNull(rs.field(2)));
    return t;
}

// The looked-up value: none when there is no row; a Null value is an error.
std::optional<float> lookUp(const QHash<QString, std::optional<float>>& table, const QString& key)
{
    const auto it = table.find(key);
    if (it == table.end())
        return std::nullopt;
    if (!it->has_value())
        throw VbError(vbErrInvalidUse, "Null in " + kWork);
    return *it;
}

struct StoredRun {
    QString code, name;
    IndexedRun run;
};

std::vector<StoredRun> storedRuns(const QString& zyo)
{
    std::vector<StoredRun> runs;
    for (RecordSet rs(slotSide, "SELECT T_Rdata.R_code, U_name, R_date, R_siba, R_kyori, U_time, U_3f, U_hutan "
                         "FROM T_Rdata JOIN T_Useiseki ON T_Rdata.R_code = T_Useiseki.R_code WHERE R_zyo = ?",
                      {zyo});
         !rs.eof(); rs.moveNext()) {
        // A run without its weight carried has nothing to compute from; it keeps its values.
        if (rs.field(7).isNull())
            continue;
        IndexedRun run;
        run.date = rs.field(2).isNull() ? VbDate() : rs.field(2).toDate();
        run.zyo = zyo;
        run.siba = rs.field(3).toInt();
        run.kyori = rs.field(4).toInt();
        run.time = rs.field(5).toFloat();
        run.f3 = rs.field(6).toFloat();
        run.hutan = rs.field(7).toFloat();
        runs.push_back({rs.field(0).toString(), rs.field(1).toString(), run});
        checkKanriCancel();
    }
    return runs;
}

void reCalTrack(const QString& zyo, const TrackTimes& times)
{
    std::vector<StoredRun> runs = storedRuns(zyo);
    DialogSincyoku& d = dialogSincyoku();
    d.setMax(float(runs.size()));
    d.setValue(0);
    for (StoredRun& r : runs) {
        IndexedRun& run = r.run;
        run.sisuu = 0;
        run.sisuu3f = 0;
        applyLocalIndex(run, lookUp(times.variants, run.date.toDbText() + '\t' + QString::number(run.siba)),
                        lookUp(times.aveTimes, QString::number(run.kyori) + '\t' + QString::number(run.siba)));
        slotConnection(slotSide).execute("UPDATE T_Useiseki SET U_sisuu = ?, U_sisuu3f = ? WHERE R_code = ? AND U_name = ?",
                                  {run.sisuu, run.sisuu3f, r.code, r.name});
        d.setValue(d.value() + 1);
        checkKanriCancel();
    }
}

QStringList reCalTracks(const HyoukaTarget& t)
{
    if (t.kind == "地区間")
        return regionTracks(t.tar01);
    if (t.kind == "場間")
        return {t.tar01};
    if (t.kind == "距離間")
        return {t.tarZyo};
    return {};
}

// The race condition of one target, with its parameters.
std::pair<QString, DbParams> targetCondition(const HyoukaTarget& t, const QString& target, const QString& field)
{
    if (t.kind == "地区間")
        return {"R_zyo02 = ?", {target}};
    if (t.kind == "場間")
        return {"R_zyo = ?", {target}};
    if (t.kind == "距離間")
        return {"R_kyori = ? AND R_zyo = ?", {wholeDistance(target, field), t.tarZyo}};
    kanriFail("分析の種類は「地区間」「場間」「距離間」から選んでください: " + t.kind);
}

// Each named horse's average index over its runs in the target after the cut-off day, runs
// with index 0 included.
QHash<QString, double> horseAverages(const std::pair<QString, DbParams>& condition, const VbDate& cutoff)
{
    DbParams params = condition.second;
    params.push_back(cutoff);
    QHash<QString, double> averages;
    for (RecordSet rs(slotMain, "SELECT U_name, AVG(U_sisuu) FROM T_Rdata JOIN T_Useiseki ON T_Rdata.R_code = "
                         "T_Useiseki.R_code WHERE " + condition.first + " AND R_date > ? AND U_name <> '' "
                         "GROUP BY U_name",
                      params);
         !rs.eof(); rs.moveNext())
        averages.insert(rs.field(0).toString(), rs.field(1).toDouble());
    return averages;
}

// Progress over the steps of one pass, which sets its own maximum: its steps and one more.
void startPass(qsizetype steps)
{
    DialogSincyoku& d = dialogSincyoku();
    d.setMax(float(steps + 1));
    d.setValue(0);
}

void advancePass()
{
    DialogSincyoku& d = dialogSincyoku();
    d.setValue(d.value() + 1);
}

// The horses of target 1 that also ran in target 2 get a row, then the averaging pass goes over
// the rows and writes each one's two averages.
void fillSisuuHyouka(const QHash<QString, double>& tar01, const QHash<QString, double>& tar02)
{
    startPass(tar01.size());
    QStringList names = tar01.keys();
    names.sort();
    QStringList qualified;
    for (const QString& name : std::as_const(names)) {
        advancePass();
        if (tar02.contains(name)) {
            insertRow(slotSide, "SisuuHyouka", DbRow().set("name", name));
            qualified << name;
        }
    }
    startPass(qualified.size());
    for (const QString& name : std::as_const(qualified)) {
        advancePass();
        updateRow(slotSide, "SisuuHyouka", DbRow().set("name", name),
                  DbRow().set("Tar01Sisuu", tar01.value(name)).set("Tar02Sisuu", tar02.value(name)));
    }
}

}

void changeAveTime(const HyoukaTarget& target, const QString& hosei)
{
    const float h = correctionOf(hosei);
    const QList<std::pair<QString, DbParams>> selections = shiftedRows(target);
    openKanriDb(slotMain, DataFileKind::CalSisuu);
    openKanriDb(slotSide, DataFileKind::Motofile);
    openKanriDb(slotExtra, DataFileKind::StrevinData);
    for (int slot : {1, 2, 3})
        requireTables(slot, slot == 1 ? kWork : slot == 2 ? kTemplate : kTrackFile, {"T_avetime"});
    KanriTransaction work(slotMain, kWork), templ(slotSide, kTemplate), installed(slotExtra, kTrackFile);
    work.write([&] {
        for (const auto& [condition, params] : selections)
            for (const AveTimeRow& row : aveTimeRows(slotMain, condition, params))
                setAveTime(slotMain, row, float(double(row.time) + double(h) * DbField(row.key[1]).toDouble() / 1500.0));
    });
    templ.write([] { copyAveTimes(slotSide); });
    installed.write([] { copyAveTimes(slotExtra); });
    installed.commit();
    templ.commit();
    work.commit();
    msgBox(kDone);
}

void reCalSisuu(const HyoukaTarget& target)
{
    const QStringList tracks = reCalTracks(target);
    openKanriDb(slotMain, DataFileKind::CalSisuu);
    openKanriDb(slotSide, DataFileKind::NarData);
    requireTables(slotMain, kWork, {"T_sisuu", "T_avetime"});
    requireTables(slotSide, kNar, {"T_Rdata", "T_Useiseki"});
    showProgressWithCancel();
    KanriTransaction races(slotSide, kNar);
    for (const QString& zyo : tracks) {
        const TrackTimes times = trackTimes(zyo);
        races.write([&] { reCalTrack(zyo, times); });
    }
    races.commit();
    unloadDialogSincyoku();
    msgBox(kDone);
}

HyoukaResult analSisuuHyouka(const HyoukaTarget& target)
{
    const auto condition1 = targetCondition(target, target.tar01, "対象1");
    const auto condition2 = targetCondition(target, target.tar02, "対象2");
    openKanriDb(slotMain, DataFileKind::NarData);
    openKanriDb(slotSide, DataFileKind::Rana);
    requireTables(slotMain, kNar, {"T_Rdata", "T_Useiseki"});
    requireTables(slotSide, kRana, {"SisuuHyouka"});
    showDialogSincyoku();
    KanriTransaction work(slotSide, kRana);
    work.write([] { slotConnection(slotSide).execute("DELETE FROM SisuuHyouka"); });
    const VbDate cutoff = vbToday().addDays(-kHyoukaDays);
    const QHash<QString, double> tar01 = horseAverages(condition1, cutoff), tar02 = horseAverages(condition2, cutoff);
    work.write([&] { fillSisuuHyouka(tar01, tar02); });
    const RecordSet rs(slotSide, "SELECT AVG(Tar01Sisuu), AVG(Tar02Sisuu), COUNT(Tar02Sisuu) FROM SisuuHyouka");
    HyoukaResult result;
    const int32_t count = rs.field(2).toInt();
    if (count > 0) {
        const float a1 = rs.field(0).toFloat();
        const float a2 = rs.field(1).toFloat();
        result = {Format(a1, "#0.0"), Format(a2, "#0.0"), Format(count, "#,###"),
                  Format((double(a2) - double(a1)) / 10.0, "#0.0")};
    }
    work.commit();
    unloadDialogSincyoku();
    return result;
}
