// Linked into the test programs of the ThreadSanitizer build only.
//
// QProcess starts a program through clone(CLONE_VM | CLONE_VFORK): the child borrows the
// parent's memory until it executes the program. The sanitizer's runtime of clang 14 handles
// every clone as a fork into memory of its own, so the child rewrites the parent's sanitizer
// state and the parent then stops in a failed check of the runtime. Here the child gets a copy of
// the memory instead: a plain fork, which the runtime understands, that the parent still waits
// for until the program is executed. Threads are made by the C library without this function.
#include <sched.h>
#include <sys/types.h>

#include <cstdarg>

extern "C" int __interceptor_clone(int (*fn)(void*), void* stack, int flags, void* arg,
                                   int* parentTid, void* tls, pid_t* childTid);

extern "C" int clone(int (*fn)(void*), void* stack, int flags, void* arg, ...) noexcept {
    va_list rest;
    va_start(rest, arg);
    auto* parentTid = va_arg(rest, int*);
    auto* tls = va_arg(rest, void*);
    auto* childTid = va_arg(rest, pid_t*);
    va_end(rest);
    if ((flags & CLONE_VFORK) != 0) {
        flags &= ~CLONE_VM;
    }
    return __interceptor_clone(fn, stack, flags, arg, parentTid, tls, childTid);
}
