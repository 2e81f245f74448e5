#pragma once

#include <QTimer>
#include <QWidget>

namespace tarn {

// A small spinner that turns while its pane is loading. Showing and hiding it is the owner's
// business; start() and stop() only set it turning or still.
class TBusyIndicator : public QWidget {
    Q_OBJECT

  public:
    explicit TBusyIndicator(QWidget* parent = nullptr);

    void start();
    void stop();
    bool isRunning() const { return timer_.isActive(); }
    // The step the spinner shows, 0 to kSteps - 1; 0 while still.
    int step() const { return step_; }

    QSize sizeHint() const override { return {20, 20}; }

    static constexpr int kSteps = 12;
    static constexpr int kStepMilliseconds = 80;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int step_ = 0;
};

}  // namespace tarn
