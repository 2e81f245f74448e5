// The one-second tick, automatic refresh and URL cycling, and the main toolbar's remember and
// platform-browser buttons.
#include <QAction>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>

#include "app/engine/web_browser.h"
#include "app/load_timing.h"
#include "app/main_form.h"
#include "app/pane_timers.h"
#include "app/user_config.h"
#include "log/log_line.h"
#include "log/log_writer.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "settings/settings_store.h"

namespace tarn {

namespace {

// The public home page of the platform browser's maker, opened outside the program.
constexpr char kPlatformBrowserHome[] = "https://www.mozilla.org/";

// The clock and the status prefixes show the time as the log writes it.
QString timeText(const Clock& clock) {
    return QString::fromStdString(formatLogTime(clock.now()));
}

}  // namespace

void TMainForm::Timer1Timer() {
    const Clock::TimePoint now = clock_.now();
    if (!tickClock_->newSecond(now))
        return;
    ClockPanel->setText(timeText(clock_));
    paneTimers_->countSeconds();
    if (tickBusy_)
        return;
    tickBusy_ = true;
    // A failure in the steps below must not leave the minute step switched off for good.
    const auto idle = qScopeGuard([this] { tickBusy_ = false; });
    if (tickClock_->newMinute(now)) {
        // Showing the connected time, and the limits, come with the time accounting.
        if (Connected) {
            ++ConnectMinutesToday;
            ++IdleMinutes;
        }
        if (UserActive)
            ++UsageMinutesToday;
        paneTimers_->countMinute();
    }
    if (SpawnedCopy != 0 && UseLogon && !readUserActive(ConfigKey.toStdString())) {
        close();
        return;
    }
    if (const auto loadTime = loadTiming_->takeRecord()) {
        WriteUrlRecord({GroupName.toStdString(), UserName.toStdString()},
                       Panes[0].browser->LocationURL().toStdString(), *loadTime, false, clock_);
    }
    if (const auto due = paneTimers_->takeDue()) {
        BrowserPane& pane = Panes[due->pane - 1];
        if (due->kind == DueAction::Kind::Refresh) {
            ShowStatus(timeText(clock_) + QStringLiteral(": auto-refresh of Web%1").arg(due->pane));
            LeftTopRefreshBtnClick(pane);
        } else {
            ShowStatus(timeText(clock_) + QStringLiteral(": auto-cycling of Web%1").arg(due->pane));
            const std::string key = ConfigKey.toStdString();
            const auto address = paneTimers_->cycleStep(
                due->pane, [&](int index) { return readCycleEntry(key, due->pane, index); });
            if (address)
                navigatePane(pane, QString::fromStdString(*address));
        }
    }
}

void TMainForm::StartAutomaticRefresh1Click() {
    paneTimers_->startRefresh(CurrentPane, paneSettings_[CurrentPane - 1].refreshRate);
    StartAutomaticRefresh1->setEnabled(false);
    StopAutomaticRefresh1->setEnabled(true);
}

void TMainForm::StopAutomaticRefresh1Click() {
    paneTimers_->stopRefresh(CurrentPane);
    StartAutomaticRefresh1->setEnabled(true);
    StopAutomaticRefresh1->setEnabled(false);
}

void TMainForm::StartURLCycle1Click() {
    paneTimers_->startCycle(CurrentPane, paneSettings_[CurrentPane - 1].cycleRate);
    StartURLCycle1->setEnabled(false);
    PauseMultipageCycling1->setEnabled(true);
}

void TMainForm::PauseMultipageCycling1Click() {
    paneTimers_->stopCycle(CurrentPane);
    StartURLCycle1->setEnabled(true);
    PauseMultipageCycling1->setEnabled(false);
}

void TMainForm::RememberAllBtnClick() {
    SettingsStore store(ConfigKey.toStdString());
    store.write_int("Config", "iNumberOfPanes", PaneCount);
    for (const BrowserPane& pane : Panes) {
        const QString address = pane.browser->LocationURL();
        if (address.isEmpty())
            continue;
        store.write_string("Config", "sPane" + std::to_string(pane.number) + "Url",
                           address.toStdString());
    }
    ShowStatus(QStringLiteral("All currents settings set as defaults"));
}

void TMainForm::TransparentButton1Click() {
    launcher_.openUrl(kPlatformBrowserHome);
}

}  // namespace tarn
