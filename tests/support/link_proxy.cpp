#include "link_proxy.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QRegularExpression>
#include <array>
#include <cstring>
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

LinkProxy::LinkProxy() {
    const QString server = qEnvironmentVariable("HELVARINE_TEST_DATABASE");
    const QString folder =
        QRegularExpression(QStringLiteral("host=(\\S+)")).match(server).captured(1);
    m_serverSocket = folder + QStringLiteral("/.s.PGSQL.5432");
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

void LinkProxy::run() {
    struct Pair {
        int client;
        int server;
    };
    std::vector<Pair> pairs;
    std::array<char, 65536> buffer{};
    while (!m_stop) {
        std::vector<pollfd> watched{{m_listener, POLLIN, 0}};
        for (const Pair& pair : pairs) {
            watched.push_back({pair.client, POLLIN, 0});
            watched.push_back({pair.server, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), 50) <= 0) {
            continue;
        }
        const size_t polled = pairs.size();  // a pair accepted now is polled from the next round
        if ((watched[0].revents & POLLIN) != 0) {
            const int client = accept(m_listener, nullptr, nullptr);
            const int server = m_mode == Mode::Refuse ? -1 : connectToServer(m_serverSocket);
            if (server < 0) {
                close(client);
            } else {
                pairs.push_back({client, server});
            }
        }
        std::vector<Pair> open(pairs.begin() + static_cast<std::ptrdiff_t>(polled), pairs.end());
        for (size_t i = 0; i < polled; ++i) {
            bool closed = false;
            for (const bool fromClient : {true, false}) {
                const pollfd& side = watched[1 + 2 * i + (fromClient ? 0 : 1)];
                if (closed || (side.revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                    continue;
                }
                const ssize_t got = read(side.fd, buffer.data(), buffer.size());
                if (got <= 0) {
                    closed = true;
                } else if (m_mode == Mode::Pass || (m_mode == Mode::Deaf && fromClient)) {
                    if (!fromClient) {
                        m_bytesToProgram += got;
                    }
                    const int to = fromClient ? pairs[i].server : pairs[i].client;
                    for (ssize_t sent = 0; sent < got;) {
                        // A side that closed meanwhile ends the pair, not the test (SIGPIPE).
                        const ssize_t wrote = send(to, buffer.data() + sent,
                                                   static_cast<size_t>(got - sent), MSG_NOSIGNAL);
                        if (wrote <= 0) {
                            closed = true;
                            break;
                        }
                        sent += wrote;
                    }
                }
            }
            if (closed) {
                close(pairs[i].client);
                close(pairs[i].server);
            } else {
                open.push_back(pairs[i]);
            }
        }
        pairs = std::move(open);
    }
    for (const Pair& pair : pairs) {
        close(pair.client);
        close(pair.server);
    }
}
