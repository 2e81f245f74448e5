#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarn {

// An address box's item list as the history sees it; index 0 is the top.
class HistoryBox {
  public:
    virtual ~HistoryBox() = default;
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    virtual void insertTop(const std::string& text) = 0;
    virtual void removeLast() = 0;
};

// Puts an arrived address at the top of the history of pane `pane` (iUrlHistory 0 or 2) or of
// every pane (1); other iUrlHistory values add nothing. The boxes are taken in pane order, and
// the first that already holds the address (ignoring letter case) ends the whole operation.
// A box grown past `maxEntries` loses its last item, one only. An empty address is not added:
// a saved history ends at its first empty entry, so it would hide every entry after it.
void addToHistory(const std::array<HistoryBox*, 4>& boxes, std::string_view address, int pane,
                  int iUrlHistory, int maxEntries);

}  // namespace tarn
