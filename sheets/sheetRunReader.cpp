#include "sheets/sheetRunReader.h"

#include "sheets/sheetStatement.h"

#include "core/raceIndexes.h"

#include <QElapsedTimer>
#include <algorithm>
#include <iterator>

// The subject's runs newest first, a year at a time: the person's index gives a year's runs in the
// order they were stored, and once the year is read they are put in the order of one whole read.
//
// Between slices the reading lets go of its statement: one part way through its rows keeps the
// file's read lock, and in a rollback journal that keeps the program's own writes out. It then goes
// on after the last row read (its year and row number, in the index's order).
class RunsByYear {
public:
    RunsByYear(const Connection& c, const QString& column, const QByteArray& key)
        : connection_(c), column_(column), key_(key), rows_(std::make_unique<SheetStatement>(c, query("?", {})))
    {
        rows_->start({key});
    }
    bool exhausted() const { return exhausted_ && ready_.empty(); }
    // The runs of the years read so far, in order.
    std::deque<SheetRun>& ready() { return ready_; }
    // Reads one row; a row of the next year (or the end) puts the year before in order.
    void readRow()
    {
        if (exhausted_)
            return;
        if (paused_)
            resume();
        if (!rows_->next()) {
            exhausted_ = true;
            finishYear();
            return;
        }
        sqlite3_stmt* row = rows_->get();
        const int year = sqlite3_column_int(row, fKyakusitu + 1);
        if (year != year_)
            finishYear();
        year_ = year;
        rowid_ = sqlite3_column_int64(row, fKyakusitu + 2);
        yearRuns_.emplace_back().readColumns(row, fRCode, fKyakusitu);
    }
    // Lets go of the statement until the next row is asked for.
    void pause()
    {
        if (exhausted_)
            return;
        rows_->start({});
        paused_ = true;
    }

private:
    // Within a year the index holds the rows by row number.
    QString query(const QString& keyParameter, const QString& after) const
    {
        const QString year = runYearKey("T_Useiseki.R_code");
        return "SELECT " + sheetRunColumns() + ", " + year + ", T_Useiseki.rowid FROM T_Useiseki INDEXED BY "
            + personRunIndex(column_) + " JOIN T_Rdata ON T_Rdata.R_code = T_Useiseki.R_code WHERE " + column_ + " = " + keyParameter
            + after + " ORDER BY " + year + " DESC, T_Useiseki.rowid DESC";
    }
    // On after the last row read: the rest of its year, then the years before.
    void resume()
    {
        if (!resumed_) {
            const QString year = runYearKey("T_Useiseki.R_code");
            rows_ = std::make_unique<SheetStatement>(
                connection_, query("?3", " AND " + year + " <= ?1 AND (" + year + " < ?1 OR T_Useiseki.rowid < ?2)"));
            resumed_ = true;
        }
        rows_->start({year_, rowid_}, {key_});
        paused_ = false;
    }
    void finishYear()
    {
        std::sort(yearRuns_.begin(), yearRuns_.end(), inWholeReadOrder);
        std::move(yearRuns_.begin(), yearRuns_.end(), std::back_inserter(ready_));
        yearRuns_.clear();
    }
    // As sheetRunOrder() sorts: the later day, the later race, then the code and the horse as
    // their UTF-8 bytes compare; a race without number after those with one.
    static bool inWholeReadOrder(const SheetRun& a, const SheetRun& b)
    {
        if (a.date() != b.date())
            return b.date() < a.date();
        if (a[fRaceNo].isNull() != b[fRaceNo].isNull())
            return b[fRaceNo].isNull();
        if (a[fRaceNo].toDouble() != b[fRaceNo].toDouble())
            return a[fRaceNo].toDouble() > b[fRaceNo].toDouble();
        const int code = qstrcmp(a[fRCode].toString().toUtf8(), b[fRCode].toString().toUtf8());
        return code != 0 ? code < 0 : a[fName].toString().toUtf8() < b[fName].toString().toUtf8();
    }

    const Connection& connection_;
    QString column_;
    QByteArray key_;
    std::unique_ptr<SheetStatement> rows_;
    int year_ = -1;
    int64_t rowid_ = 0;
    bool paused_ = false, resumed_ = false;
    std::vector<SheetRun> yearRuns_;
    std::deque<SheetRun> ready_;
    bool exhausted_ = false;
};

SheetRunReader::SheetRunReader(const SheetRequest& request) : request_(request), key_(request.key.toUtf8())
{
    const std::optional<int> stored = storedRuns();
    if (!stored || *stored <= sheetFirstListed)
        readWhole();
    else
        readFirstPart();
}

// The statements go before the connection they run on.
SheetRunReader::~SheetRunReader()
{
    byYear_.reset();
    connection_.reset();
}

std::optional<int> SheetRunReader::storedRuns() const
{
    if (request_.kind == SheetKind::Uma || request_.kind == SheetKind::Kextuka || request_.periodDays == 0)
        return std::nullopt;
    const Connection& slot = slotConnection(slotMain);
    if (!hasRaceIndexes(slotMain)) {
        buildRaceIndexesInBackground(slot.path(), slot.key());
        return std::nullopt;
    }
    const QString column = sheetKeyColumn(request_.kind);
    SheetStatement count(slot, "SELECT COUNT(*) FROM T_Useiseki INDEXED BY " + personRunIndex(column) + " WHERE "
                                   + column + " = ?");
    count.start({key_}).next();
    return sqlite3_column_int(count.get(), 0);
}

void SheetRunReader::readWhole()
{
    runs_ = readSubjectRuns(request_.kind, request_.key);
    inputs_ = buildSheetInputs(runs_, request_.raceZyo, request_.firstJockey, request_.raceDate);
}

// The first part: the later runs, then the listed ones, until both the period and the newest year
// are covered and 2,000 are listed; then on for the lists while they are not full.
void SheetRunReader::readFirstPart()
{
    const Connection& slot = slotConnection(slotMain);
    connection_ = std::make_unique<Connection>(slot.path(), slot.key());
    byYear_ = std::make_unique<RunsByYear>(*connection_, sheetKeyColumn(request_.kind), key_);
    SheetListFill lists(request_.raceZyo, request_.firstJockey, request_.kind == SheetKind::Kisyu);
    const VbDate covered = request_.raceDate.addDays(-std::max<int32_t>(365, request_.periodDays));
    int listed = 0;
    while (std::optional<SheetRun> run = nextRun()) {
        lists.add(*run);
        if (listed >= sheetFirstListed && !(run->date() > covered)) {
            ahead_.push_back(std::move(*run));
            break;
        }
        listed += run->date() < request_.raceDate ? 1 : 0;
        runs_.push_back(std::move(*run));
    }
    while (!lists.full())
        if (std::optional<SheetRun> run = nextRun()) {
            lists.add(*run);
            ahead_.push_back(std::move(*run));
        } else {
            break;
        }
    lists.fillIn(inputs_);
    inputs_.avgTaizyu = averageTaizyu(runs_, request_.raceDate);
    byYear_->pause();
}

// The next run of the subject's, reading on to the end of its year; none at the end.
std::optional<SheetRun> SheetRunReader::nextRun()
{
    while (byYear_->ready().empty() && !byYear_->exhausted())
        byYear_->readRow();
    if (byYear_->ready().empty())
        return std::nullopt;
    SheetRun run = std::move(byYear_->ready().front());
    byYear_->ready().pop_front();
    return run;
}

bool SheetRunReader::complete() const
{
    return ahead_.empty() && (!byYear_ || byYear_->exhausted());
}

// A slice reads rows for its time, and hands on the years it finished.
std::vector<SheetRun> SheetRunReader::nextSlice(int budgetMs)
{
    std::vector<SheetRun> slice(std::make_move_iterator(ahead_.begin()), std::make_move_iterator(ahead_.end()));
    ahead_.clear();
    QElapsedTimer clock;
    clock.start();
    while (byYear_ && !byYear_->exhausted() && byYear_->ready().empty() && clock.elapsed() < budgetMs)
        byYear_->readRow();
    if (byYear_) {
        std::deque<SheetRun>& ready = byYear_->ready();
        std::move(ready.begin(), ready.end(), std::back_inserter(slice));
        ready.clear();
        if (byYear_->exhausted()) {
            byYear_.reset();
            connection_.reset();
        } else {
            byYear_->pause();
        }
    }
    return slice;
}
