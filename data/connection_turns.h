#pragma once

// Makes ThreadSanitizer check that a database connection is used by one thread at a time.
//
// A connection changes threads: the list's read-ahead thread reads from it while the windows'
// thread waits for rows, and the windows' thread has it before and after. The turns are ordered
// by the read-ahead's lock and the join of its thread. The database libraries are not built with
// the sanitizer, so it cannot see their own use of the connection; each use therefore also
// writes this plain counter in the sanitizer's build, where two uses that no lock or join orders
// are reported as a data race on it. In other builds it does nothing.
#if defined(__SANITIZE_THREAD__)
#define HELVARINE_CHECK_TURNS 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define HELVARINE_CHECK_TURNS 1
#endif
#endif

class ConnectionTurns {
public:
    // Called by every use of the connection, on the thread that uses it.
    void take() const noexcept {
#if defined(HELVARINE_CHECK_TURNS)
        ++m_uses;
#endif
    }

#if defined(HELVARINE_CHECK_TURNS)
private:
    mutable unsigned m_uses = 0;
#endif
};
