#pragma once

#include <QString>
#include <atomic>
#include <thread>

// A TCP proxy of the tests' own between the program and the run's PostgreSQL server, which plays
// the network: it passes the bytes, swallows every byte both ways (a pulled cable, a dead VPN:
// nothing arrives and nothing is refused), swallows only the server's answers, or refuses
// connections (a server that is down).
class LinkProxy {
public:
    // Deaf: the program's bytes reach the server, the server's answers are swallowed.
    enum class Mode { Pass, Swallow, Refuse, Deaf };

    // Forwards to the server of the test run (HELVARINE_TEST_DATABASE's socket folder).
    LinkProxy();
    ~LinkProxy();
    LinkProxy(const LinkProxy&) = delete;
    LinkProxy& operator=(const LinkProxy&) = delete;

    void setMode(Mode mode) { m_mode = mode; }
    // The bytes passed from the server to the program so far.
    long long bytesToProgram() const { return m_bytesToProgram; }
    // The connection text of the database through the proxy.
    QString connectionText(const QString& databaseName) const;

private:
    void run();

    QString m_serverSocket;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<Mode> m_mode{Mode::Pass};
    std::atomic<bool> m_stop{false};
    std::atomic<long long> m_bytesToProgram{0};
    std::thread m_thread;
};
