#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

class PolicySlot;

// A proxy the machine names for the web (an "http://[user:password@]host:port" address).
struct UpstreamProxy {
    std::string host;
    std::uint16_t port = 0;
    std::string authorization;  // "Basic ..." when the address carries a user, else empty
};

// The proxy in a proxy variable's value; nothing for an empty value. `problem` is set, and
// nothing returned, for a value that names a proxy the gate can not use.
std::optional<UpstreamProxy> upstreamProxyFrom(std::string_view value, std::string* problem);

// The engine's one way out: a SOCKS5 proxy on 127.0.0.1 through which the engine opens every
// connection, judged by the current policy before it is made. It sees the connections no
// request check does (a peer connection's relays above all), so a page can not reach an
// excluded host past the filter. Without a policy, or with one that refuses, the connection is
// refused; a connection allowed goes straight to the host, or through `upstream`'s CONNECT when
// the machine names a proxy.
class ConnectionGate {
  public:
    // Listens on 127.0.0.1 on a port the system picks; port() is 0 when it could not.
    explicit ConnectionGate(std::optional<UpstreamProxy> upstream);
    // Stops taking connections; those open run on to their end.
    ~ConnectionGate();
    ConnectionGate(const ConnectionGate&) = delete;
    ConnectionGate& operator=(const ConnectionGate&) = delete;

    std::uint16_t port() const { return port_; }
    // The policy that judges from now on. The gate keeps no hold on it: once it is gone,
    // every connection is refused.
    void judgeWith(const std::shared_ptr<const PolicySlot>& policy);

    struct State;

  private:
    std::uint16_t port_ = 0;
    std::shared_ptr<State> state_;
};

}  // namespace tarn
