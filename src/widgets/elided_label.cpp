#include "widgets/elided_label.h"

#include <QPainter>

namespace tarn {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {}

void ElidedLabel::setFullText(const QString& text) {
    setText(text);
    setToolTip(text);
    setAccessibleDescription(text);
}

QSize ElidedLabel::minimumSizeHint() const {
    // A long text must not widen the window: it is shortened to whatever room there is.
    return {minimumWidth(), QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect room = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, static_cast<int>(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
}

}  // namespace tarn
