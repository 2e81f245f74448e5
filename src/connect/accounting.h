#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "settings/day_record.h"
#include "settings/group_record.h"

namespace tarn {

// A group's daily allowances as the accounting applies them.
struct TimeRules {
    int maxUsage = 0;    // minutes of use a day; 0 for no limit
    int maxConnect = 0;  // minutes on line a day; 0 for no limit
    bool extension = false;
    int extensionMinutes = 0;
    bool idleLimit = false;
    int idleMinutes = 0;

    static TimeRules of(const GroupRecord& group);
};

// What a check asks of the window. Warnings go to the status bar; the others end the tick.
struct Verdict {
    enum class Act { None, Warn, SignOff, AskToStayOnline, Disconnect };
    Act act = Act::None;
    std::string status;  // the warning, or a status to show before disconnecting

    bool operator==(const Verdict&) const = default;
};

// The minutes of use, on line and idle of the person signed on, their day records and the three
// checks of the tick. Each counted minute is stored at once, so nothing (a crash, a kill, a power
// cut) gives minutes back; a record that can not be written is reported once and the count goes
// on in memory. Minutes count under the day they were counted on: a new day starts at nothing,
// and a clock set back never moves the count to an earlier day.
class Accounting {
  public:
    explicit Accounting(const Clock& clock) : clock_(clock) {}

    // `group` and `user` are signed on with `usage` loaded from their record (or nobody, with
    // empty names). The extension is theirs alone: another person starts without it.
    void startUser(const std::string& group, const std::string& user, const TimeRules& rules,
                   DayCount usage);
    // Whether the records are stored (a spawned copy only counts).
    void setStoring(bool storing) { storing_ = storing; }

    // One minute of the tick: counts it for use and for the line, storing the records. Returns a
    // status to show when a record could not be stored for the first time.
    std::optional<std::string> countMinute(bool userActive, bool connected);

    Verdict checkUsage(bool userActive) const;
    Verdict checkConnectTime(bool connected) const;
    Verdict checkIdle(bool connected) const;
    // The person stays on line: the minutes on line go back by the extension, to 1 at least.
    void grantExtension();

    // Before dialling: today's minutes on line from the record when the group limits them.
    // False when the allowance and its extension are used up. Throws SettingsError for a
    // record that can not be read.
    bool mayConnect();
    // After a disconnect: the minutes on line go to the record.
    void storeConnectTime();
    // At sign-off and close: the minutes of use go to the record. Throws SettingsError.
    void storeUsage();

    // A navigation passed the filter while on line.
    void noteActivity() { idle_ = 0; }

    int usageMinutes() const { return usage_; }
    int connectMinutes() const { return connect_; }
    int idleMinutes() const { return idle_; }
    bool extensionUsed() const { return extensionUsed_; }
    const std::string& day() const { return day_; }

  private:
    void followDay();
    std::optional<std::string> store(DayRecord which, int minutes);

    const Clock& clock_;
    std::string group_, user_;
    TimeRules rules_;
    bool storing_ = true;
    std::string day_;
    int usage_ = 0;
    int connect_ = 0;
    int idle_ = 0;
    bool extensionUsed_ = false;
    bool storeFailed_ = false;
};

// "Connected for 1 min", "Connected for 2 mins".
std::string connectedTimeText(int minutes);

}  // namespace tarn
