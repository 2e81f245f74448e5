#include "platform/clock.h"

#include <ctime>

#include "platform/date.h"

namespace tarn {

std::string Clock::today() const {
    return formatDate(now());
}

void ManualClock::setLocal(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    now_ = std::chrono::system_clock::from_time_t(std::mktime(&local));
}

}  // namespace tarn
