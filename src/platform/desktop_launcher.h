#pragma once

#include "platform/launcher.h"

namespace tarn {

// The launcher of the running program: the desktop's handlers, through xdg-open.
class DesktopLauncher : public Launcher {
  public:
    bool openUrl(const std::string& address) override;
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& folder) override;
    bool runCommandLine(const std::string& commandLine) override;
};

}  // namespace tarn
