#include "connect/accounting.h"

#include <algorithm>

#include "settings/settings_error.h"

namespace tarn {

TimeRules TimeRules::of(const GroupRecord& group) {
    return {group.iGroupMaxUsage, group.iGroupMaxTime,   group.bGroupExtFlag,
            group.iGroupExtMins,  group.bGroupInactFlag, group.iGroupInactMins};
}

void Accounting::startUser(const std::string& group, const std::string& user,
                           const TimeRules& rules, DayCount usage) {
    if (group != group_ || user != user_)
        extensionUsed_ = false;
    group_ = group;
    user_ = user;
    rules_ = rules;
    day_ = std::move(usage.day);
    usage_ = usage.minutes;
}

void Accounting::followDay() {
    const std::string today = clock_.today();
    // Dates of the form yyyy-mm-dd sort as text; an earlier date is a clock set back.
    if (day_.empty() || today > day_) {
        if (!day_.empty()) {
            usage_ = 0;
            connect_ = 0;
            extensionUsed_ = false;
        }
        day_ = today;
    }
}

std::optional<std::string> Accounting::countMinute(bool userActive, bool connected) {
    followDay();
    std::optional<std::string> problem;
    if (connected) {
        ++connect_;
        ++idle_;
        problem = store(DayRecord::Connect, connect_);
    }
    if (userActive) {
        ++usage_;
        if (auto usageProblem = store(DayRecord::Usage, usage_))
            problem = std::move(usageProblem);
    }
    return problem;
}

std::optional<std::string> Accounting::store(DayRecord which, int minutes) {
    if (!storing_ || user_.empty())
        return std::nullopt;
    try {
        writeUserDayMinutes(group_, user_, which, day_, minutes);
        return std::nullopt;
    } catch (const SettingsError& error) {
        if (storeFailed_)
            return std::nullopt;
        storeFailed_ = true;
        return std::string("The minutes of use could not be saved (") + error.what() +
               "); they are still counted.";
    }
}

Verdict Accounting::checkUsage(bool userActive) const {
    if (!userActive || rules_.maxUsage <= 0)
        return {};
    if (usage_ >= rules_.maxUsage)
        return {Verdict::Act::SignOff, ""};
    if (usage_ == rules_.maxUsage - 1)
        return {Verdict::Act::Warn, "Warning: Daily Usage reached, please logoff now!"};
    return {};
}

Verdict Accounting::checkConnectTime(bool connected) const {
    if (!connected || rules_.maxConnect <= 0)
        return {};
    if (connect_ == rules_.maxConnect)
        return {Verdict::Act::Warn, "Warning: Max time online, dial disconnect in 1 minute"};
    if (connect_ < rules_.maxConnect)
        return {};
    if (!rules_.extension)
        return {Verdict::Act::Disconnect, ""};
    if (extensionUsed_)
        return {Verdict::Act::Disconnect, "Connect Time Expired, disconnecting.."};
    return {Verdict::Act::AskToStayOnline, "Connected time expired, do you want to stay online?"};
}

Verdict Accounting::checkIdle(bool connected) const {
    if (!connected || !rules_.idleLimit)
        return {};
    if (idle_ == rules_.idleMinutes)
        return {Verdict::Act::Warn, "Warning: Dial logout in 1 minute without activity.."};
    if (idle_ > rules_.idleMinutes)
        return {Verdict::Act::Disconnect, ""};
    return {};
}

void Accounting::grantExtension() {
    connect_ = std::max(connect_ - rules_.extensionMinutes, 1);
    extensionUsed_ = true;
}

bool Accounting::mayConnect() {
    followDay();
    if (rules_.maxConnect > 0 && !user_.empty()) {
        const DayCount stored = readUserDayCount(group_, user_, DayRecord::Connect, day_);
        day_ = stored.day;
        connect_ = stored.minutes;
        if (connect_ > rules_.maxConnect)
            extensionUsed_ = true;
    }
    return !extensionUsed_;
}

void Accounting::storeConnectTime() {
    if (storing_ && !user_.empty())
        writeUserDayMinutes(group_, user_, DayRecord::Connect, day_, connect_);
}

void Accounting::storeUsage() {
    if (storing_ && !user_.empty())
        writeUserDayMinutes(group_, user_, DayRecord::Usage, day_, usage_);
}

std::string connectedTimeText(int minutes) {
    return "Connected for " + std::to_string(minutes) + (minutes < 2 ? " min" : " mins");
}

}  // namespace tarn
