#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <memory>

#include "settings/group_record.h"

class QButtonGroup;
class QLineEdit;

namespace Ui {
class TGroupForm;
}

namespace tarn {

class Prompter;

// The dialog in which the administrator sets one group's policy record. The caller hands it the
// group id (empty for a new group) and the record with passwords in clear, shows it, and after
// OK reads both back; the dialog itself writes nothing to the store.
class TGroupForm : public QDialog {
    Q_OBJECT

  public:
    explicit TGroupForm(Prompter& prompter, QWidget* parent = nullptr);
    ~TGroupForm() override;

    void setGroup(const QString& id, const GroupRecord& record);
    QString groupId() const { return groupId_; }
    GroupRecord record() const { return record_; }

  public slots:
    void accept() override;
    // Escape cancels like the Cancel button.
    void reject() override;

    void BitBtn2Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void EntryNameComboBoxChange(int index);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct ClientSearch;

    void FormShow();
    // Whether the dialog may close; when it may, the controls have been copied back.
    bool FormCloseQuery();
    void fieldsToControls();
    void controlsToFields();
    void offerListNames();
    void offerPhonebookEntries();
    void browseFor(QLineEdit* field);
    void searchTick();
    void stopSearch();

    Prompter& prompter_;
    std::unique_ptr<Ui::TGroupForm> ui_;
    QButtonGroup* dialWhen_{};
    QButtonGroup* aolConnected_{};
    QString groupId_;
    GroupRecord record_;
    std::unique_ptr<ClientSearch> search_;
    QTimer searchTimer_;
};

}  // namespace tarn
