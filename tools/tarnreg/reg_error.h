#pragma once

#include <stdexcept>
#include <string>

namespace tarn::reg {

// Input tarnreg refuses or a target it can not reach; what() is the message after "tarnreg: ".
class RegError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A line of a registry file that can not be read; nothing of the file has been applied.
class RegParseError : public RegError {
  public:
    // `text` is the line as read; empty when it could not be decoded.
    RegParseError(int line, const std::string& text, const std::string& reason)
        : RegError("line " + std::to_string(line) + ": " + reason + (text.empty() ? "" : ": ") +
                   text),
          line_(line) {}

    int line() const { return line_; }

  private:
    int line_;
};

}  // namespace tarn::reg
