// The administration window's groups and users, stored as each changes.
#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "admin/admin_form.h"
#include "admin/admin_window_values.h"
#include "admin/user_form.h"
#include "platform/ascii_case.h"
#include "platform/prompter.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/user_record.h"
#include "ui_admin_form.h"

namespace tarn {

namespace {

void removeSelected(QListWidget& list) {
    delete list.takeItem(list.currentRow());
}

}  // namespace

void TAdminForm::connectGroups() {
    connect(ui_->RadioButton3, &QRadioButton::clicked, this, &TAdminForm::RadioButton3Click);
    connect(ui_->RadioButton4, &QRadioButton::clicked, this, &TAdminForm::RadioButton3Click);
    connect(ui_->BitBtn27, &QPushButton::clicked, this, &TAdminForm::BitBtn27Click);
    connect(ui_->BitBtn15, &QPushButton::clicked, this, &TAdminForm::BitBtn15Click);
    connect(ui_->BitBtn16, &QPushButton::clicked, this, &TAdminForm::BitBtn16Click);
    connect(ui_->GroupLV, &QListWidget::itemDoubleClicked, this, &TAdminForm::BitBtn16Click);
    connect(ui_->BitBtn17, &QPushButton::clicked, this, &TAdminForm::BitBtn17Click);
    connect(ui_->BitBtn18, &QPushButton::clicked, this, &TAdminForm::BitBtn18Click);
    connect(ui_->BitBtn19, &QPushButton::clicked, this, &TAdminForm::BitBtn19Click);
    connect(ui_->UserLV, &QListWidget::itemDoubleClicked, this, &TAdminForm::BitBtn19Click);
    connect(ui_->BitBtn20, &QPushButton::clicked, this, &TAdminForm::BitBtn20Click);
    connect(ui_->BitBtn31, &QPushButton::clicked, this, &TAdminForm::BitBtn31Click);
    // Only the administrator's clicks store the choice, never the window filling its controls.
    connect(ui_->CheckBox2, &QCheckBox::clicked, this, &TAdminForm::CheckBox2Click);
    connect(ui_->RadioButton5, &QRadioButton::clicked, this, &TAdminForm::CheckBox2Click);
    connect(ui_->RadioButton6, &QRadioButton::clicked, this, &TAdminForm::CheckBox2Click);
}

void TAdminForm::RadioButton3Click() {
    const bool useGroups = ui_->RadioButton4->isChecked();
    ui_->GroupLV->clear();
    if (useGroups) {
        store([&] {
            for (const std::string& group : listGroups())
                ui_->GroupLV->addItem(QString::fromStdString(group));
        });
    } else {
        ui_->GroupLV->addItem(QString::fromLatin1(kDefaultGroup));
    }
    for (QPushButton* button : {ui_->BitBtn15, ui_->BitBtn17, ui_->BitBtn27})
        button->setEnabled(useGroups);
    currentGroup_ = QString::fromLatin1(kDefaultGroup);
    listGroupUsers();
}

void TAdminForm::listGroupUsers() {
    ui_->Panel11->setText(currentGroup_);
    ui_->GroupBox16->setTitle(QStringLiteral("Users in group: ") + currentGroup_);
    ui_->UserLV->clear();
    const bool wasLoading = std::exchange(loading_, true);
    store([&] {
        const std::string group = currentGroup_.toStdString();
        const GroupConfigChoice choice = readGroupConfigChoice(group);
        ui_->CheckBox2->setChecked(choice.bUserModifyConfig);
        (choice.iUserConfigType == 1 ? ui_->RadioButton6 : ui_->RadioButton5)->setChecked(true);
        for (const std::string& user : listUsers(group))
            ui_->UserLV->addItem(QString::fromStdString(user));
    });
    loading_ = wasLoading;
}

void TAdminForm::CheckBox2Click() {
    if (loading_)
        return;
    store([&] {
        writeGroupConfigChoice(currentGroup_.toStdString(), {ui_->RadioButton6->isChecked() ? 1 : 0,
                                                             ui_->CheckBox2->isChecked()});
    });
}

void TAdminForm::BitBtn27Click() {
    const QString group = selectedName(*ui_->GroupLV);
    if (group.isEmpty())
        return;
    currentGroup_ = group;
    listGroupUsers();
}

void TAdminForm::BitBtn17Click() {
    const QString group = selectedName(*ui_->GroupLV);
    if (group.isEmpty())
        return;
    if (group.compare(QString::fromLatin1(kDefaultGroup), Qt::CaseInsensitive) == 0) {
        prompter_.message("You cannot delete the default group");
        return;
    }
    if (!prompter_.confirm("Deleting a group may orphan users on this group, continue?"))
        return;
    if (store([&] { deleteGroup(group.toStdString()); }))
        removeSelected(*ui_->GroupLV);
}

void TAdminForm::BitBtn18Click() {
    TUserForm form(prompter_, this);
    form.setUser(QString(), {currentGroup_.toStdString(), false, ""});
    if (form.exec() != QDialog::Accepted || form.userId().isEmpty())
        return;
    if (store([&] {
            writeUserRecord(currentGroup_.toStdString(), form.userId().toStdString(),
                            form.record());
        }))
        ui_->UserLV->addItem(form.userId());
}

void TAdminForm::BitBtn19Click() {
    const QString user = selectedName(*ui_->UserLV);
    if (user.isEmpty())
        return;
    const std::string group = currentGroup_.toStdString();
    UserRecord record;
    if (!store([&] { record = readUserRecord(group, user.toStdString()); }))
        return;
    TUserForm form(prompter_, this);
    form.setUser(user, record);
    if (form.exec() == QDialog::Accepted)
        store([&] { writeUserRecord(group, user.toStdString(), form.record()); });
}

void TAdminForm::BitBtn20Click() {
    const QString user = selectedName(*ui_->UserLV);
    if (user.isEmpty() || !prompter_.confirm("Are you sure you want to delete this user?"))
        return;
    // Without a user who can sign on, user logon would lock everyone out.
    bool othersRemain = true;
    if (ui_->CheckBox6->isChecked() &&
        equalsIgnoringCase(currentGroup_.toStdString(), kDefaultGroup) &&
        !store([&] { othersRemain = defaultGroupHasUsers(user.toStdString()); }))
        return;
    if (!othersRemain) {
        prompter_.message(
            "This is the last user of \"Default Group\" who can sign on, and user logon is on: "
            "nobody could sign on without them. Add another user first, or switch user logon "
            "off.");
        return;
    }
    if (store([&] { deleteUser(currentGroup_.toStdString(), user.toStdString()); }))
        removeSelected(*ui_->UserLV);
}

void TAdminForm::BitBtn31Click() {
    const QString user = selectedName(*ui_->UserLV);
    if (user.isEmpty())
        return;
    const std::string who = user.toStdString();
    const std::string group = currentGroup_.toStdString();
    if (!prompter_.confirm("Reset Daily Usage for user: " + who + " of Group: " + group + "?"))
        return;
    bool found = true;
    if (store([&] { found = resetUsage(group, who); }) && !found)
        prompter_.message("User: " + who + " of Group: " + group + " not found..");
}

}  // namespace tarn
