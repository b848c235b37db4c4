#include "platform/databaseDetail.h"

#include "platform/msgbox.h"
#include "platform/traplog.h"
#include "platform/vberror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPasswordDigestor>
#include <QUrl>
#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

using namespace dbdetail;

std::array<std::unique_ptr<Connection>, 6> cnDB;

namespace {

// The system's command time-out.
constexpr int kBusyTimeoutMs = 10000;
// How often a connection kept from the file by another one's lock tries again.
constexpr int kLockPollMs = 5;

std::atomic<bool (*)()> lockWaitHook {nullptr};

// Waits for a lock another connection holds, up to the command time-out. Every try tells the
// hook, so that work in the background lets the file go, again if it took the file back while
// this connection waited for another; while the hook says that work holds the lock and is letting
// it go, the wait outlasts the time-out.
int waitForLock(void*, int tries)
{
    const bool timedOut = tries * kLockPollMs >= kBusyTimeoutMs;
    bool (*hook)() = lockWaitHook.load();
    const bool lettingGo = hook && hook();
    if (timedOut && !lettingGo)
        return 0;
    sqlite3_sleep(kLockPollMs);
    return 1;
}
// The same wait for a connection opened with a stop, which ends it.
int waitForLockUntilStopped(void* stop, int tries)
{
    return static_cast<const DbStop*>(stop)->stopped() ? 0 : waitForLock(nullptr, tries);
}
// Our files use 4 KiB cipher pages; SQLCipher 3 does not store the size, so every open sets it.
constexpr const char* kCipherPageSize = "PRAGMA cipher_page_size = 4096";
// About 16 MiB of page cache per connection: the readers scan the run table repeatedly.
constexpr const char* kCacheSize = "PRAGMA cache_size = -16384";

// A raw key bypasses SQLCipher's own key derivation, which would cost tens of ms per open.
void applyKey(sqlite3* db, const QByteArray& rawKey)
{
    if (rawKey.isEmpty())
        return;
    exec(db, "PRAGMA key = \"x'" + rawKey.toHex() + "'\"");
    exec(db, kCipherPageSize);
}

Handle openHandle(const QByteArray& name, int flags, DbStop* stop = nullptr)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &raw, flags, nullptr);
    Handle db(raw);
    if (rc != SQLITE_OK) {
        if (!db)
            throwDb(QStringLiteral("out of memory"));
        throwSqlite(db.get());
    }
    sqlite3_busy_handler(db.get(), stop ? waitForLockUntilStopped : waitForLock, stop);
    return db;
}

// A file this process may not write is read as it stands. Read the usual way, a file in the
// write-ahead log would get a -wal and a -shm file beside it, read-only like itself, and those
// would refuse every later open, even once the file is writable again. A log that still holds
// pages would be missed, so such a file is refused.
Handle openReadOnly(const QString& path)
{
    if (QFileInfo(path + QStringLiteral("-wal")).size() > 0)
        throw VbError(vbErrFile, QStringLiteral("read-only file with a pending log"), VbCause::fileReadOnly);
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
    return openHandle(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
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

void checkSlot(int slot)
{
    if (slot < 0 || slot >= int(cnDB.size()))
        throw VbError(vbErrSubscript, QStringLiteral("connection slot %1 out of range").arg(slot));
}

}  // namespace

// ---- Connection ----

Connection::Connection(const QString& path, const QByteArray& rawKey, DbStop* stop)
    : path_(path)
    , key_(rawKey)
    , stop_(stop)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw VbError(vbErrFile, QStringLiteral("ファイルがありません"), VbCause::missing);
    if (!info.isFile())
        throw VbError(vbErrFile, QStringLiteral("ファイルではありません"), VbCause::stated);
    Handle db = openHandle(QFile::encodeName(path), SQLITE_OPEN_READWRITE, stop);
    // SQLite falls back to reading a file it may not write; nothing beside it is made before the
    // first read. (Asking the file system by opening the file ourselves would release the locks
    // that other connections of this process hold on it.)
    if (sqlite3_db_readonly(db.get(), "main") == 1)
        db = openReadOnly(path);
    applyKey(db.get(), rawKey);
    exec(db.get(), kCacheSize);
    // The key is only checked when the first page is read: a wrong key or a file that is no
    // database fails here with "file is encrypted or is not a database". A file in the
    // write-ahead log fails here too when its folder refuses the log.
    exec(db.get(), "SELECT count(*) FROM sqlite_master");
    tuneWal(db.get());
    db_ = db.release();
    statements_ = std::make_shared<StatementCache>(db_);
    if (stop_)
        stop_->hold(db_);
}

// A record set still open on this connection keeps it alive until the set is closed.
Connection::~Connection()
{
    if (stop_)
        stop_->release(db_);
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

void Connection::throwLastError() const
{
    dbdetail::throwSqlite(db_);
}

// ---- stopping another thread's connections ----

void DbStop::stop()
{
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    for (sqlite3* db : open_)
        sqlite3_interrupt(db);
}

void DbStop::hold(sqlite3* db)
{
    const std::lock_guard lock(mutex_);
    open_.push_back(db);
    if (stopped_)
        sqlite3_interrupt(db);
}

void DbStop::release(sqlite3* db)
{
    const std::lock_guard lock(mutex_);
    std::erase(open_, db);
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
    const QString cause = japaneseCause(error);
    return QStringLiteral("dataファイルが開けません\n") + QDir::toNativeSeparators(path)
        + (cause.isEmpty() ? QString() : QLatin1Char('\n') + cause);
}

QString dbWriteFailureLines(const QString& path, const std::exception& error)
{
    return QDir::toNativeSeparators(path) + QLatin1Char('\n') + writeFailureCause(error, path);
}

QString writeOrFailureLines(int slot, const QString& tag, const std::function<void()>& write)
{
    try {
        write();
        return {};
    } catch (const std::exception& e) {
        if (debugMode)
            throw;
        logTrap(tag, e);
        return dbWriteFailureLines(isDbOpen(slot) ? slotConnection(slot).path() : QString(), e);
    }
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
        Handle db = openHandle(QFile::encodeName(temp), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
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

void setLockWaitHook(bool (*hook)())
{
    lockWaitHook = hook;
}

QString sqliteTempFolder()
{
    const char* const candidates[] = {sqlite3_temp_directory, getenv("SQLITE_TMPDIR"), getenv("TMPDIR"),
                                      "/var/tmp", "/usr/tmp", "/tmp"};
    for (const char* folder : candidates) {
        struct stat info {};
        if (folder && stat(folder, &info) == 0 && S_ISDIR(info.st_mode) && access(folder, W_OK | X_OK) == 0)
            return QFile::decodeName(folder);
    }
    return QDir::currentPath();
}
