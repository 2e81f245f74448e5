#pragma once

#include <cstddef>
#include <string_view>
#include <utility>

namespace tarn {

// An open file descriptor, closed when it goes.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

  private:
    int fd_;
};

// Writes all of `bytes`, going on after interruptions and short writes; false on an error.
bool writeAll(int fd, std::string_view bytes);

// Reads `size` bytes from `offset` into `into`; false on an error or when the file ends first.
bool readAll(int fd, char* into, std::size_t size, std::size_t offset);

}  // namespace tarn
