#pragma once

#include <string_view>

#include "settings/setting.h"

// The values of the administrative area's Admin key and of the current user's installation key
// (Config directly below the product key), each with its name and default, written once for
// every reader and writer.
namespace tarn::admin {

// Admin, in the administrative area.
inline constexpr BoolSetting bUseLogon{"bUseLogon", false};
inline constexpr BoolSetting bUseGroups{"bUseGroups", false};
inline constexpr TextSetting sUserId{"sUserId", ""};
inline constexpr BoolSetting bUseNetId{"bUseNetId", false};
inline constexpr BoolSetting bAdminSec{"bAdminSec", false};
inline constexpr TextSetting sSecPass{"sSecPass", ""};
// Wrong administrator passwords in a row, and when the next try may be made (seconds since
// 1970), so that a restart does not reset the wait.
inline constexpr IntSetting iAdminPassFailures{"iAdminPassFailures", 0};
inline constexpr TextSetting sAdminPassRetryAt{"sAdminPassRetryAt", ""};
inline constexpr BoolSetting bLoggingEnabled{"bLoggingEnabled", false};
// The administration window and the log cleanup fall back on c:\tarnview.log, while the log
// writer has always fallen back on c:\tarnlog.log. Both are kept: logs already written by
// either stay where it looks for them.
inline constexpr TextSetting sLogFileLocation{"sLogFileLocation", "c:\\tarnview.log"};
inline constexpr std::string_view kLogWriterDefaultFile = "c:\\tarnlog.log";
inline constexpr IntSetting iLogKeepDays{"iLogKeepDays", 7};  // 0 keeps every record
inline constexpr BoolSetting bCommaDelimit{"bCommaDelimit", false};
inline constexpr BoolSetting bLogUserId{"bLogUserId", true};
inline constexpr BoolSetting bLogGroupId{"bLogGroupId", true};
inline constexpr BoolSetting bLogURL{"bLogURL", true};
inline constexpr BoolSetting bLogExcluded{"bLogExcluded", true};
inline constexpr BoolSetting bLogElapsed{"bLogElapsed", true};
inline constexpr BoolSetting bLogConnect{"bLogConnect", true};

// Config below the product key, always in the current user's hive.
// 1: the administrative area is the machine's; adminHive() says what a missing value means.
inline constexpr IntSetting iUserSet{"iUserSet", 0};
inline constexpr TextSetting sInstalledVersion{"sInstalledVersion", ""};  // empty: first run
inline constexpr TextSetting sAOLClass{"sAOLClass", "AOL Frame25"};

}  // namespace tarn::admin
