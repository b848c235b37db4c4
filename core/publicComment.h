#pragma once
// The user's notes in Comment.dat, table Comment, one row per (R_code, U_name): a race's own
// comment (race code, "Race"), a horse's general comment ("Uma", horse name) and a comment on a
// horse's run in a race (race code, horse name). Every key is a bound value.
#include "platform/database.h"
#include "platform/vbdate.h"
#include <QHash>
#include <QObject>
#include <QString>
#include <optional>

inline const QString commentKeyUma = QStringLiteral("Uma");
inline const QString commentKeyRace = QStringLiteral("Race");
// The connection slot the comment readers and writers use.
constexpr int commentSlot = slotMain;

struct CommentNote {
    QString comment, sign01, sign02;
    bool operator==(const CommentNote&) const = default;
};

QString commentDbPath();
// Opens Comment.dat on the comment slot; close with a DbSlotCloser. A file that cannot serve
// (missing, empty, wrong key, no table Comment) throws a VbError that names it and says why.
void openCommentDb();

// Every save tells the views of the notes what the store holds now for its key, so that no
// window goes on showing or offering an older note than the one just written.
class CommentStore : public QObject {
    Q_OBJECT
signals:
    // A race's own comment comes with uName commentKeyRace.
    void saved(const QString& rCode, const QString& uName, const CommentNote& note);
};
CommentStore& commentStore();

// With the comment slot open:
std::optional<CommentNote> readComment(const QString& rCode, const QString& uName);
// Every note of one horse (its general note under "Uma" and its notes per race), by R_code.
QHash<QString, CommentNote> readHorseComments(const QString& uName);
// Every note of one race (its own comment under "Race" and its runners' notes), by U_name.
QHash<QString, CommentNote> readRaceComments(const QString& rCode);
// One upsert on the key: the race comment writes `comment` only, the others all three columns.
// The row as stored is then announced through commentStore().
void saveRaceComment(const QString& rCode, const QString& comment);
void saveComment(const QString& rCode, const QString& uName, const CommentNote& note);

// The same on a connection of their own, opened and closed around the one save or read.
void storeRaceComment(const QString& rCode, const QString& comment);
void storeComment(const QString& rCode, const QString& uName, const CommentNote& note);
// What the store holds now for the key; an empty note when it holds none.
CommentNote storedComment(const QString& rCode, const QString& uName);

// The label a note shows for its race: track & "yy/mm/dd" & "-" & number "00" & "R".
QString commentRaceLabel(const QString& zyo, const VbDate& date, int raceNo);
