#pragma once

#include <chrono>

// How the program waits for its server. The engine never blocks in libpq: it polls the
// connection's socket in short steps and, between them, lets the program's waiter keep the
// windows painted and, once a statement has taken long, show a window that can cancel it. Without
// a waiter (tests of the data store, tools) the steps just poll.
class ServerWaiter {
public:
    virtual ~ServerWaiter() = default;
    // Called about every 50 ms while the server is awaited, with the time waited so far and
    // whether the wait is the background's (no window then). False once the person cancelled.
    virtual bool keepWaiting(std::chrono::milliseconds waited, bool background) = 0;
    // The wait is over; called only after keepWaiting was.
    virtual void finished() = 0;
};

namespace ServerWait {

using Clock = std::chrono::steady_clock;

// The program's waiter, or nullptr.
void setWaiter(ServerWaiter* waiter);
ServerWaiter* waiter();
// True while the server is awaited: a timer that would use the connection stays away.
bool active();

// While one stands, waits are the background's: no window shows, and a wait in which nothing
// arrived for `silence` is given up (the live list tries again later instead of freezing).
class Background {
public:
    explicit Background(std::chrono::milliseconds silence);
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

private:
    std::chrono::milliseconds m_previous;
};

// One wait for a connection's socket.
class Wait {
public:
    Wait();
    ~Wait();
    Wait(const Wait&) = delete;
    Wait& operator=(const Wait&) = delete;

    enum class Verdict { Go, Cancelled, GivenUp };
    struct Step {
        bool ready = false;  // the socket is ready to read (or write)
        Verdict verdict = Verdict::Go;
    };
    // Waits up to 50 ms for the socket, then asks the waiter.
    Step step(int socket, bool forWriting);
    // Something arrived: a background wait's silence starts again.
    void progressed() { m_lastProgress = Clock::now(); }
    std::chrono::milliseconds waited() const;

private:
    Clock::time_point m_start;
    Clock::time_point m_lastProgress;
    Clock::time_point m_lastAsked;
    bool m_asked = false;
};

}  // namespace ServerWait
