#pragma once
// Runs the body on the calling thread as a thread that cannot start another: the process may have
// no more tasks, and the thread's real and effective user is nobody (root, or a thread with root's
// powers, starts threads past any limit). Its opens stay root's, but what it asks with access()
// (as QFileInfo::exists does) is asked as nobody. The other threads of the process keep their
// user. Qt paints with threads of its own: the body must not paint.
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

template <class F>
void withoutNewThreads(F&& body)
{
    struct Restore {
        rlimit limit {};
        ~Restore()
        {
            syscall(SYS_setresuid, 0, 0, 0);
            setrlimit(RLIMIT_NPROC, &limit);
        }
    } restore;
    getrlimit(RLIMIT_NPROC, &restore.limit);
    const rlimit none {0, restore.limit.rlim_max};
    setrlimit(RLIMIT_NPROC, &none);
    syscall(SYS_setresuid, 65534, 65534, 0);  // the raw call changes this thread alone
    setfsuid(0);
    body();
}
