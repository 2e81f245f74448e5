#include "connect/online_service.h"

#include "connect/key_script.h"
#include "platform/launcher.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"

namespace tarn {
namespace {

// How long a window the client was asked to activate may take to get the focus.
constexpr int kFocusWaitMs = 2000;

constexpr char kPasswordNoScript[] =
    "The online-service password can not be typed: a \"{\" in it must start a key name such "
    "as {TAB} and end with \"}\". Ask the administrator to change it in the group's settings.";
constexpr char kPasswordNotTyped[] =
    "The online-service password holds a character this keyboard layout can not type, so "
    "nothing of it was typed. Ask the administrator to change it, or change the keyboard "
    "layout.";

}  // namespace

OnlineServiceSettings onlineServiceSettings(const GroupRecord& group) {
    OnlineServiceSettings settings;
    settings.program = group.sAOLprogram;
    settings.userName = group.sAOLUserName;
    settings.password = group.sAOLPassword;
    settings.connectedAction = group.iAOLconnected;
    // Read, never written: only an administrator adds them.
    const auto groups = openAdminKey(kGroupsKey, false);
    settings.windowClass = readSetting(*groups, "Config", admin::sAOLClass);
    settings.signonCaption = readSetting(*groups, "Config", TextSetting{"sAOLSignon", "Welcome"});
    settings.connectErrorCaption =
        readSetting(*groups, "Config", TextSetting{"sAOLConnectErr", "Connect Error"});
    settings.connectedCaption =
        readSetting(*groups, "Config", TextSetting{"sAOLConnected", "Welcome,"});
    return settings;
}

std::string onlineServiceClass() {
    return readSetting(SettingsStore(kTarnviewRoot), "Config", admin::sAOLClass);
}

OnlineServiceAutomation::OnlineServiceAutomation(WindowDriver& windows, Launcher& launcher,
                                                 OnlineServiceHost& host)
    : windows_(windows), launcher_(launcher), host_(host) {}

bool OnlineServiceAutomation::captionShown(ForeignWindow container, const std::string& text) {
    for (const ForeignWindow window : windows_.children(container)) {
        if (windows_.caption(window).find(text) != std::string::npos)
            return true;
    }
    return false;
}

std::string OnlineServiceAutomation::send(const std::string& prefix, const std::string& text) {
    const KeyScript script = BuildKeyScript(prefix, text);
    return script.error.empty() ? windows_.sendKeys(script.codes) : script.error;
}

bool OnlineServiceAutomation::focusOn(ForeignWindow window) {
    for (int waited = 0; !windows_.focused(window); waited += kOnlineServicePollMs) {
        if (waited >= kFocusWaitMs || !windows_.exists(window))
            return false;
        host_.wait(kOnlineServicePollMs);
    }
    return true;
}

SignOnResult OnlineServiceAutomation::signOn(const OnlineServiceSettings& settings) {
    host_.log("Starting AOL Dialup Connection process");
    client_ = 0;
    host_.status("AOL Dial: loading AOL program");
    if (settings.program.empty() || settings.userName.empty() || settings.password.empty()) {
        host_.message(
            "Error: Not All parameters needed for America Online dialing have been entered..");
        return SignOnResult::Failed;
    }
    // A client that could be started but never driven would be left waiting on screen.
    if (const std::string why = windows_.unavailable(); !why.empty()) {
        host_.message(why);
        host_.status("");
        return SignOnResult::Ended;
    }
    if (!launcher_.runCommandLine(settings.program)) {
        host_.message("Error invoking America Online, check settings");
        return SignOnResult::Failed;
    }

    host_.status("AOL Dial: waiting for main screen");
    ForeignWindow main = 0;
    while (!(main = windows_.findWindowByClass(settings.windowClass)) && !host_.cancelled())
        host_.wait(kOnlineServicePollMs);
    if (!main) {
        host_.message("Error: timed out waiting for main AOL screen");
        host_.status("");
        return SignOnResult::Ended;
    }

    host_.status("AOL Dial: waiting for signon screen");
    ForeignWindow container = 0;
    for (;;) {
        const std::vector<ForeignWindow> inside = windows_.children(main);
        container = inside.empty() ? 0 : inside.front();
        if (container || host_.cancelled())
            break;
        host_.wait(kOnlineServicePollMs);
    }
    bool signOnShown = false;
    while (container && !signOnShown && !host_.cancelled()) {
        for (const ForeignWindow window : windows_.children(container)) {
            const std::string caption = windows_.caption(window);
            if (caption == settings.signonCaption) {
                signOnShown = true;
                break;
            }
            if (caption == settings.connectErrorCaption)
                return SignOnResult::ConnectError;
        }
        if (!signOnShown)
            host_.wait(500);
    }
    if (!signOnShown) {
        host_.message("Error: cancelled or timed-out waiting for signon screen");
        return SignOnResult::Ended;
    }

    host_.status("AOL Dial: sending signon commands");
    host_.wait(0);
    if (!windows_.exists(main)) {
        host_.message("Error: unable to send signon commands");
        host_.status("");
        return SignOnResult::Ended;
    }
    windows_.activate(main);
    host_.wait(250);
    // Keys go to whichever window has the focus: the password goes nowhere but the client.
    if (!focusOn(main)) {
        host_.message("Error: unable to send signon commands");
        host_.status("");
        return SignOnResult::Ended;
    }
    std::string refused = send("", "{TAB}");
    if (refused.empty()) {
        host_.wait(250);
        // Nothing of the password is shown on screen, not even the part that failed.
        const KeyScript password = BuildKeyScript("", settings.password + "{ENTER}");
        if (!password.error.empty())
            refused = kPasswordNoScript;
        else if (!windows_.sendKeys(password.codes).empty())
            refused = kPasswordNotTyped;
    }
    if (!refused.empty()) {
        host_.message(refused);
        host_.status("");
        return SignOnResult::Failed;
    }

    host_.status("AOL Dial: waiting for connection to process");
    bool connected = false;
    while (!(connected = captionShown(container, settings.connectedCaption)) && !host_.cancelled())
        host_.wait(kOnlineServicePollMs);
    if (!connected) {
        host_.message("Error: cancelled or timed-out waiting for signon screen");
        host_.status("");
        return SignOnResult::Failed;
    }
    host_.wait(500);
    if (settings.connectedAction == 0)
        windows_.minimise(main);
    else if (settings.connectedAction == 1)
        windows_.hide(main);
    host_.activateOwnWindow();
    host_.status("AOL Dial: Complete! internet navigation enabled..");
    client_ = main;
    return SignOnResult::Connected;
}

void OnlineServiceAutomation::signOff(const std::string& windowClass) {
    const ForeignWindow client = client_;
    client_ = 0;
    if (!client)
        return;
    host_.status("AOL Dial: Disconnecting AOL now..");
    windows_.show(client);
    windows_.activate(client);
    host_.wait(500);
    // "Alt+F, x" closes whatever program has the focus: only the client may get it.
    if (!focusOn(client))
        return;
    if (!send("{ALT}", "f").empty())
        return;
    host_.wait(500);
    if (!send("", "x").empty())
        return;
    host_.wait(500);
    while (windows_.findWindowByClass(windowClass) == client && !host_.cancelled())
        host_.wait(1000);
}

}  // namespace tarn
