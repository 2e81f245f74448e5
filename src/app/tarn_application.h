#pragma once

#include <QApplication>

namespace tarn {

class Prompter;

// The application object: a failure that escapes a handler (a settings or file error) stops
// only the operation in progress and is shown in the standard error box.
class TarnApplication : public QApplication {
  public:
    TarnApplication(int& argc, char** argv, Prompter& prompter);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    Prompter& prompter_;
};

}  // namespace tarn
