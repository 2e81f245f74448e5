#pragma once

#include <QLabel>

namespace tarn {

// A one-line label for texts of any length: what does not fit ends in "…", and the whole text
// is its tooltip and what a screen reader reads. Its text() is always the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // Shows `text`, whole on hover.
    void setFullText(const QString& text);

    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarn
