#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarn {

// A shortcut file that can not be opened or read when a favourite is deleted. what() is the
// text the standard error report shows: "File not found", or "I/O error <code>".
class FavoritesIoError : public std::runtime_error {
  public:
    explicit FavoritesIoError(int code);
    int code() const { return code_; }

  private:
    int code_;
};

// The longest value the ini reader gives back, as its 1024-character buffer allows.
inline constexpr std::size_t kIniValueLimit = 1023;

// One value of an ini-style file: the key in the section, both matched without regard to case,
// trimmed of surrounding blanks and cut to kIniValueLimit characters. Empty when the file, the
// section or the key is missing, or the file is not a regular file.
std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key);

// Writes an internet shortcut, replacing any file of that name: "[InternetShortcut]" and
// "URL=<url>", each line ended by CR LF. True only when every step succeeded.
bool WriteShortcutFile(const std::filesystem::path& file, std::string_view url);

// The second line of a text file without its line end; empty when the file has fewer lines.
// Throws FavoritesIoError when the file can not be opened or read.
std::string ReadSecondLine(const std::filesystem::path& file);

}  // namespace tarn
