#include "sheets/sheetData.h"

#include "core/publicDim.h"
#include "platform/vbformat.h"

#include <algorithm>

QString sheetFormName(SheetKind kind)
{
    switch (kind) {
    case SheetKind::Uma: return QStringLiteral("frmUma");
    case SheetKind::Kisyu: return QStringLiteral("frmKisyu");
    case SheetKind::Cyoukyou: return QStringLiteral("frmCyoukyou");
    case SheetKind::Syuboba: return QStringLiteral("frmSyuboba");
    case SheetKind::Kextuka: return QStringLiteral("frmKextuka");
    }
    return {};
}

QString sheetKeyColumn(SheetKind kind)
{
    switch (kind) {
    case SheetKind::Uma: return QStringLiteral("U_name");
    case SheetKind::Kisyu: return QStringLiteral("U_kisyu");
    case SheetKind::Cyoukyou: return QStringLiteral("U_cyoukyou");
    case SheetKind::Syuboba: return QStringLiteral("U_chichi");
    case SheetKind::Kextuka: return QStringLiteral("T_Rdata.R_code");
    }
    return {};
}

namespace {
const char* const runColumns =
    "SELECT T_Rdata.R_code, R_date, R_zyo, R_no, R_name, R_siba, R_kyori, R_baba, R_tousuu, U_name, "
    "U_sisuu, U_sisuu3f, U_file, U_cyaku, U_time, U_3f, U_cyakusa, U_kisyu, U_hutan, U_waku, U_no, "
    "U_taizyu, U_zougen, U_tuka01, U_tuka02, U_tuka03, U_tuka04, U_cyoukyou, U_kankaku, U_kyakusitu ";
}

QString sheetRaceRunSelect()
{
    return QString::fromUtf8(runColumns) + "FROM T_Rdata LEFT JOIN T_Useiseki ON T_Rdata.R_code = T_Useiseki.R_code ";
}

QString sheetSubjectRunSelect()
{
    return QString::fromUtf8(runColumns) + "FROM T_Useiseki JOIN T_Rdata ON T_Rdata.R_code = T_Useiseki.R_code ";
}

QString sheetRunOrder()
{
    return QStringLiteral(" ORDER BY R_date DESC, R_no DESC, T_Rdata.R_code, U_name");
}

namespace {
SheetRun readRun(const RecordSet& rs)
{
    SheetRun run;
    for (int i = 0; i < runFieldCount; ++i)
        run.f[size_t(i)] = rs.field(i);
    return run;
}

// A list entry joins when it differs from every entry, empty ones included; a Null never joins.
// Reading stops once the sixth entry is filled.
bool addDistinct(std::array<QString, 6>& list, int& n, const DbField& value)
{
    if (!value.isNull() && std::find(list.begin(), list.end(), value.toString()) == list.end())
        list[size_t(n++)] = value.toString();
    return n < 6;
}
}  // namespace

std::vector<SheetRun> readSubjectRuns(SheetKind kind, const QString& key)
{
    std::vector<SheetRun> runs;
    RecordSet rs(1, sheetSubjectRunSelect() + " WHERE " + sheetKeyColumn(kind) + " = ?" + sheetRunOrder(), {key});
    for (; !rs.eof(); rs.moveNext())
        runs.push_back(readRun(rs));
    return runs;
}

std::vector<const SheetRun*> runsBefore(const std::vector<SheetRun>& runs, const VbDate& raceDate)
{
    std::vector<const SheetRun*> listed;
    for (const SheetRun& run : runs)
        if (run.date() < raceDate)
            listed.push_back(&run);
    return listed;
}

SheetInputs buildSheetInputs(const std::vector<SheetRun>& runs, const QString& raceZyo, const QString& firstJockey,
                             const VbDate& raceDate)
{
    SheetInputs in;
    in.trkList[0] = raceZyo;
    in.jkList[0] = firstJockey;
    int n = 1;
    for (const SheetRun& run : runs)
        if (!addDistinct(in.trkList, n, run[fZyo]))
            break;
    n = 1;
    for (const SheetRun& run : runs) {
        if (in.jkList[0].isEmpty())
            in.jkList[0] = run[fKisyu].toString();
        if (!addDistinct(in.jkList, n, run[fKisyu]))
            break;
    }
    const VbDate from = raceDate.addDays(-365);
    double sum = 0;
    int count = 0;
    for (const SheetRun& run : runs)
        if (run.date() > from && !run[fTaizyu].isNull()) {
            sum += run[fTaizyu].toDouble();
            ++count;
        }
    if (count > 0)
        in.avgTaizyu = CLng(sum / count);
    return in;
}

void storeRunsInSlot0(const std::vector<const SheetRun*>& runs, SheetKind kind)
{
    const bool withName = kind != SheetKind::Uma;
    const bool withTrainer = kind != SheetKind::Cyoukyou;
    const int n = int(runs.size());
    if (n > pd.kakoMax) {
        if (n > pd.uDate.ubound(2))
            redimUmaPreserve(18, n);
        pd.kakoMax = n;
    }
    for (int r = 1; r <= n; ++r) {
        const SheetRun& run = *runs[size_t(r - 1)];
        pd.uDate(0, r) = run.date();
        pd.uZyo(0, r) = run[fZyo].toString();
        pd.uRaceNo(0, r) = run[fRaceNo].toInt();
        pd.uRname(0, r) = run[fRName].toString();
        if (withName)
            pd.uName(0) = run[fName].toString();
        pd.uSiba(0, r) = run[fSiba].toInt();
        pd.uKyori(0, r) = run[fKyori].toInt();
        pd.uBaba(0, r) = run[fBaba].toInt();
        pd.uSisuu(0, r) = run[fSisuu].toFloat();
        pd.uSisuu3f(0, r) = run[fSisuu3f].toFloat();
        pd.uCyaku(0, r) = run[fCyaku].toInt();
        pd.uTousuu(0, r) = run[fTousuu].toInt();
        pd.uTime(0, r) = run[fTime].toFloat();
        pd.u3f(0, r) = run[f3f].toFloat();
        pd.uCyakusa(0, r) = run[fCyakusa].toFloat();
        pd.uKisyu(0, r) = run[fKisyu].toString();
        pd.uHutan(0, r) = run[fHutan].toFloat();
        pd.uWaku(0, r) = run[fWaku].toInt();
        pd.uNo(0, r) = run[fNo].toInt();
        pd.uTaizyu(0, r) = run[fTaizyu].toInt();
        pd.uZougen(0, r) = run[fZougen].toInt();
        for (int c = 1; c <= 4; ++c)
            pd.uTuka(0, c, r) = run[RunField(fTuka1 + c - 1)].toInt();
        if (withTrainer && !run[fCyoukyou].isNull())
            pd.uCyoukyou(0, r) = run[fCyoukyou].toString();
        pd.uKankaku(0, r) = run[fKankaku].toInt();
    }
}
