#pragma once
// One program-wide "an import is running" token. Every entry point that loads pages (the race
// read, the results import) takes it first and gives up when it is held: two page loops would
// share the loading window, the cell table and the connection slots. While it is held, an index
// build of the race database waits (core/raceIndexes.h).
#include <functional>

class ImportGuard {
public:
    // Takes the token when it is free; acquired() tells whether it was.
    ImportGuard();
    // Gives the token back if this guard took it.
    ~ImportGuard();
    ImportGuard(const ImportGuard&) = delete;
    ImportGuard& operator=(const ImportGuard&) = delete;

    bool acquired() const { return acquired_; }
    // Like acquired(), but tells the user that another import is running when it was not.
    bool acquiredOrSaid() const;
    // True while any guard holds the token.
    static bool busy();

private:
    bool acquired_ = false;
};

// Called after the token was taken or given back (the main window greys its commands meanwhile);
// nullptr for none.
void setImportChangeHook(std::function<void()> hook);

// True, having told the user, while an import runs: for an entry point that only reads the data
// files an import holds.
bool saidImportBusy();
