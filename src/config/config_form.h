#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <memory>

#include "config/configuration.h"

namespace Ui {
class TConfigForm;
}

class QListWidget;

namespace tarn {

class Prompter;

// Edits one person's (or one group's) configuration below ConfigKey: panes and histories, what
// a page's new window becomes, and each pane's start address, refresh and cycling. Only OK
// stores; Cancel, Escape and the close box store nothing.
class TConfigForm : public QDialog {
    Q_OBJECT

  public:
    explicit TConfigForm(Prompter& prompter, QWidget* parent = nullptr);
    ~TConfigForm() override;

    // Set by the caller before the window shows.
    QString ConfigKey;
    QString UserName, GroupName;
    bool Cancelled = false;

    void accept() override;
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct PaneControls;

    void FormShow();
    // The store step; false, having said why, when the store refused.
    bool FormClose();
    void BitBtn3Click();
    void Panel14DblClick();
    void BitBtn4Click(int pane);
    void BitBtn5Click(int pane);
    void BitBtn6Click(int pane);
    void showConfiguration(const Configuration& configuration);
    Configuration shownConfiguration() const;

    std::unique_ptr<Ui::TConfigForm> ui_;
    Prompter& prompter_;
    std::array<std::unique_ptr<PaneControls>, 4> panes_;
    Configuration loaded_;
    bool showing_ = false;
};

}  // namespace tarn
