#pragma once

#include "platform/launcher.h"

namespace tarn {

// The launcher of the running program: the desktop's handlers, through xdg-open.
class DesktopLauncher : public Launcher {
  public:
    bool openUrl(const std::string& address) override;
};

}  // namespace tarn
