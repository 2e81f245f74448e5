#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// The one date format Tarnview stores, compares and logs: "yyyy-mm-dd", in local time.
std::string formatDate(std::chrono::system_clock::time_point t);
std::string formatDate(std::chrono::year_month_day date);

// Parses exactly "yyyy-mm-dd" naming a real calendar day; anything else gives no date.
std::optional<std::chrono::year_month_day> parseDate(std::string_view text);

}  // namespace tarn
