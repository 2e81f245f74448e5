#include "log/log_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "log/log_line.h"
#include "platform/date.h"
#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

struct LogSettings {
    std::string file;
    LogSwitches switches;
};

std::optional<LogSettings> readLogSettings() {
    const auto store = openAdminKey(kAdminKey, false);
    const auto read = [&](const auto& value) { return readSetting(*store, "", value); };
    if (!read(admin::bLoggingEnabled)) {
        return std::nullopt;
    }
    LogSettings settings;
    settings.file = read(TextSetting{admin::sLogFileLocation.name, admin::kLogWriterDefaultFile});
    LogSwitches& on = settings.switches;
    on.bCommaDelimit = read(admin::bCommaDelimit);
    on.bLogGroupId = read(admin::bLogGroupId);
    on.bLogUserId = read(admin::bLogUserId);
    on.bLogURL = read(admin::bLogURL);
    on.bLogExcluded = read(admin::bLogExcluded);
    on.bLogElapsed = read(admin::bLogElapsed);
    on.bLogConnect = read(admin::bLogConnect);
    return settings;
}

std::string failure(const std::string& file, int error) {
    return "the activity log " + file + " could not be written: " + std::strerror(error);
}

// One write() on an O_APPEND descriptor: the kernel places the whole line at the end of the
// file, so concurrent writers interleave whole lines only.
std::optional<std::string> appendLine(const std::string& file, const std::string& line) {
    const int fd =
        ::open(mapPathOnDrive(file).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return failure(file, errno);
    }
    ssize_t written;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    const int error = written < 0 ? errno : ENOSPC;  // a short write is a full disk
    // Some file systems report a full disk only when the file is closed.
    const bool closed = ::close(fd) == 0;
    if (written != static_cast<ssize_t>(line.size())) {
        return failure(file, error);
    }
    if (!closed) {
        return failure(file, errno);
    }
    return std::nullopt;
}

std::optional<std::string> writeRecord(LogRecord record, const LogIdentity& identity,
                                       const Clock& clock) {
    std::optional<LogSettings> settings;
    try {
        settings = readLogSettings();
    } catch (const SettingsError& error) {
        return std::string("the log settings could not be read: ") + error.what();
    }
    if (!settings) {
        return std::nullopt;
    }
    const Clock::TimePoint now = clock.now();
    const std::string date = formatDate(now);
    const std::string time = formatLogTime(now);
    record.date = date;
    record.time = time;
    record.group = identity.GroupName;
    record.user = identity.UserName;
    return appendLine(settings->file, buildLogLine(record, settings->switches));
}

}  // namespace

std::optional<std::string> WriteUrlRecord(const LogIdentity& identity, std::string_view url,
                                          std::string_view loadTime, bool refused,
                                          const Clock& clock, std::string_view note) {
    LogRecord record;
    record.kind = refused ? LogRecordKind::Refusal : LogRecordKind::Visit;
    record.loadTime = loadTime;
    record.text = url;
    record.note = note;
    return writeRecord(record, identity, clock);
}

std::optional<std::string> WriteNoticeRecord(const LogIdentity& identity, std::string_view text,
                                             const Clock& clock) {
    LogRecord record;
    record.kind = LogRecordKind::Notice;
    record.text = text;
    return writeRecord(record, identity, clock);
}

std::optional<std::string> WriteConnectRecord(const LogIdentity& identity,
                                              std::string_view eventText, const Clock& clock) {
    LogRecord record;
    record.kind = LogRecordKind::Connection;
    record.text = eventText;
    return writeRecord(record, identity, clock);
}

}  // namespace tarn
