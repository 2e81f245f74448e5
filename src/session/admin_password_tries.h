#pragma once

#include <chrono>

#include "platform/clock.h"

namespace tarn {

// Wrong administrator passwords slow down whoever types them: after each wrong one in a row the
// next try waits twice as long as after the one before (1 second, 2, 4, ... at most a minute).
// The count and the time are kept in the administrative area, so a restart of the program does
// not start them again, and in this object, so they hold even where that area can not be
// written. A right password clears them.
class AdminPasswordTries {
  public:
    static constexpr std::chrono::seconds kLongestWait{60};

    explicit AdminPasswordTries(const Clock& clock) : clock_(clock) {}

    // How long until the password may be tried again; zero when it may be tried now. Throws
    // SettingsError when the administrative area can not be read.
    std::chrono::seconds wait() const;
    // Throw SettingsError when the count can not be stored; it holds in this object anyway.
    void failed();
    void succeeded();

  private:
    struct Count {
        int failures = 0;
        long long retryAt = 0;  // seconds since 1970
    };
    Count stored() const;

    const Clock& clock_;
    Count held_;
};

}  // namespace tarn
