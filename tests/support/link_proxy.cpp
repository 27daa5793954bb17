#include "link_proxy.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QRegularExpression>
#include <array>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

int connectToServer(const QString& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = path.toLocal8Bit();
    std::memcpy(address.sun_path, name.constData(),
                std::min(sizeof(address.sun_path) - 1, static_cast<size_t>(name.size())));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

LinkProxy::LinkProxy()
    : LinkProxy(QRegularExpression(QStringLiteral("host=(\\S+)"))
                    .match(qEnvironmentVariable("HELVARINE_TEST_DATABASE"))
                    .captured(1) +
                QStringLiteral("/.s.PGSQL.5432")) {}

LinkProxy::LinkProxy(const QString& serverSocket) : m_serverSocket(serverSocket) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(m_listener, 16);
    socklen_t size = sizeof(address);
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

LinkProxy::~LinkProxy() {
    m_stop = true;
    m_thread.join();
    close(m_listener);
}

QString LinkProxy::connectionText(const QString& databaseName) const {
    return QStringLiteral("host=127.0.0.1 port=%1 user=postgres dbname=%2")
        .arg(m_port)
        .arg(databaseName);
}

namespace {

using Clock = std::chrono::steady_clock;

bool writeAll(int to, const char* bytes, size_t size) {
    for (size_t sent = 0; sent < size;) {
        // A side that closed meanwhile ends the pair, not the test (SIGPIPE).
        const ssize_t wrote = send(to, bytes + sent, size - sent, MSG_NOSIGNAL);
        if (wrote <= 0) {
            return false;
        }
        sent += static_cast<size_t>(wrote);
    }
    return true;
}

// One way of a connection: what was read from `from` and is on its way to `to`.
struct Way {
    int from;
    int to;
    std::deque<std::pair<Clock::time_point, std::string>> inFlight;  // arrival, bytes
    Clock::time_point linkFree{};  // when the link has sent what it was given
};

}  // namespace

void LinkProxy::run() {
    // ways[2 * i] goes from the program to the server, ways[2 * i + 1] back.
    std::vector<Way> ways;
    std::array<char, 65536> buffer{};
    const auto closePair = [&ways](size_t first) {
        close(ways[first].from);
        close(ways[first].to);
        ways.erase(ways.begin() + static_cast<std::ptrdiff_t>(first),
                   ways.begin() + static_cast<std::ptrdiff_t>(first) + 2);
    };
    while (!m_stop) {
        std::vector<pollfd> watched{{m_listener, POLLIN, 0}};
        auto wake = Clock::now() + std::chrono::milliseconds(50);
        for (const Way& way : ways) {
            watched.push_back({way.from, POLLIN, 0});
            if (!way.inFlight.empty()) {
                wake = std::min(wake, way.inFlight.front().first);
            }
        }
        const auto timeout = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now());
        const int ready = poll(watched.data(), watched.size(),
                               static_cast<int>(std::max<long long>(0, timeout.count())));
        const size_t polled = ways.size();  // a pair accepted now is polled from the next round
        if (ready > 0 && (watched[0].revents & POLLIN) != 0) {
            const int client = accept(m_listener, nullptr, nullptr);
            const int server = m_mode == Mode::Refuse ? -1 : connectToServer(m_serverSocket);
            if (server < 0) {
                close(client);
            } else {
                ways.push_back({client, server, {}, {}});
                ways.push_back({server, client, {}, {}});
            }
        }
        const long long rate = m_rate;
        const std::chrono::milliseconds delay = m_delay;
        std::vector<bool> closed(polled, false);
        for (size_t i = 0; i < polled; ++i) {
            Way& way = ways[i];
            const bool fromClient = i % 2 == 0;
            if (ready > 0 && (watched[1 + i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                const ssize_t got = read(way.from, buffer.data(), buffer.size());
                if (got <= 0) {
                    closed[i - i % 2] = true;
                    continue;
                }
                if (m_mode != Mode::Pass && (m_mode != Mode::Deaf || !fromClient)) {
                    continue;  // swallowed
                }
                if (!fromClient) {
                    m_bytesToProgram += got;
                }
                const auto size = static_cast<size_t>(got);
                if (rate == 0 && delay.count() == 0) {
                    closed[i - i % 2] = closed[i - i % 2] || !writeAll(way.to, buffer.data(), size);
                    continue;
                }
                // The link sends at its rate, one chunk after the other; each arrives after
                // the delay.
                const auto sending = std::chrono::nanoseconds(
                    rate == 0 ? 0 : static_cast<long long>(size) * 1000000000LL / rate);
                way.linkFree = std::max(way.linkFree, Clock::now()) + sending;
                way.inFlight.emplace_back(way.linkFree + delay, std::string(buffer.data(), size));
            }
        }
        const auto now = Clock::now();
        for (size_t i = 0; i < polled; ++i) {
            Way& way = ways[i];
            while (!way.inFlight.empty() && way.inFlight.front().first <= now) {
                const std::string& bytes = way.inFlight.front().second;
                if (!writeAll(way.to, bytes.data(), bytes.size())) {
                    closed[i - i % 2] = true;
                }
                way.inFlight.pop_front();
            }
        }
        for (size_t i = polled; i >= 2; i -= 2) {
            if (closed[i - 2]) {
                closePair(i - 2);
            }
        }
    }
    for (size_t i = 0; i < ways.size(); i += 2) {
        close(ways[i].from);
        close(ways[i].to);
    }
}
