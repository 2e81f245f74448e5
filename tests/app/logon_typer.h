#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <utility>

#include "session/logon_form.h"

namespace tarn::test {

// Types each (user id, password) pair into the logon dialog whenever it is up, in turn;
// `whileUp`, when given, runs first each time, while the dialog waits.
class LogonTyper {
  public:
    explicit LogonTyper(std::deque<std::pair<QString, QString>> attempts,
                        std::function<void()> whileUp = {})
        : attempts_(std::move(attempts)), whileUp_(std::move(whileUp)) {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { step(); });
        timer_.start(20);
    }
    bool done() const { return attempts_.empty(); }

  private:
    void step() {
        auto* logon = qobject_cast<TLogonForm*>(QApplication::activeModalWidget());
        if (!logon || attempts_.empty() || busy_)
            return;
        if (whileUp_) {
            busy_ = true;
            whileUp_();
            busy_ = false;
        }
        const auto [user, password] = attempts_.front();
        attempts_.pop_front();
        logon->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(user);
        logon->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(password);
        logon->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->click();
    }

    std::deque<std::pair<QString, QString>> attempts_;
    std::function<void()> whileUp_;
    bool busy_ = false;
    QTimer timer_;
};

}  // namespace tarn::test
