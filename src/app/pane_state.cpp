#include "app/pane_state.h"

#include <utility>

namespace tarn {

bool PaneState::setCount(int count) {
    if (count < 1 || count > 4) {
        return false;
    }
    count_ = count;
    return true;
}

void PaneState::setCurrent(int pane) {
    if (pane >= 1 && pane <= 4) {
        current_ = pane;
    }
}

std::optional<std::string> PaneState::takeDrop() {
    return std::exchange(drop_, std::nullopt);
}

}  // namespace tarn
