#include "session/load_timing.h"

#include <algorithm>

namespace tarn {

void LoadTiming::begin(Phase& phase, std::int64_t nowMs) {
    if (idle()) {
        startMs_ = nowMs;
    }
    phase = Phase::Running;
}

void LoadTiming::measure(std::int64_t nowMs) {
    // A clock set back during a load must not give a negative time.
    elapsedMs_ = std::max<std::int64_t>(nowMs - startMs_, 0);
}

void LoadTiming::onBeforeNavigate(std::int64_t nowMs) {
    begin(navigation_, nowMs);
}

void LoadTiming::onDownloadBegin(std::int64_t nowMs) {
    begin(download_, nowMs);
}

// A completion while nothing is timed has no start to measure from (a jump within the page
// completes without beginning); it is ignored rather than leaving the timing half done.
void LoadTiming::onNavigateComplete(std::int64_t nowMs) {
    if (idle()) {
        return;
    }
    if (download_ != Phase::Running) {
        measure(nowMs);
    }
    navigation_ = Phase::Done;
}

void LoadTiming::onDownloadComplete(std::int64_t nowMs) {
    if (idle()) {
        return;
    }
    if (navigation_ != Phase::Running) {
        measure(nowMs);
    }
    download_ = Phase::Done;
}

void LoadTiming::onLoadAbandoned() {
    navigation_ = Phase::Idle;
    download_ = Phase::Idle;
}

std::optional<std::string> LoadTiming::takeRecord() {
    if (navigation_ != Phase::Done || download_ != Phase::Done) {
        return std::nullopt;
    }
    navigation_ = Phase::Idle;
    download_ = Phase::Idle;
    return formatLoadTime(elapsedMs_);
}

std::string formatLoadTime(std::int64_t milliseconds) {
    const bool negative = milliseconds < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(milliseconds)
                                             : static_cast<std::uint64_t>(milliseconds);
    // Hundredths of a second, half a hundredth rounding up.
    const std::uint64_t hundredths = (magnitude + 5) / 10;

    const std::string whole = std::to_string(hundredths / 100);
    std::string text;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            text += ',';
        }
        text += whole[i];
    }
    const std::uint64_t fraction = hundredths % 100;
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    if (negative && hundredths > 0) {
        text.insert(0, 1, '-');
    }
    if (text.size() < 5) {
        text.insert(0, 5 - text.size(), ' ');
    }
    return text + " sec";
}

}  // namespace tarn
