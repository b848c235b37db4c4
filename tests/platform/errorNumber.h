#pragma once
#include "platform/vberror.h"

// The run-time error number f raises, 0 when it raises none.
template <class F>
int errorNumberOf(F&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}
