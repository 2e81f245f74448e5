#include "platform/prefaulted.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace tarn {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

void* populated(std::size_t bytes) {
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (block == MAP_FAILED) {
        throw std::bad_alloc();
    }
    return block;
}

}  // namespace

void* largeBlock(std::size_t bytes) {
    if (bytes < 2 * kHugePage) {
        return populated(bytes);
    }
    // Huge pages only back whole aligned stretches: take a huge page more than asked for and
    // give back what lies before the first boundary and after the block.
    const std::size_t pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t length = (bytes + pageSize - 1) / pageSize * pageSize;
    const std::size_t reserved = length + kHugePage;
    void* area =
        ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) {
        throw std::bad_alloc();
    }
    char* const first = static_cast<char*>(area);
    const auto start = reinterpret_cast<std::uintptr_t>(first);
    const std::size_t head = ((start + kHugePage - 1) & ~(kHugePage - 1)) - start;
    char* const block = first + head;
    if (head != 0) {
        ::munmap(first, head);
    }
    if (reserved - head > length) {
        ::munmap(block + length, reserved - head - length);
    }
    ::madvise(block, length, MADV_HUGEPAGE);
    if (::madvise(block, length, MADV_POPULATE_WRITE) != 0) {
        ::munmap(block, length);
        return populated(bytes);
    }
    return block;
}

void freeLargeBlock(void* block, std::size_t bytes) noexcept {
    ::munmap(block, bytes);
}

}  // namespace tarn
