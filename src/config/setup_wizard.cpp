#include "config/setup_wizard.h"

#include "settings/admin_values.h"
#include "settings/hive_file.h"
#include "settings/password_scramble.h"
#include "settings/registry_layout.h"
#include "settings/setting.h"
#include "settings/settings_error.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"

namespace tarn {
namespace {

constexpr int kUserPage = 5;

void writeVersion(SettingsStore& store, std::string_view version) {
    writeSetting(store, "Config", admin::sInstalledVersion, version);
}

}  // namespace

std::optional<WizardRefusal> validateUserPage(const WizardAnswers& a) {
    if (a.userId.empty())
        return WizardRefusal{"There was no User Id entered..", WizardField::UserId};
    if (a.password.empty()) {
        return WizardRefusal{"There was no password entered..", WizardField::Password, true, true};
    }
    // Letter case counts.
    if (a.confirmation != a.password) {
        return WizardRefusal{"Password confirmation failed, try again..", WizardField::Confirmation,
                             false, true};
    }
    return std::nullopt;
}

void SetupWizard::showPage() {
    if (page_ > 1)
        next_ = true;
    switch (page_) {
        case 1:
            next_ = false;
            prev_ = false;
            ok_ = true;
            break;
        case 2:
            prev_ = true;
            ok_ = false;
            break;
        case kLastPage:
            next_ = false;
            prev_ = true;
            ok_ = true;
            finish_ = true;
            break;
        default:
            break;
    }
}

bool SetupWizard::ok() {
    if (page_ == kLastPage)
        return false;
    ++page_;
    showPage();
    return true;
}

std::optional<WizardRefusal> SetupWizard::next(const WizardAnswers& answers) {
    if (page_ == kUserPage) {
        if (auto refusal = validateUserPage(answers))
            return refusal;
    }
    if (page_ == kLastPage)
        return std::nullopt;
    ++page_;
    if (page_ == kUserPage && !answers.signOn)
        ++page_;
    showPage();
    return std::nullopt;
}

std::optional<WizardRefusal> SetupWizard::prev(const WizardAnswers& answers) {
    if (page_ == kUserPage) {
        if (auto refusal = validateUserPage(answers))
            return refusal;
    }
    if (page_ == kLastPage)
        ok_ = false;
    if (page_ == 1)
        return std::nullopt;
    --page_;
    if (page_ == kUserPage && !answers.signOn)
        --page_;
    showPage();
    return std::nullopt;
}

void commitWizard(const WizardAnswers& a, std::string_view version) {
    SettingsStore admin(kTarnviewRoot);
    if (a.machineHive) {
        const auto machine = HiveFile::open(Hive::LocalMachine);
        if (!machine->writable()) {
            throw SettingsError(
                "The administrative settings can not be kept in the settings file " +
                machine->file().string() +
                ": this account may not write it. Choose \"No\" on the page before, or ask "
                "the administrator to let this account write the file.");
        }
        admin.set_root(Hive::LocalMachine);
        admin.close_key();
        admin.open_key(kTarnviewRoot, true);
    }
    admin.in_transaction([&] {
        writeSetting(admin, "Admin", admin::bUseLogon, a.signOn);
        writeSetting(admin, "Admin", admin::bUseGroups, a.groups);
        const std::string group = std::string("Admin\\Groups\\") + kDefaultGroup;
        admin.write_string(group, "sGroupFavDir", a.favoritesFolder);
        if (!a.userId.empty()) {
            const std::string user = group + "\\Users\\" + a.userId;
            admin.write_string(user, kUserGroupValue, kDefaultGroup);
            admin.write_bool(user, kUserPasswordFlagValue, true);
            admin.write_string(user, kUserPasswordValue, scramblePassword(a.password));
        }
    });
    SettingsStore user(kTarnviewRoot);
    user.in_transaction([&] {
        writeVersion(user, version);
        writeSetting(user, "Config", admin::iUserSet, a.machineHive ? 1 : 0);
    });
}

void commitWizardCancel(std::string_view version) {
    SettingsStore user(kTarnviewRoot);
    writeVersion(user, version);
}

}  // namespace tarn
