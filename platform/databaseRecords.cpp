#include "platform/databaseDetail.h"

#include "platform/vberror.h"

using namespace dbdetail;

namespace {

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

QString missingTable(int slot, const QStringList& tables)
{
    for (const QString& table : tables) {
        if (RecordSet(slot, "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?", {table}).eof())
            return table;
    }
    return {};
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

// Every transaction is begun to write. On a writable file it takes the write lock at once (waiting
// for it as a write does): begun deferred, a commit by another connection (the index build's)
// between its first read and its first write would make that write fail at once. A read-only
// file's writes fail one by one, as their callers expect.
DbTransaction::DbTransaction(int slot)
    : slot_(slot)
{
    Connection& c = slotConnection(slot);
    c.execute(sqlite3_db_readonly(c.handle(), "main") == 1 ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    open_ = true;
}

DbTransaction::~DbTransaction()
{
    if (!open_ || !isDbOpen(slot_))
        return;
    // A slot closed and reopened meanwhile has no transaction of ours to roll back.
    if (!sqlite3_get_autocommit(cnDB[slot_]->handle()))
        vbTrapAlwaysToLog(QStringLiteral("DbTransaction-rollback"), [this] { rollback(); });
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
