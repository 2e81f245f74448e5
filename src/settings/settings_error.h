#pragma once

#include <stdexcept>
#include <string>

namespace tarn {

// A settings operation that failed; what() is the text shown to the user.
class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The hive file exists but is no settings database (or is damaged). The file is left as found.
class HiveDamagedError : public SettingsError {
  public:
    using SettingsError::SettingsError;
};

}  // namespace tarn
