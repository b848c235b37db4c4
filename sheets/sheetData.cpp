#include "sheets/sheetData.h"

#include "platform/vbformat.h"
#include "sheets/sheetStatement.h"

#include <sqlcipher/sqlite3.h>
#include <algorithm>
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
    "T_Rdata.R_code, R_date, R_zyo, R_no, R_name, R_siba, R_kyori, R_baba, R_tousuu, U_name, "
    "U_sisuu, U_sisuu3f, U_file, U_cyaku, U_time, U_3f, U_cyakusa, U_kisyu, U_hutan, U_waku, U_no, "
    "U_taizyu, U_zougen, U_tuka01, U_tuka02, U_tuka03, U_tuka04, U_cyoukyou, U_kankaku, U_kyakusitu ";
}

QString sheetRunColumns()
{
    return QString::fromUtf8(runColumns);
}

QString sheetRaceRunSelect()
{
    return "SELECT " + sheetRunColumns() + "FROM T_Rdata LEFT JOIN T_Useiseki ON T_Rdata.R_code = T_Useiseki.R_code ";
}

QString sheetSubjectRunSelect()
{
    return "SELECT " + sheetRunColumns() + "FROM T_Useiseki JOIN T_Rdata ON T_Rdata.R_code = T_Useiseki.R_code ";
}

QString sheetRunOrder()
{
    return QStringLiteral(" ORDER BY R_date DESC, R_no DESC, T_Rdata.R_code, U_name");
}

namespace {
constexpr bool isTextField(RunField f)
{
    return f == fRCode || f == fDate || f == fZyo || f == fRName || f == fName || f == fKisyu || f == fCyoukyou
        || f == fKyakusitu;
}

// A field added to the texts needs a place among them, and every field needs its Null bit and its
// real-number bit.
constexpr int textFieldCount = [] {
    int n = 0;
    for (int i = 0; i < runFieldCount; ++i)
        n += isTextField(RunField(i)) ? 1 : 0;
    return n;
}();
static_assert(textFieldCount == SheetRun::textCount, "SheetRun::textCount must count the text fields");
static_assert(runFieldCount < std::numeric_limits<SheetRun::FieldBits>::digits, "a Null bit for every field");

// Each field's place among the texts or among the numbers.
constexpr std::array<int8_t, runFieldCount> fieldSlots = [] {
    std::array<int8_t, runFieldCount> places {};
    int8_t texts = 0, numbers = 0;
    for (int i = 0; i < runFieldCount; ++i)
        places[size_t(i)] = isTextField(RunField(i)) ? texts++ : numbers++;
    return places;
}();

QString columnText(sqlite3_stmt* stmt, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)), sqlite3_column_bytes(stmt, i));
}

DbValue columnValue(sqlite3_stmt* stmt, int i, int type)
{
    if (type == SQLITE_INTEGER)
        return DbValue(int64_t(sqlite3_column_int64(stmt, i)));
    if (type == SQLITE_FLOAT)
        return DbValue(sqlite3_column_double(stmt, i));
    return DbValue(columnText(stmt, i));
}

}  // namespace

int SheetRun::slotOf(RunField field, bool& text)
{
    text = isTextField(field);
    return fieldSlots[size_t(field)];
}

bool SheetValue::isNull() const
{
    return run_.nulls_ & (1u << field_);
}

double SheetValue::toDouble() const
{
    bool text = false;
    const int slot = SheetRun::slotOf(field_, text);
    if (isNull())
        return 0.0;
    return text ? DbField(DbValue(run_.texts_[size_t(slot)])).toDouble() : run_.numbers_[size_t(slot)];
}

int32_t SheetValue::toInt() const
{
    return CLng(toDouble());
}

float SheetValue::toFloat() const
{
    return float(toDouble());
}

bool SheetValue::toBool() const
{
    bool text = false;
    const int slot = SheetRun::slotOf(field_, text);
    return text ? DbField(DbValue(run_.texts_[size_t(slot)])).toBool() : toDouble() != 0.0;
}

QString SheetValue::toString() const
{
    bool text = false;
    const int slot = SheetRun::slotOf(field_, text);
    if (isNull())
        return {};
    if (text)
        return run_.texts_[size_t(slot)];
    const double v = run_.numbers_[size_t(slot)];
    return DbField(run_.reals_ & (1u << field_) ? DbValue(v) : DbValue(int64_t(v))).toString();
}

void SheetRun::set(RunField field, const DbValue& value)
{
    const uint32_t bit = 1u << field;
    nulls_ = value.isNull() ? nulls_ | bit : nulls_ & ~bit;
    reals_ = std::holds_alternative<double>(value.variant()) ? reals_ | bit : reals_ & ~bit;
    bool text = false;
    const int slot = slotOf(field, text);
    const DbField f(value);
    if (text)
        texts_[size_t(slot)] = f.toString();
    else
        numbers_[size_t(slot)] = f.toDouble();
    if (field == fDate)
        date_ = f.toDate();
}

void SheetRun::readColumns(sqlite3_stmt* stmt, RunField first, RunField last)
{
    for (int i = first; i <= last; ++i) {
        const RunField field = RunField(i);
        const int col = i - first;
        const int type = sqlite3_column_type(stmt, col);
        bool text = false;
        const int slot = slotOf(field, text);
        if (text && type == SQLITE_TEXT && field != fDate) {
            nulls_ &= ~(1u << field);
            texts_[size_t(slot)] = columnText(stmt, col);
        } else if (!text && (type == SQLITE_INTEGER || type == SQLITE_FLOAT)) {
            nulls_ &= ~(1u << field);
            reals_ = type == SQLITE_FLOAT ? reals_ | (1u << field) : reals_ & ~(1u << field);
            numbers_[size_t(slot)] = sqlite3_column_double(stmt, col);
        } else {
            set(field, type == SQLITE_NULL ? DbValue() : columnValue(stmt, col, type));
        }
    }
}

bool addDistinct(std::array<QString, 6>& list, int& n, const SheetValue& value)
{
    if (!value.isNull() && std::find(list.begin(), list.end(), value.toString()) == list.end())
        list[size_t(n++)] = value.toString();
    return n < 6;
}

std::vector<SheetRun> readSubjectRuns(SheetKind kind, const QString& key)
{
    std::vector<SheetRun> runs;
    SheetStatement rows(slotConnection(slotMain), sheetSubjectRunSelect() + " WHERE " + sheetKeyColumn(kind) + " = ?" + sheetRunOrder());
    for (rows.start({key.toUtf8()}); rows.next();)
        runs.emplace_back().readColumns(rows.get(), fRCode, fKyakusitu);
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

SheetRunList listedRuns(std::vector<SheetRun> runs, const VbDate& raceDate)
{
    std::erase_if(runs, [&raceDate](const SheetRun& run) { return !(run.date() < raceDate); });
    return std::make_shared<const std::vector<SheetRun>>(std::move(runs));
}

std::vector<const SheetRun*> pointersTo(const std::vector<SheetRun>& runs)
{
    std::vector<const SheetRun*> pointers;
    pointers.reserve(runs.size());
    for (const SheetRun& run : runs)
        pointers.push_back(&run);
    return pointers;
}

SheetListFill::SheetListFill(const QString& raceZyo, const QString& firstJockey, bool subjectIsJockey)
    : subjectIsJockey_(subjectIsJockey)
{
    lists_.trkList[0] = raceZyo;
    lists_.jkList[0] = firstJockey;
}

void SheetListFill::add(const SheetRun& run)
{
    if (!tracksFull_)
        tracksFull_ = !addDistinct(lists_.trkList, tracks_, run[fZyo]);
    if (!jockeysFull_) {
        if (lists_.jkList[0].isEmpty())
            lists_.jkList[0] = run[fKisyu].toString();
        jockeysFull_ = !addDistinct(lists_.jkList, jockeys_, run[fKisyu]);
    }
    added_ = true;
}

void SheetListFill::fillIn(SheetInputs& inputs) const
{
    inputs.trkList = lists_.trkList;
    inputs.jkList = lists_.jkList;
}

SheetInputs buildSheetInputs(const std::vector<SheetRun>& runs, const QString& raceZyo, const QString& firstJockey,
                             const VbDate& raceDate)
{
    SheetInputs in;
    SheetListFill lists(raceZyo, firstJockey);
    for (auto run = runs.begin(); run != runs.end() && !lists.full(); ++run)
        lists.add(*run);
    lists.fillIn(in);
    in.avgTaizyu = averageTaizyu(runs, raceDate);
    return in;
}

int32_t averageTaizyu(const std::vector<SheetRun>& runs, const VbDate& raceDate)
{
    const VbDate from = raceDate.addDays(-365);
    double sum = 0;
    int count = 0;
    for (const SheetRun& run : runs)
        if (run.date() > from && !run[fTaizyu].isNull()) {
            sum += run[fTaizyu].toDouble();
            ++count;
        }
    return count > 0 ? CLng(sum / count) : 0;
}
