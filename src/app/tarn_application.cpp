#include "app/tarn_application.h"

#include <exception>

#include "platform/prompter.h"

namespace tarn {

TarnApplication::TarnApplication(int& argc, char** argv, Prompter& prompter)
    : QApplication(argc, argv), prompter_(prompter) {}

bool TarnApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        prompter_.error(e.what());
    }
    return false;
}

}  // namespace tarn
