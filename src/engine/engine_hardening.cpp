#include "engine/engine_hardening.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace tarn {
namespace {

constexpr std::array<std::string_view, 4> kDebuggingSwitches{
    "remote-debugging-port", "remote-debugging-pipe", "auto-open-devtools-for-tabs",
    "remote-allow-origins"};

}  // namespace

bool isDebuggingSwitch(const std::string& argument) {
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
    return std::ranges::find(kDebuggingSwitches, name) != kDebuggingSwitches.end();
}

void hardenEngineStartup(int& argc, char** argv) {
    int kept = argc > 0 ? 1 : 0;  // the program name stays
    for (int i = kept; i < argc; ++i) {
        if (!isDebuggingSwitch(argv[i]))
            argv[kept++] = argv[i];
    }
    for (int i = kept; i < argc; ++i)
        argv[i] = nullptr;
    argc = kept;

    unsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    if (const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")) {
        std::istringstream words{std::string(flags)};
        std::string word, keptFlags;
        while (words >> word) {
            if (isDebuggingSwitch(word))
                continue;
            if (!keptFlags.empty())
                keptFlags += ' ';
            keptFlags += word;
        }
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", keptFlags.c_str(), 1);
    }
}

}  // namespace tarn
