#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <thread>

// A TCP proxy of the tests' own between the program and the run's PostgreSQL server, which plays
// the network: it passes the bytes, swallows every byte both ways (a pulled cable, a dead VPN:
// nothing arrives and nothing is refused), swallows only the server's answers, or refuses
// connections (a server that is down). What it passes may cross a slow link: a rate and a delay
// each way.
class LinkProxy {
public:
    // Deaf: the program's bytes reach the server, the server's answers are swallowed.
    enum class Mode { Pass, Swallow, Refuse, Deaf };

    // Forwards to the server of the test run (HELVARINE_TEST_DATABASE's socket folder), or to
    // the server listening on the Unix socket `serverSocket`.
    LinkProxy();
    explicit LinkProxy(const QString& serverSocket);
    ~LinkProxy();
    LinkProxy(const LinkProxy&) = delete;
    LinkProxy& operator=(const LinkProxy&) = delete;

    void setMode(Mode mode) { m_mode = mode; }
    // A link of `bytesPerSecond` each way whose bytes arrive `delay` after they were sent; set
    // before the connections are made. Zero: as fast as the machine.
    void setLink(long long bytesPerSecond, std::chrono::milliseconds delay) {
        m_rate = bytesPerSecond;
        m_delay = delay;
    }
    // The bytes passed from the server to the program so far.
    long long bytesToProgram() const { return m_bytesToProgram; }
    // The connection text of the database through the proxy.
    QString connectionText(const QString& databaseName) const;

private:
    void run();

    QString m_serverSocket;
    std::atomic<long long> m_rate{0};
    std::atomic<std::chrono::milliseconds> m_delay{std::chrono::milliseconds(0)};
    int m_listener = -1;
    int m_port = 0;
    std::atomic<Mode> m_mode{Mode::Pass};
    std::atomic<bool> m_stop{false};
    std::atomic<long long> m_bytesToProgram{0};
    std::thread m_thread;
};
