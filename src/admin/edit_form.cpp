#include "admin/edit_form.h"

#include <QDir>

#include "platform/prompter.h"
#include "ui_edit_form.h"

namespace tarn {

TEditForm::TEditForm(Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TEditForm>()), prompter_(prompter) {
    ui_->setupUi(this);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TEditForm::BitBtn2Click);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TEditForm::SpeedButton1Click);
}

TEditForm::~TEditForm() = default;

void TEditForm::showEvent(QShowEvent* event) {
    setWindowTitle(QStringLiteral("Tarnview"));
    ui_->Label1->setText(prompt_);
    if (!text_.isEmpty())
        ui_->Edit1->setText(text_);
    ui_->Edit1->setFocus();
    QDialog::showEvent(event);
}

void TEditForm::BitBtn2Click() {
    text_ = ui_->Edit1->text();
    accept();
}

void TEditForm::SpeedButton1Click() {
    const std::string chosen = prompter_.chooseFile(
        {"Open", QDir::currentPath().toStdString(), filePattern_.toStdString(), "All files (*)"});
    if (!chosen.empty())
        ui_->Edit1->setText(QString::fromStdString(chosen));
}

}  // namespace tarn
