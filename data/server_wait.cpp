#include "server_wait.h"

#include <poll.h>

namespace {

ServerWaiter* g_waiter = nullptr;
int g_waits = 0;
// The background's silence limit while a Background stands; zero otherwise.
std::chrono::milliseconds g_backgroundSilence{0};

constexpr int kStepMs = 50;

}  // namespace

void ServerWait::setWaiter(ServerWaiter* waiter) {
    g_waiter = waiter;
}

bool ServerWait::active() {
    return g_waits > 0;
}

ServerWait::Background::Background(std::chrono::milliseconds silence)
    : m_previous(g_backgroundSilence) {
    g_backgroundSilence = silence;
}

ServerWait::Background::~Background() {
    g_backgroundSilence = m_previous;
}

ServerWait::Wait::Wait() : m_start(Clock::now()), m_lastProgress(m_start), m_lastAsked(m_start) {
    ++g_waits;
}

ServerWait::Wait::~Wait() {
    --g_waits;
    if (m_asked && g_waiter != nullptr) {
        g_waiter->finished();
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
    const bool background = g_backgroundSilence.count() > 0;
    if (background && Clock::now() - m_lastProgress > g_backgroundSilence) {
        result.verdict = Verdict::GivenUp;
        return result;
    }
    // A quick answer never reaches the waiter: only a wait that lasts lets the windows go on.
    if (g_waiter != nullptr && Clock::now() - m_lastAsked >= std::chrono::milliseconds(kStepMs)) {
        m_lastAsked = Clock::now();
        m_asked = true;
        if (!g_waiter->keepWaiting(waited(), background)) {
            result.verdict = Verdict::Cancelled;
        }
    }
    return result;
}
