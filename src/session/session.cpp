#include "session/session.h"

#include <algorithm>

#include <utility>

#include "log/log_line.h"
#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/day_record.h"
#include "settings/list_sources.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "settings/settings_store.h"

namespace tarn {
namespace {

// Runs `action` when it goes out of scope, whichever way the scope is left.
template <class Action>
class ScopeExit {
  public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { action_(); }

  private:
    Action action_;
};

}  // namespace

SignOnGuard::SignOnGuard(bool& flag) : flag_(&flag) {
    flag = true;
}

SignOnGuard::SignOnGuard(SignOnGuard&& other) noexcept
    : flag_(std::exchange(other.flag_, nullptr)) {}

SignOnGuard::~SignOnGuard() {
    if (flag_) {
        *flag_ = false;
    }
}

Session::Session(const StartArguments& arguments, const Clock& clock, std::string blankPage)
    : clock_(clock),
      kind_(arguments.SpawnedCopy != 0 ? InstanceKind::SpawnedCopy : InstanceKind::Main),
      checksDone_(kind_ == InstanceKind::SpawnedCopy),
      startUrl_(arguments.StartUrl),
      userName_(arguments.UserName.value_or("")),
      groupName_(arguments.GroupName.value_or("")),
      policy_(policyDefaults()),
      ownPages_(blankPage.substr(0, blankPage.rfind('/') + 1)),
      signedOffPolicy_(NavigationPolicy::signedOff(std::move(blankPage))),
      slot_(std::make_shared<PolicySlot>()),
      accounting_(clock),
      log_(clock),
      passwordTries_(clock) {
    // A spawned copy counts for its user data dialog; the main instance keeps the records.
    accounting_.setStoring(kind_ == InstanceKind::Main);
}

int Session::dialMode() const {
    if (spawnedCopy()) {
        return 0;
    }
    if (chosenProvider_ != 0) {
        return chosenProvider_;
    }
    if (policy_.bGroupRASFlag && policy_.bGroupAOLFlag) {
        return 3;
    }
    if (policy_.bGroupAOLFlag) {
        return 2;
    }
    return policy_.bGroupRASFlag ? 1 : 0;
}

int Session::startDialParam() const {
    return policy_.iStartDialParam;
}

bool Session::mayClose() const {
    return spawnedCopy() || policy_.bGroupAllowClose;
}

StartupSettings Session::readStartupSettings() const {
    StartupSettings settings;
    settings.AdminRoot = adminHive() == Hive::LocalMachine ? 1 : 0;
    const auto store = openAdminKey(kAdminKey, false);
    settings.LoggingEnabled = readSetting(*store, "", admin::bLoggingEnabled);
    settings.UseLogon = readSetting(*store, "", admin::bUseLogon);
    return settings;
}

bool Session::takesDefaultIdentity(const StartupSettings& settings) const {
    return spawnedCopy() ? groupName_.empty() : !settings.UseLogon;
}

void Session::applyStartupSettings(const StartupSettings& settings) {
    if (takesDefaultIdentity(settings)) {
        groupName_ = kDefaultGroup;
        userName_ = kDefaultUser;
    }
    startup_ = settings;
}

std::pair<std::string, std::string> Session::reloadIdentity(const StartupSettings& settings) const {
    if (takesDefaultIdentity(settings)) {
        return {kDefaultUser, kDefaultGroup};
    }
    if (!spawnedCopy() && !userActive_) {
        return {};  // sign-on is in use and nobody is signed on
    }
    return {userName_, groupName_};
}

UserSettings Session::readUserSettings(const std::string& user, const std::string& group,
                                       const std::string& previousGroup) const {
    UserSettings next;
    next.UserName = user;
    next.GroupName = group;
    // With nobody signed on there is no group: its policy is every default and the browsers
    // may show the blank page only.
    const bool nobody = user.empty() || group.empty();
    next.policy = nobody ? policyDefaults() : readGroupPolicy(group);
    next.usage = nobody ? DayCount{clock_.today(), 0}
                        : readUserDayCount(group, user, DayRecord::Usage, clock_.today());
    // A limit whose minutes can not be stored would start afresh at every start: refused.
    if (!nobody && !spawnedCopy() &&
        (next.policy.iGroupMaxUsage > 0 || next.policy.iGroupMaxTime > 0)) {
        requireWritableAdminHive("The minutes of your group's daily limits");
    }
    if (nobody) {
        next.lists = ListCounts{};
    } else if (group == previousGroup && groupFilter_) {
        next.filter = groupFilter_;
    } else {
        // Built filters are kept beside the user's hive: they are the user's, like the hive.
        next.listBuild = std::make_shared<ListBuild>(ListSources::read(next.policy),
                                                     userHiveFile().parent_path());
    }
    next.navigation = next.filter ? std::make_shared<const NavigationPolicy>(
                                        next.filter, next.policy.bGroupAllowMailLinks, ownPages_)
                                  : signedOffPolicy_;
    next.ConfigKey =
        configKeyFor(group, user, next.policy.configChoice.iUserConfigType).value_or(configKey_);
    if (spawnedCopy()) {
        next.config = spawnedCopyConfig(next.ConfigKey);
        next.histories.resize(4);
    } else {
        next.config = readWindowConfig(next.ConfigKey);
        next.histories = readHistories(next.ConfigKey, next.config.iUrlHistory);
    }
    return next;
}

void Session::switchTo(UserSettings settings) {
    userName_ = std::move(settings.UserName);
    groupName_ = std::move(settings.GroupName);
    configKey_ = std::move(settings.ConfigKey);
    policy_ = std::move(settings.policy);
    chosenProvider_ = 0;
    accounting_.startUser(groupName_, userName_, TimeRules::of(policy_), std::move(settings.usage));
    // A build still running for the last user no longer counts, and neither do the lists of
    // whichever group came before this one's build.
    pendingLists_ = std::move(settings.listBuild);
    if (settings.filter || pendingLists_) {
        groupFilter_ = std::move(settings.filter);
    }
    config_ = std::move(settings.config);
    paneTimers_.setSettings(config_.panes);
    slot_->replace(std::move(settings.navigation));
    userLoaded_ = true;
}

std::optional<int> Session::minutesLeftToday() const {
    if (!userActive_ || policy_.iGroupMaxUsage <= 0)
        return std::nullopt;
    return std::max(0, policy_.iGroupMaxUsage - accounting_.usageMinutes());
}

SignOnGuard Session::beginSignOn() {
    return signingOn_ ? SignOnGuard() : SignOnGuard(signingOn_);
}

bool Session::finishLists(const std::shared_ptr<ListBuild>& build) {
    if (!build || build != pendingLists_) {
        return false;
    }
    pendingLists_.reset();
    if (build->filter()) {
        groupFilter_ = build->filter();
        slot_->replace(std::make_shared<const NavigationPolicy>(
            groupFilter_, policy_.bGroupAllowMailLinks, ownPages_));
    }
    return true;
}

std::optional<std::string> Session::signOff() {
    userActive_ = false;
    pendingLists_.reset();
    slot_->replace(signedOffPolicy_);
    try {
        writeUserActive(configKey_, false);
    } catch (const SettingsError& error) {
        return error.what();
    }
    return std::nullopt;
}

std::optional<std::string> Session::signOn() {
    userActive_ = true;
    try {
        writeUserActive(configKey_, true);
    } catch (const SettingsError& error) {
        return error.what();
    }
    return std::nullopt;
}

Session::Activation Session::activate(bool setupPending) {
    if (signingOn_) {
        return Activation::Nothing;  // the logon dialog of a running sign-on is closing
    }
    if (!useLogon() || spawnedCopy()) {
        // A spawned copy's user came on its command line. Settings that could not be loaded
        // sign nobody on.
        userActive_ = userLoaded_;
        return Activation::Nothing;
    }
    return !userActive_ && !setupPending ? Activation::SignOn : Activation::Nothing;
}

bool Session::takeFirstRunCheck() {
    if (checksDone_) {
        return false;
    }
    checksDone_ = true;
    return readSetting(SettingsStore(kTarnviewRoot), "Config", admin::sInstalledVersion).empty();
}

void Session::noteNavigation() {
    if (connected_) {
        accounting_.noteActivity();
    }
}

bool Session::checkAllowances(TickSteps& steps) {
    const Verdict usage = accounting_.checkUsage(userActive_);
    if (usage.act == Verdict::Act::Warn) {
        steps.showStatus(usage.status);
    } else if (usage.act == Verdict::Act::SignOff) {
        steps.signOffForTheDay();
        return false;
    }
    const Verdict online = accounting_.checkConnectTime(connected_);
    switch (online.act) {
        case Verdict::Act::Warn:
            steps.showStatus(online.status);
            return true;
        case Verdict::Act::AskToStayOnline:
            if (steps.confirm(online.status)) {
                accounting_.grantExtension();
                steps.showConnectedTime(connectedTimeText(accounting_.connectMinutes()));
                return true;
            }
            steps.disconnect();
            return false;
        case Verdict::Act::Disconnect:
            if (!online.status.empty()) {
                steps.showStatus(online.status);
            }
            steps.disconnect();
            return false;
        default:
            return true;
    }
}

void Session::tick(TickSteps& steps) {
    const Clock::TimePoint now = clock_.now();
    if (!tickClock_.newSecond(now)) {
        return;
    }
    const std::string time = formatLogTime(now);
    steps.showClock(time);
    paneTimers_.countSeconds();
    if (tickBusy_) {
        return;
    }
    tickBusy_ = true;
    // A failure in the steps below must not leave the minute step switched off for good.
    const ScopeExit idle([this] { tickBusy_ = false; });
    if (tickClock_.newMinute(now)) {
        // A line that went down is not counted: it is noticed before the minute is.
        if (connected_ && !steps.lineStillUp()) {
            connected_ = false;
            steps.lineDropped();
        }
        if (const auto problem = accounting_.countMinute(userActive_, connected_)) {
            steps.showStatus(*problem);
            // The administrator must hear of minutes that are not kept.
            log_.notice(identity(), *problem);
        }
        if (connected_) {
            steps.showConnectedTime(connectedTimeText(accounting_.connectMinutes()));
        }
        paneTimers_.countMinute();
    }
    if (spawnedCopy()) {
        bool active = false;
        try {
            active = !useLogon() || readUserActive(configKey_);
        } catch (const SettingsError&) {
            // A copy that can not see its user signed on does not stay.
        }
        if (!active) {
            steps.closeWindow();
            return;
        }
    } else if (!checkAllowances(steps)) {
        return;
    }
    const Verdict idleness = accounting_.checkIdle(connected_);
    if (idleness.act == Verdict::Act::Warn) {
        steps.showStatus(idleness.status);
    } else if (idleness.act == Verdict::Act::Disconnect) {
        steps.disconnect();
    }
    if (const auto failure = log_.writeDue(identity())) {
        steps.showStatus(*failure);
    }
    if (const auto loadTime = loadTiming_.takeRecord()) {
        if (const auto failure = log_.visit(identity(), steps.paneAddress(1), *loadTime)) {
            steps.showStatus(*failure);
        }
    }
    const auto due = paneTimers_.takeDue();
    if (!due) {
        return;
    }
    if (due->kind == DueAction::Kind::Refresh) {
        steps.showStatus(time + ": auto-refresh of Web" + std::to_string(due->pane));
        steps.refreshPane(due->pane);
        return;
    }
    steps.showStatus(time + ": auto-cycling of Web" + std::to_string(due->pane));
    const auto address = paneTimers_.cycleStep(
        due->pane, [&](int index) { return readCycleEntry(configKey_, due->pane, index); });
    if (address) {
        steps.navigatePane(due->pane, *address);
    }
}

}  // namespace tarn
