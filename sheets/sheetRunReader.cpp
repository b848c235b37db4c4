#include "sheets/sheetRunReader.h"

#include "sheets/sheetStatement.h"

#include "core/raceIndexes.h"

#include <QElapsedTimer>

namespace {
// The subject's runs in the order of one whole read: by the race code's day and number (those of
// the race row, which the code is made of), then by code and horse.
QString subjectRunsNewestFirst(const QString& column, const QString& after = {})
{
    return "SELECT " + sheetRunColumns() + "FROM T_Useiseki INDEXED BY " + personRunIndex(column)
        + " JOIN T_Rdata ON T_Rdata.R_code = T_Useiseki.R_code WHERE " + column + " = ?1" + after + " ORDER BY "
        + runDayKey("T_Useiseki.R_code") + " DESC, T_Rdata.R_code, U_name";
}

// The same, from the run after the run of race ?2 and horse ?3 in that order.
QString subjectRunsAfter(const QString& column)
{
    const QString day = runDayKey("T_Useiseki.R_code"), lastDay = runDayKey("?2");
    return subjectRunsNewestFirst(column, " AND " + day + " <= " + lastDay + " AND (" + day + " < " + lastDay
                                              + " OR T_Rdata.R_code > ?2 OR T_Rdata.R_code = ?2 AND U_name > ?3)");
}

QByteArray copyOf(const QByteArray& bytes)
{
    return QByteArray(bytes.constData(), bytes.size());
}
}  // namespace

SheetRunReader::SheetRunReader(const SheetRequest& request) : request_(request), key_(request.key.toUtf8())
{
    const std::optional<int> stored = storedRuns();
    if (!stored || *stored <= sheetFirstListed)
        readWhole();
    else
        readFirstPart();
}

// The statement goes before the connection it runs on.
SheetRunReader::~SheetRunReader()
{
    rows_.reset();
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
    rows_ = std::make_unique<SheetStatement>(*connection_, subjectRunsNewestFirst(sheetKeyColumn(request_.kind)));
    rows_->start({key_});
    SheetListFill lists(request_.raceZyo, request_.firstJockey, request_.kind == SheetKind::Kisyu);
    const VbDate covered = request_.raceDate.addDays(-std::max<int32_t>(365, request_.periodDays));
    int listed = 0;
    while (std::optional<SheetRun> run = nextRow()) {
        lists.add(*run);
        if (listed >= sheetFirstListed && !(run->date() > covered)) {
            ahead_.push_back(std::move(*run));
            break;
        }
        listed += run->date() < request_.raceDate ? 1 : 0;
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
    pause();
}

// The next run of the subject's; none at the end, where the reading and its connection end.
std::optional<SheetRun> SheetRunReader::nextRow()
{
    if (!rows_)
        return std::nullopt;
    if (paused_) {
        rows_->start({key_, lastCode_, lastName_});
        paused_ = false;
    }
    if (!rows_->next()) {
        rows_.reset();
        connection_.reset();
        return std::nullopt;
    }
    SheetRun run;
    run.readColumns(rows_->get(), fRCode, fKyakusitu);
    lastCode_ = copyOf(rows_->bytes(fRCode));
    lastName_ = copyOf(rows_->bytes(fName));
    return run;
}

// Between slices the reading holds no statement part way through its rows: one would keep the
// file's read lock, and in a rollback journal that keeps the program's own writes out. It goes on
// after the last run read, found again through the person's index.
void SheetRunReader::pause()
{
    if (!rows_)
        return;
    if (resumable_)
        rows_->start({});
    else
        rows_ = std::make_unique<SheetStatement>(*connection_, subjectRunsAfter(sheetKeyColumn(request_.kind)));
    resumable_ = paused_ = true;
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
    pause();
    return slice;
}
