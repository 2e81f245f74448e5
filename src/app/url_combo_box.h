#pragma once

#include <QComboBox>

namespace tarn {

// A pane's address box: an editable combo box that also reports when its list drops down and
// when it receives the focus.
class TUrlComboBox : public QComboBox {
    Q_OBJECT

  public:
    explicit TUrlComboBox(QWidget* parent = nullptr);
    void showPopup() override;

  signals:
    void DropDown();
    void Enter();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarn
