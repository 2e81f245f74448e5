#include "session/command_line.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace tarn {
namespace {

// The value after "<keyword>=": empty when the parameter stops at the keyword or the "=".
std::optional<std::string> valueOf(std::string_view parameter, std::string_view keyword) {
    if (!parameter.starts_with(keyword)) {
        return std::nullopt;
    }
    const size_t start = keyword.size() + 1;
    return std::string(start < parameter.size() ? parameter.substr(start) : std::string_view());
}

int copyNumber(std::string_view text) {
    std::int16_t number = 0;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(text.data(), last, number, 10);
    if (text.empty() || error != std::errc() || end != last) {
        return 1;
    }
    return number;
}

}  // namespace

StartArguments parseCommandLine(const std::vector<std::string>& parameters) {
    StartArguments arguments;
    for (const std::string& parameter : parameters) {
        if (auto copy = valueOf(parameter, "Copy")) {
            arguments.SpawnedCopy = copyNumber(*copy);
        }
        if (auto url = valueOf(parameter, "Url")) {
            arguments.SpawnedCopy = 1;
            arguments.StartUrl = std::move(*url);
        }
        if (auto group = valueOf(parameter, "Group")) {
            arguments.GroupName = std::move(group);
        }
        if (auto user = valueOf(parameter, "User")) {
            arguments.UserName = std::move(user);
        }
        if (auto token = valueOf(parameter, "Token")) {
            arguments.Token = std::move(*token);
        }
        if (auto main = valueOf(parameter, "Main")) {
            arguments.MainInstance = std::move(*main);
        }
    }
    return arguments;
}

}  // namespace tarn
