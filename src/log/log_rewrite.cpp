#include "log/log_rewrite.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date.h"
#include "platform/file_descriptor.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

// Blocks that fit the processor's cache: larger ones make every copy through memory slower.
constexpr size_t kBlockSize = 256 * 1024;
constexpr size_t kDateLength = 10;
// iLogKeepDays is a 16-bit count; a larger stored number keeps as much as its largest value.
constexpr int kMostKeepDays = 65535;

// Gathers the kept lines and writes them a block at a time; remembers the first failure.
class BlockWriter {
  public:
    explicit BlockWriter(int fd) : fd_(fd) { buffer_.reserve(kBlockSize); }

    void append(const char* data, size_t size) {
        if (buffer_.size() + size > kBlockSize) {
            flush();
        }
        if (size >= kBlockSize) {
            ok_ = ok_ && writeAll(fd_, std::string_view(data, size));
        } else {
            buffer_.append(data, size);
        }
    }

    bool flush() {
        if (!buffer_.empty()) {
            ok_ = ok_ && writeAll(fd_, buffer_);
            buffer_.clear();
        }
        return ok_;
    }

    bool ok() const { return ok_; }

  private:
    int fd_;
    std::string buffer_;
    bool ok_ = true;
};

// Decides line by line, from the first 10 characters, what goes to the new log. Lines may
// span blocks; a line's start is held back only while its date is still incomplete.
class LineFilter {
  public:
    LineFilter(std::chrono::year_month_day today, int keepDays, BlockWriter& out)
        : oldestKept_(formatDate(
              std::chrono::year_month_day{std::chrono::sys_days{today} -
                                          std::chrono::days{std::min(keepDays, kMostKeepDays)}})),
          out_(out) {}

    void feed(const char* p, const char* end) {
        while (p < end) {
            if (!keep_) {
                const auto available = static_cast<size_t>(end - p);
                if (head_.empty() && available >= kDateLength &&
                    !std::memchr(p, '\n', kDateLength)) {
                    keep_ = keeps({p, kDateLength});
                } else {
                    p = collectHead(p, end);
                    if (!keep_) {
                        continue;
                    }
                }
            }
            const char* newline = static_cast<const char*>(std::memchr(p, '\n', end - p));
            const char* lineEnd = newline ? newline + 1 : end;
            if (*keep_) {
                out_.append(p, static_cast<size_t>(lineEnd - p));
            }
            p = lineEnd;
            if (newline) {
                keep_.reset();
            }
        }
    }

    // A last line shorter than a date and without a line end has no date: it stays.
    void finish() {
        if (!keep_ && !head_.empty()) {
            out_.append(head_.data(), head_.size());
        }
    }

  private:
    // Takes the start of a line that the block cuts short or that ends before 10 characters.
    const char* collectHead(const char* p, const char* end) {
        while (p < end && head_.size() < kDateLength) {
            head_.push_back(*p++);
            if (head_.back() == '\n') {
                out_.append(head_.data(), head_.size());
                head_.clear();
                return p;
            }
        }
        if (head_.size() == kDateLength) {
            keep_ = keeps(head_);
            if (*keep_) {
                out_.append(head_.data(), head_.size());
            }
            head_.clear();
        }
        return p;
    }

    // Dates written "yyyy-mm-dd" sort as their text, so a line whose first 10 characters are
    // not below the oldest kept date stays without being parsed: either its date is recent
    // enough or it has none. Only the text below that date is parsed, to keep undated lines.
    bool keeps(std::string_view head) const { return head >= oldestKept_ || !parseDate(head); }

    std::string oldestKept_;
    BlockWriter& out_;
    std::string head_;
    std::optional<bool> keep_;
};

bool filterLines(int in, int out, std::chrono::year_month_day today, int keepDays) {
    BlockWriter writer(out);
    LineFilter filter(today, keepDays, writer);
    std::vector<char> block(kBlockSize);
    for (;;) {
        const ssize_t got = ::read(in, block.data(), block.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        filter.feed(block.data(), block.data() + got);
        if (!writer.ok()) {
            return false;
        }
    }
    filter.finish();
    return writer.flush();
}

}  // namespace

bool CopyFileKeepDate(const fs::path& source, const fs::path& destination) {
    std::error_code error;
    fs::copy_file(source, destination, fs::copy_options::overwrite_existing, error);
    if (error) {
        return false;
    }
    const auto modified = fs::last_write_time(source, error);
    if (error) {
        return false;
    }
    fs::last_write_time(destination, modified, error);
    return !error;
}

fs::path logBackupFile(const fs::path& log) {
    return log.parent_path() / "tarnview.bak";
}

bool pruneLogFile(const fs::path& log, std::chrono::year_month_day today, int keepDays) {
    const fs::path backup = logBackupFile(log);
    if (!CopyFileKeepDate(log, backup)) {
        return false;
    }
    const FileDescriptor in(::open(backup.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in) {
        return false;
    }
    // A log reached through a link is replaced where it really lives.
    std::error_code error;
    const fs::path target = fs::canonical(log, error);
    struct stat info {};
    if (error || ::stat(target.c_str(), &info) != 0) {
        return false;
    }
    // The new log is complete and on disk before one rename puts it in place, so a process
    // stopped at any moment leaves the old log or the new one, never a part.
    std::string temporary = target.string() + ".XXXXXX";
    const FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out) {
        return false;
    }
    // Several accounts may append to one shared log: the new log keeps its owner and group, or
    // the others would lose write access and their records would be lost unnoticed. A cleaner
    // who may not give the file away leaves the log as it was. The owner goes first, as a
    // change of owner may clear the set-id bits of the mode.
    const bool replaced = ::fchown(out.get(), info.st_uid, info.st_gid) == 0 &&
                          ::fchmod(out.get(), info.st_mode & 07777) == 0 &&
                          filterLines(in.get(), out.get(), today, keepDays) &&
                          ::fsync(out.get()) == 0 &&
                          ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!replaced) {
        ::unlink(temporary.c_str());
    }
    return replaced;
}

}  // namespace tarn
