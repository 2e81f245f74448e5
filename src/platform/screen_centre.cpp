#include "platform/screen_centre.h"

#include <QScreen>
#include <QWidget>

namespace tarn {

void centreOnScreen(QWidget& window) {
    if (QScreen* current = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(current->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

}  // namespace tarn
