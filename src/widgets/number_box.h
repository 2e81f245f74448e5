#pragma once

#include <QSpinBox>

namespace tarn {

// A box for a whole number within a range: it takes digits only, any count of them while
// typing, and when it loses the focus a number out of range becomes the nearer bound and text
// that is no number (an empty box, digits beyond any integer) becomes the lower bound.
class TNumberBox : public QSpinBox {
    Q_OBJECT

  public:
    explicit TNumberBox(QWidget* parent = nullptr);

  protected:
    QValidator::State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace tarn
