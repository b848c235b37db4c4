#pragma once
// Start-up: the settings held in memory and the data-file status of the start notice.
#include <QLabel>
#include <QPointer>
#include <QString>
#include <cstdint>

// Numbers held in Strevin.ini. A value that is no number (or beyond the 32-bit range) gives
// its key's default, so one bad line neither leaves the other settings unread nor leaves a
// setting at 0; the reader remembers it so that the caller can still report the bad file.
class IniNumbers {
public:
    int32_t readLong(const QString& section, const QString& key, const QString& def);
    float readSingle(const QString& section, const QString& key, const QString& def);
    // Throws a type-mismatch VbError naming the first bad key, for the caller's trap, when any
    // value read was no number.
    void throwIfAnyBad() const;

private:
    QString badKey_;
};

// Loads kakoKikan, timerInter, graphFlags and lineRatio from Strevin.ini; after reading them
// all, throws when one of them was no number.
void loadSettings();

// The status labels of the main window's start notice; the window hands them in when it loads.
struct StartNoticeLabels {
    QPointer<QLabel> lblBabaFileRecnt;
    QPointer<QLabel> lblBabaNotice;
    QPointer<QLabel> lblDbKikan;
    QPointer<QLabel> lblDbNotice;
    QPointer<QLabel> lblJraFileRecnt;
    QPointer<QLabel> lblJraNotice;
    QPointer<QLabel> lblVersion;
};
void setStartNoticeLabels(const StartNoticeLabels& labels);

// Shows the edition dates of the track information files and the last imported day of the
// race database, red when older than 31 days, and the program's version. A file that is
// missing or cannot be read is said so on its label and reported once with
// "Error-mainStart-2" after every label is filled; it never stops the start.
void dispDataFileInfo();
