#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "log/log_writer.h"
#include "platform/clock.h"

namespace tarn {

// The activity log as a running window writes it. A page that asks again and again for refused
// addresses must not bury the record or fill the disk: the first refusal of a source (a pane,
// or the hidden browser) is written at once, further ones within the minute are counted and
// written as one line with the count and the last address. A record that can not be written is
// counted, and each call says so in a status text.
class ActivityLog {
  public:
    // The browsers whose refusals are folded: 0 the hidden browser, 1 to 4 the panes.
    static constexpr int kSources = 5;

    explicit ActivityLog(const Clock& clock) : clock_(clock) {}

    // Each returns the status to show when a record could not be written.
    std::optional<std::string> visit(const LogIdentity& identity, std::string_view url,
                                     std::string_view loadTime);
    std::optional<std::string> refusal(const LogIdentity& identity, int source,
                                       std::string_view url);
    std::optional<std::string> connection(const LogIdentity& identity, std::string_view event);
    std::optional<std::string> notice(const LogIdentity& identity, std::string_view text);
    // Writes the counted refusals whose minute is over; called once a second.
    std::optional<std::string> writeDue(const LogIdentity& identity);

    // The records lost since the program started.
    int lost() const { return lost_; }

  private:
    struct Source {
        std::optional<Clock::TimePoint> written;  // the last line of this source
        int counted = 0;                          // refusals since then, not written
        std::string last;                         // the last of them
    };

    std::optional<std::string> writeCounted(const LogIdentity& identity, Source& source);
    std::optional<std::string> result(std::optional<std::string> failure);

    const Clock& clock_;
    std::array<Source, kSources> sources_{};
    int lost_ = 0;
};

}  // namespace tarn
