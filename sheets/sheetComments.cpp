#include "sheets/sheetComments.h"

#include "core/publicFunction.h"
#include "platform/database.h"

namespace {
std::map<QString, SheetComment> readComments(const QString& keyColumn, const QString& otherColumn, const QString& key)
{
    std::map<QString, SheetComment> rows;
    RecordSet rs(2, "SELECT " + otherColumn + ", comment, sign01, sign02 FROM Comment WHERE " + keyColumn + " = ?", {key});
    for (; !rs.eof(); rs.moveNext())
        rows[rs.field(0).toString()] = {rs.field(1).toString(), rs.field(2).toString(), rs.field(3).toString()};
    return rows;
}

void upsertComment(const QString& rCode, const QString& uName, const DbRow& values)
{
    openDb(1, appPath() + "Comment.dat", dbPassword);
    DbSlotCloser closer(1);
    upsertRow(1, "Comment", DbRow().set("R_code", rCode).set("U_name", uName), values);
}
}  // namespace

std::map<QString, SheetComment> readRaceComments(const QString& raceCode)
{
    return readComments("R_code", "U_name", raceCode);
}

std::map<QString, SheetComment> readHorseComments(const QString& horseName)
{
    return readComments("U_name", "R_code", horseName);
}

void saveHorseComment(const QString& horseName, const QString& comment, const QString& sign01, const QString& sign02)
{
    upsertComment("Uma", horseName, DbRow().set("comment", comment).set("sign01", sign01).set("sign02", sign02));
}

void saveRaceComment(const QString& raceCode, const QString& comment)
{
    upsertComment(raceCode, "Race", DbRow().set("comment", comment));
}
