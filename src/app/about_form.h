#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tarn {

// The about box: product name, version and what the program is for.
class TAboutForm : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QLabel *ProductName{}, *Version{}, *Comments{};
    QPushButton* OKButton{};
};

}  // namespace tarn
