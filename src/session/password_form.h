#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TPasswordForm;
}

namespace tarn {

// Asks for the administrator password before the administration window opens. It closes with
// OK whatever was typed; passwordAccepted() tells whether the password was right, so a wrong
// one opens nothing and says nothing.
class TPasswordForm : public QDialog {
    Q_OBJECT

  public:
    // `storedHash` is the stored sSecPass, compared with the typed password's hash.
    explicit TPasswordForm(std::string storedHash, QWidget* parent = nullptr);
    ~TPasswordForm() override;

    bool passwordAccepted() const { return accepted_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BitBtn2Click();

    std::unique_ptr<Ui::TPasswordForm> ui_;
    std::string storedHash_;
    bool accepted_ = false;
};

}  // namespace tarn
