#pragma once
// What the parts of the database layer share and nobody else uses: the SQLite handles, the error
// throwers and the statement cache of a connection.
#include "platform/database.h"
#include "platform/vberror.h"

#include <QHash>
#include <sqlcipher/sqlite3.h>

namespace dbdetail {

[[noreturn]] void throwDb(const QString& what, VbCause cause = VbCause::none);
[[noreturn]] void throwSqlite(sqlite3* db);

struct HandleCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Handle = std::unique_ptr<sqlite3, HandleCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

void exec(sqlite3* db, const QByteArray& sql);
Statement prepareStatement(sqlite3* db, const QString& sql);
void bindAll(sqlite3_stmt* stmt, const QString& sql, const DbParams& params);
DbValue columnValue(sqlite3_stmt* stmt, int index);

}  // namespace dbdetail

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
        PreparedStatement s {sql, dbdetail::prepareStatement(db_, sql).release(), {}};
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
            dbdetail::bindAll(s_.stmt, sql, params);
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
