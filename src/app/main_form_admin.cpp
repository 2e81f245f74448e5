// The way into the administration window: the group's permission, then the password.
#include <QAction>
#include <chrono>
#include <string>

#include "admin/admin_form.h"
#include "app/main_form.h"
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

}  // namespace tarn
