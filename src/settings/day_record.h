#pragma once

#include <string>
#include <string_view>

namespace tarn {

// A user's daily minutes are stored as "yyyy-mm-dd,minutes": the day they were counted on and
// the count for that day.
enum class DayRecord {
    Usage,    // sUsageTime: minutes of program use
    Connect,  // sConnectTime: minutes on line
};

inline constexpr char kUsageTimeValue[] = "sUsageTime";
inline constexpr char kConnectTimeValue[] = "sConnectTime";

// The minutes `record` counts for `today` ("yyyy-mm-dd"): 0 for an empty record or one of
// another day. A record of today whose count is not a non-negative decimal integer throws
// SettingsError("'<count>' is not a valid integer value"); the record is left as it is.
int dayRecordMinutes(std::string_view record, std::string_view today);

std::string formatDayRecord(std::string_view today, int minutes);

// The day record of `user` in `group`, in the administrative area.
int readUserDayMinutes(std::string_view group, std::string_view user, DayRecord which,
                       std::string_view today);
void writeUserDayMinutes(std::string_view group, std::string_view user, DayRecord which,
                         std::string_view today, int minutes);

}  // namespace tarn
