#pragma once
// Statistics of the stored runs over the race database (T_Rdata joined to T_Useiseki).
// The caller holds connection slot 1 open on NAR_data.dat; these procedures neither open
// nor close it and trap no errors: a failing query reaches the caller's trap.
#include "platform/database.h"
#include <QString>
#include <vector>

// A condition of terms joined by AND, each a column of the two tables, a comparison and a
// bound value, so that a track name with a quote is only ever a value.
class QueryCondition {
public:
    // Throws VbError for a column the two tables do not have or an unknown comparison.
    QueryCondition& add(const QString& column, const QString& op, DbValue value);

    // " AND col op ?" for every term, in the order added.
    QString sql() const;
    const DbParams& params() const { return params_; }

private:
    QStringList terms_;
    DbParams params_;
};

// Average speed index of the runs with a non-zero index under the condition; 0 when none.
float avgSisuu(const QueryCondition& condition);
// Wins divided by the runs with a finishing position of 0 or more and an index value;
// a fraction from 0 to 1, 0 when no run matches.
float winRate(const QueryCondition& condition);
