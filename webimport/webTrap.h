#pragma once
// The two trap variants of the web import besides vbTrap: the parsers that trap also in
// debug mode, and the page loader that fails without a message.
#include "platform/vberror.h"

// Traps in every mode; shows the tag when the body failed.
template <class F>
bool vbTrapAlways(const QString& tag, F&& body)
{
    if (vbTrapSilent(body))
        return true;
    showTrapTag(tag);
    return false;
}

// Traps without a message, except in debug mode, where the error passes through.
template <class F>
bool vbTrapQuiet(F&& body)
{
    if (!debugMode)
        return vbTrapSilent(body);
    body();
    return true;
}
