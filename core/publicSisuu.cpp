#include "core/publicSisuu.h"

#include "core/dataFiles.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vberror.h"

#include <QHash>
#include <optional>

namespace {

const QString kSisuuError = QStringLiteral("U_sisuu算出エラー(err-BA06)");

// What differs between the local and the central index.
struct IndexScale {
    int sinKyu;       // A_sin_kyu of the standard-time rows this index reads
    double basis;     // metres the time difference is scaled to
    double base;      // level of U_sisuu
    double base3f;    // level of U_sisuu3f
};
constexpr IndexScale kLocal {1, 1500.0, 50.0, 60.0};
// The central level carries a fixed offset of 14 points (4.9 on the last-3F index).
constexpr IndexScale kCentral {0, 1600.0, 70.0 + 14.0, 70.0 + 14.0 * 0.35};

// The single-float value in the first row of a one-column query; none when there is no row.
// A Null there is a run-time error, as reading it into a number would be.
std::optional<float> firstSingle(int slot, const QString& sql, const DbParams& params)
{
    const RecordSet rs(slot, sql, params);
    if (rs.eof())
        return std::nullopt;
    const DbField f = rs.field(0);
    if (f.isNull())
        throw VbError(vbErrInvalidUse, QStringLiteral("Null in ") + sql);
    return f.toFloat();
}

// The formula on a run whose lookups are done: the day's variant (none: no row) and the
// all-class standard time (none: no row).
void applyIndexFormula(IndexedRun& run, std::optional<float> variant, std::optional<float> aveTime,
                       const IndexScale& scale)
{
    const double w = double(run.hutan) - 55.0;
    run.file = variant.value_or(0);
    run.fileFound = variant.has_value();
    const double b = run.file;
    const double a = aveTime.value_or(0);
    // Without a usable standard time (none, or a zero time or distance) the run has no index;
    // dividing by zero would store inf or NaN in the race database.
    if (a <= 0 || run.kyori <= 0) {
        run.sisuu = 0;
        return;
    }

    const double kd = run.kyori;
    const double t = run.time;
    const double f = run.f3;
    if (t > 0)
        run.sisuu = float(((a - t) / kd * scale.basis + b) * 10.0 + scale.base + w * kd / scale.basis);
    if (f > 0)
        run.sisuu3f = float(((a * 600.0 / kd - f) / kd * scale.basis + 0.4 * b) * 10.0 + scale.base3f
                            + 0.35 * w * kd / scale.basis);
}

// The remembered lookups: the file, the query and its values stand for the answer.
struct LookupKey {
    QString file;
    int query;
    int64_t a, b;
    QString zyo;
    int32_t siba;
    bool operator==(const LookupKey&) const = default;
};
size_t qHash(const LookupKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.file, k.query, k.a, k.b, k.zyo, k.siba);
}
QHash<LookupKey, std::optional<float>>* lookupMemo = nullptr;
QHash<LookupKey, std::optional<float>> outermostMemo;

std::optional<float> lookUp(int slot, const QString& sql, const DbParams& params, const LookupKey& key)
{
    if (!lookupMemo)
        return firstSingle(slot, sql, params);
    const auto it = lookupMemo->constFind(key);
    if (it != lookupMemo->constEnd())
        return *it;
    const std::optional<float> value = firstSingle(slot, sql, params);
    lookupMemo->insert(key, value);
    return value;
}

void computeIndex(IndexedRun& run, int slot, const QString& zyoKey, const IndexScale& scale)
{
    const QString& file = slotConnection(slot).path();
    const std::optional<float> variant =
        lookUp(slot, "SELECT S_sisuu FROM T_sisuu WHERE S_date = ? AND S_zyo = ? AND S_siba = ?",
               {run.date, zyoKey, run.siba}, {file, 0, run.date.serial(), 0, zyoKey, run.siba});
    // Kept when the standard-time lookup fails, as the run table keeps what was set before an error.
    run.file = variant.value_or(0);
    run.fileFound = variant.has_value();
    const std::optional<float> aveTime =
        lookUp(slot,
               "SELECT A_time FROM T_avetime WHERE A_class = 'ave' AND A_kyori = ? AND A_sin_kyu = ? "
               "AND A_zyo = ? AND A_siba = ?",
               {run.kyori, scale.sinKyu, zyoKey, run.siba}, {file, 1, run.kyori, scale.sinKyu, zyoKey, run.siba});
    applyIndexFormula(run, variant, aveTime, scale);
}

IndexedRun runOfTable(int h, int r)
{
    return {pd.uDate(h, r), pd.uZyo(h, r),   pd.uSiba(h, r),   pd.uKyori(h, r),    pd.uTime(h, r),
            pd.u3f(h, r),   pd.uHutan(h, r), pd.uSisuu(h, r), pd.uSisuu3f(h, r), pd.uFile(h, r),
            pd.uFileFound(h, r) != 0};
}

// Computes run (h, r) of the run table; what was set before a failure is written back too.
template <class Compute>
void computeInTable(int h, int r, Compute compute)
{
    IndexedRun run = runOfTable(h, r);
    const auto writeBack = [&] {
        pd.uSisuu(h, r) = run.sisuu;
        pd.uSisuu3f(h, r) = run.sisuu3f;
        pd.uFile(h, r) = run.file;
        pd.uFileFound(h, r) = run.fileFound;
    };
    try {
        compute(run);
    } catch (...) {
        writeBack();
        throw;
    }
    writeBack();
}

}

void applyLocalIndex(IndexedRun& run, std::optional<float> variant, std::optional<float> aveTime)
{
    applyIndexFormula(run, variant, aveTime, kLocal);
}

void computeLocalIndex(IndexedRun& run, int slot)
{
    computeIndex(run, slot, run.zyo, kLocal);
}

bool calcUSisuu(int h, int r, int slot)
{
    return vbTrap(kSisuuError, [&] { computeInTable(h, r, [&](IndexedRun& run) { computeLocalIndex(run, slot); }); });
}

bool calcUSisuuJra(int h, int r)
{
    return vbTrap(kSisuuError, [&] {
        DbSlotCloser closer(slotSide);
        openDb(slotSide, DataFileKind::JraGraph);
        // A central file that cannot be opened would report itself again for every central run
        // of every runner: after this once, central runs get no index until the file is replaced.
        if (!isDbOpen(slotSide))
            pd.jraGraphOn = false;
        computeInTable(h, r, [](IndexedRun& run) { computeIndex(run, slotSide, zyoToJraCode(run.zyo.mid(1)), kCentral); });
    });
}

TrackLookupMemo::TrackLookupMemo()
{
    if (lookupMemo)
        return;
    outermost_ = true;
    lookupMemo = &outermostMemo;
}

TrackLookupMemo::~TrackLookupMemo()
{
    if (!outermost_)
        return;
    lookupMemo = nullptr;
    outermostMemo.clear();
}
