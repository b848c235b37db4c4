#include "sheets/sheetData.h"

#include "core/publicDim.h"
#include "platform/vbformat.h"

#include <algorithm>
#include <future>
#include <limits>

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

namespace {
// A subject's runs are spread over the whole run table, about one page read and decrypted per
// run: a long list is read in slices of the table at once, each on a connection and thread of
// its own, from this many runs a slice.
constexpr int kRunsPerSlice = 2000;
constexpr int kMaxSlices = 4;

// Code point order of two texts, as SQLite compares UTF-8: UTF-16 puts the characters beyond
// U+FFFF (surrogates) before U+E000..U+FFFF.
int codePointOrder(const QString& a, const QString& b)
{
    const auto rank = [](char16_t c) -> uint32_t {
        return c >= 0xD800 && c < 0xE000 ? c + 0x2000u : c >= 0xE000 ? c - 0x800u : c;
    };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i])
            return rank(a[i].unicode()) < rank(b[i].unicode()) ? -1 : 1;
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// SQLite's order of two column values: Null first, then numbers by value, then texts.
int sqlOrder(const DbField& a, const DbField& b)
{
    const auto& x = a.value().variant();
    const auto& y = b.value().variant();
    const auto kind = [](const auto& v) {
        return std::holds_alternative<std::monostate>(v) ? 0 : std::holds_alternative<QString>(v) ? 2 : 1;
    };
    if (kind(x) != kind(y))
        return kind(x) < kind(y) ? -1 : 1;
    if (kind(x) == 0)
        return 0;
    if (kind(x) == 2)
        return codePointOrder(std::get<QString>(x), std::get<QString>(y));
    const double p = a.toDouble(), q = b.toDouble();
    return p < q ? -1 : p > q ? 1 : 0;
}

// The order of sheetRunOrder(): R_date and R_no descending, then R_code and U_name.
bool runBefore(const SheetRun& a, const SheetRun& b)
{
    if (const int o = sqlOrder(a[fDate], b[fDate]))
        return o > 0;
    if (const int o = sqlOrder(a[fRaceNo], b[fRaceNo]))
        return o > 0;
    if (const int o = sqlOrder(a[fRCode], b[fRCode]))
        return o < 0;
    return sqlOrder(a[fName], b[fName]) < 0;
}

std::vector<SheetRun> readSlice(const Connection& connection, const QString& sql, const DbParams& params)
{
    std::vector<SheetRun> runs;
    for (RecordSet rs(connection, sql, params); !rs.eof(); rs.moveNext())
        runs.push_back(readRun(rs));
    return runs;
}
}  // namespace

std::vector<SheetRun> readSubjectRuns(SheetKind kind, const QString& key, int slices)
{
    const Connection& main = slotConnection(1);
    const QString where = " WHERE " + sheetKeyColumn(kind) + " = ?";
    if (slices <= 0) {
        const int stored = RecordSet(main, "SELECT COUNT(*) FROM T_Useiseki" + where, {key}).field(0).toInt();
        slices = std::clamp(stored / kRunsPerSlice, 1, kMaxSlices);
    }
    if (slices == 1)
        return readSlice(main, sheetSubjectRunSelect() + where + sheetRunOrder(), {key});
    // Slice i holds the rowids from bound(i) up to bound(i + 1) - 1; the ends take every rowid.
    const int64_t last = RecordSet(main, "SELECT MAX(rowid) FROM T_Useiseki").field(0).toDouble();
    const int64_t step = last / slices + 1;
    const auto bound = [slices, step](int i) {
        return i == 0 ? std::numeric_limits<int64_t>::min() : i == slices ? std::numeric_limits<int64_t>::max() : i * step;
    };
    const auto params = [&](int i) {
        return DbParams {key, bound(i), i + 1 == slices ? bound(i + 1) : bound(i + 1) - 1};
    };
    const QString sql = sheetSubjectRunSelect() + where
        + " AND T_Useiseki.rowid BETWEEN ? AND ?" + sheetRunOrder();
    std::vector<std::future<std::vector<SheetRun>>> others;
    for (int i = 1; i < slices; ++i)
        others.push_back(std::async(std::launch::async, [&main, sql, slice = params(i)] {
            const Connection own(main.path(), main.key());
            return readSlice(own, sql, slice);
        }));
    std::vector<SheetRun> runs = readSlice(main, sql, params(0));
    for (auto& other : others) {
        std::vector<SheetRun> more = other.get();
        const auto middle = runs.insert(runs.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        std::inplace_merge(runs.begin(), middle, runs.end(), runBefore);
    }
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
