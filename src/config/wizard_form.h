#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "config/setup_wizard.h"

namespace Ui {
class TWizardForm;
}

namespace tarn {

class Prompter;

// The first questions after installation: sign-on, groups, where the administrative settings
// go, where favourites start and, with sign-on, the first user. Finish stores the answers;
// Cancel (and Escape) stores only that the wizard has run; the close box stores nothing, so it
// comes again at the next start.
class TWizardForm : public QDialog {
    Q_OBJECT

  public:
    // `version` is the installed program's, stored by the commit.
    TWizardForm(Prompter& prompter, QString version, QWidget* parent = nullptr);
    ~TWizardForm() override;

    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormShow();
    void ShowPage();
    void OkButtonClick();
    void NextButtonClick();
    void PrevButtonClick();
    void CancelButtonClick();
    void RadioGroup1Click();
    void RadioGroup3Click();
    void Edit1Exit();
    void SpeedButton1Click();
    WizardAnswers answers() const;
    void refuse(const WizardRefusal& refusal);
    // Runs the commit; false, having said why, when the store refused.
    bool committed(const std::function<void()>& commit);

    std::unique_ptr<Ui::TWizardForm> ui_;
    Prompter& prompter_;
    QString version_;
    SetupWizard flow_;
    bool closeBox_ = false;
};

}  // namespace tarn
