#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "admin/admin_window_values.h"
#include "settings/site_lists.h"

class QListView;
class QListWidget;

namespace Ui {
class TAdminForm;
}

namespace tarn {

class ListEntriesModel;
class Prompter;

// The administration window. Groups, users, lists and a group's configuration choice are stored
// the moment they change and survive Cancel; the Security and Logging values and the group mode
// are stored whenever the window closes. The result is OK only when closed with OK.
class TAdminForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAdminForm(Prompter& prompter, QWidget* parent = nullptr);
    ~TAdminForm() override;

    void done(int result) override;
    // Escape and the close box are Cancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // One of the four boxes of list entries and what it edits.
    struct ListBox {
        QListView* view;
        ListEntriesModel* model;
        ListFamily family;
        bool inclusion;
        const char* addPrompt;
        const char* changePrompt;
        const char* filePattern;
    };

    void FormShow();
    bool FormCloseQuery();
    bool FormClose();
    void BitBtn2Click();
    void BitBtn3Click();
    void PassbtnClick();
    void RadioButton3Click();
    void BitBtn27Click();
    void BitBtn15Click();
    void BitBtn16Click();
    void BitBtn17Click();
    void BitBtn18Click();
    void BitBtn19Click();
    void BitBtn20Click();
    void BitBtn31Click();
    void CheckBox2Click();
    void SpeedButton1Click();
    void BitBtn13Click();
    void BitBtn14Click();

    void connectGroups();
    void connectLists();
    void showValues(const AdminWindowValues& values);
    AdminWindowValues shownValues() const;
    void listGroupUsers();
    void selectList(bool inclusion);
    void newList(bool inclusion);
    void deleteList(bool inclusion);
    // Shows the current inclusion or exclusion list's name and loads its boxes.
    void loadLists(bool inclusion);
    void addEntry(ListBox& box);
    void editEntry(ListBox& box);
    void deleteEntry(ListBox& box);
    std::string currentList(const ListBox& box) const;
    // Asks for a line of text; none when cancelled.
    std::optional<QString> askText(const char* prompt, const QString& text,
                                   const char* filePattern);
    // Runs a store operation; a failure is shown and the window stays as it was.
    bool store(const std::function<void()>& operation);
    // The text of the list's selected item; empty without a selection.
    static QString selectedName(const QListWidget& list);

    std::unique_ptr<Ui::TAdminForm> ui_;
    Prompter& prompter_;
    std::string secPass_;
    QString currentGroup_;
    QString currentInclusion_;
    QString currentExclusion_;
    bool loading_ = false;
    bool cancelled_ = false;
    ListBox includedUrls_{};
    ListBox excludedUrls_{};
    ListBox excludedWords_{};
    ListBox excludedFiles_{};
};

}  // namespace tarn
