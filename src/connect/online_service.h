#pragma once

#include <string>

#include "platform/window_driver.h"

namespace tarn {

class Launcher;
struct GroupRecord;

// What the online-service sign-on needs to know, read by the window from the group's record and
// the administrative area.
struct OnlineServiceSettings {
    std::string program;      // sAOLprogram: the client's command line
    std::string userName;     // sAOLUserName: must be set, though never typed
    std::string password;     // sAOLPassword, in clear
    int connectedAction = 0;  // iAOLconnected: 0 minimise the client, 1 hide it, else neither
    std::string windowClass = "AOL Frame25";            // sAOLClass
    std::string signonCaption = "Welcome";              // sAOLSignon, exactly
    std::string connectErrorCaption = "Connect Error";  // sAOLConnectErr, exactly
    std::string connectedCaption = "Welcome,";          // sAOLConnected, contained
};

// The group's client values, with the tuning values an administrator may add by hand to
// Admin\Groups\Config of the administrative area. Throws SettingsError.
OnlineServiceSettings onlineServiceSettings(const GroupRecord& group);
// The class of the client's main window as the sign-off looks for it: sAOLClass of Config below
// the product key of the current user's settings. Throws SettingsError.
std::string onlineServiceClass();

// What the sign-on needs from the window that runs it.
class OnlineServiceHost {
  public:
    virtual ~OnlineServiceHost() = default;
    virtual void status(const std::string& text) = 0;  // empty clears it
    virtual void message(const std::string& text) = 0;
    virtual void log(const std::string& event) = 0;
    // Lets the window's events run for at least `milliseconds`, without spinning.
    virtual void wait(int milliseconds) = 0;
    virtual bool cancelled() const = 0;
    virtual void activateOwnWindow() = 0;
};

enum class SignOnResult {
    Connected,
    Failed,        // the dial's common end follows: a failure record
    Ended,         // ended at once, with no connection record
    ConnectError,  // the client could not connect: its own record, the buttons reset
};

// Starts an online-service client, types its sign-on and waits for its connection; later closes
// it through its menu. Every wait polls every few tens of milliseconds through the host and
// ends when the awaited window shows up or Cancel is pressed.
class OnlineServiceAutomation {
  public:
    OnlineServiceAutomation(WindowDriver& windows, Launcher& launcher, OnlineServiceHost& host);

    SignOnResult signOn(const OnlineServiceSettings& settings);
    // Closes the client that the last sign-on connected through, if it is still there and can
    // be given the focus; types nothing into any other window.
    void signOff(const std::string& windowClass);

    ForeignWindow clientWindow() const { return client_; }

  private:
    // Whether a window inside `container` has a caption that contains `text`.
    bool captionShown(ForeignWindow container, const std::string& text);
    // Waits a little for `window` to get the focus; false when it does not.
    bool focusOn(ForeignWindow window);
    // Types a key script; why it was refused, or empty.
    std::string send(const std::string& prefix, const std::string& text);

    WindowDriver& windows_;
    Launcher& launcher_;
    OnlineServiceHost& host_;
    ForeignWindow client_ = 0;
};

// The poll between two looks at the client's windows.
inline constexpr int kOnlineServicePollMs = 30;

}  // namespace tarn
