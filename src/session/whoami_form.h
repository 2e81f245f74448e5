#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLabel;
class QPushButton;

namespace tarn {

// Shows who is signed on and how much of today they have used.
class TWhoAmIForm : public QDialog {
    Q_OBJECT

  public:
    // `minutesLeft`: what the daily allowance leaves today, shown when there is one.
    TWhoAmIForm(const QString& userName, const QString& groupName, int usageMinutes,
                int connectMinutes, std::optional<int> minutesLeft = std::nullopt,
                QWidget* parent = nullptr);

    QLabel *Label1{}, *Label2{}, *Label3{}, *Label4{};
    QLabel* MinutesLeftLabel{};  // only with a daily allowance
    QPushButton* CloseButton{};
};

}  // namespace tarn
