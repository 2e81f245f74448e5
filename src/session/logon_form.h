#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarn {

class Clock;
class Prompter;

// The logon dialog. It has no way out but a valid logon: the button, Escape and the window
// frame all run the logon check, and the dialog stays open until it passes.
class TLogonForm : public QDialog {
    Q_OBJECT

  public:
    TLogonForm(Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);

    // Says above the fields why the dialog is here (the day's web time is used up, say).
    void setReason(const QString& reason);

    // After a successful logon: the group the user's record names, and the id as typed.
    QString Group() const { return group_; }
    QString UserId() const { return userId_; }

    QLineEdit* Edit2{};  // user id
    QLineEdit* Edit1{};  // password
    QPushButton* BitBtn2{};
    QListWidget* GroupLV{};  // the candidate groups, never shown
    QLabel* ReasonLabel{};   // shown only with a reason

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void listCandidateGroups();
    bool logonPasses();

    Prompter& prompter_;
    const Clock& clock_;
    QString group_;
    QString userId_;
};

}  // namespace tarn
