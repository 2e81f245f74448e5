#include "engine/connection_gate.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <QByteArray>
#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/file_descriptor.h"
#include "policy/navigation_policy.h"

namespace tarn {

struct ConnectionGate::State {
    State(FileDescriptor socket, std::optional<UpstreamProxy> proxy)
        : listener(std::move(socket)), upstream(std::move(proxy)) {}

    std::mutex mutex;
    std::weak_ptr<const PolicySlot> policy;
    // The accept thread and the gate share the listener; it closes when both are done with it.
    const FileDescriptor listener;
    const std::optional<UpstreamProxy> upstream;
    std::atomic<bool> stopping{false};

    bool allows(std::string_view host, unsigned port) {
        std::shared_ptr<const PolicySlot> current;
        {
            const std::lock_guard lock(mutex);
            current = policy.lock();
        }
        return current && current->allowsConnection(host, port);
    }
};

namespace {

// The replies of RFC 1928.
enum Reply : unsigned char {
    kSucceeded = 0,
    kGeneralFailure = 1,
    kNotAllowed = 2,
    kHostUnreachable = 4,
    kRefused = 5,
    kCommandNotSupported = 7,
    kAddressNotSupported = 8,
};

bool readExactly(int fd, void* into, size_t size) {
    auto* at = static_cast<unsigned char*>(into);
    while (size > 0) {
        const ssize_t got = ::recv(fd, at, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

// send() rather than write(): a peer gone raises no SIGPIPE.
bool sendAll(int fd, const void* from, size_t size) {
    const auto* at = static_cast<const unsigned char*>(from);
    while (size > 0) {
        const ssize_t sent = ::send(fd, at, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        at += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

void setTimeout(int fd, int seconds) {
    const timeval wait{seconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
}

bool reply(int fd, Reply code) {
    const std::array<unsigned char, 10> answer{5, code, 0, 1, 0, 0, 0, 0, 0, 0};
    return sendAll(fd, answer.data(), answer.size());
}

// True for "localhost" and the names below it, which the engine itself takes to this machine
// whatever the name service says.
bool isLocalhost(std::string_view host) {
    if (host.ends_with('.'))
        host.remove_suffix(1);
    constexpr std::string_view kName = "localhost";
    if (host.size() < kName.size())
        return false;
    const std::string_view tail = host.substr(host.size() - kName.size());
    const bool named = std::equal(tail.begin(), tail.end(), kName.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
    return named && (host.size() == kName.size() || host[host.size() - kName.size() - 1] == '.');
}

bool onThisMachine(std::string_view host) {
    return isLocalhost(host) || host.starts_with("127.") || host == "::1";
}

// A TCP connection to `host`, trying each of its addresses.
FileDescriptor connectTo(std::string host, unsigned port, bool* unknownHost) {
    if (isLocalhost(host))
        host = "127.0.0.1";
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        *unknownHost = true;
        return FileDescriptor(-1);
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, ::freeaddrinfo);
    for (const addrinfo* each = found; each; each = each->ai_next) {
        FileDescriptor attempt(::socket(each->ai_family, each->ai_socktype | SOCK_CLOEXEC, 0));
        if (attempt && ::connect(attempt.get(), each->ai_addr, each->ai_addrlen) == 0)
            return attempt;
    }
    return FileDescriptor(-1);
}

// Asks the machine's proxy for a tunnel to host:port, and reads its answer.
bool openTunnel(int fd, const UpstreamProxy& proxy, const std::string& host, unsigned port) {
    const std::string target = (host.find(':') == std::string::npos ? host : "[" + host + "]") +
                               ":" + std::to_string(port);
    std::string request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n";
    if (!proxy.authorization.empty())
        request += "Proxy-Authorization: " + proxy.authorization + "\r\n";
    request += "\r\n";
    if (!sendAll(fd, request.data(), request.size()))
        return false;
    // Byte by byte, so that nothing of the tunnel's own data is taken with the answer.
    std::string answer;
    while (!answer.ends_with("\r\n\r\n")) {
        char c = 0;
        if (answer.size() > 16384 || !readExactly(fd, &c, 1))
            return false;
        answer.push_back(c);
    }
    return answer.starts_with("HTTP/1.") && answer.size() > 12 &&
           answer.compare(8, 5, " 200 ") == 0;
}

// A STUN message (RFC 5389: two zero bits, then its type and length, then the magic cookie),
// alone as a relay's client sends it or after a two-byte length as peers frame it on TCP.
bool isStunMessage(std::string_view bytes) {
    constexpr std::string_view kCookie("\x21\x12\xa4\x42", 4);
    const auto at = [&](size_t start) {
        return bytes.size() >= start + 8 && (bytes[start] & 0xc0) == 0 &&
               bytes.substr(start + 4, 4) == kCookie;
    };
    return at(0) || at(2);
}

// Carries bytes both ways until both sides have finished.
void relay(int a, int b) {
    std::array<pollfd, 2> ends{pollfd{a, POLLIN, 0}, pollfd{b, POLLIN, 0}};
    std::array<char, 65536> buffer;
    int open = 2;
    while (open > 0) {
        if (::poll(ends.data(), ends.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (size_t i = 0; i < ends.size(); ++i) {
            if (ends[i].fd < 0 || !(ends[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const int to = ends[1 - i].fd < 0 ? (i == 0 ? b : a) : ends[1 - i].fd;
            const ssize_t got = ::recv(ends[i].fd, buffer.data(), buffer.size(), 0);
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0) {
                // This side is done: the other hears the end and may still answer.
                ::shutdown(to, SHUT_WR);
                ends[i].fd = -1;
                --open;
                continue;
            }
            if (!sendAll(to, buffer.data(), static_cast<size_t>(got)))
                return;
        }
    }
}

// One connection of the engine: the SOCKS5 greeting, the request, the judgement, the relay.
void serve(FileDescriptor client, std::shared_ptr<ConnectionGate::State> state) {
    const int fd = client.get();
    setTimeout(fd, 30);
    std::array<unsigned char, 255> bytes{};
    if (!readExactly(fd, bytes.data(), 2) || bytes[0] != 5 || bytes[1] == 0)
        return;
    const unsigned methods = bytes[1];
    if (!readExactly(fd, bytes.data(), methods))
        return;
    const bool noAuthentication =
        std::find(bytes.begin(), bytes.begin() + methods, 0) != bytes.begin() + methods;
    const std::array<unsigned char, 2> method{
        5, static_cast<unsigned char>(noAuthentication ? 0 : 0xff)};
    if (!sendAll(fd, method.data(), method.size()) || !noAuthentication)
        return;

    std::array<unsigned char, 4> head{};
    if (!readExactly(fd, head.data(), head.size()) || head[0] != 5)
        return;
    std::string host;
    switch (head[3]) {
        case 1: {
            std::array<unsigned char, 4> address{};
            char text[INET_ADDRSTRLEN] = {};
            if (!readExactly(fd, address.data(), address.size()) ||
                !::inet_ntop(AF_INET, address.data(), text, sizeof text))
                return;
            host = text;
            break;
        }
        case 3: {
            unsigned char length = 0;
            if (!readExactly(fd, &length, 1) || !readExactly(fd, bytes.data(), length))
                return;
            host.assign(reinterpret_cast<const char*>(bytes.data()), length);
            break;
        }
        case 4: {
            std::array<unsigned char, 16> address{};
            char text[INET6_ADDRSTRLEN] = {};
            if (!readExactly(fd, address.data(), address.size()) ||
                !::inet_ntop(AF_INET6, address.data(), text, sizeof text))
                return;
            host = text;
            break;
        }
        default:
            reply(fd, kAddressNotSupported);
            return;
    }
    std::array<unsigned char, 2> portBytes{};
    if (!readExactly(fd, portBytes.data(), portBytes.size()))
        return;
    const unsigned port = portBytes[0] * 256u + portBytes[1];
    if (head[1] != 1) {  // only CONNECT: the engine asks for nothing else
        reply(fd, kCommandNotSupported);
        return;
    }
    // A name with a NUL or an empty one would be judged as one thing and reached as another.
    if (host.empty() || host.find('\0') != std::string::npos || !state->allows(host, port)) {
        reply(fd, kNotAllowed);
        return;
    }

    bool unknownHost = false;
    // The machine's proxy can not reach this machine's own services for it.
    const std::optional<UpstreamProxy>& upstream =
        onThisMachine(host) ? std::nullopt : state->upstream;
    const FileDescriptor server = upstream ? connectTo(upstream->host, upstream->port, &unknownHost)
                                           : connectTo(host, port, &unknownHost);
    if (!server) {
        reply(fd, unknownHost ? kHostUnreachable : kRefused);
        return;
    }
    if (upstream) {
        setTimeout(server.get(), 30);
        if (!openTunnel(server.get(), *upstream, host, port)) {
            reply(fd, kGeneralFailure);
            return;
        }
    }
    if (!reply(fd, kSucceeded))
        return;
    setTimeout(fd, 0);
    setTimeout(server.get(), 0);
    // The engine speaks first on every connection a page can ask for (a request, a TLS hello).
    // A STUN message is a peer connection's, which a page may not have: its relay could carry
    // anything from anywhere.
    std::array<char, 65536> first;
    ssize_t got = 0;
    while ((got = ::recv(fd, first.data(), first.size(), 0)) < 0 && errno == EINTR) {
    }
    if (got <= 0 || isStunMessage(std::string_view(first.data(), static_cast<size_t>(got))) ||
        !sendAll(server.get(), first.data(), static_cast<size_t>(got)))
        return;
    const int on = 1;
    ::setsockopt(server.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    relay(fd, server.get());
}

void acceptLoop(std::shared_ptr<ConnectionGate::State> state) {
    while (!state->stopping) {
        const int fd = ::accept4(state->listener.get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EMFILE || errno == ENFILE) {
                // Out of descriptors: wait for some to close rather than spin.
                if (errno != EINTR && errno != ECONNABORTED)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                continue;
            }
            return;
        }
        try {
            std::thread(serve, FileDescriptor(fd), state).detach();
        } catch (const std::system_error&) {
            // No thread to serve it: the engine sees the connection closed.
        }
    }
}

}  // namespace

std::optional<UpstreamProxy> upstreamProxyFrom(std::string_view value, std::string* problem) {
    if (value.empty())
        return std::nullopt;
    std::string_view rest = value;
    if (const size_t scheme = rest.find("://"); scheme != std::string_view::npos) {
        if (rest.substr(0, scheme) != "http") {
            *problem = "only an http:// proxy can be used";
            return std::nullopt;
        }
        rest.remove_prefix(scheme + 3);
    }
    rest = rest.substr(0, rest.find('/'));
    UpstreamProxy proxy;
    if (const size_t at = rest.rfind('@'); at != std::string_view::npos) {
        const QByteArray user =
            QByteArray::fromPercentEncoding(QByteArray(rest.data(), static_cast<qsizetype>(at)));
        proxy.authorization = "Basic " + user.toBase64().toStdString();
        rest.remove_prefix(at + 1);
    }
    const size_t colon = rest.rfind(':');
    const bool bracketed = rest.starts_with('[');
    std::string_view host = rest;
    unsigned port = 80;
    if (colon != std::string_view::npos && (!bracketed || colon > rest.find(']'))) {
        host = rest.substr(0, colon);
        const std::string_view digits = rest.substr(colon + 1);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (error != std::errc() || end != digits.data() + digits.size() || port == 0 ||
            port > 65535) {
            *problem = "its port is not a number from 1 to 65535";
            return std::nullopt;
        }
    }
    if (bracketed && host.ends_with(']'))
        host = host.substr(1, host.size() - 2);
    if (host.empty()) {
        *problem = "it names no host";
        return std::nullopt;
    }
    proxy.host = std::string(host);
    proxy.port = static_cast<std::uint16_t>(port);
    return proxy;
}

ConnectionGate::ConnectionGate(std::optional<UpstreamProxy> upstream) {
    FileDescriptor listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool listening =
        listener &&
        ::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(listener.get(), SOMAXCONN) == 0 &&
        ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) == 0;
    state_ = std::make_shared<State>(listening ? std::move(listener) : FileDescriptor(-1),
                                     std::move(upstream));
    if (!listening)
        return;
    try {
        std::thread(acceptLoop, state_).detach();
    } catch (const std::system_error&) {
        return;
    }
    port_ = ntohs(address.sin_port);
}

ConnectionGate::~ConnectionGate() {
    state_->stopping = true;
    // Wakes the accept thread, which then ends.
    if (state_->listener)
        ::shutdown(state_->listener.get(), SHUT_RDWR);
}

void ConnectionGate::judgeWith(const std::shared_ptr<const PolicySlot>& policy) {
    const std::lock_guard lock(state_->mutex);
    state_->policy = policy;
}

}  // namespace tarn
