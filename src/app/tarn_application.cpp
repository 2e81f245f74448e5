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
    } catch (...) {
        prompter_.error(
            "An unexpected error stopped the last action. Try it again, or restart "
            "Tarnview if it happens again.");
    }
    return false;
}

}  // namespace tarn
