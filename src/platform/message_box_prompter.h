#pragma once

#include "platform/prompter.h"

namespace tarn {

// The prompter of the running program: modal Qt message boxes and file dialogs over
// the active window.
class MessageBoxPrompter : public Prompter {
  public:
    void message(const std::string& text) override;
    void error(const std::string& text) override;
    bool confirm(const std::string& text) override;
    std::string chooseFile(const FileQuestion& question) override;
};

}  // namespace tarn
