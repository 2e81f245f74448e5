#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"
#include "settings/admin_values.h"

namespace tarn {

// Which fields a log record carries and how they are separated: the bLog… switches and
// bCommaDelimit of the Admin key, with the defaults used while they are not stored.
struct LogSwitches {
    bool bCommaDelimit = admin::bCommaDelimit.fallback;
    bool bLogGroupId = admin::bLogGroupId.fallback;
    bool bLogUserId = admin::bLogUserId.fallback;
    bool bLogURL = admin::bLogURL.fallback;
    bool bLogExcluded = admin::bLogExcluded.fallback;
    bool bLogElapsed = admin::bLogElapsed.fallback;
    bool bLogConnect = admin::bLogConnect.fallback;
};

enum class LogRecordKind {
    Visit,       // a page pane 1 finished loading
    Refusal,     // a navigation the URL filter refused
    Connection,  // a step of a dial-up or online-service connection
    Notice,      // something the administrator must hear of (a wrong administrator password)
};

struct LogRecord {
    LogRecordKind kind = LogRecordKind::Visit;
    std::string_view date{};   // "yyyy-mm-dd"
    std::string_view time{};   // as formatLogTime gives it
    std::string_view group{};  // left out of connection records
    std::string_view user{};
    std::string_view loadTime{};  // visits only
    std::string_view text{};      // the URL, or a connection's event text
    std::string_view note{};      // refusals only: what follows the URL ("(5 more ...)")
};

// The longest address a record carries whole; a longer one is cut and says so, so that a page
// can not fill the disk with one address of a million characters.
inline constexpr size_t kLoggedAddressLength = 2048;

// One line of the activity log, ending in "\r\n": date, time, group, user and the record's own
// fields, each followed by the separator, switched-off and empty fields left out, and one
// trailing separator removed. An address longer than kLoggedAddressLength is cut there. A time of
// exactly 10 characters gets a space appended so that one-digit hours line up with two-digit ones.
std::string buildLogLine(const LogRecord& record, const LogSwitches& switches);

// The time of day in the long time format of the process's LC_TIME locale ("%X"), which
// carries no time zone.
std::string formatLogTime(Clock::TimePoint t);

}  // namespace tarn
