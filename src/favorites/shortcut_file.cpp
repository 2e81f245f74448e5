#include "favorites/shortcut_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

namespace tarn {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string errorText(int code) {
    return code == ENOENT ? std::string("File not found") : "I/O error " + std::to_string(code);
}

// Closes the descriptor on every way out of ReadSecondLine.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

}  // namespace

FavoritesIoError::FavoritesIoError(int code) : std::runtime_error(errorText(code)), code_(code) {}

std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key) {
    std::error_code error;
    // Only regular files: reading a pipe or a device named like a shortcut would hang or never end.
    if (!std::filesystem::is_regular_file(file, error)) {
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    std::string line;
    bool inSection = false;
    bool firstLine = true;
    while (std::getline(in, line)) {
        std::string_view text = line;
        if (firstLine && text.substr(0, 3) == "\xEF\xBB\xBF") {
            text.remove_prefix(3);  // a byte-order mark that another program wrote
        }
        firstLine = false;
        text = trimmed(text);
        if (!text.empty() && text.front() == '[') {
            if (inSection) {
                break;  // only the first section of that name is read
            }
            const auto close = text.find(']');
            inSection = close != std::string_view::npos &&
                        equalsNoCase(trimmed(text.substr(1, close - 1)), section);
            continue;
        }
        const auto equals = text.find('=');
        if (!inSection || equals == std::string_view::npos ||
            !equalsNoCase(trimmed(text.substr(0, equals)), key)) {
            continue;
        }
        return std::string(trimmed(text.substr(equals + 1)).substr(0, kIniValueLimit));
    }
    return {};
}

bool WriteShortcutFile(const std::filesystem::path& file, std::string_view url) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) {
        return false;
    }
    const std::string text = "[InternetShortcut]\r\nURL=" + std::string(url) + "\r\n";
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    const bool closed = std::fclose(out) == 0;
    return written && closed;
}

std::string ReadSecondLine(const std::filesystem::path& file) {
    // Non-blocking, so that a pipe named like a shortcut reads as empty instead of hanging.
    const Descriptor in{::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (in.fd < 0) {
        throw FavoritesIoError(errno);
    }
    std::string text;
    char buffer[4096];
    std::size_t lineEnds = 0;
    while (lineEnds < 2) {
        const ssize_t count = ::read(in.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno != EAGAIN) {
            throw FavoritesIoError(errno);
        }
        if (count <= 0) {
            break;
        }
        for (ssize_t i = 0; i < count; ++i) {
            lineEnds += buffer[i] == '\n' ? 1 : 0;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    const auto firstEnd = text.find('\n');
    if (firstEnd == std::string::npos) {
        return {};
    }
    std::string second = text.substr(firstEnd + 1);
    second = second.substr(0, second.find('\n'));
    if (!second.empty() && second.back() == '\r') {
        second.pop_back();
    }
    return second;
}

}  // namespace tarn
