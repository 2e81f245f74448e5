// Reads a user's settings for a sign-on as another account would: as nobody when started by
// root with "as-nobody". Prints "read" or "refused\t<message>".
//
//   sign_on_probe [as-nobody] <group> <user>
#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "session/session.h"
#include "settings/settings_error.h"

int main(int argc, char** argv) {
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "as-nobody") {
        constexpr gid_t kNobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
            std::puts("error\tcould not become nobody");
            return 3;
        }
        first = 2;
    }
    if (argc != first + 2)
        return 2;
    const tarn::SystemClock clock;
    const tarn::Session session(tarn::StartArguments{}, clock, "file:///opt/tarnview/blank.htm");
    try {
        session.readUserSettings(argv[first + 1], argv[first], "");
        std::puts("read");
    } catch (const tarn::SettingsError& error) {
        std::printf("refused\t%s\n", error.what());
    }
    return 0;
}
