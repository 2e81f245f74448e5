#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tarn {

// Who a record is about: the session's group and user.
struct LogIdentity {
    std::string GroupName, UserName;
};

// Each writer reads the log settings of the Admin key afresh and, while bLoggingEnabled is set,
// appends one line to sLogFileLocation. The line goes out in a single write on a file opened
// for appending, so records of several running copies never tear each other's lines. A record
// that can not be written (a full disk, a file that can be neither opened nor created, settings
// that can not be read) is lost, and the writer says why: what failed and where. Nothing is
// said when the record was written or logging is off.

// A page pane 1 finished loading (`refused` false, `loadTime` the "%5.2n sec" text), or a
// navigation the URL filter refused (`refused` true, `loadTime` empty, `note` what follows the
// address).
std::optional<std::string> WriteUrlRecord(const LogIdentity& identity, std::string_view url,
                                          std::string_view loadTime, bool refused,
                                          const Clock& clock, std::string_view note = {});

// Something the administrator must hear of, whatever the field switches say.
std::optional<std::string> WriteNoticeRecord(const LogIdentity& identity, std::string_view text,
                                             const Clock& clock);

// A step of a dial-up or online-service connection; carries no group.
std::optional<std::string> WriteConnectRecord(const LogIdentity& identity,
                                              std::string_view eventText, const Clock& clock);

}  // namespace tarn
