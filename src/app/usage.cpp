#include "app/usage.h"

#include <cstdlib>
#include <string_view>

namespace tarn {
namespace {

constexpr char kUsage[] =
    "Usage: tarnview [--help | --version | --paths]\n"
    "\n"
    "Tarnview, a supervised web browser for shared computers. It starts the browser window for\n"
    "the person signed on to this account, under the policy the administrator set with File >\n"
    "Administration or with tarnreg. Starting it again brings the running window to the front.\n"
    "\n"
    "  --help     print this text and leave\n"
    "  --version  print the version and leave\n"
    "  --paths    print where the program finds its files and hives, and whether they are\n"
    "             there; the exit status is 1 when a program file or the dial-up library is\n"
    "             missing\n"
    "\n"
    "Settings: ~/.config/tarnview/user.hive and /var/lib/tarnview/machine.hive (or the file\n"
    "named by TARNVIEW_MACHINE_HIVE). See tarnreg --help.\n";

bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

const char* programVersion() {
    return TARN_VERSION;
}

std::optional<std::string> informationRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h")
            return kUsage;
        if (argument == "--version")
            return std::string("Tarnview ") + programVersion() + "\n";
    }
    return std::nullopt;
}

bool pathsRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--paths")
            return true;
    }
    return false;
}

std::optional<std::string> missingDisplay() {
    if (named("QT_QPA_PLATFORM") || named("DISPLAY") || named("WAYLAND_DISPLAY"))
        return std::nullopt;
    return "tarnview needs an X11 or Wayland display, and none is set (DISPLAY and "
           "WAYLAND_DISPLAY are empty): start it from a desktop session.";
}

}  // namespace tarn
