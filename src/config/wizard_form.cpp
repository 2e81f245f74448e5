#include "config/wizard_form.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <exception>
#include <filesystem>
#include <system_error>

#include "config/dir_list_pop.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "platform/screen_centre.h"
#include "ui_wizard_form.h"

namespace tarn {

TWizardForm::TWizardForm(Prompter& prompter, QString version, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TWizardForm>()),
      prompter_(prompter),
      version_(std::move(version)) {
    ui_->setupUi(this);
    ui_->Image1->setPixmap(style()->standardIcon(QStyle::SP_DesktopIcon).pixmap(32, 32));
    // Enter is the page's default button wherever the focus is (ShowPage chooses it).
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(ui_->OkButton, &QPushButton::clicked, this, &TWizardForm::OkButtonClick);
    connect(ui_->NextButton, &QPushButton::clicked, this, &TWizardForm::NextButtonClick);
    connect(ui_->PrevButton, &QPushButton::clicked, this, &TWizardForm::PrevButtonClick);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &TWizardForm::CancelButtonClick);
    connect(ui_->RadioGroup1Yes, &QRadioButton::toggled, this, &TWizardForm::RadioGroup1Click);
    connect(ui_->RadioGroup3Yes, &QRadioButton::toggled, this, &TWizardForm::RadioGroup3Click);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TWizardForm::SpeedButton1Click);
    ui_->Edit1->installEventFilter(this);
}

TWizardForm::~TWizardForm() = default;

void TWizardForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TWizardForm::FormShow() {
    centreOnScreen(*this);
    flow_ = SetupWizard();
    ShowPage();
}

void TWizardForm::ShowPage() {
    const QList<QWidget*> pages{ui_->Screen1, ui_->Screen2, ui_->Screen3,
                                ui_->Screen4, ui_->Screen5, ui_->ScreenLast};
    ui_->Pages->setCurrentWidget(pages[flow_.page() - 1]);
    ui_->PrevButton->setEnabled(flow_.prevEnabled());
    ui_->NextButton->setEnabled(flow_.nextEnabled());
    ui_->OkButton->setEnabled(flow_.okEnabled());
    ui_->OkButton->setText(flow_.okIsFinish() ? QStringLiteral("&Finish")
                                              : QStringLiteral("&Continue"));
    // Enter goes on: Continue or Finish where they are offered, Next on the pages between.
    ui_->OkButton->setDefault(flow_.okEnabled());
    ui_->NextButton->setDefault(!flow_.okEnabled() && flow_.nextEnabled());
    // The page's first question takes the focus, so the keyboard can answer it at once.
    switch (flow_.page()) {
        case 2:
            (ui_->RadioGroup1Yes->isChecked() ? ui_->RadioGroup1Yes : ui_->RadioGroup1No)
                ->setFocus();
            break;
        case 3:
            (ui_->RadioGroup3Yes->isChecked() ? ui_->RadioGroup3Yes : ui_->RadioGroup3No)
                ->setFocus();
            break;
        case 4:
            ui_->Edit1->setFocus();
            break;
        case 5:
            ui_->Edit2->setFocus();
            break;
        default:
            ui_->OkButton->setFocus();
            break;
    }
}

WizardAnswers TWizardForm::answers() const {
    WizardAnswers a;
    a.signOn = ui_->RadioGroup1Yes->isChecked();
    a.groups = ui_->RadioGroup2Yes->isChecked();
    a.machineHive = ui_->RadioGroup3Yes->isChecked();
    a.favoritesFolder = ui_->Edit1->text().toStdString();
    a.userId = ui_->Edit2->text().toStdString();
    a.password = ui_->Edit3->text().toStdString();
    a.confirmation = ui_->Edit4->text().toStdString();
    return a;
}

void TWizardForm::refuse(const WizardRefusal& refusal) {
    prompter_.message(refusal.message);
    if (refusal.clearPassword)
        ui_->Edit3->clear();
    if (refusal.clearConfirmation)
        ui_->Edit4->clear();
    switch (refusal.focus) {
        case WizardField::UserId:
            ui_->Edit2->setFocus();
            break;
        case WizardField::Password:
            ui_->Edit3->setFocus();
            break;
        case WizardField::Confirmation:
            ui_->Edit4->setFocus();
            break;
    }
}

bool TWizardForm::committed(const std::function<void()>& commit) {
    try {
        commit();
        return true;
    } catch (const std::exception& error) {
        // Nothing was half written: the wizard stays, so the answer can be changed.
        prompter_.error(error.what());
        return false;
    }
}

void TWizardForm::OkButtonClick() {
    if (flow_.ok()) {
        ShowPage();
        return;
    }
    const WizardAnswers a = answers();
    if (committed([&] { commitWizard(a, version_.toStdString()); }))
        accept();
}

void TWizardForm::NextButtonClick() {
    if (const auto refusal = flow_.next(answers())) {
        refuse(*refusal);
        return;
    }
    ShowPage();
}

void TWizardForm::PrevButtonClick() {
    if (const auto refusal = flow_.prev(answers())) {
        refuse(*refusal);
        return;
    }
    ShowPage();
}

void TWizardForm::CancelButtonClick() {
    // Only that the wizard has run: every setting stays as it was, as its last page promises.
    if (committed([&] { commitWizardCancel(version_.toStdString()); }))
        QDialog::reject();
}

void TWizardForm::reject() {
    if (closeBox_) {
        QDialog::reject();
        return;
    }
    CancelButtonClick();
}

void TWizardForm::closeEvent(QCloseEvent* event) {
    closeBox_ = true;
    QDialog::closeEvent(event);
    closeBox_ = false;
}

void TWizardForm::RadioGroup1Click() {
    if (!ui_->RadioGroup1Yes->isChecked())
        return;
    // Choosing No afterwards leaves the groups question open.
    ui_->Label4->setEnabled(true);
    ui_->RadioGroup2->setEnabled(true);
    ui_->Label5->setEnabled(true);
}

void TWizardForm::RadioGroup3Click() {
    if (ui_->RadioGroup3Yes->isChecked())
        ui_->Label8->show();
}

bool TWizardForm::eventFilter(QObject* watched, QEvent* event) {
    // Only when the focus moves on inside the wizard: another window coming up, such as the
    // question itself, is not leaving the box.
    if (watched == ui_->Edit1 && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Edit1Exit();
    }
    return QDialog::eventFilter(watched, event);
}

void TWizardForm::Edit1Exit() {
    const std::filesystem::path folder = mapPath(ui_->Edit1->text().toStdString());
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error))
        return;
    if (!prompter_.confirm("Folder does not exist, create it now?"))
        return;
    if (!std::filesystem::create_directories(folder, error) && error) {
        prompter_.error("The folder " + ui_->Edit1->text().toStdString() +
                        " could not be created: " + error.message() +
                        ". Choose another folder, or create it later.");
    }
}

void TWizardForm::SpeedButton1Click() {
    TDirListPop picker(this);
    const QString text = ui_->Edit1->text();
    if (!text.isEmpty()) {
        // The folder part of the box's text, up to its last "\" or ":".
        const qsizetype cut =
            std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char(':')));
        picker.setFolder(cut >= 0 ? text.left(cut + 1) : text);
    }
    if (picker.exec() == QDialog::Accepted)
        ui_->Edit1->setText(picker.folder());
}

}  // namespace tarn
