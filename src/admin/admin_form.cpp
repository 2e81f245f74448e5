// The administration window: opening, closing, the Security and Logging pages and help.
#include "admin/admin_form.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "admin/list_entries_model.h"
#include "platform/help_viewer.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "platform/screen_centre.h"
#include "session/new_pass_form.h"
#include "settings/settings_error.h"
#include "ui_admin_form.h"

namespace tarn {

namespace {

// Read Log File shows at most this much of the end of the log: a log of a gigabyte would take
// the window's memory and minutes to show.
constexpr qint64 kLogShown = qint64{1} << 20;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TAdminForm::TAdminForm(Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TAdminForm>()), prompter_(prompter) {
    ui_->setupUi(this);
    // Enter is OK wherever the focus is, not the button that happens to have it.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    ui_->BitBtn1->setDefault(true);
    ui_->RadioButton1->setChecked(true);
    ui_->RadioButton3->setChecked(true);
    ui_->RadioButton5->setChecked(true);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TAdminForm::BitBtn2Click);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TAdminForm::BitBtn3Click);
    connect(ui_->Passbtn, &QPushButton::clicked, this, &TAdminForm::PassbtnClick);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TAdminForm::SpeedButton1Click);
    connect(ui_->BitBtn13, &QPushButton::clicked, this, &TAdminForm::BitBtn13Click);
    connect(ui_->BitBtn14, &QPushButton::clicked, this, &TAdminForm::BitBtn14Click);
    connectGroups();
    connectLists();
}

TAdminForm::~TAdminForm() = default;

void TAdminForm::showEvent(QShowEvent* event) {
    FormShow();
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

void TAdminForm::FormShow() {
    loading_ = true;
    cancelled_ = false;
    ui_->PageControl1->setCurrentIndex(0);
    store([&] {
        const AdminWindowValues values = readAdminWindowValues();
        secPass_ = values.sSecPass;
        showValues(values);
        ui_->IncludeLV->clear();
        for (const std::string& name : listInclusionListNames())
            ui_->IncludeLV->addItem(qs(name));
        ui_->ExcludeLV->clear();
        for (const std::string& name : listExclusionListNames())
            ui_->ExcludeLV->addItem(qs(name));
    });
    currentInclusion_ = QString::fromLatin1(kDefaultInclusionList);
    currentExclusion_ = QString::fromLatin1(kDefaultExclusionList);
    RadioButton3Click();
    loadLists(true);
    loadLists(false);
    loading_ = false;
}

void TAdminForm::showValues(const AdminWindowValues& values) {
    (values.adminHive == Hive::LocalMachine ? ui_->RadioButton2 : ui_->RadioButton1)
        ->setChecked(true);
    ui_->CheckBox14->setChecked(values.bLoggingEnabled);
    ui_->CheckBox1->setChecked(values.bAdminSec);
    ui_->CheckBox6->setChecked(values.bUseLogon);
    ui_->Edit1->setText(qs(values.sUserId));
    ui_->CheckBox5->setChecked(values.bUseNetId);
    ui_->Edit2->setText(qs(values.sLogFileLocation));
    ui_->SpinEdit1->setValue(values.iLogKeepDays);
    ui_->CheckBox11->setChecked(values.bCommaDelimit);
    ui_->CheckBox8->setChecked(values.bLogUserId);
    ui_->CheckBox3->setChecked(values.bLogGroupId);
    ui_->CheckBox10->setChecked(values.bLogURL);
    ui_->CheckBox15->setChecked(values.bLogExcluded);
    ui_->CheckBox16->setChecked(values.bLogElapsed);
    ui_->CheckBox17->setChecked(values.bLogConnect);
    (values.bUseGroups ? ui_->RadioButton4 : ui_->RadioButton3)->setChecked(true);
}

AdminWindowValues TAdminForm::shownValues() const {
    AdminWindowValues values;
    values.adminHive = ui_->RadioButton2->isChecked() ? Hive::LocalMachine : Hive::CurrentUser;
    values.bLoggingEnabled = ui_->CheckBox14->isChecked();
    values.bAdminSec = ui_->CheckBox1->isChecked();
    values.sSecPass = secPass_;
    values.bUseLogon = ui_->CheckBox6->isChecked();
    values.sUserId = ui_->Edit1->text().toStdString();
    values.bUseNetId = ui_->CheckBox5->isChecked();
    values.sLogFileLocation = ui_->Edit2->text().toStdString();
    values.iLogKeepDays = ui_->SpinEdit1->value();
    values.bCommaDelimit = ui_->CheckBox11->isChecked();
    values.bLogUserId = ui_->CheckBox8->isChecked();
    values.bLogGroupId = ui_->CheckBox3->isChecked();
    values.bLogURL = ui_->CheckBox10->isChecked();
    values.bLogExcluded = ui_->CheckBox15->isChecked();
    values.bLogElapsed = ui_->CheckBox16->isChecked();
    values.bLogConnect = ui_->CheckBox17->isChecked();
    values.bUseGroups = ui_->RadioButton4->isChecked();
    return values;
}

bool TAdminForm::store(const std::function<void()>& operation) {
    try {
        operation();
        return true;
    } catch (const SettingsError& error) {
        prompter_.error(error.what());
        return false;
    }
}

QString TAdminForm::selectedName(const QListWidget& list) {
    const QListWidgetItem* item = list.currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void TAdminForm::BitBtn2Click() {
    reject();
}

void TAdminForm::reject() {
    cancelled_ = true;
    QDialog::reject();
}

void TAdminForm::done(int result) {
    if (!cancelled_ && !FormCloseQuery()) {
        return;
    }
    // A hive that refuses the values keeps the window open after OK, so the administrator can
    // choose the other hive; any other close goes ahead with nothing written.
    if (!FormClose() && result == QDialog::Accepted) {
        cancelled_ = false;
        return;
    }
    QDialog::done(result);
}

bool TAdminForm::FormCloseQuery() {
    if (!ui_->CheckBox6->isChecked())
        return true;
    bool hasUsers = false;
    if (!store([&] { hasUsers = defaultGroupHasUsers(); }))
        return false;
    if (!hasUsers) {
        prompter_.message(
            "You have indicated that you want user logon, however there must be at least 1 user "
            "entered in the \"Default Group\" in order to activate this option");
        return false;
    }
    return true;
}

bool TAdminForm::FormClose() {
    return store([&] {
        AdminWindowValues values = shownValues();
        // Cancel skips the logon check, but user logon without a user who can sign on would
        // lock everyone out at the next sign-on: it stays off.
        if (values.bUseLogon && !defaultGroupHasUsers()) {
            values.bUseLogon = false;
            prompter_.message(
                "User logon stays off: no user of \"Default Group\" can sign on yet. Add one, "
                "then switch user logon on.");
        }
        writeAdminWindowValues(values);
    });
}

void TAdminForm::BitBtn3Click() {
    showHelp(this, programFolder() / "tarnadmn.hlp", 10);
}

void TAdminForm::PassbtnClick() {
    TNewPassForm form(prompter_, secPass_, this);
    form.exec();
    secPass_ = form.storedHash();
}

void TAdminForm::SpeedButton1Click() {
    const std::string chosen = prompter_.chooseFile(
        {"Open", mapPath(ui_->Edit2->text().toStdString()).parent_path().string(), "*.log",
         "Log files (*.log);;All files (*)"});
    if (!chosen.empty())
        ui_->Edit2->setText(qs(chosen));
}

void TAdminForm::BitBtn13Click() {
    const std::string location = ui_->Edit2->text().toStdString();
    if (location.empty())
        return;
    QFile log(QString::fromStdString(mapPath(location).string()));
    if (!log.exists())
        return;
    if (!log.open(QIODevice::ReadOnly)) {
        prompter_.message("The log file " + location +
                          " could not be read: " + log.errorString().toStdString());
        return;
    }
    const qint64 size = log.size();
    QByteArray text;
    if (size > kLogShown) {
        log.seek(size - kLogShown);
        text = log.read(kLogShown);
        // Start at a whole line.
        text.remove(0, text.indexOf('\n') + 1);
        ui_->Label5->setText(QStringLiteral("The log holds %1 MB; shown are its newest %2 KB.")
                                 .arg(size >> 20)
                                 .arg(text.size() >> 10));
    } else {
        text = log.readAll();
        ui_->Label5->clear();
    }
    ui_->RichEdit1->setPlainText(QString::fromUtf8(text));
    ui_->RichEdit1->moveCursor(QTextCursor::End);
}

void TAdminForm::BitBtn14Click() {
    const std::string location = ui_->Edit2->text().toStdString();
    if (location.empty())
        return;
    const std::filesystem::path file = mapPath(location);
    std::error_code error;
    if (!std::filesystem::exists(file, error) ||
        !prompter_.confirm("Are you sure you want to clear the log?"))
        return;
    if (!std::filesystem::remove(file, error) && error) {
        prompter_.message("The log file " + location + " could not be deleted: " + error.message());
        return;
    }
    ui_->RichEdit1->clear();
    ui_->Label5->clear();
}

}  // namespace tarn
