#include "session/admin_password_tries.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/registry_layout.h"
#include "settings/setting.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

long long secondsOf(Clock::TimePoint t) {
    return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

}  // namespace

AdminPasswordTries::Count AdminPasswordTries::stored() const {
    const auto store = openAdminKey(kAdminKey, false);
    Count count;
    count.failures = std::max(0, readSetting(*store, "", admin::iAdminPassFailures));
    const std::string retryAt = readSetting(*store, "", admin::sAdminPassRetryAt);
    std::from_chars(retryAt.data(), retryAt.data() + retryAt.size(), count.retryAt);
    return count;
}

std::chrono::seconds AdminPasswordTries::wait() const {
    const long long retryAt = std::max(held_.retryAt, stored().retryAt);
    const long long left = retryAt - secondsOf(clock_.now());
    // A clock set back can not stretch the wait past its longest.
    return std::clamp(std::chrono::seconds(left), std::chrono::seconds(0), kLongestWait);
}

void AdminPasswordTries::failed() {
    Count count = held_;
    try {
        count.failures = std::max(count.failures, stored().failures);
    } catch (const SettingsError&) {
        // What this object holds still counts.
    }
    ++count.failures;
    // Six doublings of a second already pass the longest wait.
    const int doublings = std::min(count.failures - 1, 6);
    const std::chrono::seconds wait =
        std::min(std::chrono::seconds(1LL << doublings), kLongestWait);
    count.retryAt = secondsOf(clock_.now()) + wait.count();
    held_ = count;
    const auto store = openAdminKey(kAdminKey);
    writeSetting(*store, "", admin::iAdminPassFailures, count.failures);
    writeSetting(*store, "", admin::sAdminPassRetryAt, std::to_string(count.retryAt));
}

void AdminPasswordTries::succeeded() {
    held_ = {};
    const auto store = openAdminKey(kAdminKey);
    writeSetting(*store, "", admin::iAdminPassFailures, 0);
    writeSetting(*store, "", admin::sAdminPassRetryAt, "");
}

}  // namespace tarn
