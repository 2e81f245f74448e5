#include "session/url_history.h"

#include "platform/ascii_case.h"

namespace tarn {
namespace {

bool holds(const HistoryBox& box, std::string_view address) {
    for (int i = 0; i < box.count(); ++i) {
        if (equalsIgnoringCase(box.item(i), address)) {
            return true;
        }
    }
    return false;
}

bool takesPart(int box, int pane, int iUrlHistory) {
    switch (iUrlHistory) {
        case 1:
            return true;
        case 0:
        case 2:
            return box == pane;
        default:
            return false;
    }
}

}  // namespace

void addToHistory(const std::array<HistoryBox*, 4>& boxes, std::string_view address, int pane,
                  int iUrlHistory, int maxEntries) {
    if (address.empty()) {
        return;
    }
    for (int number = 1; number <= 4; ++number) {
        if (!takesPart(number, pane, iUrlHistory)) {
            continue;
        }
        HistoryBox& box = *boxes[static_cast<size_t>(number - 1)];
        if (holds(box, address)) {
            return;
        }
        box.insertTop(std::string(address));
        if (box.count() > maxEntries) {
            box.removeLast();
        }
    }
}

}  // namespace tarn
