#include "config/config_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

#include "admin/edit_form.h"
#include "platform/help_viewer.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "platform/screen_centre.h"
#include "ui_config_form.h"
#include "widgets/number_box.h"

namespace tarn {

// The controls of one Web page; the pages differ only in the numbers of their names.
struct TConfigForm::PaneControls {
    QLineEdit* url{};
    QCheckBox* okToRefresh{};
    TNumberBox* refreshRate{};
    QRadioButton *refreshMinutes{}, *refreshSeconds{};
    QCheckBox* refreshAtStart{};
    QCheckBox* okToCycle{};
    TNumberBox* cycleRate{};
    QRadioButton *cycleMinutes{}, *cycleSeconds{};
    QCheckBox* cycleAtStart{};
    QListWidget* cycle{};
    QPushButton *add{}, *edit{}, *remove{};
};

namespace {

template <typename T>
T* named(const QWidget& form, const QString& name) {
    return form.findChild<T*>(name);
}

QString numbered(const char* prefix, int number) {
    return QString::fromLatin1(prefix) + QString::number(number);
}

}  // namespace

TConfigForm::TConfigForm(Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TConfigForm>()), prompter_(prompter) {
    ui_->setupUi(this);
    // Enter is OK wherever the focus is.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    ui_->BitBtn1->setDefault(true);
    for (int n = 1; n <= 4; ++n) {
        auto p = std::make_unique<PaneControls>();
        p->url = named<QLineEdit>(*this, numbered("Edit", n));
        p->okToRefresh = named<QCheckBox>(*this, numbered("CheckBox", 4 + n));
        p->refreshRate = named<TNumberBox>(*this, numbered("SpinEdit", 1 + n));
        p->refreshMinutes = named<QRadioButton>(*this, numbered("RadioButton", 2 * n - 1));
        p->refreshSeconds = named<QRadioButton>(*this, numbered("RadioButton", 2 * n));
        p->refreshAtStart = named<QCheckBox>(*this, numbered("RefreshAtStart", n));
        p->okToCycle = named<QCheckBox>(*this, numbered("CheckBox", n));
        p->cycleRate = named<TNumberBox>(*this, numbered("SpinEdit", 6 + n));
        p->cycleMinutes = named<QRadioButton>(*this, numbered("RadioButton", 8 + 2 * n - 1));
        p->cycleSeconds = named<QRadioButton>(*this, numbered("RadioButton", 8 + 2 * n));
        p->cycleAtStart = named<QCheckBox>(*this, numbered("CycleAtStart", n));
        p->cycle = named<QListWidget>(*this, numbered("ListBox", n));
        p->add = named<QPushButton>(*this, numbered("BitBtn", 4 + 3 * (n - 1)));
        p->edit = named<QPushButton>(*this, numbered("BitBtn", 5 + 3 * (n - 1)));
        p->remove = named<QPushButton>(*this, numbered("BitBtn", 6 + 3 * (n - 1)));
        connect(p->add, &QPushButton::clicked, this, [this, n] { BitBtn4Click(n); });
        connect(p->edit, &QPushButton::clicked, this, [this, n] { BitBtn5Click(n); });
        connect(p->remove, &QPushButton::clicked, this, [this, n] { BitBtn6Click(n); });
        connect(p->cycle, &QListWidget::itemDoubleClicked, this, [this, n] { BitBtn5Click(n); });
        panes_[n - 1] = std::move(p);
    }
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TConfigForm::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TConfigForm::reject);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TConfigForm::BitBtn3Click);
    ui_->Panel14->installEventFilter(this);
}

TConfigForm::~TConfigForm() = default;

void TConfigForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!showing_) {
        showing_ = true;
        FormShow();
    }
}

void TConfigForm::FormShow() {
    centreOnScreen(*this);
    ui_->PageControl1->setCurrentIndex(0);
    ui_->Panel14->setText(QStringLiteral("Configuration data is for: ") + UserName +
                          QStringLiteral(" in group: ") + GroupName);
    try {
        loaded_ = readConfiguration(ConfigKey.toStdString());
    } catch (const std::exception& error) {
        // What can not be read is not edited: nothing is stored over it.
        prompter_.error(error.what());
        QMetaObject::invokeMethod(this, &TConfigForm::reject, Qt::QueuedConnection);
        return;
    }
    showConfiguration(loaded_);
}

void TConfigForm::showConfiguration(const Configuration& c) {
    ui_->SpinEdit1->setValue(c.panes);
    ui_->SpinEdit6->setValue(c.maxHistoryEntries);
    if (QRadioButton* history =
            named<QRadioButton>(*this, numbered("RadioGroup1Item", c.urlHistory)))
        history->setChecked(true);
    // The buttons stand in the order of their actions; another number keeps the first.
    const std::array actions{ui_->RadioButton18, ui_->RadioButton17, ui_->RadioButton19,
                             ui_->RadioButton20};
    if (c.newWindowAction >= 0 && c.newWindowAction < 4)
        actions[static_cast<size_t>(c.newWindowAction)]->setChecked(true);
    for (int n = 1; n <= 4; ++n) {
        const PaneConfiguration& pane = c.pane[n - 1];
        PaneControls& p = *panes_[n - 1];
        p.url->setText(QString::fromStdString(pane.startUrl));
        p.okToRefresh->setChecked(pane.okToRefresh);
        p.refreshRate->setValue(pane.refreshRate);
        (pane.refreshMins ? p.refreshMinutes : p.refreshSeconds)->setChecked(true);
        p.refreshAtStart->setChecked(pane.refreshAtStart);
        p.okToCycle->setChecked(pane.okToCycle);
        p.cycleRate->setValue(pane.cycleRate);
        (pane.cycleMins ? p.cycleMinutes : p.cycleSeconds)->setChecked(true);
        p.cycleAtStart->setChecked(pane.cycleAtStart);
        p.cycle->clear();
        for (const std::string& entry : pane.cycle)
            p.cycle->addItem(QString::fromStdString(entry));
    }
}

Configuration TConfigForm::shownConfiguration() const {
    Configuration c = loaded_;
    c.panes = ui_->SpinEdit1->value();
    c.maxHistoryEntries = ui_->SpinEdit6->value();
    for (int item = 0; item < 3; ++item) {
        if (named<QRadioButton>(*this, numbered("RadioGroup1Item", item))->isChecked())
            c.urlHistory = item;
    }
    const std::array actions{ui_->RadioButton18, ui_->RadioButton17, ui_->RadioButton19,
                             ui_->RadioButton20};
    for (int action = 0; action < 4; ++action) {
        if (actions[static_cast<size_t>(action)]->isChecked())
            c.newWindowAction = action;
    }
    for (int n = 1; n <= 4; ++n) {
        PaneConfiguration& pane = c.pane[n - 1];
        const PaneControls& p = *panes_[n - 1];
        pane.startUrl = p.url->text().toStdString();
        pane.okToRefresh = p.okToRefresh->isChecked();
        pane.refreshRate = p.refreshRate->value();
        pane.refreshMins = p.refreshMinutes->isChecked();
        pane.refreshAtStart = p.refreshAtStart->isChecked();
        pane.okToCycle = p.okToCycle->isChecked();
        pane.cycleRate = p.cycleRate->value();
        pane.cycleMins = p.cycleMinutes->isChecked();
        pane.cycleAtStart = p.cycleAtStart->isChecked();
        pane.cycle.clear();
        for (int row = 0; row < p.cycle->count(); ++row)
            pane.cycle.push_back(p.cycle->item(row)->text().toStdString());
    }
    return c;
}

void TConfigForm::accept() {
    Cancelled = false;
    // A number still being typed counts as the box would correct it.
    for (TNumberBox* box : findChildren<TNumberBox*>())
        box->interpretText();
    if (FormClose())
        QDialog::accept();
}

void TConfigForm::reject() {
    Cancelled = true;
    QDialog::reject();
}

bool TConfigForm::FormClose() {
    try {
        writeConfiguration(ConfigKey.toStdString(), shownConfiguration());
        return true;
    } catch (const std::exception& error) {
        prompter_.error(error.what());
        return false;
    }
}

void TConfigForm::BitBtn3Click() {
    showHelp(parentWidget() ? parentWidget() : this, programFolder() / "tarnview.hlp", 40);
}

void TConfigForm::Panel14DblClick() {
    prompter_.message(ConfigKey.toStdString());
}

bool TConfigForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Panel14 && event->type() == QEvent::MouseButtonDblClick) {
        Panel14DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TConfigForm::BitBtn4Click(int pane) {
    TEditForm form(prompter_, this);
    form.setPrompt(QStringLiteral("Please enter the URL to add to the list.."));
    if (form.exec() == QDialog::Accepted)
        panes_[pane - 1]->cycle->addItem(form.text());
}

void TConfigForm::BitBtn5Click(int pane) {
    QListWidget* list = panes_[pane - 1]->cycle;
    QListWidgetItem* selected = list->currentItem();
    if (!selected || !selected->isSelected())
        return;
    TEditForm form(prompter_, this);
    form.setPrompt(QStringLiteral("Please modify the URL.."));
    form.setText(selected->text());
    if (form.exec() != QDialog::Accepted)
        return;
    // The edited entry moves to the end of the cycle order.
    delete list->takeItem(list->row(selected));
    list->addItem(form.text());
}

void TConfigForm::BitBtn6Click(int pane) {
    QListWidget* list = panes_[pane - 1]->cycle;
    QListWidgetItem* selected = list->currentItem();
    if (selected && selected->isSelected())
        delete list->takeItem(list->row(selected));
}

}  // namespace tarn
