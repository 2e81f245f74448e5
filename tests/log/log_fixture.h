#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "settings/admin_area.h"
#include "settings/registry_layout.h"
#include "temp_env.h"

namespace tarn::test {

// A test's own hives with logging switched on to a log file in its temporary folder, and a
// clock standing still at 2026-03-10 14:05:09.
class LogFixture : public TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        logFile = root / "logs" / "activity.log";
        std::filesystem::create_directories(logFile.parent_path());
        setAdmin("bLoggingEnabled", "1");
        setAdmin("sLogFileLocation", logFile.string());
        clock.setLocal(2026, 3, 10, 14, 5, 9);
    }

    static void setAdmin(std::string_view name, std::string_view text) {
        openAdminKey(kAdminKey)->write_string("", name, text);
    }

    // Removes every administrative value, so that readers see their defaults.
    static void clearAdmin() { openAdminKey(kTarnviewRoot)->erase_section("Admin"); }

    std::filesystem::path logFile;
    ManualClock clock;
};

}  // namespace tarn::test
