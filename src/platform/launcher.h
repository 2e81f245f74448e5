#pragma once

#include <string>

namespace tarn {

// Starts things outside the program: documents and addresses in the platform's own handlers.
// Tests record the requests instead.
class Launcher {
  public:
    virtual ~Launcher() = default;
    // Opens `address` in the platform's handler for it (its web browser for http and https).
    virtual bool openUrl(const std::string& address) = 0;
};

}  // namespace tarn
