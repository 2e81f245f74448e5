#include "log/log_line.h"

#include <ctime>

namespace tarn {
namespace {

constexpr char kRefusalPrefix[] = "Excluded site attempt: ";
constexpr size_t kPaddedTimeLength = 10;

// Characters, not bytes: a locale's AM/PM mark may be written in several UTF-8 bytes.
size_t characterCount(std::string_view text) {
    size_t count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

// The address whole, or its first kLoggedAddressLength bytes (never half a character) and how
// long it was.
std::string loggedAddress(std::string_view address) {
    if (address.size() <= kLoggedAddressLength) {
        return std::string(address);
    }
    size_t end = kLoggedAddressLength;
    while (end > 0 && (static_cast<unsigned char>(address[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(address.substr(0, end)) + "... (cut, " + std::to_string(address.size()) +
           " characters in all)";
}

}  // namespace

std::string buildLogLine(const LogRecord& record, const LogSwitches& switches) {
    const char separator = switches.bCommaDelimit ? ',' : ' ';
    std::string line;
    auto field = [&](std::string_view text, bool wanted) {
        if (wanted && !text.empty()) {
            line += text;
            line += separator;
        }
    };
    field(record.date, true);
    std::string time(record.time);
    if (characterCount(time) == kPaddedTimeLength) {
        time += ' ';
    }
    field(time, true);
    if (record.kind != LogRecordKind::Connection) {
        field(record.group, switches.bLogGroupId);
    }
    field(record.user, switches.bLogUserId);
    switch (record.kind) {
        case LogRecordKind::Visit:
            field(record.loadTime, switches.bLogElapsed);
            field(loggedAddress(record.text), switches.bLogURL);
            break;
        case LogRecordKind::Refusal:
            if (switches.bLogExcluded && !record.text.empty()) {
                std::string refusal = kRefusalPrefix + loggedAddress(record.text);
                if (!record.note.empty()) {
                    refusal += ' ';
                    refusal += record.note;
                }
                field(refusal, true);
            }
            break;
        case LogRecordKind::Connection:
            if (switches.bLogConnect) {
                line += record.text;
            }
            break;
        case LogRecordKind::Notice:
            field(record.text, true);
            break;
    }
    if (!line.empty() && line.back() == separator) {
        line.pop_back();
    }
    line += "\r\n";
    return line;
}

std::string formatLogTime(Clock::TimePoint t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[128];
    const size_t length = std::strftime(text, sizeof text, "%X", &local);
    return std::string(text, length);
}

}  // namespace tarn
