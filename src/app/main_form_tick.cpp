// The one-second tick, automatic refresh and URL cycling, and the main toolbar's remember and
// platform-browser buttons.
#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <optional>

#include "app/main_form.h"
#include "engine/web_browser.h"
#include "session/logon_check.h"
#include "session/user_config.h"
#include "settings/settings_error.h"

namespace tarn {

namespace {

// The public home page of the platform browser's maker, opened outside the program.
constexpr char kPlatformBrowserHome[] = "https://www.mozilla.org/";

// The window's side of the tick, which the session runs.
class TickWindow : public TickSteps {
  public:
    explicit TickWindow(TMainForm& form) : form_(form) {}

    void showClock(const std::string& time) override {
        form_.ClockPanel->setText(QString::fromStdString(time));
    }
    void showStatus(const std::string& text) override {
        form_.ShowStatus(QString::fromStdString(text));
    }
    void closeWindow() override { form_.close(); }
    std::string paneAddress(int pane) override {
        return form_.Panes[pane - 1].browser->LocationURL().toStdString();
    }
    void refreshPane(int pane) override { form_.LeftTopRefreshBtnClick(form_.Panes[pane - 1]); }
    void navigatePane(int pane, const std::string& address) override {
        form_.Panes[pane - 1].browser->Navigate(QString::fromStdString(address),
                                                TWebBrowser::NavAdmitted);
    }
    void showConnectedTime(const std::string& text) override {
        form_.ConnectPanel->setText(QString::fromStdString(text));
    }
    // The logon dialog comes up after this tick: a timer's own event does not come again while
    // it runs, so a dialog inside it would stop the clock.
    void signOffForTheDay() override {
        QTimer::singleShot(
            0, &form_, [form = &form_] { form->SignOn(QString::fromLatin1(kWebTimeUsedMessage)); });
    }
    void disconnect() override { form_.DisconnectButtonClick(); }
    bool confirm(const std::string& text) override { return form_.prompter().confirm(text); }
    bool lineStillUp() override { return form_.LineStillUp(); }
    void lineDropped() override { form_.LineDropped(); }

  private:
    TMainForm& form_;
};

}  // namespace

void TMainForm::Timer1Timer() {
    TickWindow window(*this);
    // A value that can not be read stops this tick's step, not the clock: said in the status
    // bar rather than in a box every second.
    try {
        session_->tick(window);
    } catch (const SettingsError& error) {
        ShowStatus(QString::fromStdString(error.what()));
    }
    const std::optional<int> left = session_->minutesLeftToday();
    ClockPanel->setToolTip(left ? QStringLiteral("Web time left today: %1 min.").arg(*left)
                                : QString());
}

void TMainForm::StartAutomaticRefresh1Click() {
    const int pane = panes_->current();
    session_->paneTimers().startRefresh(pane, session_->config().panes[pane - 1].refreshRate);
    StartAutomaticRefresh1->setEnabled(false);
    StopAutomaticRefresh1->setEnabled(true);
}

void TMainForm::StopAutomaticRefresh1Click() {
    session_->paneTimers().stopRefresh(panes_->current());
    StartAutomaticRefresh1->setEnabled(true);
    StopAutomaticRefresh1->setEnabled(false);
}

void TMainForm::StartURLCycle1Click() {
    const int pane = panes_->current();
    session_->paneTimers().startCycle(pane, session_->config().panes[pane - 1].cycleRate);
    StartURLCycle1->setEnabled(false);
    PauseMultipageCycling1->setEnabled(true);
}

void TMainForm::PauseMultipageCycling1Click() {
    session_->paneTimers().stopCycle(panes_->current());
    StartURLCycle1->setEnabled(true);
    PauseMultipageCycling1->setEnabled(false);
}

void TMainForm::RememberAllBtnClick() {
    std::array<std::string, 4> addresses;
    for (int i = 0; i < 4; ++i)
        addresses[i] = Panes[i].browser->LocationURL().toStdString();
    if (!readReporting(
            [&] { writeRememberedPanes(session_->configKey(), panes_->count(), addresses); }))
        return;
    ShowStatus(QStringLiteral("All currents settings set as defaults"));
}

void TMainForm::TransparentButton1Click() {
    HiddenBrowserNewWindow(QString::fromLatin1(kPlatformBrowserHome),
                           TWebBrowser::NavOpenInNewWindow);
}

void TMainForm::HiddenBrowserNewWindow(const QString& url, int flags) {
    HiddenBrowser->Navigate(url, flags);
}

}  // namespace tarn
