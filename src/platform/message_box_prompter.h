#pragma once

#include "platform/prompter.h"

namespace tarn {

// The prompter of the running program: modal Qt message boxes over the active window.
class MessageBoxPrompter : public Prompter {
  public:
    void message(const std::string& text) override;
    void error(const std::string& text) override;
    bool confirm(const std::string& text) override;
};

}  // namespace tarn
