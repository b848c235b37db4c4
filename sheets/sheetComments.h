#pragma once
// The comment rows the sheets show, read in one query per fill from the comments database on
// connection slot 2; and the two saves of the sheets' own comment boxes on slot 1.
#include <QString>
#include <map>

struct SheetComment {
    QString comment, sign01, sign02;
};

// Every row of one race, by horse name ("Race" is the race's own comment).
std::map<QString, SheetComment> readRaceComments(const QString& raceCode);
// Every row of one horse, by race code ("Uma" is the horse's general comment).
std::map<QString, SheetComment> readHorseComments(const QString& horseName);

// The upserts of the comment boxes; open and close slot 1 on Comment.dat themselves. A file that
// cannot be opened is reported by the open and then fails (VbError) before anything is written.
void saveHorseComment(const QString& horseName, const QString& comment, const QString& sign01, const QString& sign02);
void saveRaceComment(const QString& raceCode, const QString& comment);
