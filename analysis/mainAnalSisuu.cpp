#include "analysis/mainAnalSisuu.h"

#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/publicSisuu.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"

#include <QSet>
#include <memory>

namespace {

// Every race read sizes the run table for at least this many past runs.
constexpr int kIndexedRuns = 100;
// A run at a central track carries its track name behind this mark.
constexpr QChar kJraMark(0xFF2A);  // "Ｊ"

// The track file between the loans of one race read.
struct TrackFileSession {
    std::unique_ptr<Connection> connection;
    QSet<QString> readableTables;
    bool failureShown = false;
};
TrackFileSession session;

void checkTables(int slot, const QStringList& tables)
{
    for (const QString& table : tables) {
        if (session.readableTables.contains(table))
            continue;
        RecordSet(slot, "SELECT * FROM " + quoteIdent(table) + " LIMIT 1");
        session.readableTables.insert(table);
    }
}

// The runners and the factors that follow would all find the same file: one message says it.
void showFailureOnce()
{
    if (session.failureShown)
        return;
    session.failureShown = true;
    msgBox(QStringLiteral("dataファイルが開けません"), vbOKOnly);
}

}

TrackFileLoan::TrackFileLoan(int slot, const QStringList& tables)
    : slot_(slot)
{
    try {
        if (session.connection) {
            cnDB[size_t(slot)] = std::move(session.connection);
        } else {
            openDbOrThrow(slot, appPath() + "Strevin_data.dat", dbPassword);
            session.readableTables.clear();
        }
        lent_ = cnDB[size_t(slot)].get();
        checkTables(slot, tables);
        snapshot_.emplace(slot);
        open_ = true;
    } catch (const std::exception&) {
        takeBack();
        if (debugMode)
            throw;
        showFailureOnce();
    }
}

TrackFileLoan::~TrackFileLoan()
{
    snapshot_.reset();
    takeBack();
}

void TrackFileLoan::takeBack()
{
    // A procedure that opened something else on the slot meanwhile keeps it.
    if (lent_ && cnDB[size_t(slot_)].get() == lent_)
        session.connection = std::move(cnDB[size_t(slot_)]);
    lent_ = nullptr;
}

void endTrackFileSession()
{
    session = TrackFileSession();
}

void calcUmaSisuu()
{
    const int h = pd.umaIdx;
    // The race read indexes its runners from the first on, so runner 1 begins a new read.
    if (h == 1)
        endTrackFileSession();
    const TrackFileLoan local(1, {"T_sisuu", "T_avetime"});
    vbTrap(QStringLiteral("U_sisuu算出エラー(err-BA05)"), [&] {
        for (int k = 1; k <= kIndexedRuns; ++k) {
            if (!(pd.uTime(h, k) > 0))
                continue;
            if (pd.uZyo(h, k).startsWith(kJraMark)) {
                if (pd.jraGraphOn)
                    calcUSisuuJra(h, k);
            } else if (local.isOpen()) {
                calcUSisuu(h, k, 1);
            }
        }
    });
}
