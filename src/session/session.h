#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connect/accounting.h"
#include "log/activity_log.h"
#include "log/log_writer.h"
#include "platform/clock.h"
#include "policy/list_build.h"
#include "policy/navigation_policy.h"
#include "session/admin_password_tries.h"
#include "session/command_line.h"
#include "session/load_timing.h"
#include "session/pane_timers.h"
#include "session/user_config.h"
#include "settings/group_record.h"

namespace tarn {

enum class InstanceKind { Main, SpawnedCopy };

// What a reload reads before the user's settings: where the administrative area lives, and
// the logging and sign-on switches.
struct StartupSettings {
    int AdminRoot = 0;
    bool LoggingEnabled = false;
    bool UseLogon = false;
};

// Everything of a user that the session switches to, read in full beforehand: a settings error
// part way through then leaves the session as it was.
struct UserSettings {
    std::string UserName, GroupName, ConfigKey;
    GroupRecord policy;
    DayCount usage;                           // the minutes of use counted today
    std::shared_ptr<const UrlFilter> filter;  // none while nobody is signed on
    std::shared_ptr<const NavigationPolicy> navigation;
    std::optional<ListCounts> lists;  // known at once: nobody signed on
    // The group's lists to read and build away from the window's thread; none when the previous
    // group's lists are kept or nobody is signed on.
    std::shared_ptr<ListBuild> listBuild;
    WindowConfig config;
    std::vector<std::vector<std::string>> histories;  // the saved items of the four address boxes
};

// What the one-second tick asks of the window, in the order the session calls them.
class TickSteps {
  public:
    virtual ~TickSteps() = default;
    virtual void showClock(const std::string& time) = 0;
    virtual void showStatus(const std::string& text) = 0;
    // A spawned copy whose user signed off in the main instance.
    virtual void closeWindow() = 0;
    virtual std::string paneAddress(int pane) = 0;
    virtual void refreshPane(int pane) = 0;
    virtual void navigatePane(int pane, const std::string& address) = 0;
    virtual void showConnectedTime(const std::string& text) = 0;
    // The user's allowance is used up: sign them off and show the logon dialog.
    virtual void signOffForTheDay() = 0;
    virtual void disconnect() = 0;
    // A Yes/No question; true for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // Whether the line this program brought up is still up; asked once a minute while connected.
    virtual bool lineStillUp() = 0;
    // The other end (or a suspend) dropped the line; the session is no longer connected.
    virtual void lineDropped() = 0;
};

// Held while a sign-on runs, so that no second one starts inside it; let go on every way out.
class [[nodiscard]] SignOnGuard {
  public:
    SignOnGuard() = default;
    explicit SignOnGuard(bool& flag);
    SignOnGuard(SignOnGuard&& other) noexcept;
    SignOnGuard& operator=(SignOnGuard&&) = delete;
    ~SignOnGuard();
    explicit operator bool() const { return flag_ != nullptr; }

  private:
    bool* flag_ = nullptr;
};

// Who uses this window and under which policy: the signed-on user and group, their
// configuration key, the group's policy record, the URL filter every browser asks, and the
// counters of the tick. The window shows it and forwards its handlers to it.
class Session {
  public:
    // `blankPage` is the address of the program's blank page, the one page allowed while nobody
    // is signed on.
    Session(const StartArguments& arguments, const Clock& clock, std::string blankPage);

    InstanceKind kind() const { return kind_; }
    bool spawnedCopy() const { return kind_ == InstanceKind::SpawnedCopy; }
    const std::string& userName() const { return userName_; }
    const std::string& groupName() const { return groupName_; }
    const std::string& configKey() const { return configKey_; }
    const std::string& startUrl() const { return startUrl_; }
    LogIdentity identity() const { return {groupName_, userName_}; }

    bool useLogon() const { return startup_.UseLogon; }
    bool loggingEnabled() const { return startup_.LoggingEnabled; }
    int adminRoot() const { return startup_.AdminRoot; }
    bool userActive() const { return userActive_; }
    const GroupRecord& policy() const { return policy_; }
    // 0 none, 1 dial-up networking, 2 the online-service client, 3 both; 0 in a spawned copy.
    // With both, the provider chosen last holds until the next sign-on.
    int dialMode() const;
    void chooseProvider(int provider) { chosenProvider_ = provider; }
    int startDialParam() const;
    const WindowConfig& config() const { return config_; }

    // A spawned copy may always close; a main instance when its group allows it.
    bool mayClose() const;
    // Only a main instance saves its user's state and cleans the log.
    bool keepsState() const { return kind_ == InstanceKind::Main; }

    int usageMinutesToday() const { return accounting_.usageMinutes(); }
    // The minutes of the group's daily allowance left today; nothing without an allowance or
    // with nobody signed on.
    std::optional<int> minutesLeftToday() const;
    int connectMinutesToday() const { return accounting_.connectMinutes(); }
    int idleMinutes() const { return accounting_.idleMinutes(); }
    bool connected() const { return connected_; }
    void setConnected(bool connected) { connected_ = connected; }
    Accounting& accounting() { return accounting_; }

    // The policy every browser of this window asks, replaced whole at each sign-on.
    std::shared_ptr<const PolicySlot> navigationPolicy() const { return slot_; }

    // Reloading: the switches, then (optionally) the user they give.
    StartupSettings readStartupSettings() const;
    void applyStartupSettings(const StartupSettings& settings);
    // The user and group a reload under `settings` loads: the defaults without sign-on, nobody
    // (empty names) when sign-on is in use and nobody is signed on, else the current ones.
    std::pair<std::string, std::string> reloadIdentity(const StartupSettings& settings) const;

    // Reads everything of `user` in `group` without changing the session; throws SettingsError
    // (or a file system error) when something can not be read. The lists of `previousGroup` are
    // kept when the group is the same.
    UserSettings readUserSettings(const std::string& user, const std::string& group,
                                  const std::string& previousGroup) const;
    // Switches to what readUserSettings gave; cannot fail. While its lists are being built, every
    // browser may show the blank page only.
    void switchTo(UserSettings settings);
    bool listsPending() const { return pendingLists_ != nullptr; }
    // Puts the filter of a finished build in force. False when the build no longer counts: a
    // later switch or a sign-off came first. A build that failed leaves everything refused.
    bool finishLists(const std::shared_ptr<ListBuild>& build);

    // A guard that is empty when a sign-on is already running.
    SignOnGuard beginSignOn();
    bool signingOn() const { return signingOn_; }
    // Ends the current use: nobody is active, the browsers may show only the blank page, and the
    // user's spawned copies see bUserActive turn false. The use ends even when bUserActive can
    // not be written; the store's message is given back then.
    std::optional<std::string> signOff();
    // The user whose settings were just switched to is active; the store's message when
    // bUserActive could not be written.
    std::optional<std::string> signOn();

    enum class Activation { Nothing, SignOn };
    // The window was activated; `setupPending` while the first-run step waits. Says whether
    // the window must sign someone on.
    Activation activate(bool setupPending);
    // True on the first activation of a main instance that has never been set up.
    bool takeFirstRunCheck();

    LoadTiming& loadTiming() { return loadTiming_; }
    ActivityLog& activityLog() { return log_; }
    AdminPasswordTries& passwordTries() { return passwordTries_; }
    PaneTimers& paneTimers() { return paneTimers_; }
    // A navigation passed the filter: with a connection up, the user is not idle.
    void noteNavigation();

    // One timer event: the clock, then once a second the refresh and cycle counts, the minute
    // counters, the checks of the daily allowances (or the spawned copy's watch on its user),
    // the first pane's load record, and one due refresh or cycle step. A tick that arrives while
    // a step of the last one (a question, the logon dialog) is still running counts seconds
    // only.
    void tick(TickSteps& steps);

  private:
    // Without sign-on a main instance runs as the default user, and so does a spawned copy
    // whose command line named no group.
    bool takesDefaultIdentity(const StartupSettings& settings) const;
    // The usage and connect-time checks of a main instance; false when they ended the tick.
    bool checkAllowances(TickSteps& steps);

    const Clock& clock_;
    InstanceKind kind_;
    bool checksDone_;  // the first-activation checks have run (a spawned copy never runs them)
    std::string startUrl_;
    std::string userName_, groupName_, configKey_;
    StartupSettings startup_;
    bool userActive_ = false;
    bool userLoaded_ = false;
    bool signingOn_ = false;
    GroupRecord policy_;
    WindowConfig config_;
    std::shared_ptr<const UrlFilter> groupFilter_;
    std::shared_ptr<ListBuild> pendingLists_;
    std::string ownPages_;  // the file address of the blank page's folder
    std::shared_ptr<const NavigationPolicy> signedOffPolicy_;
    std::shared_ptr<PolicySlot> slot_;

    Accounting accounting_;
    bool connected_ = false;
    int chosenProvider_ = 0;
    bool tickBusy_ = false;
    TickClock tickClock_;
    LoadTiming loadTiming_;
    PaneTimers paneTimers_;
    ActivityLog log_;
    AdminPasswordTries passwordTries_;
};

}  // namespace tarn
