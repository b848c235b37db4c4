#pragma once
// The database layer: six shared connection slots over SQLite/SQLCipher, record sets
// read by column name, and row writers. Every value is a bound parameter; identifiers
// are quoted, so "R_cyaku(1)" is a column name and a horse name with ' is just text.
#include "platform/vbdate.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <variant>
#include <vector>

struct sqlite3;
class StatementCache;
class StatementLease;

// One value for a parameter or a column: Null, whole number, real, text or date.
class DbValue {
public:
    DbValue() = default;  // Null
    DbValue(int v) : v_(int64_t(v)) {}
    DbValue(int64_t v) : v_(v) {}
    DbValue(bool v) : v_(int64_t(v ? 1 : 0)) {}
    DbValue(double v) : v_(v) {}
    DbValue(float v) : v_(double(v)) {}
    DbValue(const QString& v) : v_(v) {}
    DbValue(const char* v) : v_(QString::fromUtf8(v)) {}
    DbValue(const VbDate& v) : v_(v) {}
    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    const auto& variant() const { return v_; }

private:
    std::variant<std::monostate, int64_t, double, QString, VbDate> v_;
};
using DbParams = std::vector<DbValue>;

// A column value as read. Null reads as 0, 0.0, "", false or the zero date; isNull() tells.
class DbField {
public:
    DbField() = default;
    explicit DbField(DbValue v) : v_(std::move(v)) {}
    bool isNull() const { return v_.isNull(); }
    int32_t toInt() const;     // real values round halves to even
    float toFloat() const;
    double toDouble() const;
    bool toBool() const;
    QString toString() const;  // numbers as decimal text
    VbDate toDate() const;     // stored "yyyy-mm-dd" text
    const DbValue& value() const { return v_; }

private:
    DbValue v_;
};

// Lets another thread stop the work of the connections opened with it: a wait for a lock ends at
// once, and a statement under way fails as interrupted. What they were doing is left unfinished.
class DbStop {
public:
    DbStop() = default;
    DbStop(const DbStop&) = delete;
    DbStop& operator=(const DbStop&) = delete;
    // From any thread; for good.
    void stop();
    bool stopped() const { return stopped_; }

private:
    friend class Connection;
    void hold(sqlite3* db);
    void release(sqlite3* db);

    std::atomic<bool> stopped_ {false};
    std::mutex mutex_;
    std::vector<sqlite3*> open_;  // the connections a stop interrupts
};

class Connection {
public:
    // Throws VbError on failure. Opened with a stop, its waits and statements end once it is
    // stopped; without one, a wait for a lock lasts up to the command time-out.
    Connection(const QString& path, const QByteArray& rawKey, DbStop* stop = nullptr);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    sqlite3* handle() const { return db_; }
    const QString& path() const { return path_; }
    // The raw key it was opened with.
    const QByteArray& key() const { return key_; }
    // Runs one statement that returns no rows.
    void execute(const QString& sql, const DbParams& params = {});
    // Rows changed by the last statement.
    int changes() const;
    // Throws the last failure on this connection with its cause, as every call here does (for
    // code that steps its own statements).
    [[noreturn]] void throwLastError() const;

private:
    friend class StatementLease;
    sqlite3* db_ = nullptr;
    QString path_;
    QByteArray key_;
    DbStop* stop_;
    std::shared_ptr<StatementCache> statements_;
};

// Called, on the waiting connection's thread, at every try of a connection that waits for a lock
// that another connection of the process or another process holds; true when work of this
// process holds it and is letting it go, so that the wait goes on past the command time-out.
// nullptr for none.
void setLockWaitHook(bool (*hook)());
// The folder SQLite writes its temporary files in (a sort too large for its memory), found as
// SQLite finds it on a Unix: the first folder this process may write of the one a statement set,
// SQLITE_TMPDIR, TMPDIR, /var/tmp, /usr/tmp and /tmp, else the current folder.
QString sqliteTempFolder();

// The six slots `cnDB` (0..5) by what they hold; slots 4 and 5 are spare.
enum DbSlot : int {
    // The tools (the data-file tool, the demo server's track files), never the program.
    slotTools = 0,
    // The first file of a procedure: in a race read the track file while a history is parsed and
    // its indices computed, the race database while a history is stored; the sheets, the course
    // table and the comments; the track file of the results import; an administration tool's first.
    slotMain = 1,
    // The file beside it: jraGraph.dat for a central run's index and the track file for the draw
    // and jockey factors in a race read; the race database of the results import; an
    // administration tool's second.
    slotSide = 2,
    // An administration tool's third file (the track file it writes).
    slotExtra = 3,
};
extern std::array<std::unique_ptr<Connection>, 6> cnDB;

// Opens the slot on an existing file (never creates one). The password is the SQLCipher key;
// "" opens a plain SQLite file. On any failure shows "dataファイルが開けません" with the file and
// why on the lines below (OK only) and leaves the slot closed; in debug mode the error is thrown
// instead.
void openDb(int slot, const QString& path, const QString& password);
// That message for a file that did not open with this error.
QString dbOpenFailureText(const QString& path, const std::exception& error);
// Same, but throws VbError on failure and shows nothing (for checks that report their own way).
void openDbOrThrow(int slot, const QString& path, const QString& password);
void closeDb(int slot);
bool isDbOpen(int slot);
// The open connection of a slot; VbError 91 when the slot is closed.
Connection& slotConnection(int slot);

// The file and why it refused a write, on two lines, for the message of the work that wrote.
QString dbWriteFailureLines(const QString& path, const std::exception& error);
// Runs a write on the slot's file. A failure is logged under the tag and comes back as the file
// and its cause (dbWriteFailureLines), for the work's own message; "" when the write succeeded.
// In debug mode the error is thrown.
QString writeOrFailureLines(int slot, const QString& tag, const std::function<void()>& write);

// While one lives, a connection that a slot closes stays open in the background, and the next
// open of the same file with the same password takes it back with its page cache and prepared
// statements: a race read opens the same two files once per runner, and each fresh open
// re-reads and decrypts the pages and each last close checkpoints the journal to disk. A
// connection in the middle of a transaction or a query is closed as always. Nested keepers
// share the outermost one; everything kept is closed when it ends.
class DbConnectionKeeper {
public:
    DbConnectionKeeper();
    ~DbConnectionKeeper();
    DbConnectionKeeper(const DbConnectionKeeper&) = delete;
    DbConnectionKeeper& operator=(const DbConnectionKeeper&) = delete;

private:
    bool outermost_ = false;
};

// The SQLCipher raw key of a password, derived once per password and remembered;
// empty for the empty password (plain SQLite).
QByteArray dbKeyFor(const QString& password);
// Creates a new database file (tests and the data-file tool only; the program never creates one),
// encrypted when the password is not empty, and runs the script in it.
void createDbFile(const QString& path, const QString& password, const QString& sqlScript);

QString quoteIdent(const QString& name);

// A forward-only record set over a query on a slot. Closed when destroyed.
class RecordSet {
public:
    RecordSet() = default;
    RecordSet(int slot, const QString& sql, const DbParams& params = {});
    ~RecordSet();
    RecordSet(RecordSet&&) noexcept;
    RecordSet& operator=(RecordSet&&) noexcept;

    void open(int slot, const QString& sql, const DbParams& params = {});
    bool eof() const { return eof_; }
    void moveNext();
    // By column name (without regard to case) or by position; VbError when there is no such
    // column or the set is at its end.
    DbField field(const QString& name) const;
    DbField field(int index) const;
    DbField operator[](const QString& name) const { return field(name); }
    int fieldCount() const;
    void close();

private:
    void step();
    int columnIndex(const QString& name) const;

    std::unique_ptr<StatementLease> stmt_;
    bool eof_ = true;
};

// The first of the tables that the database open on the slot lacks (a view of that name will do);
// "" when it holds them all. Each caller says what a missing one means in its own words.
QString missingTable(int slot, const QStringList& tables);

// The columns and values of one row to write, in order (AddNew, set the fields, Update).
class DbRow {
public:
    DbRow& set(const QString& column, DbValue value);
    const QStringList& columns() const { return columns_; }
    const DbParams& values() const { return values_; }
    bool isEmpty() const { return columns_.isEmpty(); }

private:
    QStringList columns_;
    DbParams values_;
};

// INSERT; a row whose key exists already is an error (VbError), as with AddNew/Update.
void insertRow(int slot, const QString& table, const DbRow& row);
// Adds the row unless it would break a key or constraint of the table; true when it was added.
// Nothing else changes either way: a row already there stays as it is.
bool insertRowIfNew(int slot, const QString& table, const DbRow& row);
// UPDATE ... WHERE every key column equals its value; returns the rows changed.
int updateRow(int slot, const QString& table, const DbRow& key, const DbRow& values);
// Selects by key; updates the row when it exists, else adds key and values as a new row.
void upsertRow(int slot, const QString& table, const DbRow& key, const DbRow& values);

// BeginTrans / CommitTrans; a transaction not committed is rolled back when destroyed.
class DbTransaction {
public:
    explicit DbTransaction(int slot);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;
    void commit();
    void rollback();

private:
    int slot_;
    bool open_ = false;
};

// Closes a slot when the operation that opened it ends, on every path.
class DbSlotCloser {
public:
    explicit DbSlotCloser(int slot) : slot_(slot) {}
    ~DbSlotCloser() { closeDb(slot_); }
    DbSlotCloser(const DbSlotCloser&) = delete;
    DbSlotCloser& operator=(const DbSlotCloser&) = delete;

private:
    int slot_;
};
