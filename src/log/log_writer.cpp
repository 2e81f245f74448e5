#include "log/log_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "log/log_line.h"
#include "platform/date.h"
#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/registry_layout.h"

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

// One write() on an O_APPEND descriptor: the kernel places the whole line at the end of the
// file, so concurrent writers interleave whole lines only. Failures are dropped on purpose.
void appendLine(const std::string& file, const std::string& line) {
    const int fd =
        ::open(mapPathOnDrive(file).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    ssize_t written;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    ::close(fd);
}

void writeRecord(LogRecord record, const LogIdentity& identity, const Clock& clock) {
    const auto settings = readLogSettings();
    if (!settings) {
        return;
    }
    const Clock::TimePoint now = clock.now();
    const std::string date = formatDate(now);
    const std::string time = formatLogTime(now);
    record.date = date;
    record.time = time;
    record.group = identity.GroupName;
    record.user = identity.UserName;
    appendLine(settings->file, buildLogLine(record, settings->switches));
}

}  // namespace

void WriteUrlRecord(const LogIdentity& identity, std::string_view url, std::string_view loadTime,
                    bool refused, const Clock& clock) {
    LogRecord record;
    record.kind = refused ? LogRecordKind::Refusal : LogRecordKind::Visit;
    record.loadTime = loadTime;
    record.text = url;
    writeRecord(record, identity, clock);
}

void WriteConnectRecord(const LogIdentity& identity, std::string_view eventText,
                        const Clock& clock) {
    LogRecord record;
    record.kind = LogRecordKind::Connection;
    record.text = eventText;
    writeRecord(record, identity, clock);
}

}  // namespace tarn
