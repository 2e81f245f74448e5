#include "settings/day_record.h"

#include <charconv>

#include "settings/admin_area.h"
#include "settings/record_ids.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

const char* valueName(DayRecord which) {
    return which == DayRecord::Usage ? kUsageTimeValue : kConnectTimeValue;
}

int parseMinutes(std::string_view count) {
    int minutes = 0;
    const char* last = count.data() + count.size();
    auto [end, error] = std::from_chars(count.data(), last, minutes, 10);
    if (count.empty() || count.front() == '-' || error != std::errc() || end != last) {
        throw SettingsError("'" + std::string(count) + "' is not a valid integer value");
    }
    return minutes;
}

}  // namespace

int dayRecordMinutes(std::string_view record, std::string_view today) {
    if (record.empty()) {
        return 0;
    }
    const size_t comma = record.find(',');
    if (record.substr(0, comma) != today) {
        return 0;
    }
    return parseMinutes(comma == std::string_view::npos ? std::string_view()
                                                        : record.substr(comma + 1));
}

std::string formatDayRecord(std::string_view today, int minutes) {
    return std::string(today) + "," + std::to_string(minutes);
}

DayCount continuedDayCount(std::string_view record, std::string_view today) {
    // Dates of the form yyyy-mm-dd sort as text.
    const std::string_view recordDay = record.substr(0, record.find(','));
    const std::string_view day =
        recordDay.size() == today.size() && recordDay > today ? recordDay : today;
    return {std::string(day), dayRecordMinutes(record, day)};
}

DayCount readUserDayCount(std::string_view group, std::string_view user, DayRecord which,
                          std::string_view today) {
    const std::string section = userSection(group, user);
    auto store = openAdminKey(kGroupsKey);
    return continuedDayCount(store->read_string(section, valueName(which), ""), today);
}

void writeUserDayMinutes(std::string_view group, std::string_view user, DayRecord which,
                         std::string_view today, int minutes) {
    const std::string section = userSection(group, user);
    auto store = openAdminKey(kGroupsKey);
    store->write_string(section, valueName(which), formatDayRecord(today, minutes));
}

}  // namespace tarn
