#include "session/spawn_token.h"

#include <charconv>
#include <chrono>
#include <random>

#include "settings/registry_layout.h"
#include "settings/settings_store.h"

namespace tarn {
namespace {

constexpr char kTokens[] = "SpawnTokens";
constexpr std::chrono::seconds kLifetime{60};

long long secondsOf(const Clock& clock) {
    return std::chrono::duration_cast<std::chrono::seconds>(clock.now().time_since_epoch()).count();
}

bool wellFormed(const std::string& token) {
    return token.size() == 32 && token.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

std::string issueSpawnToken(const std::string& group, const std::string& user, const Clock& clock) {
    std::random_device random;
    static const char hex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i)
        token += hex[random() % 16];
    SettingsStore store(kTarnviewRoot);
    const std::string section = std::string(kTokens) + "\\" + token;
    store.write_string(section, "Group", group);
    store.write_string(section, "User", user);
    store.write_string(section, "Issued", std::to_string(secondsOf(clock)));
    return token;
}

bool claimSpawnToken(const std::string& token, const std::string& group, const std::string& user,
                     const Clock& clock) {
    if (!wellFormed(token))
        return false;
    SettingsStore store(kTarnviewRoot);
    const std::string section = std::string(kTokens) + "\\" + token;
    const std::string issued = store.read_string(section, "Issued", "");
    const bool matches = !issued.empty() && store.read_string(section, "Group", "") == group &&
                         store.read_string(section, "User", "") == user;
    store.erase_section(section);
    if (!matches)
        return false;
    long long issuedAt = 0;
    const auto [end, error] =
        std::from_chars(issued.data(), issued.data() + issued.size(), issuedAt);
    if (error != std::errc() || end != issued.data() + issued.size())
        return false;
    const long long age = secondsOf(clock) - issuedAt;
    return age >= 0 && age <= kLifetime.count();
}

}  // namespace tarn
