// The administration window's group editor: a new group, or the record of one.
#include <QListWidget>

#include "admin/admin_form.h"
#include "admin/group_form.h"
#include "settings/group_record.h"
#include "ui_admin_form.h"

namespace tarn {

void TAdminForm::BitBtn15Click() {
    TGroupForm form(prompter_, this);
    form.setGroup(QString(), editorGroupDefaults());
    if (form.exec() != QDialog::Accepted || form.groupId().isEmpty())
        return;
    if (store([&] { writeGroupRecord(form.groupId().toStdString(), form.record()); }))
        ui_->GroupLV->addItem(form.groupId());
}

void TAdminForm::BitBtn16Click() {
    const QString id = selectedName(*ui_->GroupLV);
    if (id.isEmpty())
        return;
    const std::string group = id.toStdString();
    GroupRecord record;
    if (!store([&] { record = readGroupForEditor(group); }))
        return;
    TGroupForm form(prompter_, this);
    form.setGroup(id, record);
    if (form.exec() == QDialog::Accepted)
        store([&] { writeGroupRecord(group, form.record()); });
}

}  // namespace tarn
