#pragma once

#include <optional>
#include <string>

#include "app/pane_layout.h"

namespace tarn {

// The panes of the main window as its commands see them: how many show (1 to 4), how they are
// tiled and arranged, the pane that pane commands act on, the pane shown alone (0 for none), and
// a favourite that waits to be dropped into the next address box entered.
class PaneState {
  public:
    int count() const { return count_; }
    // False, changing nothing, for a count outside 1 to 4.
    bool setCount(int count);
    // One pane more or less, within 1 to 4; false at the ends.
    bool add() { return setCount(count_ + 1); }
    bool remove() { return setCount(count_ - 1); }

    int current() const { return current_; }
    // Other values than 1 to 4 change nothing.
    void setCurrent(int pane);

    TileFormat tileFormat() const { return tileFormat_; }
    void setTileFormat(TileFormat format) { tileFormat_ = format; }
    // Which splitter panes show now; a zoom starts from it.
    const PaneArrangement& arrangement() const { return arrangement_; }
    void setArrangement(const PaneArrangement& arrangement) { arrangement_ = arrangement; }

    int zoomed() const { return zoomed_; }
    void setZoomed(int pane) { zoomed_ = pane; }

    const std::optional<std::string>& pendingDrop() const { return drop_; }
    void setPendingDrop(std::string address) { drop_ = std::move(address); }
    // The waiting favourite, which waits no longer.
    std::optional<std::string> takeDrop();
    void cancelDrop() { drop_.reset(); }

  private:
    int count_ = 1;
    TileFormat tileFormat_ = TileFormat::Grid;  // the designed tiling
    PaneArrangement arrangement_{};
    int current_ = 1;
    int zoomed_ = 0;
    std::optional<std::string> drop_;
};

}  // namespace tarn
