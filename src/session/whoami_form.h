#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace tarn {

// Shows who is signed on and how much of today they have used.
class TWhoAmIForm : public QDialog {
    Q_OBJECT

  public:
    TWhoAmIForm(const QString& userName, const QString& groupName, int usageMinutes,
                int connectMinutes, QWidget* parent = nullptr);

    QLabel *Label1{}, *Label2{}, *Label3{}, *Label4{};
    QPushButton* CloseButton{};
};

}  // namespace tarn
