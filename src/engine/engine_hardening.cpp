#include "engine/engine_hardening.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string_view>

#include "engine/connection_gate.h"

namespace tarn {
namespace {

constexpr std::array<std::string_view, 16> kRefusedSwitches{
    // A debugger could drive the pages past every check.
    "remote-debugging-port", "remote-debugging-pipe", "auto-open-devtools-for-tabs",
    "remote-allow-origins",
    // These would undo or loosen the switches below.
    "disable-blink-features", "force-webrtc-ip-handling-policy", "webrtc-ip-handling-policy",
    "enable-quic", "origin-to-force-quic-on", "enable-experimental-web-platform-features",
    // The engine's connections go through the gate and nowhere else.
    "proxy-server", "proxy-pac-url", "proxy-bypass-list", "no-proxy-server", "proxy-auto-detect",
    "winhttp-proxy-resolver"};

// What pages may not have: WebTransport and QUIC go past the request check; WebRTC keeps only
// TCP through the proxy, which is the connection gate, and the page guard script takes it away
// as well; the rest reach sockets or devices directly.
constexpr char kSupervisionSwitches[] =
    "--disable-blink-features=WebTransport,DirectSockets,Serial,WebBluetooth,WebHID,WebNFC,"
    "WebShare,PushMessaging,FileSystemAccess "
    "--force-webrtc-ip-handling-policy=disable_non_proxied_udp --disable-quic";

std::unique_ptr<ConnectionGate>& gate() {
    static std::unique_ptr<ConnectionGate> started;
    return started;
}

// The first of the environment's proxy variables that is set, and its name.
std::pair<std::string, std::string> proxyVariable(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (const char* value = std::getenv(name); value && *value)
            return {name, value};
    }
    return {};
}

// The engine's proxy switches: the gate for every connection, the loopback addresses included.
// A plain-web proxy the machine names still takes plain-web requests, which the request check
// has judged and which carry nothing else; the gate goes through the machine's proxy for the
// rest.
std::string proxySwitches() {
    const auto [secureName, secure] =
        proxyVariable({"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"});
    std::string problem;
    std::optional<UpstreamProxy> upstream = upstreamProxyFrom(secure, &problem);
    if (!problem.empty()) {
        std::cerr << "tarnview: the proxy in " << secureName << " (" << secure
                  << ") can not be used: " << problem << ". Web connections are refused until "
                  << secureName << " names an http:// proxy or is removed.\n";
    }
    // One gate for the process: the engine, once started, keeps the port it was given.
    if (problem.empty() && !gate())
        gate() = std::make_unique<ConnectionGate>(std::move(upstream));
    // Without a gate, a port nothing listens on: the engine then reaches nothing.
    const std::uint16_t port = gate() && gate()->port() ? gate()->port() : 9;
    const std::string through = "socks5://127.0.0.1:" + std::to_string(port);
    std::string rules = through;
    const std::string plain =
        proxyVariable({"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}).second;
    std::string plainProblem;
    // The engine can not give a proxy a password of its own: with one, plain-web requests go
    // through the gate like the rest.
    if (const auto web = upstreamProxyFrom(plain, &plainProblem);
        web && web->authorization.empty()) {
        const std::string host =
            web->host.find(':') == std::string::npos ? web->host : "[" + web->host + "]";
        rules = "http=" + host + ":" + std::to_string(web->port) + ";https=" + through +
                ";socks=" + through;
    }
    return " --proxy-server=" + rules + " --proxy-bypass-list=<-loopback>";
}

}  // namespace

ConnectionGate* engineConnectionGate() {
    return gate().get();
}

bool isRefusedSwitch(const std::string& argument) {
    std::string_view name = argument;
    // The engine takes switches with either prefix.
    if (name.starts_with("--")) {
        name.remove_prefix(2);
    } else if (name.starts_with("-")) {
        name.remove_prefix(1);
    } else {
        return false;
    }
    name = name.substr(0, name.find('='));
    return std::ranges::find(kRefusedSwitches, name) != kRefusedSwitches.end();
}

void hardenEngineStartup(int& argc, char** argv) {
    int kept = argc > 0 ? 1 : 0;  // the program name stays
    for (int i = kept; i < argc; ++i) {
        if (!isRefusedSwitch(argv[i]))
            argv[kept++] = argv[i];
    }
    for (int i = kept; i < argc; ++i)
        argv[i] = nullptr;
    argc = kept;

    unsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    std::string keptFlags;
    if (const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")) {
        std::istringstream words{std::string(flags)};
        std::string word;
        while (words >> word) {
            if (isRefusedSwitch(word))
                continue;
            keptFlags += word;
            keptFlags += ' ';
        }
    }
    keptFlags += kSupervisionSwitches;
    keptFlags += proxySwitches();
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", keptFlags.c_str(), 1);
}

}  // namespace tarn
