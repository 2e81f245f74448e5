// The ways into the administration and configuration windows: the group's permission, then
// for administration the password.
#include <QAction>
#include <chrono>
#include <string>

#include "admin/admin_form.h"
#include "app/main_form.h"
#include "config/config_form.h"
#include "platform/prompter.h"
#include "session/admin_access.h"
#include "session/password_form.h"
#include "session/session.h"

namespace tarn {

void TMainForm::Administration1Click() {
    AdminGate gate;
    std::chrono::seconds wait{};
    if (!readReporting([&] {
            gate = readAdminGate(session_->groupName());
            wait = session_->passwordTries().wait();
        }))
        return;
    if (!gate.allowed) {
        prompter_.message("You are not allowed to modify the adminstrative data..");
        return;
    }
    // The password is typed on every entry; a wrong one closes the prompt, opens nothing and
    // makes the next try wait.
    if (gate.passwordAsked) {
        if (wait.count() > 0) {
            prompter_.message("Too many wrong administrator passwords. Try again in " +
                              std::to_string(wait.count()) +
                              (wait.count() == 1 ? " second." : " seconds."));
            return;
        }
        TPasswordForm password(gate.storedHash, this);
        if (password.exec() != QDialog::Accepted)
            return;
        if (!password.passwordAccepted()) {
            showLogFailure(session_->activityLog().notice(session_->identity(),
                                                          "Wrong administrator password"));
            readReporting([&] { session_->passwordTries().failed(); });
            return;
        }
        readReporting([&] { session_->passwordTries().succeeded(); });
    }
    TAdminForm admin(prompter_, this);
    if (admin.exec() == QDialog::Accepted)
        ReloadSettings(true);
}

void TMainForm::ConfigButtonClick() {
    GroupRecord group;
    if (!readReporting([&] { group = currentGroupPolicy(); }))
        return;
    if (!group.bGroupAllowConfig) {
        prompter_.message("You are not allowed to modify the configuration..");
        return;
    }
    TConfigForm config(prompter_, this);
    config.ConfigKey = QString::fromStdString(session_->configKey());
    config.UserName = QString::fromStdString(session_->userName());
    config.GroupName = QString::fromStdString(session_->groupName());
    // The configuration counts from the next sign-on or start; only the switches are read now.
    if (config.exec() == QDialog::Accepted)
        ReloadSettings(false);
}

}  // namespace tarn
