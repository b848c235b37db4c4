#include "sheets/sheetRunReader.h"

#include "sheets/sheetStatement.h"

#include "core/raceIndexes.h"

#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>

namespace {
// One year of a person's runs through the person's index (there in the order they were stored),
// put in the order of one whole read.
class YearRuns {
public:
    YearRuns(const Connection& c, const QString& column)
        : rows_(c, "SELECT " + sheetRunColumns() + "FROM T_Useiseki INDEXED BY " + personRunIndex(column)
                       + " JOIN T_Rdata ON T_Rdata.R_code = T_Useiseki.R_code WHERE " + column + " = ?2 AND "
                       + runYearKey("T_Useiseki.R_code") + " = ?1")
    {
    }
    // Once stopped, ends early with part of the year.
    std::vector<SheetRun> read(const QByteArray& key, int year, const DbStop& stop)
    {
        std::vector<SheetRun> runs;
        for (rows_.start({year}, {key}); !stop.stopped() && rows_.next();)
            runs.emplace_back().readColumns(rows_.get(), fRCode, fKyakusitu);
        rows_.start({});  // lets go of the file's read lock, which in a rollback journal keeps writers out
        std::sort(runs.begin(), runs.end(), inWholeReadOrder);
        return runs;
    }

private:
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

    SheetStatement rows_;
};

// More threads read a whole long list sooner but slow down the first screen, whose years they read
// beside the later ones; with three the busiest person's first screen stays well under 100 ms.
constexpr int yearReadThreads = 3;
}  // namespace

// The person's years, read newest first on threads and connections of their own: most of a long
// list's time goes into decrypting its scattered pages, and that work spreads over the cores. The
// years are handed on in order, each once it is whole, up to one that fails to read; its failure
// is kept for the end.
class PersonYears {
public:
    PersonYears(const Connection& like, const QString& column, const QByteArray& key, std::vector<int> years)
        : years_(std::move(years)), read_(years_.size()), end_(years_.size())
    {
        const int threads = std::min(std::clamp(QThread::idealThreadCount(), 1, yearReadThreads), int(years_.size()));
        for (int i = 0; i < threads; ++i) {
            try {
                threads_.emplace_back([this, path = like.path(), dbKey = like.key(), column, key] {
                    readYears(path, dbKey, column, key);
                });
            } catch (const std::system_error&) {
                break;  // the threads that did start read every year
            }
        }
    }
    // Each thread stops within a row, or at once while it waits for a lock or a step.
    ~PersonYears()
    {
        stop_.stop();
        for (std::thread& thread : threads_)
            thread.join();
    }
    PersonYears(const PersonYears&) = delete;
    PersonYears& operator=(const PersonYears&) = delete;

    // False when no thread could be started: nothing is read.
    bool reading() const { return !threads_.empty(); }
    // Every year handed on, up to one that failed.
    bool handedOn() const
    {
        const std::lock_guard lock(mutex_);
        return allHanded();
    }
    // Why the year after the last handed on could not be read, once every year before it is
    // handed on; null otherwise.
    std::exception_ptr failure() const
    {
        const std::lock_guard lock(mutex_);
        return allHanded() && end_ < read_.size() ? read_[end_]->failure : nullptr;
    }
    // The next year's runs, waiting for them; nothing once every year is handed on.
    std::optional<std::vector<SheetRun>> takeYear()
    {
        std::unique_lock lock(mutex_);
        yearRead_.wait(lock, [this] { return nextRead() || allHanded(); });
        if (allHanded())
            return std::nullopt;
        return handOn();
    }
    // Adds the years read since the last call to slice, waiting up to waitMs for one when slice
    // is empty.
    void takeInto(std::vector<SheetRun>& slice, int waitMs)
    {
        std::unique_lock lock(mutex_);
        if (slice.empty())
            yearRead_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return nextRead() || allHanded(); });
        while (nextRead()) {
            std::vector<SheetRun> year = handOn();
            std::move(year.begin(), year.end(), std::back_inserter(slice));
        }
    }

private:
    // A year as read: its runs, or why they could not be read.
    struct YearRead {
        std::vector<SheetRun> runs;
        std::exception_ptr failure;
    };

    bool allHanded() const { return handed_ >= end_; }
    bool nextRead() const { return handed_ < end_ && read_[handed_]; }
    std::vector<SheetRun> handOn()
    {
        std::vector<SheetRun> runs = std::move(read_[handed_]->runs);
        read_[handed_++].reset();
        return runs;
    }
    void readYears(const QString& path, const QByteArray& dbKey, const QString& column, const QByteArray& key)
    {
        std::optional<Connection> connection;
        std::optional<YearRuns> statement;
        while (const std::optional<size_t> i = nextToRead()) {
            YearRead year;
            try {
                if (!statement) {
                    connection.emplace(path, dbKey, &stop_);
                    statement.emplace(*connection, column);
                }
                year.runs = statement->read(key, years_[*i], stop_);
            } catch (...) {
                year.failure = std::current_exception();
            }
            const bool failed = bool(year.failure);
            {
                const std::lock_guard lock(mutex_);
                read_[*i] = std::move(year);
                if (failed)
                    end_ = std::min(end_, *i);  // neither it nor a later year is handed on
            }
            yearRead_.notify_one();
            if (failed)
                return;
        }
    }
    std::optional<size_t> nextToRead()
    {
        const std::lock_guard lock(mutex_);
        if (stop_.stopped() || begun_ >= end_)
            return std::nullopt;
        return begun_++;
    }

    const std::vector<int> years_;
    std::vector<std::optional<YearRead>> read_;  // by the year's place in years_
    size_t begun_ = 0;                           // years a thread has begun reading
    size_t end_;                                 // the years to hand on: up to the first that failed
    size_t handed_ = 0;                          // by the window's thread
    DbStop stop_;
    mutable std::mutex mutex_;
    std::condition_variable yearRead_;
    std::vector<std::thread> threads_;  // last: they stop before the rest goes
};

SheetRunReader::SheetRunReader(const SheetRequest& request) : request_(request), key_(request.key.toUtf8())
{
    if (const std::optional<std::vector<int>> years = storedYears())
        years_ = startYears(*years);
    if (years_)
        readFirstPart();
    else
        readWhole();
}

SheetRunReader::~SheetRunReader() = default;

std::optional<std::vector<int>> SheetRunReader::storedYears() const
{
    if (request_.kind == SheetKind::Uma || request_.kind == SheetKind::Kextuka || request_.periodDays == 0)
        return std::nullopt;
    const Connection& slot = slotConnection(slotMain);
    if (!hasRaceIndexes(slotMain)) {
        buildRaceIndexesInBackground(slot.path(), slot.key());
        return std::nullopt;
    }
    // Counted in the index alone, without reading a run.
    const QString column = sheetKeyColumn(request_.kind);
    const QString counted = "SELECT COUNT(*) FROM T_Useiseki INDEXED BY " + personRunIndex(column) + " WHERE ";
    SheetStatement count(slot, counted + column + " = ?");
    count.start({key_}).next();
    const int stored = sqlite3_column_int(count.get(), 0);
    if (stored <= sheetFirstListed)
        return std::nullopt;
    SheetStatement inYear(slot, counted + runYearKey("R_code") + " = ?1 AND " + column + " = ?2");
    std::vector<int> years;
    int inYears = 0;
    for (int year = lastRunYearKey; year >= firstRunYearKey; --year) {
        inYear.start({year}, {key_}).next();
        if (const int runs = sqlite3_column_int(inYear.get(), 0); runs > 0) {
            years.push_back(year);
            inYears += runs;
        }
    }
    // A race code without a two-digit year has a key of no year: such a list is read whole.
    if (inYears != stored)
        return std::nullopt;
    return years;
}

void SheetRunReader::readWhole()
{
    runs_ = readSubjectRuns(request_.kind, request_.key);
    inputs_ = buildSheetInputs(runs_, request_.raceZyo, request_.firstJockey, request_.raceDate);
}

// Without a thread to read them on, the list is read whole on the caller's.
std::unique_ptr<PersonYears> SheetRunReader::startYears(const std::vector<int>& years) const
{
    auto started = std::make_unique<PersonYears>(slotConnection(slotMain), sheetKeyColumn(request_.kind), key_, years);
    return started->reading() ? std::move(started) : nullptr;
}

// The first part: the later runs, then the listed ones, until both the period and the newest year
// are covered and 2,000 are listed; then on for the lists while they are not full. The threads go
// on reading the older years meanwhile.
void SheetRunReader::readFirstPart()
{
    // True once more than n runs are ahead, taking years for them.
    const auto ahead = [&](size_t n) {
        while (ahead_.size() <= n)
            if (std::optional<std::vector<SheetRun>> year = years_->takeYear())
                std::move(year->begin(), year->end(), std::back_inserter(ahead_));
            else
                break;
        return ahead_.size() > n;
    };
    SheetListFill lists(request_.raceZyo, request_.firstJockey, request_.kind == SheetKind::Kisyu);
    const VbDate covered = request_.raceDate.addDays(-std::max<int32_t>(365, request_.periodDays));
    int listed = 0;
    while (ahead(0) && !(listed >= sheetFirstListed && !(ahead_.front().date() > covered))) {
        lists.add(ahead_.front());
        listed += ahead_.front().date() < request_.raceDate ? 1 : 0;
        runs_.push_back(std::move(ahead_.front()));
        ahead_.pop_front();
    }
    for (size_t i = 0; !lists.full() && ahead(i); ++i)
        lists.add(ahead_[i]);
    lists.fillIn(inputs_);
    inputs_.avgTaizyu = averageTaizyu(runs_, request_.raceDate);
}

bool SheetRunReader::complete() const
{
    return ahead_.empty() && (!years_ || years_->handedOn());
}

std::vector<SheetRun> SheetRunReader::nextSlice(int budgetMs)
{
    std::vector<SheetRun> slice(std::make_move_iterator(ahead_.begin()), std::make_move_iterator(ahead_.end()));
    ahead_.clear();
    if (years_)
        years_->takeInto(slice, budgetMs);
    return slice;
}

void SheetRunReader::rethrowFailure() const
{
    if (const std::exception_ptr failure = years_ ? years_->failure() : nullptr)
        std::rethrow_exception(failure);
}
