#include "settings/list_entries.h"

namespace tarn {

std::string_view ListEntries::operator[](std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

void ListEntries::push_back(std::string_view entry) {
    text_ += entry;
    ends_.push_back(text_.size());
}

void ListEntries::erase(std::size_t index) {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    const std::size_t length = ends_[index] - begin;
    text_.erase(begin, length);
    ends_.erase(ends_.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < ends_.size(); ++i) {
        ends_[i] -= length;
    }
}

void ListEntries::appendTo(LargeVector<std::string_view>& views) const {
    views.reserve(views.size() + size());
    for (std::size_t i = 0; i < size(); ++i) {
        views.push_back((*this)[i]);
    }
}

}  // namespace tarn
