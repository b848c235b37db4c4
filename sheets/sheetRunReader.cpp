#include "sheets/sheetRunReader.h"

#include "sheets/sheetStatement.h"

#include "core/raceIndexes.h"

#include <QElapsedTimer>
#include <sqlcipher/sqlite3.h>
#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

// The rows of the subject's runs by the code of their race, asked once for each race of the file.
// Most races are not the subject's: a bit per hash, small enough to stay in the processor's cache,
// turns them away before the map (whose nodes lie all over memory) is looked at. A race's runs
// are then read by their row numbers, without a search of the subject's index for each race.
class SubjectRuns {
public:
    // The rows come in the order of the subject's index: those of one race one after another.
    void add(std::string_view code, int64_t row)
    {
        if (codes_.empty() || codes_.back() != code) {
            codes_.emplace_back(code);
            races_.emplace(codes_.back(), Span {rows_.size(), 0});
            const size_t bit = hashBit(code);
            bits_[bit / 64] |= uint64_t(1) << (bit % 64);
        }
        rows_.push_back(row);
        ++races_[codes_.back()].count;
    }
    size_t size() const { return rows_.size(); }
    bool has(std::string_view code) const
    {
        const size_t bit = hashBit(code);
        return (bits_[bit / 64] >> (bit % 64) & 1) != 0 && races_.count(code) > 0;
    }
    // The rows of the subject's runs in that race.
    std::span<const int64_t> rows(std::string_view code) const
    {
        const auto it = races_.find(code);
        if (it == races_.end())
            return {};
        return std::span(rows_).subspan(it->second.first, it->second.count);
    }

private:
    struct Span {
        size_t first, count;
    };
    size_t hashBit(std::string_view code) const
    {
        return std::hash<std::string_view> {}(code) & (bits_.size() * 64 - 1);
    }

    std::deque<std::string> codes_;
    std::unordered_map<std::string_view, Span> races_;
    std::vector<int64_t> rows_;
    std::vector<uint64_t> bits_ = std::vector<uint64_t>(size_t(1) << 13);
};

// The subject's races newest first, their columns from the day index alone: every race day by day,
// kept when the subject ran in it. The index gives the races of one day and number in descending
// code order; they are handed on in ascending order.
//
// Between slices the walk lets go of its statement: a statement part way through its rows keeps
// the file's read lock, and in a rollback journal that keeps the program's own writes out. It then
// goes on after the last race it read, found again through the index.
class SubjectRaces {
public:
    // The connection's function sheet_ran(code) tells the subject's races.
    SubjectRaces(const Connection& c)
        : connection_(c), races_(c, "SELECT " + raceColumns() + " FROM T_Rdata INDEXED BY T_Rdata_race_day WHERE "
                                     "sheet_ran(R_code)" + order())
    {
        races_.start({});
    }
    bool next()
    {
        if (!group_.empty())
            group_.pop_back();
        if (group_.empty())
            fillGroup();
        return !group_.empty();
    }
    // The race's own columns (fRCode to fTousuu) of a run.
    const SheetRun& race() const { return group_.back(); }
    QByteArray code() const { return group_.back()[fRCode].toString().toUtf8(); }
    // Lets go of the statement until the next race is asked for.
    void pause()
    {
        if (!ended_)
            statement().start({});
        paused_ = !ended_;
    }

private:
    struct ValueFree {
        void operator()(sqlite3_value* v) const { sqlite3_value_free(v); }
    };
    using Value = std::unique_ptr<sqlite3_value, ValueFree>;
    // The columns of the day index's order among the race columns.
    static constexpr int keyColumns[] = {fDate, fRaceNo, fRCode};

    static QString raceColumns()
    {
        return sheetRunColumns().section(',', fRCode, fTousuu);
    }
    static QString order() { return QStringLiteral(" ORDER BY R_date DESC, R_no DESC, R_code DESC"); }
    static bool sameDayAndNumber(const SheetRun& a, const SheetRun& b)
    {
        return a[fDate].toString() == b[fDate].toString() && a[fRaceNo].isNull() == b[fRaceNo].isNull()
            && a[fRaceNo].toDouble() == b[fRaceNo].toDouble();
    }
    SheetStatement& statement() { return after_ ? *after_ : races_; }
    // The same walk from the race after (date, number, code) = (?1, ?2, ?3) in the index's order,
    // where a Null number comes after every other of its day.
    void resume()
    {
        if (!after_)
            after_ = std::make_unique<SheetStatement>(
                connection_, "SELECT " + raceColumns() + " FROM T_Rdata INDEXED BY T_Rdata_race_day WHERE R_date <= ?1 "
                             "AND (R_date < ?1 OR R_no < ?2 OR R_no IS NULL AND ?2 IS NOT NULL OR R_no IS ?2 AND R_code < ?3) "
                             "AND sheet_ran(R_code)" + order());
        after_->start({});
        for (int i = 0; i < int(std::size(keyColumns)); ++i)
            if (sqlite3_bind_value(after_->get(), i + 1, last_[size_t(i)].get()) != SQLITE_OK)
                connection_.throwLastError();
        paused_ = false;
    }
    // The next race of the walk, its key kept.
    bool step(SheetRun& race)
    {
        if (paused_)
            resume();
        ended_ = !statement().next();
        if (ended_)
            return false;
        sqlite3_stmt* row = statement().get();
        race.readColumns(row, fRCode, fTousuu);
        for (int i = 0; i < int(std::size(keyColumns)); ++i)
            last_[size_t(i)].reset(sqlite3_value_dup(sqlite3_column_value(row, keyColumns[i] - fRCode)));
        return true;
    }
    // The subject's races of the next day and number, last in code order first.
    void fillGroup()
    {
        if (ahead_)
            group_.push_back(*std::exchange(ahead_, std::nullopt));
        for (SheetRun race; step(race); race = {}) {
            if (!group_.empty() && !sameDayAndNumber(race, group_.front())) {
                ahead_ = std::move(race);
                return;
            }
            group_.push_back(std::move(race));
        }
    }

    const Connection& connection_;
    SheetStatement races_;
    std::unique_ptr<SheetStatement> after_;
    std::array<Value, std::size(keyColumns)> last_;
    bool paused_ = false, ended_ = false;
    std::vector<SheetRun> group_;
    std::optional<SheetRun> ahead_;
};


SheetRunReader::SheetRunReader(const SheetRequest& request) : request_(request), key_(request.key.toUtf8())
{
    const Connection& slot = slotConnection(slotMain);
    auto runRows = std::make_unique<SubjectRuns>();
    if (request.kind != SheetKind::Uma && request.periodDays != 0 && hasRaceIndexes(slotMain)) {
        SheetStatement own(slot, "SELECT R_code, rowid FROM T_Useiseki WHERE " + sheetKeyColumn(request.kind)
                                      + " = ? ORDER BY R_code");
        for (own.start({key_}); own.next();) {
            const QByteArray code = own.bytes(0);
            runRows->add({code.constData(), size_t(code.size())}, sqlite3_column_int64(own.get(), 1));
        }
    }
    const int stored = int(runRows->size());
    if (stored <= sheetFirstListed) {
        readWhole();
        return;
    }
    connection_ = std::make_unique<Connection>(slot.path(), slot.key());
    raceRuns_ = std::make_unique<SheetStatement>(
        *connection_, "SELECT " + sheetRunColumns().section(',', fName, fKyakusitu)
                          + " FROM T_Useiseki WHERE rowid = ? AND " + sheetKeyColumn(request.kind) + " = ?");
    runRows_ = std::move(runRows);
    sqlite3_create_function_v2(
        connection_->handle(), "sheet_ran", 1, SQLITE_UTF8, runRows_.get(),
        [](sqlite3_context* context, int, sqlite3_value** args) {
            const auto* runRows = static_cast<const SubjectRuns*>(sqlite3_user_data(context));
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
            sqlite3_result_int(context, text && runRows->has({text, size_t(sqlite3_value_bytes(args[0]))}));
        },
        nullptr, nullptr, nullptr);
    readLists();
    walk_ = std::make_unique<SubjectRaces>(*connection_);
    readFirstPart();
}

// The statements go before the connection they run on, the connection before the subject's rows
// that its function sheet_ran reads.
SheetRunReader::~SheetRunReader()
{
    walk_.reset();
    raceRuns_.reset();
    connection_.reset();
    runRows_.reset();
}

void SheetRunReader::readWhole()
{
    runs_ = readSubjectRuns(request_.kind, request_.key);
    inputs_ = buildSheetInputs(runs_, request_.raceZyo, request_.firstJockey, request_.raceDate);
}

// Each list walks the subject's races from the newest until it is full. The tracks come from the
// day index alone; the jockey list stops at its first run when the subject is the jockey himself,
// whose every run names him.
void SheetRunReader::readLists()
{
    inputs_.trkList[0] = request_.raceZyo;
    inputs_.jkList[0] = request_.firstJockey;
    SubjectRaces tracks(*connection_);
    int n = 1;
    while (tracks.next() && addDistinct(inputs_.trkList, n, tracks.race()[fZyo])) {
    }
    SubjectRaces races(*connection_);
    SheetStatement jockeys(*connection_, subjectRunsOfRace("U_kisyu"));
    n = 1;
    bool open = true;
    while (open && races.next())
        for (jockeys.start({key_, races.code()}); open && jockeys.next();) {
            SheetRun run;
            run.readColumns(jockeys.get(), fKisyu, fKisyu);
            if (inputs_.jkList[0].isEmpty())
                inputs_.jkList[0] = run[fKisyu].toString();
            open = addDistinct(inputs_.jkList, n, run[fKisyu]) && request_.kind != SheetKind::Kisyu;
        }
}

// The subject's runs in one race by horse, found through the subject's index (the key of the
// runs would read every runner of the race).
QString SheetRunReader::subjectRunsOfRace(const QString& columns) const
{
    const QString column = sheetKeyColumn(request_.kind);
    return "SELECT " + columns + " FROM T_Useiseki INDEXED BY " + raceRunIndex(column) + " WHERE " + column
        + " = ? AND R_code = ? ORDER BY U_name";
}

// Read by their row numbers, the runs come in the file's order; they are put in the order of the
// horse's name as the column's binary order (of its UTF-8 bytes) has it.
std::vector<SheetRun> SheetRunReader::runsOfRace()
{
    std::vector<SheetRun> runs;
    const QByteArray code = walk_->code();
    for (const int64_t row : runRows_->rows({code.constData(), size_t(code.size())}))
        for (raceRuns_->start({row}, {key_}); raceRuns_->next();) {
            SheetRun& run = runs.emplace_back(walk_->race());
            run.readColumns(raceRuns_->get(), fName, fKyakusitu);
        }
    if (runs.size() > 1)
        std::sort(runs.begin(), runs.end(), [](const SheetRun& a, const SheetRun& b) {
            return a[fName].toString().toUtf8() < b[fName].toString().toUtf8();
        });
    return runs;
}

// The first part: the later runs, then the listed ones, race by race, until both the period and
// the newest year are covered and 2,000 are listed. The average weight looks at the newest year only.
void SheetRunReader::readFirstPart()
{
    int listed = 0;
    while (walk_->next()) {
        std::vector<SheetRun> race = runsOfRace();
        if (!race.empty() && !takesMore(race.front(), listed)) {
            pending_ = std::move(race);
            break;
        }
        for (SheetRun& run : race) {
            listed += run.date() < request_.raceDate ? 1 : 0;
            runs_.push_back(std::move(run));
        }
    }
    inputs_.avgTaizyu = averageTaizyu(runs_, request_.raceDate);
    if (pending_.empty())
        walk_.reset();
    else
        walk_->pause();
}

bool SheetRunReader::takesMore(const SheetRun& run, int listed) const
{
    const int32_t covered = std::max<int32_t>(365, request_.periodDays);
    return listed < sheetFirstListed || run.date() > request_.raceDate.addDays(-covered);
}

std::vector<SheetRun> SheetRunReader::nextSlice(int budgetMs)
{
    std::vector<SheetRun> slice = std::move(pending_);
    pending_.clear();
    if (!walk_)
        return slice;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < budgetMs) {
        if (!walk_->next()) {
            walk_.reset();
            break;
        }
        for (SheetRun& run : runsOfRace())
            slice.push_back(std::move(run));
    }
    if (walk_)
        walk_->pause();
    return slice;
}
