// The administration window's site and word lists, stored as each entry changes.
#include <QListView>
#include <QListWidget>
#include <QPushButton>

#include "admin/admin_form.h"
#include "admin/edit_form.h"
#include "admin/list_entries_model.h"
#include "platform/prompter.h"
#include "settings/record_ids.h"
#include "ui_admin_form.h"

namespace tarn {

namespace {

std::optional<size_t> selectedRow(const QListView& view) {
    const QModelIndexList rows = view.selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return std::nullopt;
    return static_cast<size_t>(rows.front().row());
}

}  // namespace

void TAdminForm::connectLists() {
    const auto make = [&](QListView* view, ListFamily family, bool inclusion, const char* add,
                          const char* change, const char* pattern) {
        auto* model = new ListEntriesModel(this);
        view->setModel(model);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        return ListBox{view, model, family, inclusion, add, change, pattern};
    };
    includedUrls_ =
        make(ui_->ListBox3, ListFamily::URLInclusion, true,
             "Please enter the URL to add to the list..", "Please change the selected URL..", "");
    excludedUrls_ = make(ui_->ListBox2, ListFamily::URLExclusion, false,
                         "Please enter the URL to add to the list..",
                         "Please change the selected URL..", "*.htm");
    excludedWords_ =
        make(ui_->ListBox1, ListFamily::WordExclusion, false,
             "Please enter words to add to the list..", "Please change the selected word..", "");
    excludedFiles_ = make(ui_->ListBox4, ListFamily::URLExclIni, false,
                          "Please enter the file to add to the list..",
                          "Please change the selected file entry..", "*.txt");
    const auto buttons = [&](ListBox& box, QPushButton* add, QPushButton* edit,
                             QPushButton* remove) {
        connect(add, &QPushButton::clicked, this, [this, &box] { addEntry(box); });
        connect(edit, &QPushButton::clicked, this, [this, &box] { editEntry(box); });
        connect(remove, &QPushButton::clicked, this, [this, &box] { deleteEntry(box); });
    };
    buttons(includedUrls_, ui_->BitBtn10, ui_->BitBtn11, ui_->BitBtn12);
    buttons(excludedUrls_, ui_->BitBtn4, ui_->BitBtn5, ui_->BitBtn6);
    buttons(excludedWords_, ui_->BitBtn7, ui_->BitBtn8, ui_->BitBtn9);
    buttons(excludedFiles_, ui_->BitBtn29, ui_->BitBtn30, ui_->BitBtn28);

    connect(ui_->BitBtn21, &QPushButton::clicked, this, [this] { selectList(true); });
    connect(ui_->BitBtn22, &QPushButton::clicked, this, [this] { newList(true); });
    connect(ui_->BitBtn23, &QPushButton::clicked, this, [this] { deleteList(true); });
    connect(ui_->BitBtn24, &QPushButton::clicked, this, [this] { selectList(false); });
    connect(ui_->BitBtn25, &QPushButton::clicked, this, [this] { newList(false); });
    connect(ui_->BitBtn26, &QPushButton::clicked, this, [this] { deleteList(false); });
}

std::optional<QString> TAdminForm::askText(const char* prompt, const QString& text,
                                           const char* filePattern) {
    TEditForm form(prompter_, this);
    form.setPrompt(QString::fromLatin1(prompt));
    form.setText(text);
    form.setFilePattern(QString::fromLatin1(filePattern));
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.text();
}

std::string TAdminForm::currentList(const ListBox& box) const {
    return (box.inclusion ? currentInclusion_ : currentExclusion_).toStdString();
}

void TAdminForm::loadLists(bool inclusion) {
    (inclusion ? ui_->Panel9 : ui_->Panel10)
        ->setText(inclusion ? currentInclusion_ : currentExclusion_);
    for (ListBox* box : {&includedUrls_, &excludedUrls_, &excludedWords_, &excludedFiles_}) {
        if (box->inclusion != inclusion)
            continue;
        store([&] {
            box->model->change([&](ListEntries& entries) {
                entries = loadListEntries(box->family, currentList(*box));
            });
        });
    }
}

void TAdminForm::addEntry(ListBox& box) {
    const std::optional<QString> text = askText(box.addPrompt, QString(), box.filePattern);
    if (!text)
        return;
    const std::string entry = text->toStdString();
    store([&] {
        box.model->change([&](ListEntries& entries) {
            addListEntry(box.family, currentList(box), entries, entry);
        });
    });
    box.view->scrollToBottom();
}

void TAdminForm::editEntry(ListBox& box) {
    const std::optional<size_t> row = selectedRow(*box.view);
    if (!row)
        return;
    const std::string_view shown = box.model->entries()[*row];
    const std::optional<QString> text = askText(
        box.changePrompt, QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())),
        box.filePattern);
    if (!text)
        return;
    const std::string entry = text->toStdString();
    store([&] {
        box.model->change([&](ListEntries& entries) {
            editListEntry(box.family, currentList(box), entries, *row, entry);
        });
    });
    box.view->scrollToBottom();
}

void TAdminForm::deleteEntry(ListBox& box) {
    const std::optional<size_t> row = selectedRow(*box.view);
    if (!row)
        return;
    store([&] {
        box.model->change([&](ListEntries& entries) {
            deleteListEntry(box.family, currentList(box), entries, *row);
        });
    });
    // The entry that took the deleted one's place, or the last when it was the last.
    if (*row < box.model->entries().size())
        box.view->scrollTo(box.model->index(static_cast<int>(*row)));
    else
        box.view->scrollToBottom();
}

void TAdminForm::selectList(bool inclusion) {
    const QString name = selectedName(*(inclusion ? ui_->IncludeLV : ui_->ExcludeLV));
    if (name.isEmpty())
        return;
    (inclusion ? currentInclusion_ : currentExclusion_) = name;
    loadLists(inclusion);
}

void TAdminForm::newList(bool inclusion) {
    const std::optional<QString> name =
        askText(inclusion ? "Please enter the name of the new inclusion list.."
                          : "Please enter the name of the new exclusion list..",
                QString(), "");
    if (!name)
        return;
    const std::string list = name->toStdString();
    if (!isRecordId(list)) {
        prompter_.message("A list name can not be empty or contain a backslash (\\)..");
        return;
    }
    if (store([&] { inclusion ? createInclusionList(list) : createExclusionList(list); }))
        (inclusion ? ui_->IncludeLV : ui_->ExcludeLV)->addItem(*name);
}

void TAdminForm::deleteList(bool inclusion) {
    QListWidget& names = inclusion ? *ui_->IncludeLV : *ui_->ExcludeLV;
    const QString name = selectedName(names);
    // The first name is the default list, which stays.
    if (name.isEmpty() || names.currentRow() <= 0)
        return;
    const std::string list = name.toStdString();
    if (!store([&] { inclusion ? deleteInclusionList(list) : deleteExclusionList(list); }))
        return;
    QString& current = inclusion ? currentInclusion_ : currentExclusion_;
    if (current.compare(name, Qt::CaseInsensitive) == 0) {
        current = names.item(0)->text();
        loadLists(inclusion);
    }
    delete names.takeItem(names.currentRow());
}

}  // namespace tarn
