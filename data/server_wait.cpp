#include "server_wait.h"

#include <poll.h>

#include <atomic>
#include <thread>

namespace {

// The waiter and the thread it serves (the windows' thread): another thread's waits (the list's
// read-ahead) only poll.
std::atomic<ServerWaiter*> g_waiter{nullptr};
std::atomic<std::thread::id> g_waiterThread{};
std::atomic<int> g_waits{0};
// The background's silence limit in milliseconds while a Background stands; zero otherwise.
std::atomic<long long> g_backgroundSilence{0};

ServerWaiter* waiterHere() {
    return std::this_thread::get_id() == g_waiterThread.load() ? g_waiter.load() : nullptr;
}

constexpr int kStepMs = 50;

}  // namespace

void ServerWait::setWaiter(ServerWaiter* waiter) {
    g_waiter = waiter;
    g_waiterThread = std::this_thread::get_id();
}

ServerWaiter* ServerWait::waiter() {
    return g_waiter;
}

bool ServerWait::active() {
    return g_waits > 0;
}

ServerWait::Background::Background(std::chrono::milliseconds silence)
    : m_previous(g_backgroundSilence.load()) {
    g_backgroundSilence = silence.count();
}

ServerWait::Background::~Background() {
    g_backgroundSilence = m_previous.count();
}

ServerWait::Wait::Wait() : m_start(Clock::now()), m_lastProgress(m_start), m_lastAsked(m_start) {
    ++g_waits;
}

ServerWait::Wait::~Wait() {
    --g_waits;
    if (ServerWaiter* waiter = waiterHere(); m_asked && waiter != nullptr) {
        waiter->finished();
    }
}

std::chrono::milliseconds ServerWait::Wait::waited() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start);
}

ServerWait::Wait::Step ServerWait::Wait::step(int socket, bool forWriting) {
    Step result;
    pollfd watched{socket, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    result.ready = socket < 0 || poll(&watched, 1, kStepMs) != 0;
    if (result.ready) {
        progressed();
    }
    const std::chrono::milliseconds silence(g_backgroundSilence.load());
    const bool background = silence.count() > 0;
    if (background && Clock::now() - m_lastProgress > silence) {
        result.verdict = Verdict::GivenUp;
        return result;
    }
    // A quick answer never reaches the waiter: only a wait that lasts lets the windows go on.
    ServerWaiter* waiter = waiterHere();
    if (waiter != nullptr && Clock::now() - m_lastAsked >= std::chrono::milliseconds(kStepMs)) {
        m_lastAsked = Clock::now();
        m_asked = true;
        if (!waiter->keepWaiting(waited(), background)) {
            result.verdict = Verdict::Cancelled;
        }
    }
    return result;
}
