// The way into the administration window: the group's permission, then the password.
#include <QAction>

#include "admin/admin_form.h"
#include "app/main_form.h"
#include "platform/prompter.h"
#include "session/admin_access.h"
#include "session/password_form.h"
#include "session/session.h"

namespace tarn {

void TMainForm::Administration1Click() {
    AdminGate gate;
    if (!readReporting([&] { gate = readAdminGate(session_->groupName()); }))
        return;
    if (!gate.allowed) {
        prompter_.message("You are not allowed to modify the adminstrative data..");
        return;
    }
    // The password is typed on every entry; a wrong one closes the prompt and opens nothing.
    if (gate.passwordAsked) {
        TPasswordForm password(gate.storedHash, this);
        if (password.exec() != QDialog::Accepted || !password.passwordAccepted())
            return;
    }
    TAdminForm admin(prompter_, this);
    if (admin.exec() == QDialog::Accepted)
        ReloadSettings(true);
}

}  // namespace tarn
