#pragma once

#include <cstddef>
#include <string_view>

#include "platform/prefaulted.h"

namespace tarn {

// The entries of a list part in one buffer rather than a string each: a part of a million
// entries is read, shown and changed without a million allocations.
class ListEntries {
  public:
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t index) const;

    void push_back(std::string_view entry);
    void erase(std::size_t index);
    void appendTo(LargeVector<std::string_view>& views) const;

  private:
    LargeString text_;
    LargeVector<std::size_t> ends_;
};

}  // namespace tarn
