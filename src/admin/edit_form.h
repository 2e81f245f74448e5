#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TEditForm;
}

namespace tarn {

class Prompter;

// Asks for one line of text under a prompt, with a browse button for a file. The text comes
// back exactly as typed, empty included; Cancel leaves the initial text.
class TEditForm : public QDialog {
    Q_OBJECT

  public:
    explicit TEditForm(Prompter& prompter, QWidget* parent = nullptr);
    ~TEditForm() override;

    void setPrompt(const QString& prompt) { prompt_ = prompt; }
    void setText(const QString& text) { text_ = text; }
    // The name the browse dialog proposes, "*.txt" say; empty proposes none.
    void setFilePattern(const QString& pattern) { filePattern_ = pattern; }
    const QString& text() const { return text_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BitBtn2Click();
    void SpeedButton1Click();

    std::unique_ptr<Ui::TEditForm> ui_;
    Prompter& prompter_;
    QString prompt_;
    QString text_;
    QString filePattern_;
};

}  // namespace tarn
