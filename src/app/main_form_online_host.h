#pragma once

#include <QEventLoop>
#include <QTimer>

#include "app/main_form.h"
#include "connect/online_service.h"
#include "platform/prompter.h"
#include "platform/window_driver.h"

namespace tarn {

// What the online-service automation asks of the window: its status line, messages, the
// connection records, the Cancel button, and waits that keep the window answering.
class TMainForm::OnlineHost : public OnlineServiceHost {
  public:
    explicit OnlineHost(TMainForm& form) : form_(form) {}
    void status(const std::string& text) override {
        form_.ShowStatus(QString::fromStdString(text));
    }
    void message(const std::string& text) override { form_.prompter_.message(text); }
    void log(const std::string& event) override { form_.logConnection(event.c_str()); }
    void wait(int milliseconds) override {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    bool cancelled() const override { return form_.dialCancelled_; }
    void activateOwnWindow() override {
        form_.raise();
        form_.activateWindow();
    }

  private:
    TMainForm& form_;
};

}  // namespace tarn
