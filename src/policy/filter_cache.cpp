#include "policy/filter_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/file_descriptor.h"

namespace tarn {
namespace {

constexpr char kMagic[8] = {'T', 'A', 'R', 'N', 'F', 'L', 'T', '1'};

// Fixed size, so the image behind it starts 8-byte aligned in the mapping.
struct Header {
    char magic[8];
    std::uint64_t fingerprint[2];
    std::uint64_t counts[3];
    std::uint64_t imageSize;
    std::uint64_t checksum;  // of the header with this field 0, then of the image
};
static_assert(sizeof(Header) % 8 == 0);

// The file's bytes, unmapped when the last filter reading them goes.
class Mapping {
  public:
    Mapping(void* address, size_t size) : address_(address), size_(size) {}
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() { ::munmap(address_, size_); }
    std::string_view bytes() const { return {static_cast<const char*>(address_), size_}; }

  private:
    void* address_;
    size_t size_;
};

// The header (its checksum 0) summed with the image's own sum as the seed: the image can be
// summed as it is written, before the header is complete.
std::uint64_t checksumOf(Header header, std::uint64_t imageSum) {
    header.checksum = 0;
    return XXH3_64bits_withSeed(&header, sizeof header, imageSum);
}

}  // namespace

FilterCache::FilterCache(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path FilterCache::fileFor(std::string_view choice) const {
    char name[40];
    std::snprintf(name, sizeof name, "lists-%016llx.cache",
                  static_cast<unsigned long long>(XXH3_64bits(choice.data(), choice.size())));
    return folder_ / name;
}

std::optional<CachedFilter> FilterCache::load(std::string_view choice,
                                              const ListFingerprint& fingerprint) const {
    const FileDescriptor fd(::open(fileFor(choice).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        return std::nullopt;
    }
    // Another user's file, or one someone else may write, may say anything.
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 022) != 0 ||
        static_cast<std::uint64_t>(info.st_size) < sizeof(Header)) {
        return std::nullopt;
    }
    const auto size = static_cast<size_t>(info.st_size);
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
    if (address == MAP_FAILED) {
        return std::nullopt;
    }
    auto mapping = std::make_shared<const Mapping>(address, size);
    Header header;
    std::memcpy(&header, address, sizeof header);
    const std::string_view image = mapping->bytes().substr(sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 ||
        header.fingerprint[0] != fingerprint[0] || header.fingerprint[1] != fingerprint[1] ||
        header.imageSize != image.size() ||
        header.checksum != checksumOf(header, XXH3_64bits(image.data(), image.size()))) {
        return std::nullopt;
    }
    auto filter = UrlFilter::fromImage(image, mapping);
    if (!filter) {
        return std::nullopt;
    }
    return CachedFilter{std::move(filter), {header.counts[0], header.counts[1], header.counts[2]}};
}

bool FilterCache::store(std::string_view choice, const ListFingerprint& fingerprint,
                        const CachedFilter& built) const {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const std::filesystem::path file = fileFor(choice);
    std::string partial = file.string() + ".XXXXXX";
    const FileDescriptor fd(::mkostemp(partial.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.fingerprint[0] = fingerprint[0];
    header.fingerprint[1] = fingerprint[1];
    header.counts[0] = built.counts.exclusions;
    header.counts[1] = built.counts.words;
    header.counts[2] = built.counts.inclusions;
    XXH3_state_t* state = XXH3_createState();
    XXH3_64bits_reset(state);
    bool written = ::lseek(fd.get(), sizeof header, SEEK_SET) == static_cast<off_t>(sizeof header);
    built.filter->writeImage([&](std::string_view piece) {
        written = written && writeAll(fd.get(), piece);
        XXH3_64bits_update(state, piece.data(), piece.size());
        header.imageSize += piece.size();
    });
    header.checksum = checksumOf(header, XXH3_64bits_digest(state));
    XXH3_freeState(state);
    written = written &&
              ::pwrite(fd.get(), &header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
    if (!written || std::rename(partial.c_str(), file.c_str()) != 0) {
        std::filesystem::remove(partial, error);
        return false;
    }
    return true;
}

}  // namespace tarn
