#include "log/activity_log.h"

#include <chrono>
#include <utility>

namespace tarn {
namespace {

constexpr auto kFoldFor = std::chrono::minutes(1);

}  // namespace

std::optional<std::string> ActivityLog::result(std::optional<std::string> failure) {
    if (!failure) {
        return std::nullopt;
    }
    ++lost_;
    return "Not recorded: " + *failure + " (" + std::to_string(lost_) +
           (lost_ == 1 ? " record" : " records") +
           " lost). Free some disk space or tell the administrator.";
}

std::optional<std::string> ActivityLog::visit(const LogIdentity& identity, std::string_view url,
                                              std::string_view loadTime) {
    return result(WriteUrlRecord(identity, url, loadTime, false, clock_));
}

std::optional<std::string> ActivityLog::connection(const LogIdentity& identity,
                                                   std::string_view event) {
    return result(WriteConnectRecord(identity, event, clock_));
}

std::optional<std::string> ActivityLog::notice(const LogIdentity& identity, std::string_view text) {
    return result(WriteNoticeRecord(identity, text, clock_));
}

std::optional<std::string> ActivityLog::refusal(const LogIdentity& identity, int source,
                                                std::string_view url) {
    Source& from = sources_.at(static_cast<size_t>(source));
    const Clock::TimePoint now = clock_.now();
    if (from.written && now - *from.written < kFoldFor && now >= *from.written) {
        ++from.counted;
        from.last = url;
        return std::nullopt;
    }
    std::optional<std::string> failure = writeCounted(identity, from);
    from.written = now;
    if (auto written = result(WriteUrlRecord(identity, url, "", true, clock_)))
        failure = std::move(written);
    return failure;
}

std::optional<std::string> ActivityLog::writeDue(const LogIdentity& identity) {
    const Clock::TimePoint now = clock_.now();
    std::optional<std::string> failure;
    for (Source& source : sources_) {
        if (source.counted > 0 && (now - *source.written >= kFoldFor || now < *source.written)) {
            if (auto written = writeCounted(identity, source))
                failure = std::move(written);
            source.written = now;
        }
    }
    return failure;
}

std::optional<std::string> ActivityLog::writeCounted(const LogIdentity& identity, Source& source) {
    if (source.counted == 0) {
        return std::nullopt;
    }
    const int counted = std::exchange(source.counted, 0);
    const std::string note = "(the last of " + std::to_string(counted) +
                             (counted == 1 ? " refusal" : " refusals") +
                             " from the same page within a minute)";
    return result(WriteUrlRecord(identity, std::exchange(source.last, {}), "", true, clock_, note));
}

}  // namespace tarn
