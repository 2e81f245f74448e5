#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "settings/user_record.h"

namespace Ui {
class TUserForm;
}

namespace tarn {

class Prompter;

// Edits one user: the caller gives the id (empty for a new user) and the record, and reads both
// back after OK. An existing user's id can not be changed; an id the store could not hold is
// refused here, while the dialog is still open.
class TUserForm : public QDialog {
    Q_OBJECT

  public:
    explicit TUserForm(Prompter& prompter, QWidget* parent = nullptr);
    ~TUserForm() override;

    void setUser(const QString& id, const UserRecord& record);
    const QString& userId() const { return id_; }
    const UserRecord& record() const { return record_; }

    void done(int result) override;
    // Escape and the close box are Cancel: nothing is checked or asked.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BitBtn2Click();
    bool FormCloseQuery();

    std::unique_ptr<Ui::TUserForm> ui_;
    Prompter& prompter_;
    QString id_;
    UserRecord record_;
    bool cancelled_ = false;
};

}  // namespace tarn
