#include "connection_loss.h"

#include <QThread>
#include <vector>

namespace {

struct State {
    std::vector<int> levels;  // the event loop level of each open action, innermost last
    int lostAt = -1;          // the level of the command that lost the connection
    int reportedAt = -1;      // the level of the command that reported a lost connection
};

thread_local State t_state;

int loopLevel() {
    return QThread::currentThread()->loopLevel();
}

}  // namespace

ConnectionLoss::Action::Action() : m_level(loopLevel()) {
    m_outermost = t_state.levels.empty() || t_state.levels.back() != m_level;
    t_state.levels.push_back(m_level);
}

ConnectionLoss::Action::~Action() {
    t_state.levels.pop_back();
    if (!m_outermost) {
        return;
    }
    if (t_state.lostAt == m_level) {
        t_state.lostAt = -1;
    }
    if (t_state.reportedAt == m_level) {
        t_state.reportedAt = -1;
    }
}

void ConnectionLoss::lost() {
    if (!t_state.levels.empty() && t_state.lostAt < 0) {
        t_state.lostAt = t_state.levels.back();
    }
}

void ConnectionLoss::regained() {
    t_state.lostAt = -1;
}

bool ConnectionLoss::holding() {
    return t_state.lostAt >= 0;
}

bool ConnectionLoss::firstReport() {
    if (t_state.levels.empty()) {
        return true;
    }
    if (t_state.reportedAt >= 0) {
        return false;
    }
    t_state.reportedAt = t_state.levels.back();
    return true;
}
