#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tarn {

// A block of at least one megabyte, zeroed and with every page present. Blocks of a few
// megabytes and more sit on huge pages where the system allows them, so they are faulted in a
// five-hundredth as many times.
void* largeBlock(std::size_t bytes);
void freeLargeBlock(void* block, std::size_t bytes) noexcept;

// Memory for the large arrays of a list build, taken from the system whole and with every page
// present at once (largeBlock). Touching hundreds of megabytes one page fault at a time costs
// more than the building done in them, on virtual machines above all; a large array also goes
// back to the system the moment it is freed. Small arrays come from the ordinary heap.
//
// All memory comes zeroed (the system's pages are), so elements made without a value are left
// as they are instead of being written over with zeros a second time: zero in a new array, but
// whatever was last there when an array grows back into capacity it had shrunk from.
template <typename T>
struct PrefaultedAllocator {
    using value_type = T;
    static constexpr std::size_t kLarge = 1 << 20;

    PrefaultedAllocator() = default;
    template <typename U>
    explicit PrefaultedAllocator(const PrefaultedAllocator<U>&) {}

    T* allocate(std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kLarge) {
            T* memory = std::allocator<T>().allocate(count);
            std::memset(static_cast<void*>(memory), 0, bytes);
            return memory;
        }
        return static_cast<T*>(largeBlock(bytes));
    }

    void deallocate(T* memory, std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kLarge) {
            std::allocator<T>().deallocate(memory, count);
        } else {
            freeLargeBlock(memory, bytes);
        }
    }

    template <typename U>
    void construct(U* element) noexcept(std::is_nothrow_default_constructible_v<U>) {
        if constexpr (!std::is_trivially_default_constructible_v<U>) {
            ::new (static_cast<void*>(element)) U();
        }
    }
    template <typename U, typename... Args>
    void construct(U* element, Args&&... args) {
        ::new (static_cast<void*>(element)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const PrefaultedAllocator<U>&) const {
        return true;
    }
};

template <typename T>
using LargeVector = std::vector<T, PrefaultedAllocator<T>>;
using LargeString = std::basic_string<char, std::char_traits<char>, PrefaultedAllocator<char>>;

}  // namespace tarn
