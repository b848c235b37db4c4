#include "sheets/sheetRunReader.h"

#include "sheets/sheetStatement.h"

#include "core/raceIndexes.h"

#include <QElapsedTimer>

namespace {
// The subject's runs in the order of one whole read: by the race code's day and number (those of
// the race row, which the code is made of), then by code and horse.
QString subjectRunsNewestFirst(const QString& column)
{
    return "SELECT " + sheetRunColumns() + "FROM T_Useiseki INDEXED BY " + personRunIndex(column)
        + " JOIN T_Rdata ON T_Rdata.R_code = T_Useiseki.R_code WHERE " + column + " = ? ORDER BY "
        + runDayKey("T_Useiseki.R_code") + " DESC, T_Rdata.R_code, U_name";
}
}  // namespace

SheetRunReader::SheetRunReader(const SheetRequest& request) : request_(request), key_(request.key.toUtf8())
{
    const std::optional<int> stored = storedRuns();
    if (!stored || *stored <= sheetFirstListed)
        readWhole();
    else
        readFirstPart(*stored);
}

SheetRunReader::~SheetRunReader() = default;

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
    expectedListed_ = int(runsBefore(runs_, request_.raceDate).size());
}

// The first part: the later runs, then the listed ones, until both the period and the newest year
// are covered and 2,000 are listed; then on for the lists while they are not full.
void SheetRunReader::readFirstPart(int stored)
{
    const Connection& slot = slotConnection(slotMain);
    connection_ = std::make_unique<Connection>(slot.path(), slot.key());
    rows_ = std::make_unique<SheetStatement>(*connection_, subjectRunsNewestFirst(sheetKeyColumn(request_.kind)));
    rows_->start({key_});
    SheetListFill lists(request_.raceZyo, request_.firstJockey, request_.kind == SheetKind::Kisyu);
    const VbDate covered = request_.raceDate.addDays(-std::max<int32_t>(365, request_.periodDays));
    int listed = 0, later = 0;
    while (std::optional<SheetRun> run = nextRow()) {
        lists.add(*run);
        if (listed >= sheetFirstListed && !(run->date() > covered)) {
            ahead_.push_back(std::move(*run));
            break;
        }
        (run->date() < request_.raceDate ? listed : later) += 1;
        runs_.push_back(std::move(*run));
    }
    while (!lists.full())
        if (std::optional<SheetRun> run = nextRow()) {
            lists.add(*run);
            ahead_.push_back(std::move(*run));
        } else {
            break;
        }
    lists.fillIn(inputs_);
    inputs_.avgTaizyu = averageTaizyu(runs_, request_.raceDate);
    expectedListed_ = stored - later;
}

// The next run of the subject's; none at the end, where the reading and its connection end.
std::optional<SheetRun> SheetRunReader::nextRow()
{
    if (!rows_)
        return std::nullopt;
    if (!rows_->next()) {
        rows_.reset();
        connection_.reset();
        return std::nullopt;
    }
    SheetRun run;
    run.readColumns(rows_->get(), fRCode, fKyakusitu);
    return run;
}

std::vector<SheetRun> SheetRunReader::nextSlice(int budgetMs)
{
    std::vector<SheetRun> slice(std::make_move_iterator(ahead_.begin()), std::make_move_iterator(ahead_.end()));
    ahead_.clear();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < budgetMs)
        if (std::optional<SheetRun> run = nextRow())
            slice.push_back(std::move(*run));
        else
            break;
    return slice;
}
