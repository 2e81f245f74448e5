#include "session/password_form.h"

#include "session/admin_password.h"
#include "ui_password_form.h"

namespace tarn {

TPasswordForm::TPasswordForm(std::string storedHash, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TPasswordForm>()),
      storedHash_(std::move(storedHash)) {
    ui_->setupUi(this);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TPasswordForm::BitBtn2Click);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

TPasswordForm::~TPasswordForm() = default;

void TPasswordForm::showEvent(QShowEvent* event) {
    accepted_ = false;
    ui_->Edit1->setFocus();
    QDialog::showEvent(event);
}

void TPasswordForm::BitBtn2Click() {
    accepted_ = HashAdminPassword(ui_->Edit1->text().toStdString()) == storedHash_;
    accept();
}

}  // namespace tarn
