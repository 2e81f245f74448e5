#include "admin/user_form.h"

#include "platform/prompter.h"
#include "settings/record_ids.h"
#include "ui_user_form.h"

namespace tarn {

TUserForm::TUserForm(Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TUserForm>()), prompter_(prompter) {
    ui_->setupUi(this);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TUserForm::BitBtn2Click);
}

TUserForm::~TUserForm() = default;

void TUserForm::setUser(const QString& id, const UserRecord& record) {
    id_ = id;
    record_ = record;
}

void TUserForm::showEvent(QShowEvent* event) {
    ui_->Panel4->setText(QString::fromStdString(record_.sUserGroup));
    ui_->Edit1->setText(id_);
    ui_->Edit1->setEnabled(id_.isEmpty());
    ui_->CheckBox1->setChecked(record_.bUserPasswordFlag);
    ui_->Edit2->setText(QString::fromStdString(record_.sUserPassword));
    if (id_.isEmpty())
        ui_->Edit1->setFocus();
    cancelled_ = false;
    QDialog::showEvent(event);
}

void TUserForm::BitBtn2Click() {
    reject();
}

void TUserForm::reject() {
    cancelled_ = true;
    QDialog::reject();
}

void TUserForm::done(int result) {
    // OK passes the check; Cancel, Escape and the window frame skip it.
    if (!cancelled_ && !FormCloseQuery())
        return;
    QDialog::done(result);
}

bool TUserForm::FormCloseQuery() {
    const std::string id = ui_->Edit1->text().toStdString();
    if (id.empty() || !isRecordId(id)) {
        prompter_.message(id.empty() ? "Please enter a valid user id.."
                                     : "A user id can not contain a backslash (\\)..");
        ui_->Edit1->setFocus();
        return false;
    }
    id_ = ui_->Edit1->text();
    record_.sUserGroup = ui_->Panel4->text().toStdString();
    record_.bUserPasswordFlag = ui_->CheckBox1->isChecked();
    record_.sUserPassword = ui_->Edit2->text().toStdString();
    return true;
}

}  // namespace tarn
