#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TNewPassForm;
}

namespace tarn {

class Prompter;

// Sets a new administrator password. It holds the stored hash: given before showing, read back
// afterwards, replaced only when a new password was typed twice alike. With a password set, the
// new one can be typed only once the old one has been.
class TNewPassForm : public QDialog {
    Q_OBJECT

  public:
    TNewPassForm(Prompter& prompter, std::string storedHash, QWidget* parent = nullptr);
    ~TNewPassForm() override;

    const std::string& storedHash() const { return storedHash_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Edit1Change();
    void BitBtn1Click();
    void enableNewPassword(bool enabled);

    std::unique_ptr<Ui::TNewPassForm> ui_;
    Prompter& prompter_;
    std::string storedHash_;
};

}  // namespace tarn
