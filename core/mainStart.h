#pragma once
// Start-up: the settings held in memory and the data-file status of the start notice.
#include <QLabel>
#include <QPointer>
#include <QString>
#include <cstdint>

// Loads kakoKikan, timerInter, graphFlags and lineRatio from Strevin.ini.
void loadSettings();

// A whole-number setting; a value that is no number (or out of range) gives that key's default
// alone, so one bad line never resets the others.
int32_t iniReadLong(const QString& section, const QString& key, const QString& def);
float iniReadSingle(const QString& section, const QString& key, const QString& def);

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
// missing or cannot be read is said so on its label; it never stops the start.
void dispDataFileInfo();
