#pragma once

#include <string>

namespace tarn {

// Every message and confirmation box the program shows goes through one prompter, so tests can
// read the texts and give the answers.
class Prompter {
  public:
    virtual ~Prompter() = default;
    // An information box with an OK button.
    virtual void message(const std::string& text) = 0;
    // The application's standard error box, for failures of the platform layer.
    virtual void error(const std::string& text) = 0;
    // A confirmation box with Yes and No; true for Yes.
    virtual bool confirm(const std::string& text) = 0;
};

}  // namespace tarn
