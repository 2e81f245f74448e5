#include "session/new_pass_form.h"

#include "platform/prompter.h"
#include "platform/screen_centre.h"
#include "session/admin_password.h"
#include "ui_new_pass_form.h"

namespace tarn {

TNewPassForm::TNewPassForm(Prompter& prompter, std::string storedHash, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TNewPassForm>()),
      prompter_(prompter),
      storedHash_(std::move(storedHash)) {
    ui_->setupUi(this);
    connect(ui_->Edit1, &QLineEdit::textChanged, this, &TNewPassForm::Edit1Change);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TNewPassForm::BitBtn1Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TNewPassForm::~TNewPassForm() = default;

void TNewPassForm::showEvent(QShowEvent* event) {
    const bool passwordSet = !storedHash_.empty();
    ui_->Edit1->setEnabled(passwordSet);
    ui_->Label1->setEnabled(passwordSet);
    enableNewPassword(!passwordSet);
    (passwordSet ? ui_->Edit1 : ui_->Edit2)->setFocus();
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

void TNewPassForm::enableNewPassword(bool enabled) {
    for (QWidget* control :
         {static_cast<QWidget*>(ui_->Edit2), static_cast<QWidget*>(ui_->Edit3),
          static_cast<QWidget*>(ui_->Label2), static_cast<QWidget*>(ui_->Label3)})
        control->setEnabled(enabled);
}

void TNewPassForm::Edit1Change() {
    // Once the old password has been typed, the new one stays open to typing.
    if (HashAdminPassword(ui_->Edit1->text().toStdString()) == storedHash_)
        enableNewPassword(true);
}

void TNewPassForm::BitBtn1Click() {
    if (ui_->Edit3->text().isEmpty()) {
        prompter_.message("Please retype your new password now..");
        ui_->Edit3->setFocus();
        return;
    }
    if (ui_->Edit2->text() != ui_->Edit3->text()) {
        prompter_.message("New Password was not retyped correctly, try again...");
        ui_->Edit2->clear();
        ui_->Edit3->clear();
        ui_->Edit2->setFocus();
        return;
    }
    storedHash_ = HashAdminPassword(ui_->Edit2->text().toStdString());
    accept();
}

}  // namespace tarn
