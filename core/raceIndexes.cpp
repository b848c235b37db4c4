#include "core/raceIndexes.h"

#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/traplog.h"
#include "platform/vberror.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <sqlcipher/sqlite3.h>
#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <system_error>
#include <thread>

namespace {
struct RaceIndex {
    QString name;
    QString create;
    std::array<const char*, 2> replaces;  // older indexes of the same reads, dropped once it stands
};

QString personIndexSql(const QString& column)
{
    return QStringLiteral("CREATE INDEX %1 ON T_Useiseki (%2, (%3)) WHERE %2 IS NOT NULL")
        .arg(personRunIndex(column), column, runYearKey("R_code"));
}

// As in the race database's schema.
const std::array<RaceIndex, 4>& raceIndexes()
{
    static const std::array<RaceIndex, 4> indexes {{
        {personRunIndex("U_kisyu"), personIndexSql("U_kisyu"), {"T_Useiseki_kisyu_race", "T_Useiseki_U_kisyu"}},
        {personRunIndex("U_cyoukyou"), personIndexSql("U_cyoukyou"),
         {"T_Useiseki_cyoukyou_race", "T_Useiseki_U_cyoukyou"}},
        {personRunIndex("U_chichi"), personIndexSql("U_chichi"), {"T_Useiseki_chichi_race", "T_Useiseki_U_chichi"}},
        {"T_Rdata_R_date", "CREATE INDEX T_Rdata_R_date ON T_Rdata (R_date)", {"T_Rdata_race_day", nullptr}},
    }};
    return indexes;
}

bool hasIndex(sqlite3* db, const QString& name)
{
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?", -1, &stmt, nullptr);
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return found;
}

// Set by any connection that has to wait for a lock: the build lets the file go.
std::atomic<bool> writerWaits {false};
// Set while an import runs.
std::atomic<bool> importHolds {false};

bool letWritersFirst();

class IndexBuild {
public:
    ~IndexBuild() { stop(); }

    void start(const QString& path, const QByteArray& key)
    {
        if (tried_.contains(path) || running_)
            return;
        join();
        tried_.insert(path);
        stopping_ = false;
        running_ = true;
        setLockWaitHook(letWritersFirst);
        try {
            thread_ = std::thread([this, path, key] { run(path, key); });
        } catch (const std::system_error& e) {
            running_ = false;
            tell(QStringLiteral("システムの資源が足りません"), e);
        }
    }
    bool running() const { return running_; }
    bool holdsLock() const { return holdsLock_; }
    void stop()
    {
        stopping_ = true;
        {
            const std::lock_guard lock(handleMutex_);
            if (handle_)
                sqlite3_interrupt(handle_);
        }
        join();
        tried_.clear();
    }

private:
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    void run(const QString& path, const QByteArray& key)
    {
        try {
            Connection c(path, key);
            if (sqlite3_db_readonly(c.handle(), "main") == 1)
                throw VbError(vbErrFile, QStringLiteral("read-only file"), VbCause::fileReadOnly);
            shortenSteps(c);
            const HeldHandle held(*this, c.handle());
            // It waits for a writer as long as the writer takes, and lets a waiting one go first.
            sqlite3_busy_handler(c.handle(), [](void* self, int) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return static_cast<IndexBuild*>(self)->stopping_ ? 0 : 1;
            }, this);
            sqlite3_progress_handler(c.handle(), 1000, [](void* self) {
                return static_cast<IndexBuild*>(self)->stopping_ || writerWaits || importHolds ? 1 : 0;
            }, this);
            for (const RaceIndex& index : raceIndexes())
                if (!stopping_ && !hasIndex(c.handle(), index.name))
                    addIndex(c, index);
        } catch (const std::exception& e) {
            if (!stopping_)
                tell(causeOf(e), e);
        }
        running_ = false;
    }
    // A writer waits for the step the build is in. Sorting an index in memory, as our SQLite does by
    // default, is one step of seconds for millions of runs; sorted in parts of 4 MiB on disk, by two
    // helper threads, no step takes more than a tenth of a second and the build a third of the time.
    // Those parts hold the index's keys (a person, a year, a row number) unencrypted while the
    // build runs, in SQLite's temporary folder (sqliteTempFolder); SQLite deletes each file as it
    // opens it. Overwriting every freed page of a dropped index, as the secure delete this SQLite
    // is built with does, would hold the file for seconds more; the freed pages stay encrypted as
    // they are.
    static void shortenSteps(Connection& c)
    {
        for (const char* pragma : {"PRAGMA temp_store = FILE", "PRAGMA threads = 2", "PRAGMA cache_size = -4096",
                                   "PRAGMA secure_delete = 0"})
            c.execute(QString::fromLatin1(pragma));
    }
    // The connection a stop interrupts, for as long as it is open.
    struct HeldHandle {
        HeldHandle(IndexBuild& build, sqlite3* db) : build_(build) { hold(db); }
        ~HeldHandle() { hold(nullptr); }
        void hold(sqlite3* db) const
        {
            const std::lock_guard lock(build_.handleMutex_);
            build_.handle_ = db;
        }
        IndexBuild& build_;
    };
    // One index in one transaction, begun again after each writer it let go first, each time after
    // a longer quiet spell; its log pages go into the file before the window's next write would
    // have to copy them.
    void addIndex(Connection& c, const RaceIndex& index)
    {
        for (int quietMs = 2000; !stopping_; quietMs = std::min(2 * quietMs, 60000)) {
            while (importHolds && !stopping_)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (committed(c, index)) {
                checkpoint(c);
                return;
            }
            for (int waited = 0; waited < quietMs && !stopping_; waited += 50)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    // False when a waiting writer (or a stop) interrupted it and it rolled back.
    bool committed(Connection& c, const RaceIndex& index)
    {
        writerWaits = false;
        c.execute(QStringLiteral("BEGIN IMMEDIATE"));
        const LockHeld held(holdsLock_);
        try {
            c.execute(index.create);
            for (const char* older : index.replaces)
                if (older)
                    c.execute(QStringLiteral("DROP INDEX IF EXISTS ") + older);
            c.execute(QStringLiteral("COMMIT"));
            return true;
        } catch (const VbError& e) {
            const bool interrupted = sqlite3_errcode(c.handle()) == SQLITE_INTERRUPT;
            const VbError failure = namingTheFolderThatFilled(e, c.path());
            sqlite3_exec(c.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            if (!interrupted || stopping_)
                throw failure;
            return false;
        }
    }
    // A full disk is the data file's while its log still holds what the index wrote there (under a
    // megabyte left); otherwise the sort's temporary files filled theirs, which has its room back
    // now that they are gone.
    static VbError namingTheFolderThatFilled(const VbError& e, const QString& path)
    {
        if (e.cause() != VbCause::diskFull)
            return e;
        if (diskNearlyFull(QFileInfo(path).absolutePath()))
            return e;
        const QString folder = sqliteTempFolder();
        return VbError(e.number(), QStringLiteral("一時ファイルのフォルダ「%1」の空き容量が足りません").arg(folder), VbCause::stated);
    }
    // From the build's BEGIN to its COMMIT or ROLLBACK: the only time a writer waits for it.
    struct LockHeld {
        explicit LockHeld(std::atomic<bool>& flag) : flag_(flag) { flag_ = true; }
        ~LockHeld() { flag_ = false; }
        std::atomic<bool>& flag_;
    };
    void checkpoint(Connection& c) const
    {
        int logged = 0, copied = 0;
        for (int tries = 0; tries < 100 && !stopping_; ++tries) {
            if (sqlite3_wal_checkpoint_v2(c.handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, &logged, &copied) == SQLITE_OK
                && copied >= logged)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    // What the user reads between the brackets.
    static QString causeOf(const std::exception& e)
    {
        const QString cause = japaneseCause(e);
        return cause.isEmpty() ? QStringLiteral("ディスクの空きが足りないか、ほかのプログラムが使用中です") : cause;
    }
    // Once, in the window's thread.
    static void tell(const QString& cause, const std::exception& e)
    {
        const QString text = QStringLiteral("NAR_data.dat：過去データの索引を作成できませんでした（%1）。\n"
                                            "騎手・調教師・種牡馬のシートは索引なしで表示します。")
                                 .arg(cause);
        const VbError logged(vbErrDatabase, QString::fromUtf8(e.what()));
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [text, logged] {
                logTrap(QStringLiteral("buildRaceIndexes"), logged);
                msgBox(text);
            }, Qt::QueuedConnection);
    }

    std::thread thread_;
    std::atomic<bool> running_ {false}, stopping_ {false}, holdsLock_ {false};
    std::mutex handleMutex_;
    sqlite3* handle_ = nullptr;
    QSet<QString> tried_;  // the window's thread only
};

IndexBuild& indexBuild()
{
    static IndexBuild build;
    return build;
}

// A build cannot stop inside one of its steps (up to a few tenths of a second): a writer it keeps
// out waits for the step, however long, rather than fail. One kept out by another program fails
// at the time-out, as without a build.
bool letWritersFirst()
{
    writerWaits = true;
    return indexBuild().holdsLock();
}
}  // namespace

bool hasRaceIndexes(int slot)
{
    for (const RaceIndex& index : raceIndexes())
        if (!hasIndex(slotConnection(slot).handle(), index.name))
            return false;
    return true;
}

void buildRaceIndexesInBackground(const QString& path, const QByteArray& key)
{
    indexBuild().start(path, key);
}

void holdRaceIndexBuild(bool hold)
{
    importHolds = hold;
}

bool raceIndexBuildRunning()
{
    return indexBuild().running();
}

void stopRaceIndexBuild()
{
    indexBuild().stop();
}

QString runYearKey(const QString& codeColumn)
{
    return QStringLiteral("CAST(substr(%1, -8, 2) AS INTEGER) + (substr(%1, -8, 2) < '50') * 100").arg(codeColumn);
}

QString personRunIndex(const QString& personColumn)
{
    return QStringLiteral("T_Useiseki_%1_year").arg(personColumn.mid(2));
}
