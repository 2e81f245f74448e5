#pragma once

#include <string>
#include <vector>

namespace tarn {

// Starts things outside the program: documents and addresses in the platform's own handlers.
// Tests record the requests instead.
class Launcher {
  public:
    virtual ~Launcher() = default;
    // Opens `address` in the platform's handler for it (its web browser for http and https).
    virtual bool openUrl(const std::string& address) = 0;
    // Starts `program` with `arguments`, each passed whole (no shell), in `folder`.
    virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                              const std::string& folder) = 0;
    // Runs a command line, split into words as a shell splits them but started without one.
    // False when it could not be started (an empty line included).
    virtual bool runCommandLine(const std::string& commandLine) = 0;
};

}  // namespace tarn
