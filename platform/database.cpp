#include "platform/database.h"

#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPasswordDigestor>
#include <QTemporaryFile>
#include <charconv>
#include <cmath>
#include <sqlcipher/sqlite3.h>

std::array<std::unique_ptr<Connection>, 6> cnDB;

namespace {

// Day numbers of the first and last day a date column may hold: 1 January 100 and 31 December 9999.
constexpr double kFirstDateSerial = -657434;
constexpr double kLastDateSerial = 2958465;
// The system's command time-out.
constexpr int kBusyTimeoutMs = 10000;
// Our files use 4 KiB cipher pages; SQLCipher 3 does not store the size, so every open sets it.
constexpr const char* kCipherPageSize = "PRAGMA cipher_page_size = 4096";
// About 16 MiB of page cache per connection: the readers scan the run table repeatedly.
constexpr const char* kCacheSize = "PRAGMA cache_size = -16384";

[[noreturn]] void throwDb(const QString& what)
{
    throw VbError(vbErrDatabase, what);
}

[[noreturn]] void throwSqlite(sqlite3* db)
{
    throwDb(QString::fromUtf8(sqlite3_errmsg(db)));
}

struct HandleCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Handle = std::unique_ptr<sqlite3, HandleCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

void exec(sqlite3* db, const QByteArray& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_free(err);
        throwDb(msg);
    }
}

// A raw key bypasses SQLCipher's own key derivation, which would cost tens of ms per open.
void applyKey(sqlite3* db, const QByteArray& rawKey)
{
    if (rawKey.isEmpty())
        return;
    exec(db, "PRAGMA key = \"x'" + rawKey.toHex() + "'\"");
    exec(db, kCipherPageSize);
}

Handle openHandle(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    Handle db(raw);
    if (rc != SQLITE_OK) {
        if (!db)
            throwDb(QStringLiteral("out of memory"));
        throwSqlite(db.get());
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    return db;
}

void bindValue(sqlite3_stmt* stmt, int index, const DbValue& value)
{
    const auto& v = value.variant();
    int rc = SQLITE_OK;
    if (std::holds_alternative<int64_t>(v)) {
        rc = sqlite3_bind_int64(stmt, index, std::get<int64_t>(v));
    } else if (std::holds_alternative<double>(v)) {
        rc = sqlite3_bind_double(stmt, index, std::get<double>(v));
    } else if (std::holds_alternative<QString>(v) || std::holds_alternative<VbDate>(v)) {
        const QString text = std::holds_alternative<VbDate>(v) ? std::get<VbDate>(v).toDbText()
                                                               : std::get<QString>(v);
        const QByteArray utf8 = text.toUtf8();
        rc = sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    } else {
        rc = sqlite3_bind_null(stmt, index);
    }
    if (rc != SQLITE_OK)
        throwSqlite(sqlite3_db_handle(stmt));
}

Statement prepareStatement(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* raw = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &raw, nullptr) != SQLITE_OK)
        throwSqlite(db);
    Statement stmt(raw);
    if (!stmt)
        throwDb(QStringLiteral("empty statement: ") + sql);
    return stmt;
}

void bindAll(sqlite3_stmt* stmt, const QString& sql, const DbParams& params)
{
    if (sqlite3_bind_parameter_count(stmt) != int(params.size()))
        throwDb(QStringLiteral("wrong number of parameters: ") + sql);
    for (size_t i = 0; i < params.size(); ++i)
        bindValue(stmt, int(i) + 1, params[i]);
}

DbValue columnValue(sqlite3_stmt* stmt, int index)
{
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_INTEGER:
        return DbValue(int64_t(sqlite3_column_int64(stmt, index)));
    case SQLITE_FLOAT:
        return DbValue(sqlite3_column_double(stmt, index));
    case SQLITE_NULL:
        return DbValue();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
        return DbValue(QString::fromUtf8(text, sqlite3_column_bytes(stmt, index)));
    }
    }
}

// In a write-ahead log a commit stays safe from crashes of the program without its own disk
// sync; the log is synced at each checkpoint. The emptied log and its index are kept between
// connections: deleting and re-creating them made each open cost milliseconds. Files in the
// rollback journal keep full syncs.
void tuneWal(sqlite3* db)
{
    Statement stmt = prepareStatement(db, QStringLiteral("PRAGMA journal_mode"));
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        throwSqlite(db);
    const auto* mode = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
    if (!mode || qstricmp(mode, "wal") != 0)
        return;
    exec(db, "PRAGMA synchronous = NORMAL");
    exec(db, "PRAGMA journal_size_limit = 0");
    int persist = 1;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
}

// Whether a file can be made in the folder, tried as the file system sees this process (a
// permission test alone would answer for another user than the one the system checks).
bool canCreateFileIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.writable-XXXXXX"));
    return probe.open();
}

void checkSlot(int slot)
{
    if (slot < 0 || slot >= int(cnDB.size()))
        throw VbError(vbErrSubscript, QStringLiteral("connection slot %1 out of range").arg(slot));
}

// Shortest text that reads back as the same value; a value stored from a single float shows
// as that float does ("42.35", not "42.349998474121094").
QString realText(double v)
{
    char buf[64];
    const float f = float(v);
    const auto res = (std::isfinite(v) && double(f) == v) ? std::to_chars(buf, buf + sizeof buf, f)
                                                          : std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

QString joinQuoted(const QStringList& names, const QString& suffix, const QString& separator)
{
    QString joined;
    joined.reserve(names.size() * (16 + suffix.size() + separator.size()));
    for (const QString& n : names) {
        if (!joined.isEmpty())
            joined += separator;
        joined += quoteIdent(n);
        joined += suffix;
    }
    return joined;
}

// "WHERE a IS ? AND b IS ?": IS so that a Null key value matches a Null column.
QString whereClause(const DbRow& key)
{
    return key.isEmpty() ? QString() : QStringLiteral(" WHERE ") + joinQuoted(key.columns(), QStringLiteral(" IS ?"), QStringLiteral(" AND "));
}

DbParams concat(const DbParams& a, const DbParams& b)
{
    DbParams all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

}  // namespace

// ---- prepared statements ----

// A statement prepared for one SQL text, with its column names.
struct PreparedStatement {
    QString sql;
    sqlite3_stmt* stmt = nullptr;
    QStringList names;
};

// Statements prepared on one connection. Parsing and planning a query costs more than running
// the small keyed lookups the readers make, and a race read runs the same few texts thousands
// of times, so a finished statement is reset and kept for the next query with its text. A
// statement serves one record set at a time: a text in use twice at once gets a second one.
class StatementCache {
public:
    explicit StatementCache(sqlite3* db) : db_(db) {}
    ~StatementCache() { dropIdle(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    PreparedStatement take(const QString& sql)
    {
        const auto it = idle_.find(sql);
        if (it != idle_.end() && !it->empty()) {
            PreparedStatement s = std::move(it->back());
            it->pop_back();
            --idleCount_;
            return s;
        }
        PreparedStatement s {sql, prepareStatement(db_, sql).release(), {}};
        for (int i = 0; i < sqlite3_column_count(s.stmt); ++i)
            s.names << QString::fromUtf8(sqlite3_column_name(s.stmt, i));
        return s;
    }

    void giveBack(PreparedStatement s)
    {
        sqlite3_reset(s.stmt);
        // Texts built from a caller's condition are not all alike; the cache stays small.
        if (idleCount_ >= kMaxIdle)
            dropIdle();
        idle_[s.sql].push_back(std::move(s));
        ++idleCount_;
    }

private:
    static constexpr int kMaxIdle = 64;

    void dropIdle()
    {
        for (const auto& list : std::as_const(idle_))
            for (const PreparedStatement& s : list)
                sqlite3_finalize(s.stmt);
        idle_.clear();
        idleCount_ = 0;
    }

    sqlite3* db_;
    QHash<QString, std::vector<PreparedStatement>> idle_;
    int idleCount_ = 0;
};

// A statement lent by a connection's cache and bound to its parameters. It goes back to the
// cache when the lease ends; if the connection was closed meanwhile it is finalized instead.
class StatementLease {
public:
    StatementLease(const Connection& c, const QString& sql, const DbParams& params)
        : cache_(c.statements_)
        , s_(c.statements_->take(sql))
    {
        try {
            bindAll(s_.stmt, sql, params);
        } catch (...) {
            end();
            throw;
        }
    }
    ~StatementLease() { end(); }
    StatementLease(const StatementLease&) = delete;
    StatementLease& operator=(const StatementLease&) = delete;

    sqlite3_stmt* get() const { return s_.stmt; }
    const QStringList& names() const { return s_.names; }

private:
    void end()
    {
        if (const auto cache = cache_.lock())
            cache->giveBack(std::move(s_));
        else
            sqlite3_finalize(s_.stmt);
    }

    std::weak_ptr<StatementCache> cache_;
    PreparedStatement s_;
};

// ---- DbField ----

double DbField::toDouble() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<int64_t>(v))
        return double(std::get<int64_t>(v));
    if (std::holds_alternative<double>(v))
        return std::get<double>(v);
    if (std::holds_alternative<QString>(v))
        return CDblText(std::get<QString>(v));
    if (std::holds_alternative<VbDate>(v))
        return std::get<VbDate>(v).serial();
    return 0.0;
}

int32_t DbField::toInt() const
{
    return CLng(toDouble());
}

float DbField::toFloat() const
{
    return float(toDouble());
}

bool DbField::toBool() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<QString>(v)) {
        const QString t = std::get<QString>(v).trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toDouble() != 0.0;
}

QString DbField::toString() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<int64_t>(v))
        return QString::number(std::get<int64_t>(v));
    if (std::holds_alternative<double>(v))
        return realText(std::get<double>(v));
    if (std::holds_alternative<QString>(v))
        return std::get<QString>(v);
    if (std::holds_alternative<VbDate>(v))
        return std::get<VbDate>(v).toDbText();
    return {};
}

VbDate DbField::toDate() const
{
    const auto& v = v_.variant();
    if (std::holds_alternative<QString>(v)) {
        bool ok = false;
        const VbDate d = VbDate::fromDbText(std::get<QString>(v), &ok);
        if (!ok)
            throw VbError(vbErrTypeMismatch, QStringLiteral("not a date: ") + std::get<QString>(v));
        return d;
    }
    if (std::holds_alternative<VbDate>(v))
        return std::get<VbDate>(v);
    // A serial number: the whole days count, a fraction would be the time of day. A number
    // beyond the calendar (a damaged file) is a bad value, not a date.
    const double serial = std::floor(toDouble());
    if (!(serial >= kFirstDateSerial && serial <= kLastDateSerial))
        throw VbError(vbErrOverflow, QStringLiteral("not a date: ") + toString());
    return VbDate(int(serial));
}

// ---- Connection ----

Connection::Connection(const QString& path, const QByteArray& rawKey)
    : path_(path)
    , key_(rawKey)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw VbError(vbErrFile, QStringLiteral("ファイルがありません"));
    if (!info.isFile())
        throw VbError(vbErrFile, QStringLiteral("ファイルではありません"));
    Handle db = openHandle(path, SQLITE_OPEN_READWRITE);
    try {
        applyKey(db.get(), rawKey);
        exec(db.get(), kCacheSize);
        // The key is only checked when the first page is read: a wrong key or a file that is no
        // database fails here with "file is encrypted or is not a database".
        exec(db.get(), "SELECT count(*) FROM sqlite_master");
        tuneWal(db.get());
    } catch (const VbError& e) {
        // A file in write-ahead-log mode needs its folder writable even to be read.
        const int code = sqlite3_errcode(db.get());
        if ((code == SQLITE_CANTOPEN || code == SQLITE_READONLY) && !canCreateFileIn(info.absolutePath()))
            throw VbError(vbErrFile, QStringLiteral("フォルダに書き込めないため読むこともできません（%1）: %2")
                                         .arg(QDir::toNativeSeparators(info.absolutePath()), e.description()));
        throw;
    }
    db_ = db.release();
    statements_ = std::make_shared<StatementCache>(db_);
}

// A record set still open on this connection keeps it alive until the set is closed.
Connection::~Connection()
{
    statements_.reset();
    sqlite3_close_v2(db_);
}

void Connection::execute(const QString& sql, const DbParams& params)
{
    const StatementLease stmt(*this, sql, params);
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throwSqlite(db_);
}

int Connection::changes() const
{
    return sqlite3_changes(db_);
}

// ---- slots ----

namespace {

struct KeptConnection {
    QString file;
    QByteArray key;
    std::unique_ptr<Connection> connection;
};
// The connections of the live keeper; null while none lives.
std::vector<KeptConnection>* keptConnections = nullptr;
std::vector<KeptConnection> outermostKept;

QString fileIdentity(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

// Nothing may be pending on a kept connection: a statement left stepping would pin an old
// snapshot for whoever takes the connection next.
bool idle(sqlite3* db)
{
    if (!sqlite3_get_autocommit(db))
        return false;
    for (sqlite3_stmt* stmt = sqlite3_next_stmt(db, nullptr); stmt; stmt = sqlite3_next_stmt(db, stmt))
        if (sqlite3_stmt_busy(stmt))
            return false;
    return true;
}

void releaseSlot(int slot)
{
    std::unique_ptr<Connection>& connection = cnDB[size_t(slot)];
    if (connection && keptConnections && idle(connection->handle()))
        keptConnections->push_back({fileIdentity(connection->path()), connection->key(), std::move(connection)});
    connection.reset();
}

std::unique_ptr<Connection> takeKept(const QString& path, const QByteArray& key)
{
    if (!keptConnections)
        return nullptr;
    const QString file = fileIdentity(path);
    for (auto it = keptConnections->begin(); it != keptConnections->end(); ++it)
        if (it->file == file && it->key == key) {
            std::unique_ptr<Connection> connection = std::move(it->connection);
            keptConnections->erase(it);
            return connection;
        }
    return nullptr;
}

}

DbConnectionKeeper::DbConnectionKeeper()
{
    if (keptConnections)
        return;
    outermost_ = true;
    keptConnections = &outermostKept;
}

DbConnectionKeeper::~DbConnectionKeeper()
{
    if (!outermost_)
        return;
    keptConnections = nullptr;
    outermostKept.clear();
}

void openDbOrThrow(int slot, const QString& path, const QString& password)
{
    checkSlot(slot);
    releaseSlot(slot);
    const QByteArray key = dbKeyFor(password);
    std::unique_ptr<Connection> kept = takeKept(path, key);
    cnDB[slot] = kept ? std::move(kept) : std::make_unique<Connection>(path, key);
}

void openDb(int slot, const QString& path, const QString& password)
{
    try {
        openDbOrThrow(slot, path, password);
    } catch (const std::exception& e) {
        if (debugMode)
            throw;
        msgBox(dbOpenFailureText(path, e), vbOKOnly);
    }
}

QString dbOpenFailureText(const QString& path, const std::exception& error)
{
    const auto* vb = dynamic_cast<const VbError*>(&error);
    return QStringLiteral("dataファイルが開けません\n") + QDir::toNativeSeparators(path) + QLatin1Char('\n')
        + (vb ? vb->description() : QString::fromLocal8Bit(error.what()));
}

void closeDb(int slot)
{
    checkSlot(slot);
    releaseSlot(slot);
}

bool isDbOpen(int slot)
{
    return slot >= 0 && slot < int(cnDB.size()) && cnDB[slot] != nullptr;
}

Connection& slotConnection(int slot)
{
    checkSlot(slot);
    if (!cnDB[slot])
        throw VbError(vbErrObjectMissing, QStringLiteral("connection slot %1 is not open").arg(slot));
    return *cnDB[slot];
}

QByteArray dbKeyFor(const QString& password)
{
    static QHash<QString, QByteArray> keys;
    if (password.isEmpty())
        return {};
    auto it = keys.find(password);
    if (it == keys.end()) {
        // The passwords ship with the program, so the iteration count buys no secrecy; it is kept
        // low because Qt's PBKDF2 is several times slower than SQLCipher's own.
        static const QByteArray salt = QByteArrayLiteral("Brennock data file key v1");
        it = keys.insert(password, QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256,
                                                                      password.toUtf8(), salt, 16000, 32));
    }
    return *it;
}

void createDbFile(const QString& path, const QString& password, const QString& sqlScript)
{
    if (QFileInfo::exists(path))
        throw VbError(vbErrFile, QStringLiteral("file exists: ") + path);
    // Built under a temporary name so that a failing script never leaves a half-made file.
    const QString temp = path + QStringLiteral(".creating");
    QFile::remove(temp);
    try {
        Handle db = openHandle(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        applyKey(db.get(), dbKeyFor(password));
        exec(db.get(), sqlScript.toUtf8());
        if (sqlite3_close(db.get()) != SQLITE_OK)
            throwSqlite(db.get());
        db.release();
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw VbError(vbErrFile, QStringLiteral("cannot create ") + path);
    }
}

// Every insert and update names its columns through here: a name without a quote (all of ours)
// is not searched and copied again.
QString quoteIdent(const QString& name)
{
    if (!name.contains(QLatin1Char('"')))
        return QLatin1Char('"') + name + QLatin1Char('"');
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// ---- RecordSet ----

RecordSet::RecordSet(int slot, const QString& sql, const DbParams& params)
{
    open(slot, sql, params);
}

RecordSet::~RecordSet()
{
    close();
}

RecordSet::RecordSet(RecordSet&& o) noexcept
    : stmt_(std::move(o.stmt_))
    , eof_(std::exchange(o.eof_, true))
{
}

RecordSet& RecordSet::operator=(RecordSet&& o) noexcept
{
    if (this != &o) {
        stmt_ = std::move(o.stmt_);
        eof_ = std::exchange(o.eof_, true);
    }
    return *this;
}

void RecordSet::open(int slot, const QString& sql, const DbParams& params)
{
    close();
    stmt_ = std::make_unique<StatementLease>(slotConnection(slot), sql, params);
    step();
}

void RecordSet::step()
{
    const int rc = sqlite3_step(stmt_->get());
    eof_ = rc != SQLITE_ROW;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwSqlite(sqlite3_db_handle(stmt_->get()));
}

void RecordSet::moveNext()
{
    if (eof_)
        throwDb(QStringLiteral("no current record"));
    step();
}

int RecordSet::columnIndex(const QString& name) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (stmt_->names()[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throwDb(QStringLiteral("no column ") + name);
}

DbField RecordSet::field(const QString& name) const
{
    return field(columnIndex(name));
}

DbField RecordSet::field(int index) const
{
    if (eof_)
        throwDb(QStringLiteral("no current record"));
    if (index < 0 || index >= fieldCount())
        throwDb(QStringLiteral("no column %1").arg(index));
    return DbField(columnValue(stmt_->get(), index));
}

int RecordSet::fieldCount() const
{
    return stmt_ ? int(stmt_->names().size()) : 0;
}

void RecordSet::close()
{
    stmt_.reset();
    eof_ = true;
}

// ---- row writers ----

DbRow& DbRow::set(const QString& column, DbValue value)
{
    const int i = int(columns_.indexOf(column, 0));
    if (i >= 0) {
        values_[i] = std::move(value);
    } else {
        columns_ << column;
        values_.push_back(std::move(value));
    }
    return *this;
}

namespace {

// The text of an insert, built once for each table and column list: the writers of a race read
// insert the same columns thousands of times.
const QString& insertText(const QString& verb, const QString& table, const QStringList& columns)
{
    static QHash<QString, QString> texts;
    const QString key = verb + QLatin1Char('\x1f') + table + QLatin1Char('\x1f') + columns.join(QLatin1Char('\x1f'));
    auto it = texts.constFind(key);
    if (it == texts.constEnd()) {
        const QStringList marks(columns.size(), QStringLiteral("?"));
        it = texts.insert(key, QStringLiteral("%1 INTO %2 (%3) VALUES (%4)")
                                   .arg(verb, quoteIdent(table), joinQuoted(columns, {}, QStringLiteral(", ")),
                                        marks.join(QStringLiteral(", "))));
    }
    return *it;
}

void insertWith(int slot, const QString& verb, const QString& table, const DbRow& row)
{
    slotConnection(slot).execute(insertText(verb, table, row.columns()), row.values());
}

}

void insertRow(int slot, const QString& table, const DbRow& row)
{
    insertWith(slot, QStringLiteral("INSERT"), table, row);
}

// A statement that ignores its conflict leaves the transaction alone: no savepoint, no error to
// throw and catch for every row that is already stored.
bool insertRowIfNew(int slot, const QString& table, const DbRow& row)
{
    insertWith(slot, QStringLiteral("INSERT OR IGNORE"), table, row);
    return slotConnection(slot).changes() > 0;
}

int updateRow(int slot, const QString& table, const DbRow& key, const DbRow& values)
{
    if (values.isEmpty())
        return 0;
    Connection& c = slotConnection(slot);
    c.execute(QStringLiteral("UPDATE ") + quoteIdent(table) + QStringLiteral(" SET ")
                  + joinQuoted(values.columns(), QStringLiteral(" = ?"), QStringLiteral(", ")) + whereClause(key),
              concat(values.values(), key.values()));
    return c.changes();
}

void upsertRow(int slot, const QString& table, const DbRow& key, const DbRow& values)
{
    const bool exists = !RecordSet(slot, QStringLiteral("SELECT 1 FROM ") + quoteIdent(table) + whereClause(key)
                                             + QStringLiteral(" LIMIT 1"),
                                   key.values())
                             .eof();
    if (exists) {
        updateRow(slot, table, key, values);
        return;
    }
    DbRow row = key;
    for (int i = 0; i < values.columns().size(); ++i)
        row.set(values.columns()[i], values.values()[size_t(i)]);
    insertRow(slot, table, row);
}

// ---- DbTransaction ----

DbTransaction::DbTransaction(int slot)
    : slot_(slot)
{
    slotConnection(slot).execute(QStringLiteral("BEGIN"));
    open_ = true;
}

DbTransaction::~DbTransaction()
{
    if (!open_ || !isDbOpen(slot_))
        return;
    // A slot closed and reopened meanwhile has no transaction of ours to roll back.
    if (!sqlite3_get_autocommit(cnDB[slot_]->handle()))
        vbTrapSilent([this] { rollback(); });
}

void DbTransaction::commit()
{
    slotConnection(slot_).execute(QStringLiteral("COMMIT"));
    open_ = false;
}

void DbTransaction::rollback()
{
    open_ = false;
    slotConnection(slot_).execute(QStringLiteral("ROLLBACK"));
}
