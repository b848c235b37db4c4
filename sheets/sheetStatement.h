#pragma once
// One query on a connection, bound and stepped by hand: the sheets read their rows straight from
// the statement's columns.
#include "platform/database.h"
#include <QByteArray>
#include <sqlcipher/sqlite3.h>
#include <initializer_list>

class SheetStatement {
public:
    SheetStatement(const Connection& c, const QString& sql) : connection_(c)
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(c.handle(), utf8.constData(), int(utf8.size()), &stmt_, nullptr) != SQLITE_OK)
            fail();
    }
    ~SheetStatement() { sqlite3_finalize(stmt_); }
    SheetStatement(const SheetStatement&) = delete;
    SheetStatement& operator=(const SheetStatement&) = delete;

    // Binds the texts to parameters 1.. after a reset, so that the statement starts over.
    SheetStatement& start(std::initializer_list<QByteArray> texts) { return start({}, texts); }
    // Binds the numbers to the first parameters and the texts to the next ones.
    SheetStatement& start(std::initializer_list<int64_t> numbers, std::initializer_list<QByteArray> texts)
    {
        sqlite3_reset(stmt_);
        done_ = false;
        int i = 1;
        for (const int64_t number : numbers)
            if (sqlite3_bind_int64(stmt_, i++, number) != SQLITE_OK)
                fail();
        for (const QByteArray& text : texts)
            if (sqlite3_bind_text(stmt_, i++, text.constData(), int(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
                fail();
        return *this;
    }
    // Moves to the next row; false at the end, and from then on until the next start.
    bool next()
    {
        if (done_)
            return false;
        const int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail();
        done_ = rc == SQLITE_DONE;
        return !done_;
    }
    sqlite3_stmt* get() const { return stmt_; }
    // The column's bytes, valid until the statement moves on.
    QByteArray bytes(int col) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return QByteArray::fromRawData(text, sqlite3_column_bytes(stmt_, col));
    }

private:
    // With the cause the user can act on (a locked or damaged file), as every query has.
    [[noreturn]] void fail() const { connection_.throwLastError(); }

    const Connection& connection_;
    sqlite3_stmt* stmt_ = nullptr;
    bool done_ = false;
};
