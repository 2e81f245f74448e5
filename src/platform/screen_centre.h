#pragma once

class QWidget;

namespace tarn {

// Moves a window so that its frame is centred on the screen it is on, rather than over its
// parent as Qt places dialogs.
void centreOnScreen(QWidget& window);

}  // namespace tarn
