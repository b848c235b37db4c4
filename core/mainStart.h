#pragma once
// Start-up: the settings held in memory and the data-file status of the start notice.
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>

// Loads kakoKikan, timerInter, graphFlags and lineRatio from Strevin.ini. A number that is
// unusable (no number, or out of its range) takes its default; the first such key is returned
// ("[System] timerInter") for the start-up to name, empty when every one was usable.
QString loadSettings();

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
// missing or cannot be read is said so on its label and in the lines returned, one per file
// with its cause; it never stops the start.
QStringList showDataFileInfo();
// One message, "Error-mainStart-2" over the problems (the same line given twice told once), or
// none when there are none.
void reportDataFileProblems(QStringList problems);
// showDataFileInfo, then its problems reported.
void dispDataFileInfo();
