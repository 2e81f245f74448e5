#include "session/logon_form.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/screen_centre.h"
#include "session/logon_check.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

namespace tarn {

TLogonForm::TLogonForm(Prompter& prompter, const Clock& clock, QWidget* parent)
    : QDialog(parent), prompter_(prompter), clock_(clock) {
    setWindowTitle(QStringLiteral("Tarnview Logon"));
    setModal(true);

    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    BitBtn2 = new QPushButton(QStringLiteral("&Logon"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    GroupLV = new QListWidget(this);
    GroupLV->setObjectName(QStringLiteral("GroupLV"));
    GroupLV->hide();

    ReasonLabel = new QLabel(this);
    ReasonLabel->setObjectName(QStringLiteral("ReasonLabel"));
    ReasonLabel->setWordWrap(true);
    ReasonLabel->hide();

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("User id:"), Edit2);
    fields->addRow(QStringLiteral("Password:"), Edit1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ReasonLabel);
    layout->addLayout(fields);
    layout->addWidget(BitBtn2, 0, Qt::AlignRight);
    setTabOrder(Edit2, Edit1);
    setTabOrder(Edit1, BitBtn2);

    connect(BitBtn2, &QPushButton::clicked, this, &TLogonForm::accept);
}

void TLogonForm::setReason(const QString& reason) {
    ReasonLabel->setText(reason);
    ReasonLabel->setVisible(!reason.isEmpty());
}

void TLogonForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    listCandidateGroups();
    centreOnScreen(*this);
    Edit2->setFocus();
}

void TLogonForm::listCandidateGroups() {
    GroupLV->clear();
    try {
        const bool useGroups = readSetting(*openAdminKey(kAdminKey), "", admin::bUseGroups);
        const std::vector<std::string> groups =
            useGroups ? listGroups() : std::vector<std::string>{kDefaultGroup};
        for (const std::string& group : groups) {
            GroupLV->addItem(QString::fromStdString(group));
        }
    } catch (const SettingsError& error) {
        prompter_.error(error.what());
    }
}

bool TLogonForm::logonPasses() {
    const LogonOutcome outcome =
        checkLogon(Edit2->text().toStdString(), Edit1->text().toStdString(), clock_.today());
    if (outcome.ok) {
        group_ = QString::fromStdString(outcome.group);
        userId_ = QString::fromStdString(outcome.userId);
        return true;
    }
    switch (outcome.clear) {
        case LogonOutcome::Clear::UserId:
            prompter_.message(outcome.message);
            Edit2->clear();
            Edit2->setFocus();
            break;
        case LogonOutcome::Clear::Password:
            prompter_.message(outcome.message);
            Edit1->clear();
            Edit1->setFocus();
            break;
        case LogonOutcome::Clear::None:
            prompter_.error(outcome.message);
            break;
    }
    return false;
}

void TLogonForm::accept() {
    if (logonPasses()) {
        QDialog::accept();
    }
}

// Escape and the window frame (whose close event QDialog turns into reject, refusing it while
// the dialog stays visible) end the dialog only the way the button does.
void TLogonForm::reject() {
    accept();
}

}  // namespace tarn
