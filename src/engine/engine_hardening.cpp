#include "engine/engine_hardening.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace tarn {
namespace {

constexpr std::array<std::string_view, 10> kRefusedSwitches{
    // A debugger could drive the pages past every check.
    "remote-debugging-port", "remote-debugging-pipe", "auto-open-devtools-for-tabs",
    "remote-allow-origins",
    // These would undo or loosen the switches below.
    "disable-blink-features", "force-webrtc-ip-handling-policy", "webrtc-ip-handling-policy",
    "enable-quic", "origin-to-force-quic-on", "enable-experimental-web-platform-features"};

// What pages may not have: WebTransport and QUIC go past the request check; WebRTC keeps only
// TCP, which the page guard script takes away as well; the rest reach sockets or devices
// directly.
constexpr char kSupervisionSwitches[] =
    "--disable-blink-features=WebTransport,DirectSockets,Serial,WebBluetooth,WebHID,WebNFC,"
    "WebShare,PushMessaging,FileSystemAccess "
    "--force-webrtc-ip-handling-policy=disable_non_proxied_udp --disable-quic";

}  // namespace

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
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", keptFlags.c_str(), 1);
}

}  // namespace tarn
