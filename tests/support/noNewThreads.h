#pragma once
// Runs the body while no thread can start: every new thread asks for more stack than any address
// space holds, whatever the machine lends or overcommits. Qt paints with threads of its own: the
// body must not paint.
#include <pthread.h>

template <class F>
void withoutNewThreads(F&& body)
{
    struct Restore {
        pthread_attr_t usual {};
        ~Restore()
        {
            pthread_setattr_default_np(&usual);
            pthread_attr_destroy(&usual);
        }
    } restore;
    pthread_getattr_default_np(&restore.usual);
    pthread_attr_t none;
    pthread_getattr_default_np(&none);
    pthread_attr_setstacksize(&none, size_t(1) << 62);
    pthread_setattr_default_np(&none);
    pthread_attr_destroy(&none);
    body();
}
