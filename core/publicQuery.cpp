#include "core/publicQuery.h"

#include "platform/vberror.h"

#include <QSet>

namespace {

// R_code is left out: both tables have it, so a term on it would be ambiguous in the join.
QSet<QString> allowedColumns()
{
    QSet<QString> columns {
        "R_zyo", "R_zyo02", "R_date", "R_no", "R_baba", "R_kyori", "R_name", "R_siba", "R_class",
        "R_tousuu", "R_time", "R_syurui", "R_tansyo", "R_umahuku", "R_umatan", "R_3huku", "R_3tan",
        "R_flag", "R_sisuu", "U_name", "U_no", "U_waku", "U_cyaku", "U_time", "U_taizyu", "U_zougen",
        "U_cyakusa", "U_kisyu", "U_hutan", "U_3f", "U_sisuu", "U_sisuu3f", "U_file", "U_kankaku",
        "U_chichi", "U_cyoukyou", "U_syozoku", "U_ninki", "U_tuka01", "U_tuka02", "U_tuka03",
        "U_tuka04", "U_kyakusitu"};
    for (int i = 1; i <= 3; ++i)
        columns << QString("R_cyaku(%1)").arg(i) << QString("R_hukusyo(%1)").arg(i)
                << QString("R_wide(%1)").arg(i);
    for (int i = 1; i <= 16; ++i)
        columns << QString("R_ninki(%1)").arg(i);
    return columns;
}

const QString kJoin = QStringLiteral(
    "FROM T_Rdata LEFT JOIN T_Useiseki ON T_Rdata.R_code = T_Useiseki.R_code WHERE ");

// The one value of an aggregate query; Null (no matching run) reads as 0.
double aggregate(const QString& select, const QString& fixedTerm, const QueryCondition& condition)
{
    const RecordSet rs(slotMain, select + kJoin + fixedTerm + condition.sql(), condition.params());
    if (rs.eof())
        return 0;
    const DbField value = rs.field(0);
    return value.isNull() ? 0 : value.toDouble();
}

}

QueryCondition& QueryCondition::add(const QString& column, const QString& op, DbValue value)
{
    static const QSet<QString> columns = allowedColumns();
    static const QSet<QString> operators {"=", "<>", "<", "<=", ">", ">="};
    if (!columns.contains(column))
        throw VbError(vbErrDatabase, QStringLiteral("no such column in the race tables: ") + column);
    if (!operators.contains(op))
        throw VbError(vbErrDatabase, QStringLiteral("no such comparison: ") + op);
    terms_ << QStringLiteral(" AND ") + quoteIdent(column) + ' ' + op + QStringLiteral(" ?");
    params_.push_back(std::move(value));
    return *this;
}

QString QueryCondition::sql() const
{
    return terms_.join(QString());
}

float avgSisuu(const QueryCondition& condition)
{
    return float(aggregate("SELECT AVG(U_sisuu) ", "U_sisuu <> 0", condition));
}

float winRate(const QueryCondition& condition)
{
    const double runs = aggregate("SELECT COUNT(U_sisuu) ", "U_cyaku >= 0", condition);
    if (runs <= 0)
        return 0;
    return float(aggregate("SELECT COUNT(U_sisuu) ", "U_cyaku = 1", condition) / runs);
}
