#pragma once
// The demo world's pages as the authority's server sends them (CP932, whole pages): today's race
// cards, every horse's history and the results of every past race. Those of an even race number
// and every other horse's history end right after their last part; the others with a foot.
#include "tools/demoWorld.h"

#include <QByteArray>
#include <QHash>

// Path and query of each page as the program asks for them (the card's race number as the
// selector writes it, "01"; the results import's unpadded).
QString demoCardTarget(const DemoWorld& world, const DemoWorldRace& race);
QString demoResultsTarget(const DemoWorld& world, const DemoWorldRace& race);
QString demoHistoryTarget(const DemoHorse& horse);

QByteArray demoCard(const DemoWorld& world, const DemoWorldRace& race);
QByteArray demoResults(const DemoWorld& world, const DemoWorldRace& race);
QByteArray demoHistory(const DemoWorld& world, const DemoHorse& horse);
// What the authority answers for a page it does not have (a race that does not run, a day
// without racing at a track, an unknown horse): a whole page saying so.
QByteArray demoMissingPage();

// Every page of the world by its key (demoPageKey).
QHash<QByteArray, QByteArray> demoWorldPages(const DemoWorld& world);
// The key of a requested path and query: the page kind and its query values, however the
// number and the date are padded; empty for a path the site does not serve.
QByteArray demoPageKey(const QString& target);
