#pragma once

#include <chrono>
#include <filesystem>

namespace tarn {

// Copies `source` over `destination` and gives the copy the source's modification time.
// False when either file cannot be opened or the copy fails.
bool CopyFileKeepDate(const std::filesystem::path& source,
                      const std::filesystem::path& destination);

// Where the cleanup keeps its copy of `log`: "tarnview.bak" beside it.
std::filesystem::path logBackupFile(const std::filesystem::path& log);

// Keeps the log's recent records: copies the log to "tarnview.bak" beside it, then writes the
// lines of that backup whose leading "yyyy-mm-dd" date lies at most `keepDays` days before
// `today` (later dates and lines without a date included) to a new file that replaces the log
// in one rename. A log reached through a link is replaced where it really lives. The new log
// keeps the old one's owner, group and mode; when the caller may not give it that owner and
// group, the log is not replaced (the backup is made all the same). Whatever fails, and
// wherever the process stops, the log's path holds either the whole old log or the whole new
// one. True when the log was replaced.
bool pruneLogFile(const std::filesystem::path& log, std::chrono::year_month_day today,
                  int keepDays);

}  // namespace tarn
