#include "widgets/busy_indicator.h"

#include <QPainter>
#include <algorithm>

namespace tarn {

TBusyIndicator::TBusyIndicator(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(kStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSteps;
        update();
    });
}

void TBusyIndicator::start() {
    if (!timer_.isActive()) {
        timer_.start();
    }
}

void TBusyIndicator::stop() {
    timer_.stop();
    step_ = 0;
    update();
}

void TBusyIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal side = std::min(width(), height());
    const qreal dot = side / 7.0;
    painter.translate(width() / 2.0, height() / 2.0);
    QColor color = palette().color(QPalette::WindowText);
    for (int i = 0; i < kSteps; ++i) {
        // While turning, the dot of the current step is the darkest and the ones behind it
        // fade out; a still spinner shows every dot faint.
        const int behind = (step_ - i + kSteps) % kSteps;
        color.setAlphaF(isRunning() ? 1.0 - 0.8 * behind / kSteps : 0.25);
        painter.setBrush(color);
        painter.save();
        painter.rotate(360.0 * i / kSteps);
        painter.drawEllipse(QPointF(0, -side / 2.0 + dot), dot / 2.0, dot / 2.0);
        painter.restore();
    }
}

}  // namespace tarn
