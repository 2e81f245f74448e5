#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace tarn {

// The group's dial-up entry and the name and password (in clear) to dial it with.
struct RasEntrySettings {
    std::string entry;
    std::string userName;
    std::string password;
};

struct RasResult {
    bool ok = false;
    std::string message;  // why it failed, for a message box; empty on success
};

// Dials the entry, or hangs up its active connection, through the library in `library`, which
// is loaded for this call only. Statuses go to `status` (when given) as they happen, on the
// calling thread.
RasResult rasDialOrHangUp(bool dial, const RasEntrySettings& settings,
                          const std::filesystem::path& library,
                          const std::function<void(const std::string&)>& status);

// Whether the entry has an active connection; false also when the library can not tell.
bool rasEntryConnected(const std::string& entry, const std::filesystem::path& library);

}  // namespace tarn
