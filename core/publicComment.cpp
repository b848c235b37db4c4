#include "core/publicComment.h"

#include "core/dataFiles.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"


QString commentDbPath()
{
    return dataFilePath(DataFileKind::Comment);
}

void openCommentDb()
{
    openDataFile(commentSlot, DataFileKind::Comment, {QStringLiteral("Comment")});
}

CommentStore& commentStore()
{
    static CommentStore store;
    return store;
}

namespace {
CommentNote noteOf(const RecordSet& rs)
{
    return {rs["comment"].toString(), rs["sign01"].toString(), rs["sign02"].toString()};
}

void upsert(const QString& rCode, const QString& uName, const DbRow& values)
{
    upsertRow(commentSlot, QStringLiteral("Comment"),
              DbRow().set(QStringLiteral("R_code"), rCode).set(QStringLiteral("U_name"), uName), values);
    emit commentStore().saved(rCode, uName, readComment(rCode, uName).value_or(CommentNote()));
}

template <class F>
auto onOwnConnection(F&& body)
{
    openCommentDb();
    const DbSlotCloser closer(commentSlot);
    return body();
}

template <class F>
void saveOnOwnConnection(F&& save)
{
    onOwnConnection([&] {
        try {
            save();
        } catch (const VbError& e) {
            if (e.number() != vbErrDatabase)
                throw;
            throw VbError(vbErrFile, QStringLiteral("Comment.dat：書き込めません（%1）").arg(writeFailureCause(e, commentDbPath())),
                          VbCause::stated);
        }
    });
}
// The notes whose keyColumn holds key, by the other key column.
QHash<QString, CommentNote> readNotes(const QString& keyColumn, const QString& otherColumn, const QString& key)
{
    QHash<QString, CommentNote> notes;
    RecordSet rs(commentSlot,
                 "SELECT " + otherColumn + ", comment, sign01, sign02 FROM Comment WHERE " + keyColumn + " = ?", {key});
    for (; !rs.eof(); rs.moveNext())
        notes.insert(rs[otherColumn].toString(), noteOf(rs));
    return notes;
}
}  // namespace

std::optional<CommentNote> readComment(const QString& rCode, const QString& uName)
{
    RecordSet rs(commentSlot,
                 QStringLiteral("SELECT comment, sign01, sign02 FROM Comment WHERE R_code = ? AND U_name = ?"),
                 {rCode, uName});
    if (rs.eof())
        return std::nullopt;
    return noteOf(rs);
}

QHash<QString, CommentNote> readHorseComments(const QString& uName)
{
    return readNotes(QStringLiteral("U_name"), QStringLiteral("R_code"), uName);
}

QHash<QString, CommentNote> readRaceComments(const QString& rCode)
{
    return readNotes(QStringLiteral("R_code"), QStringLiteral("U_name"), rCode);
}

void saveRaceComment(const QString& rCode, const QString& comment)
{
    upsert(rCode, commentKeyRace, DbRow().set(QStringLiteral("comment"), comment));
}

void saveComment(const QString& rCode, const QString& uName, const CommentNote& note)
{
    upsert(rCode, uName,
           DbRow()
               .set(QStringLiteral("comment"), note.comment)
               .set(QStringLiteral("sign01"), note.sign01)
               .set(QStringLiteral("sign02"), note.sign02));
}

void storeRaceComment(const QString& rCode, const QString& comment)
{
    saveOnOwnConnection([&] { saveRaceComment(rCode, comment); });
}

void storeComment(const QString& rCode, const QString& uName, const CommentNote& note)
{
    saveOnOwnConnection([&] { saveComment(rCode, uName, note); });
}

CommentNote storedComment(const QString& rCode, const QString& uName)
{
    return onOwnConnection([&] { return readComment(rCode, uName).value_or(CommentNote()); });
}

QString commentRaceLabel(const QString& zyo, const VbDate& date, int raceNo)
{
    return zyo + Format(date, QStringLiteral("yy/mm/dd")) + QLatin1Char('-') + Format(raceNo, QStringLiteral("00"))
        + QLatin1Char('R');
}
