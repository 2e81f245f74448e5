#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarn {

// What a spawned copy is told on its command line: whether it is a copy, the address to open,
// and the user it runs for.
struct StartArguments {
    int SpawnedCopy = 0;
    std::string StartUrl;
    std::optional<std::string> GroupName, UserName;
    std::string Token{};         // the one-time permission the main instance gave the copy
    std::string MainInstance{};  // where the copy holds on to the main instance that started it

    bool operator==(const StartArguments&) const = default;
};

// Scans the parameters after the program path in order. Keywords are "Copy", "Url", "Group" and
// "User" (and "Token", the copy's permission, and "Main", its main instance), matched
// case-sensitively at the start of a parameter; the character after the keyword (the "=") is
// skipped unchecked and the rest is the value, taken whole, blanks and quotes included. "Url" makes
// a spawned copy. A "Copy" whose value is not a 16-bit decimal number still makes one (as copy 1),
// so a garbled line never starts an instance that cleans the log and saves state. Anything else is
// ignored.
StartArguments parseCommandLine(const std::vector<std::string>& parameters);

}  // namespace tarn
