#pragma once
// The pieces every demo page shares: the authority's paths, the page's head and foot, cells and
// the number forms its tables write.
#include "platform/vbdate.h"

#include <QString>

extern const QString kDemoCardPath;     // race card, before its query
extern const QString kDemoResultsPath;  // results page, before its query
extern const QString kDemoHorsePath;    // horse history, up to the registration id

// The query date: yyyy%2Fmm%2Fdd.
QString demoDateQuery(const VbDate& day);
// Bracket of a horse number in a field of that size, as the authority splits the eight brackets.
int demoBracketOf(int number, int field);

// From <html> to the breadcrumb table (row 3, cell 1 holds the crumb).
QString demoPageHead(const QString& title, const QString& crumb);
// The foot table and the end of the page.
QString demoPageFoot(const QString& text);
// The end of a page that stops right after its last part, without a foot.
QString demoPageEnd();
QString demoCell(const QString& text);

// A time in tenths of a second: 1:14:2 (49:8 under a minute) as history and results pages write
// it, 1:14.2 with u'.' as the race card writes it.
QString demoTimeText(int tenths, QChar tenthMark = u':');
// Tenths as "55.0", "-0.3".
QString demoTenthsText(int tenths);
