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

// A day and the minutes counted on it.
struct DayCount {
    std::string day;  // "yyyy-mm-dd"
    int minutes = 0;

    bool operator==(const DayCount&) const = default;
};

// The count to go on with on `today`: the record's own when it is of today or of a later day
// (the clock was set back; a count never moves to an earlier day, where it would start again
// from nothing), else none yet today. Throws as dayRecordMinutes for a count that is not a
// number.
DayCount continuedDayCount(std::string_view record, std::string_view today);

// The day record of `user` in `group`, in the administrative area, continued on `today`.
DayCount readUserDayCount(std::string_view group, std::string_view user, DayRecord which,
                          std::string_view today);
void writeUserDayMinutes(std::string_view group, std::string_view user, DayRecord which,
                         std::string_view today, int minutes);

}  // namespace tarn
