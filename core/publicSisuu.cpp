#include "core/publicSisuu.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vberror.h"

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

// The single-float value in the first row of a one-column query; 0 when there is no row.
// A Null there is a run-time error, as reading it into a number would be.
float firstSingle(int slot, const QString& sql, const DbParams& params)
{
    const RecordSet rs(slot, sql, params);
    if (rs.eof())
        return 0;
    const DbField f = rs.field(0);
    if (f.isNull())
        throw VbError(vbErrInvalidUse, QStringLiteral("Null in ") + sql);
    return f.toFloat();
}

void computeIndex(int h, int r, int slot, const QString& zyoKey, const IndexScale& scale)
{
    const double w = double(pd.uHutan(h, r)) - 55.0;
    const int siba = pd.uSiba(h, r);
    const int k = pd.uKyori(h, r);

    const float variant = firstSingle(slot, "SELECT S_sisuu FROM T_sisuu WHERE S_date = ? AND S_zyo = ? AND S_siba = ?",
                                      {pd.uDate(h, r), zyoKey, siba});
    pd.uFile(h, r) = variant;
    const double b = variant;
    const double a = firstSingle(slot,
                                 "SELECT A_time FROM T_avetime WHERE A_class = 'ave' AND A_kyori = ? AND A_sin_kyu = ? "
                                 "AND A_zyo = ? AND A_siba = ?",
                                 {k, scale.sinKyu, zyoKey, siba});
    // Without a usable standard time (none, or a zero time or distance) the run has no index;
    // dividing by zero would store inf or NaN in the race database.
    if (a <= 0 || k <= 0) {
        pd.uSisuu(h, r) = 0;
        return;
    }

    const double kd = k;
    const double t = pd.uTime(h, r);
    const double f = pd.u3f(h, r);
    if (t > 0)
        pd.uSisuu(h, r) = float(((a - t) / kd * scale.basis + b) * 10.0 + scale.base + w * kd / scale.basis);
    if (f > 0)
        pd.uSisuu3f(h, r) = float(((a * 600.0 / kd - f) / kd * scale.basis + 0.4 * b) * 10.0 + scale.base3f
                                  + 0.35 * w * kd / scale.basis);
}

}

void computeUSisuu(int h, int r, int slot)
{
    computeIndex(h, r, slot, pd.uZyo(h, r), kLocal);
}

void calcUSisuu(int h, int r, int slot)
{
    vbTrap(kSisuuError, [&] { computeUSisuu(h, r, slot); });
}

void calcUSisuuJra(int h, int r)
{
    vbTrap(kSisuuError, [&] {
        DbSlotCloser closer(2);
        openDb(2, appPath() + "jraGraph.dat", dbPassword);
        // A central file that cannot be opened would report itself again for every central run
        // of every runner: after this once, central runs get no index until the file is replaced.
        if (!isDbOpen(2))
            pd.jraGraphOn = false;
        computeIndex(h, r, 2, zyoToJraCode(pd.uZyo(h, r).mid(1)), kCentral);
    });
}
