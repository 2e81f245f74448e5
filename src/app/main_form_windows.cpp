// New windows that pages ask for, spawned copies of the program, and the Mail menu.
#include <QCoreApplication>
#include <QUrl>

#include "app/copy_leash.h"
#include "app/main_form.h"
#include "engine/cookie_handover.h"
#include "engine/engine_profiles.h"
#include "engine/web_browser.h"
#include "platform/launcher.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "session/spawn_token.h"
#include "settings/config_values.h"
#include "settings/group_record.h"
#include "settings/settings_store.h"

namespace tarn {
namespace {

enum NewWindowAction { SpawnCopy = 0, PlatformBrowser = 1, NextPane = 2, CurrentPane = 3 };

std::string programFile() {
    return QCoreApplication::applicationFilePath().toStdString();
}

}  // namespace

GroupRecord TMainForm::currentGroupPolicy() const {
    const std::string& group = session_->groupName();
    return group.empty() ? policyDefaults() : readGroupPolicy(group);
}

void TMainForm::WebBrowser1NewWindow(const QString& url, bool& Processed) {
    WebBrowser1FrameNewWindow(url, Processed);
}

void TMainForm::WebBrowser1FrameNewWindow(const QString& url, bool& Processed) {
    // The engine never opens a window of its own, whatever happens here.
    Processed = true;
    int action = -1;
    if (!readReporting([&] {
            action = readSetting(SettingsStore(session_->configKey()), config::kSection,
                                 config::iNewWindowAction);
        }))
        return;
    switch (action) {
        case SpawnCopy: {
            // The copy would refuse it too; it is not started for nothing.
            const FilterDecision decision =
                session_->navigationPolicy()->decide({url.toStdString(), NavigationType::Link});
            if (decision.verdict != FilterVerdict::Allowed) {
                WebBrowser1NavigationRefused(Panes[panes_->current() - 1].browser, url,
                                             QString::fromStdString(decision.status), decision.log);
                return;
            }
            startCopy({"Url=" + url.toStdString()});
            return;
        }
        case PlatformBrowser:
            HiddenBrowserNewWindow(url, TWebBrowser::NavOpenInNewWindow);
            return;
        case NextPane: {
            const int next = panes_->current() % 4 + 1;
            if (panes_->count() < next)
                NewSplitButtonClick();
            Panes[next - 1].browser->Navigate(url);
            return;
        }
        case CurrentPane:
            Panes[panes_->current() - 1].browser->Navigate(url);
            return;
        default:
            return;  // other values only suppress the window
    }
}

void TMainForm::SpeedButton1Click() {
    startCopy({"Copy=1"});
}

void TMainForm::startCopy(std::vector<std::string> arguments) {
    const QString leash = copyLeash_->name();
    if (leash.isEmpty()) {
        prompter_.error(
            "A new Tarnview window could not be started: Tarnview could not set up the "
            "connection that ends it with this window. Try again, or restart Tarnview.");
        return;
    }
    const std::string& group = session_->groupName();
    const std::string& user = session_->userName();
    std::string token;
    if (!readReporting([&] { token = issueSpawnToken(group, user, clock_); }))
        return;
    arguments.push_back("Group=" + group);
    arguments.push_back("User=" + user);
    arguments.push_back("Token=" + token);
    arguments.push_back("Main=" + leash.toStdString());
    // Without its cookies the copy still runs, signed out of the sites.
    writeCookieHandover(cookieHandoverFile(token), profiles_->currentCookies());
    launcher_.startProgram(programFile(), arguments, programFolder().string());
}

// The group's permissions as they stand now: an administrator's change counts at once.
void TMainForm::NewMessage1Click() {
    GroupRecord group;
    if (!readReporting([&] { group = currentGroupPolicy(); }))
        return;
    if (!group.bGroupAllowMailMenu) {
        prompter_.message("New messages may not be created using Tarnview");
        return;
    }
    HiddenBrowserNewWindow(QStringLiteral("Mailto:"), TWebBrowser::NavOpenInNewWindow);
}

void TMainForm::ReadMessages1Click() {
    GroupRecord group;
    if (!readReporting([&] { group = currentGroupPolicy(); }))
        return;
    if (!group.bGroupAllowReadMail) {
        prompter_.message("Messages may not be read from Tarnview");
        return;
    }
    if (!launcher_.runCommandLine(group.sGroupReadMailProgram))
        prompter_.message("Error invoking your mail reader program, check admin mail settings..");
}

}  // namespace tarn
