#include "admin/group_form.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "admin/disk_search.h"
#include "connect/ras_library.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "settings/record_ids.h"
#include "settings/settings_error.h"
#include "settings/site_lists.h"
#include "ui_group_form.h"

namespace tarn {
namespace {

constexpr char kClientFile[] = "waol.exe";
constexpr char kSearchStart[] = "c:\\";
constexpr int kSearchTickMs = 50;
// The phonebook is read with room for this many entries; a longer one is not offered.
constexpr size_t kPhonebookRoom = 16;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

void checkItem(QButtonGroup* group, int index) {
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    // No button for a stored index out of range: none is checked, and the value is kept.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

int checkedItem(const QButtonGroup* group, int stored) {
    const int checked = group->checkedId();
    return checked < 0 ? stored : checked;
}

void offer(QComboBox* combo, const std::vector<std::string>& names, const std::string& stored) {
    combo->clear();
    for (const std::string& name : names)
        combo->addItem(qs(name));
    combo->setEditText(qs(stored));
}

}  // namespace

// The search for the client program, on a thread of its own so the window stays responsive. The
// window polls it; going away cancels it and waits, so the thread never outlives the dialog.
struct TGroupForm::ClientSearch {
    ClientSearch()
        : disk(kSearchStart, kClientFile,
               [this](const std::string& entered) {
                   std::lock_guard lock(mutex);
                   folder = entered;
               }),
          worker([this] {
              result = disk.run();
              done = true;
          }) {}
    ~ClientSearch() {
        disk.cancel();
        worker.join();
    }

    std::string lastFolder() {
        std::lock_guard lock(mutex);
        return folder;
    }

    std::mutex mutex;
    std::string folder;  // the folder entered last, under the mutex
    std::string result;  // read only once done
    std::atomic<bool> done{false};
    DiskSearch disk;
    std::thread worker;  // last, so it starts once all it uses exists
};

TGroupForm::TGroupForm(Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter), ui_(std::make_unique<Ui::TGroupForm>()) {
    ui_->setupUi(this);

    dialWhen_ = new QButtonGroup(this);
    dialWhen_->addButton(ui_->DialOnConnectButton, 0);
    dialWhen_->addButton(ui_->DialOnStart, 1);
    dialWhen_->addButton(ui_->DialOnFirstPage, 2);
    aolConnected_ = new QButtonGroup(this);
    aolConnected_->addButton(ui_->MinimizeAol, 0);
    aolConnected_->addButton(ui_->HideAol, 1);
    aolConnected_->addButton(ui_->LeaveAolAlone, 2);

    searchTimer_.setInterval(kSearchTickMs);
    connect(&searchTimer_, &QTimer::timeout, this, &TGroupForm::searchTick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TGroupForm::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TGroupForm::BitBtn2Click);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TGroupForm::SpeedButton1Click);
    connect(ui_->SpeedButton2, &QToolButton::clicked, this, &TGroupForm::SpeedButton2Click);
    connect(ui_->SpeedButton3, &QToolButton::clicked, this, &TGroupForm::SpeedButton3Click);
    connect(ui_->EntryNameComboBox, &QComboBox::activated, this,
            &TGroupForm::EntryNameComboBoxChange);
}

TGroupForm::~TGroupForm() = default;

void TGroupForm::setGroup(const QString& id, const GroupRecord& record) {
    groupId_ = id;
    record_ = record;
}

void TGroupForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TGroupForm::FormShow() {
    fieldsToControls();
    offerListNames();
    offerPhonebookEntries();
    ui_->Panel5->clear();
}

void TGroupForm::fieldsToControls() {
    ui_->Edit1->setText(groupId_);
    // A group's id names its key and can not be changed once the group exists.
    ui_->Edit1->setEnabled(groupId_.isEmpty());
    ui_->CheckBox3->setChecked(record_.bGroupUseExcl);
    ui_->CheckBox4->setChecked(record_.bGroupUseIncl);
    ui_->Edit2->setText(qs(record_.sGroupFavDir));
    ui_->CheckBox5->setChecked(record_.bGroupAllowAdmin);
    ui_->CheckBox6->setChecked(record_.bGroupAllowConfig);
    ui_->CheckBox7->setChecked(record_.bGroupAllowClose);
    ui_->SpinEdit2->setValue(record_.iGroupMaxUsage);
    ui_->SpinEdit1->setValue(record_.iGroupMaxTime);
    ui_->CheckBox19->setChecked(record_.bGroupExtFlag);
    ui_->SpinEdit13->setValue(record_.iGroupExtMins);
    ui_->CheckBox20->setChecked(record_.bGroupInactFlag);
    ui_->SpinEdit12->setValue(record_.iGroupInactMins);
    ui_->CheckBox1->setChecked(record_.bGroupAOLFlag);
    ui_->CheckBox2->setChecked(record_.bGroupRASFlag);
    checkItem(dialWhen_, record_.iStartDialParam);
    ui_->CheckBox10->setChecked(record_.bDisconnectOnClose);
    ui_->Edit8->setText(qs(record_.sAOLprogram));
    ui_->Edit9->setText(qs(record_.sAOLUserName));
    ui_->Edit10->setText(qs(record_.sAOLPassword));
    checkItem(aolConnected_, record_.iAOLconnected);
    ui_->Edit5->setText(qs(record_.sRASEntry));
    ui_->Edit6->setText(qs(record_.sRASUserName));
    ui_->Edit7->setText(qs(record_.sRASPassword));
    ui_->CheckBox9->setChecked(record_.bGroupAllowReadMail);
    ui_->Edit3->setText(qs(record_.sGroupReadMailProgram));
    ui_->CheckBox12->setChecked(record_.bGroupAllowMailLinks);
    ui_->CheckBox13->setChecked(record_.bGroupAllowMailMenu);
}

void TGroupForm::controlsToFields() {
    groupId_ = ui_->Edit1->text();
    record_.bGroupUseExcl = ui_->CheckBox3->isChecked();
    record_.sGroupExclList = ui_->ComboBox1->currentText().toStdString();
    record_.bGroupUseIncl = ui_->CheckBox4->isChecked();
    record_.sGroupInclList = ui_->ComboBox2->currentText().toStdString();
    record_.sGroupFavDir = text(ui_->Edit2);
    record_.bGroupAllowAdmin = ui_->CheckBox5->isChecked();
    record_.bGroupAllowConfig = ui_->CheckBox6->isChecked();
    record_.bGroupAllowClose = ui_->CheckBox7->isChecked();
    record_.iGroupMaxUsage = ui_->SpinEdit2->value();
    record_.iGroupMaxTime = ui_->SpinEdit1->value();
    record_.bGroupExtFlag = ui_->CheckBox19->isChecked();
    record_.iGroupExtMins = ui_->SpinEdit13->value();
    record_.bGroupInactFlag = ui_->CheckBox20->isChecked();
    record_.iGroupInactMins = ui_->SpinEdit12->value();
    record_.bGroupAOLFlag = ui_->CheckBox1->isChecked();
    record_.bGroupRASFlag = ui_->CheckBox2->isChecked();
    record_.iStartDialParam = checkedItem(dialWhen_, record_.iStartDialParam);
    record_.bDisconnectOnClose = ui_->CheckBox10->isChecked();
    record_.sAOLprogram = text(ui_->Edit8);
    record_.sAOLUserName = text(ui_->Edit9);
    record_.sAOLPassword = text(ui_->Edit10);
    record_.iAOLconnected = checkedItem(aolConnected_, record_.iAOLconnected);
    record_.sRASEntry = text(ui_->Edit5);
    record_.sRASUserName = text(ui_->Edit6);
    record_.sRASPassword = text(ui_->Edit7);
    record_.bGroupAllowReadMail = ui_->CheckBox9->isChecked();
    record_.sGroupReadMailProgram = text(ui_->Edit3);
    record_.bGroupAllowMailLinks = ui_->CheckBox12->isChecked();
    record_.bGroupAllowMailMenu = ui_->CheckBox13->isChecked();
}

// The stored names show even when their lists are gone, and typed names are taken as they are.
void TGroupForm::offerListNames() {
    std::vector<std::string> exclusion;
    std::vector<std::string> inclusion;
    try {
        exclusion = offeredExclusionListNames();
        inclusion = offeredInclusionListNames();
    } catch (const SettingsError& error) {
        prompter_.error(error.what());
    }
    offer(ui_->ComboBox1, exclusion, record_.sGroupExclList);
    offer(ui_->ComboBox2, inclusion, record_.sGroupInclList);
}

// Without a library, or when the phonebook does not fit, the list stays empty without a word:
// the entry can still be typed.
void TGroupForm::offerPhonebookEntries() {
    ui_->EntryNameComboBox->clear();
    RasLibrary library(rasLibraryFile(programLibraryFolder()));
    if (!library.loaded())
        return;
    std::array<RASENTRYNAMEA, kPhonebookRoom> entries{};
    entries[0].dwSize = sizeof(RASENTRYNAMEA);
    RasDword bytes = sizeof(entries);
    RasDword count = 0;
    if (library.RasEnumEntriesA(nullptr, nullptr, entries.data(), &bytes, &count) != 0)
        return;
    for (size_t i = 0; i < std::min<size_t>(count, entries.size()); ++i) {
        const char* name = entries[i].szEntryName;
        ui_->EntryNameComboBox->addItem(QString::fromUtf8(
            name, static_cast<qsizetype>(strnlen(name, sizeof entries[i].szEntryName))));
    }
    ui_->EntryNameComboBox->setCurrentIndex(-1);
}

void TGroupForm::EntryNameComboBoxChange(int index) {
    ui_->Edit5->setText(ui_->EntryNameComboBox->itemText(index));
}

void TGroupForm::SpeedButton1Click() {
    browseFor(ui_->Edit8);
}

void TGroupForm::SpeedButton2Click() {
    browseFor(ui_->Edit3);
}

void TGroupForm::browseFor(QLineEdit* field) {
    const std::string file =
        prompter_.chooseFile({"Open", "", "*.exe", "Programs (*.exe);;All files (*)"});
    if (!file.empty())
        field->setText(qs(file));
}

// A second click while the search runs cancels it.
void TGroupForm::SpeedButton3Click() {
    if (search_) {
        stopSearch();
        return;
    }
    ui_->SpeedButton3->setChecked(true);
    ui_->Panel5->clear();
    search_ = std::make_unique<ClientSearch>();
    searchTimer_.start();
}

void TGroupForm::searchTick() {
    if (!search_->done) {
        const std::string folder = search_->lastFolder();
        if (!folder.empty())
            ui_->Panel5->setText(QStringLiteral("searching: ") + qs(folder));
        return;
    }
    const std::string found = search_->result;
    stopSearch();
    if (found.empty()) {
        ui_->Panel5->setText(QStringLiteral("waol.exe not found"));
        return;
    }
    ui_->Edit8->setText(qs(found));
    ui_->Panel5->setText(QStringLiteral("search complete"));
}

void TGroupForm::stopSearch() {
    searchTimer_.stop();
    if (search_) {
        search_.reset();
        ui_->Panel5->clear();
    }
    ui_->SpeedButton3->setChecked(false);
}

bool TGroupForm::FormCloseQuery() {
    const std::string id = text(ui_->Edit1);
    if (id.empty()) {
        prompter_.message("Please enter a valid group id..");
        return false;
    }
    // The store refuses such an id: it would name a key nested below another group.
    if (!isRecordId(id)) {
        prompter_.message("A group id can not contain a backslash (\\)..");
        return false;
    }
    stopSearch();
    controlsToFields();
    return true;
}

void TGroupForm::accept() {
    if (FormCloseQuery())
        QDialog::accept();
}

void TGroupForm::reject() {
    BitBtn2Click();
}

void TGroupForm::BitBtn2Click() {
    stopSearch();
    QDialog::reject();
}

// The window frame: the same check and copy as OK, but the caller is told Cancel. Cancel and
// OK end the dialog without a close event, so they never come through here.
void TGroupForm::closeEvent(QCloseEvent* event) {
    if (!isVisible()) {
        event->accept();  // already ended: its result stands
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    done(QDialog::Rejected);
    event->accept();
}

}  // namespace tarn
