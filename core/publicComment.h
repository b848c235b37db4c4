#pragma once
// The user's notes in Comment.dat, table Comment, one row per (R_code, U_name): a race's own
// comment (race code, "Race"), a horse's general comment ("Uma", horse name) and a comment on a
// horse's run in a race (race code, horse name). Every key is a bound value.
#include "platform/vbdate.h"
#include <QHash>
#include <QString>
#include <optional>

inline const QString commentKeyUma = QStringLiteral("Uma");
inline const QString commentKeyRace = QStringLiteral("Race");
// The connection slot the comment readers and writers use.
constexpr int commentSlot = 1;

struct CommentNote {
    QString comment, sign01, sign02;
    bool operator==(const CommentNote&) const = default;
};

QString commentDbPath();
// Opens Comment.dat on the comment slot (openDb's message when it cannot); close with a DbSlotCloser.
void openCommentDb();

// With the comment slot open:
std::optional<CommentNote> readComment(const QString& rCode, const QString& uName);
// Every note of one horse (its general note under "Uma" and its notes per race), by R_code.
QHash<QString, CommentNote> readHorseComments(const QString& uName);
// Every note of one race (its own comment under "Race" and its runners' notes), by U_name.
QHash<QString, CommentNote> readRaceComments(const QString& rCode);
// One upsert on the key: the race comment writes `comment` only, the others all three columns.
void saveRaceComment(const QString& rCode, const QString& comment);
void saveComment(const QString& rCode, const QString& uName, const CommentNote& note);

// The label a note shows for its race: track & "yy/mm/dd" & "-" & number "00" & "R".
QString commentRaceLabel(const QString& zyo, const VbDate& date, int raceNo);
// The race code back from such a label, read from its end so that a three-character track text
// ("Ｊ東京") survives; "" when the label is not one.
QString raceCodeFromLabel(const QString& label);
