#pragma once
// The run-time error model: a failing platform call throws VbError; a procedure that
// traps its errors catches it at its own boundary with vbTrap() and shows its tag.
#include <QString>
#include <stdexcept>

// Error numbers follow the classic run-time numbering so messages read familiar.
enum VbErrNo {
    vbErrTypeMismatch = 13,
    vbErrSubscript = 9,
    vbErrOverflow = 6,
    vbErrDivByZero = 11,
    vbErrInvalidUse = 94,     // Null where a value was needed
    vbErrObjectMissing = 91,  // a closed record set or slot
    vbErrFile = 53,
    vbErrDatabase = 3000,
};

class VbError : public std::runtime_error {
public:
    VbError(int number, const QString& description);
    int number() const { return number_; }
    QString description() const { return description_; }

private:
    int number_;
    QString description_;
};

// The marker file `kanri.id` switches it on: then no procedure traps, and errors reach
// the top-level handler of the application.
extern bool debugMode;

void showTrapTag(const QString& tag);

// Traps in every mode and shows nothing (the writers that roll back silently).
template <class F>
bool vbTrapSilent(F&& body)
{
    try {
        body();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Traps in every mode; shows the tag (OK only) when the body failed (the parsers that trap
// also in debug mode).
template <class F>
bool vbTrapAlways(const QString& tag, F&& body)
{
    if (vbTrapSilent(body))
        return true;
    showTrapTag(tag);
    return false;
}

// The trap of almost every procedure: unless debugMode is on, an error shows `tag` and false is
// returned; in debug mode exceptions pass through untouched.
template <class F>
bool vbTrap(const QString& tag, F&& body)
{
    if (!debugMode)
        return vbTrapAlways(tag, body);
    body();
    return true;
}

// Like vbTrap, but without a message (the page loader fails quietly).
template <class F>
bool vbTrapQuiet(F&& body)
{
    if (!debugMode)
        return vbTrapSilent(body);
    body();
    return true;
}
