#include "platform/databaseDetail.h"

#include "platform/vberror.h"

#include <QFileInfo>

namespace dbdetail {

namespace {

// A log left read-only beside a writable file refuses every open of it.
VbCause writeCause(const QString& path)
{
    const VbCause cause = fileWriteCause(path);
    if (cause != VbCause::none)
        return cause;
    for (const char* suffix : {"-wal", "-shm"})
        if (QFileInfo::exists(path + QLatin1String(suffix)) && !canWriteFile(path + QLatin1String(suffix)))
            return VbCause::logReadOnly;
    return VbCause::none;
}

// What the user can do about the last failure on the connection: a read-only file, a folder
// that refuses the journal, a full disk tell themselves apart only on the file system.
VbCause sqliteCause(sqlite3* db)
{
    switch (sqlite3_errcode(db)) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return VbCause::lockedByOther;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return VbCause::notDataFile;
    case SQLITE_FULL:
        return VbCause::diskFull;
    case SQLITE_ERROR:
        // A file that opens but lacks our tables is some other database.
        return qstrncmp(sqlite3_errmsg(db), "no such table", 13) == 0 ? VbCause::notDataFile : VbCause::none;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_PERM: {
        const char* file = sqlite3_db_filename(db, "main");
        return file && *file ? writeCause(QString::fromUtf8(file)) : VbCause::none;
    }
    default:
        return VbCause::none;
    }
}

}  // namespace

[[noreturn]] void throwDb(const QString& what, VbCause cause)
{
    throw VbError(vbErrDatabase, what, cause);
}

[[noreturn]] void throwSqlite(sqlite3* db)
{
    throwDb(QString::fromUtf8(sqlite3_errmsg(db)), sqliteCause(db));
}

void exec(sqlite3* db, const QByteArray& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_free(err);
        throwDb(msg, sqliteCause(db));
    }
}

namespace {

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

}  // namespace

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

}  // namespace dbdetail
