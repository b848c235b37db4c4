#pragma once
// The batch prediction run over one day: every race of every local track through the main
// window's race read, each prediction stored in Rana.mdb and written as a page, then the index
// page, the recommendation texts and the day's archive.
#include "platform/vbdate.h"

#include <QList>
#include <QString>
#include <functional>

// How one race read of the main window ended.
enum class RaceReadOutcome { Read, NoCard, Cancelled, Failed };

// What the batch uses of the main window: its race selectors cmbSelRace(0..4) and its race read.
struct RaceReader {
    std::function<void(int index, const QString& text)> setSelector;
    std::function<RaceReadOutcome()> starRaceRead;
};

// One entry of the index page: the page's link line and the track it is listed under.
struct IndexLink {
    QString link;
    QString zyo;
};

// The run's state that the page, index and text writers share. Each run starts it afresh.
struct ZyunkaiState {
    VbDate zyunkaiDate;
    QString zyunkaiYoubi;
    QList<IndexLink> indexLink;
    QString suisyouMemo;
};
extern ZyunkaiState zyunkai;

// The folder of the pages and the index, in the program folder.
inline const QString kOutFolder = QStringLiteral("予想出力");

// The fixed track order of the run.
const QStringList& zyunkaiTracks();

// The whole run for the date text ("yyyy/mm/dd" or "yyyy/m/d"). showRaceInfo gets
// "track-nR" before each read. Ends with "巡回を完了" and the number of races written; a day
// without a race writes no index or archive and says so. A bad date, a missing folder or work
// file, a failed read (with the page's cause) or archive ends it early (kanriCommon.h), as does a
// Cancel of a race read.
void runZyunkai(const QString& dateText, const RaceReader& reader,
                const std::function<void(const QString&)>& showRaceInfo);

// The prediction of the race just read into T_Rana of Rana.mdb (open on slot 1 meanwhile).
void saveRana();

// The race page of the race just read, as text and as its file in 予想出力 (which also adds it
// to the index list); the file name of race raceNo.
QString raceHtml();
QString raceHtmlName(const QString& zyo, const VbDate& date, int raceNo);
void writeRaceHtml();

// The index page and memo in 予想出力 and the public text 01推奨.txt in the program folder.
void writeZyunkaiIndex();
void writeSuisyou();

// Writes text as one CP932 file ending in CR LF, through a temporary file and a rename; pages
// write characters CP932 lacks as character references.
enum class TextKind { Page, Plain };
void writeZyunkaiFile(const QString& path, const QString& text, TextKind kind);
