#pragma once
// The program's fixed vocabulary and small shared procedures: going, regions, the
// authority's track codes, central track codes, colours, weekday label, time text,
// the program folder and the settings file. None of them traps errors.
#include "platform/inifile.h"
#include "platform/vbdate.h"
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

int32_t babaToCode(const QString& baba);
QString codeToBaba(int32_t code);
QString zyoToChiku(const QString& zyo);
QString zyoToNarCode(const QString& zyo);
QString zyoToJraCode(const QString& zyo);
// The mark in front of a central track's name ("Ｊ中山"), which is also the region of its runs.
inline const QString kCentralMark = QStringLiteral("Ｊ");
bool isCentralTrack(const QString& zyo);
uint32_t wakuColor(int32_t waku);
uint32_t cyakuColor(int32_t cyaku);
QString weekdayLabel(const VbDate& date);
QString timeToText(float t);
QString delSpace(const QString& text);

// The period choice of the analysis pages: "6ヶ月以内対象", "1年以内対象", "2年以内対象" and
// "全期間対象" (exact texts, in that order). kikanDays gives 183, 365, 730 or 3650 days, 0 for
// any other text; kikanBound the day number of raceDate minus those days, 0 for any other text.
// A run counts when its date is strictly after the bound.
const QStringList& kikanEntries();
int32_t kikanDays(const QString& text);
int32_t kikanBound(const QString& text, const VbDate& raceDate);

// The program folder with a trailing separator ("/" here).
QString appPath();
// Tests point the program folder at a temporary one.
void setAppPathForTests(const QString& folder);

// The top-level window of that object name (case-sensitive), or null.
QWidget* loadedForm(const QString& name);
bool isFormLoaded(const QString& name);
// The administration window is open: its batch drives the race read, and nothing may wait for the user.
bool batchMode();

// The settings file Strevin.ini in the program folder.
QString iniRead(const QString& section, const QString& key, const QString& def);
// False when the file could not be written (a read-only program folder).
bool iniWrite(const QString& section, const QString& key, const QString& value);
// Several keys at once: every one written, or (false) none.
bool iniWriteAll(const QList<IniEntry>& entries);
// The authority's server when Strevin.ini names none: [System] webHost, "host" or "host:port".
inline const QString webHostDefault = QStringLiteral("localhost");
// Puts the default settings file Strevin.ini into targetDir, holding [System] webHost with its
// default so that the user finds the setting (CP932, CR LF as every settings file). An existing
// settings file is kept as it is. False when it cannot be written.
bool createDefaultSettings(const QString& targetDir);

// The database password of the race, track information and comment files.
inline const QString dbPassword = QStringLiteral("lumo");

// Writes [System] Zyo (the main window's track selector, through the hook it registers) and
// says so when it cannot, then closes every window.
void endProgram();
// True once endProgram has begun closing the windows (a closing sheet then brings nothing back).
bool isProgramEnding();
void setTrackSelectorHook(QString (*currentZyo)());
