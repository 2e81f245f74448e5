#include "platform/date.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace tarn {

std::string formatDate(std::chrono::year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::string formatDate(std::chrono::system_clock::time_point t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    return formatDate(
        std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                    std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                    std::chrono::day{static_cast<unsigned>(local.tm_mday)}});
}

std::optional<std::chrono::year_month_day> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    auto number = [&](size_t from, size_t length) -> std::optional<int> {
        int value = 0;
        const char* first = text.data() + from;
        auto [end, error] = std::from_chars(first, first + length, value);
        if (error != std::errc() || end != first + length || *first == '-' || *first == '+') {
            return std::nullopt;
        }
        return value;
    };
    auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (!year || !month || !day) {
        return std::nullopt;
    }
    std::chrono::year_month_day date{std::chrono::year{*year},
                                     std::chrono::month{static_cast<unsigned>(*month)},
                                     std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    return date;
}

}  // namespace tarn
