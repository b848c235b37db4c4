// The past-run writers: one T_Rdata and one T_Useiseki row per past run, added only when the
// key is new; a row that exists (perhaps with a race's full results) is never changed.
#include "webimport/ReadWeb.h"

#include "core/dataFiles.h"
#include "core/publicDim.h"
#include "core/trackFileLoan.h"
#include "platform/database.h"
#include "platform/traplog.h"
#include "platform/vberror.h"
#include "webimport/pastRun.h"

namespace {

constexpr int narSlot = slotMain;

// A run whose row is stored already is passed over in silence; a write the file refuses is told
// (once while a memo lives). The other runs of the horse are tried all the same.
template <class BuildRow>
bool insertPastRun(const QString& table, BuildRow buildRow)
{
    bool added = false;
    try {
        added = insertRowIfNew(narSlot, table, buildRow(pd.umaIdx, webRow));
    } catch (const std::exception& e) {
        logTrap("insertPastRun-" + table, e);
        const auto* error = dynamic_cast<const VbError*>(&e);
        if (error && error->number() == vbErrDatabase)
            reportRefusedPastRuns(e);
    }
    return added;
}

QString pastRunCode(int h, int r)
{
    return makeRaceCode(pd.uZyo(h, r), pd.uDate(h, r), pd.uRaceNo(h, r));
}

}

void reportRefusedPastRuns(const std::exception& error)
{
    reportUnwritableFile(QStringLiteral("過去成績を保存できませんでした"), dataFilePath(DataFileKind::NarData), error);
}

bool saveRdataRireki()
{
    return insertPastRun(QStringLiteral("T_Rdata"), [](int h, int r) {
        DbRow row;
        row.set(QStringLiteral("R_code"), pastRunCode(h, r))
            .set(QStringLiteral("R_zyo"), pd.uZyo(h, r))
            .set(QStringLiteral("R_date"), pd.uDate(h, r))
            .set(QStringLiteral("R_no"), pd.uRaceNo(h, r))
            .set(QStringLiteral("R_baba"), pd.uBaba(h, r))
            .set(QStringLiteral("R_kyori"), pd.uKyori(h, r))
            .set(QStringLiteral("R_name"), pd.uRname(h, r))
            .set(QStringLiteral("R_siba"), pd.uSiba(h, r));
        return row;
    });
}

bool saveUseisekiRireki()
{
    return insertPastRun(QStringLiteral("T_Useiseki"), [](int h, int r) {
        DbRow row;
        row.set(QStringLiteral("R_code"), pastRunCode(h, r))
            .set(QStringLiteral("U_no"), pd.uNo(h, r))
            .set(QStringLiteral("U_waku"), pd.uWaku(h, r))
            .set(QStringLiteral("U_name"), pd.uName(h))
            .set(QStringLiteral("U_cyaku"), pd.uCyaku(h, r))
            .set(QStringLiteral("U_time"), pd.uTime(h, r))
            .set(QStringLiteral("U_taizyu"), pd.uTaizyu(h, r))
            .set(QStringLiteral("U_cyakusa"), pd.uCyakusa(h, r))
            .set(QStringLiteral("U_kisyu"), pd.uKisyu(h, r))
            .set(QStringLiteral("U_hutan"), pd.uHutan(h, r))
            .set(QStringLiteral("U_3f"), pd.u3f(h, r))
            .set(QStringLiteral("U_sisuu"), pd.uSisuu(h, r))
            .set(QStringLiteral("U_sisuu3f"), pd.uSisuu3f(h, r))
            .set(QStringLiteral("U_chichi"), pd.uChichi(h));
        if (const auto change = weightChange(h, r)) {
            pd.uZougen(h, r) = *change;
            row.set(QStringLiteral("U_zougen"), *change);
        }
        if (const auto days = daysSincePrevious(h, r)) {
            pd.uKankaku(h, r) = *days;
            row.set(QStringLiteral("U_kankaku"), *days);
        }
        row.set(QStringLiteral("U_file"), pd.uFileFound(h, r) != 0);
        return row;
    });
}
