#include "platform/help_viewer.h"

#include <QPointer>
#include <QWidget>

#include "platform/help_window.h"

namespace tarn {
namespace {

HelpWindow* helpWindowOf(QWidget* owner) {
    if (owner != nullptr) {
        auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
        return window != nullptr ? window : new HelpWindow(owner);
    }
    static QPointer<HelpWindow> unowned;
    if (unowned.isNull()) {
        unowned = new HelpWindow(nullptr);
        unowned->setAttribute(Qt::WA_DeleteOnClose);
    }
    return unowned.data();
}

}  // namespace

void showHelp(QWidget* owner, const std::filesystem::path& helpFile, int context) {
    helpWindowOf(owner)->showContext(helpFile, context);
}

}  // namespace tarn
