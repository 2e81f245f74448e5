#include "tarnreg/reg_reader.h"

#include "tarnreg/reg_error.h"
#include "tarnreg/text_encoding.h"
#include "tarnreg/value_data.h"

namespace tarn::reg {
namespace {

struct Line {
    int number;
    std::string text;
};

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::vector<Line> utf16Lines(std::string_view bytes) {
    std::vector<Line> lines;
    size_t start = 0;
    while (true) {
        size_t end = start;
        while (end + 1 < bytes.size() && !(bytes[end] == '\n' && bytes[end + 1] == '\0')) {
            end += 2;
        }
        const bool last = end + 1 >= bytes.size();
        if (last) {
            end = bytes.size();
        }
        std::string_view units = bytes.substr(start, end - start);
        if (units.size() >= 2 && units[units.size() - 2] == '\r' && units.back() == '\0') {
            units.remove_suffix(2);
        }
        const int number = static_cast<int>(lines.size()) + 1;
        auto text = utf16leToUtf8(units);
        if (!text) {
            throw RegParseError(number, "", "the line is not valid UTF-16 text");
        }
        lines.push_back({number, std::move(*text)});
        if (last) {
            return lines;
        }
        start = end + 2;
    }
}

std::vector<Line> byteLines(std::string_view bytes) {
    if (bytes.starts_with("\xef\xbb\xbf")) {
        bytes.remove_prefix(3);
    }
    std::vector<Line> lines;
    size_t start = 0;
    while (true) {
        size_t end = bytes.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) {
            end = bytes.size();
        }
        std::string_view text = bytes.substr(start, end - start);
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        lines.push_back({static_cast<int>(lines.size()) + 1, std::string(text)});
        if (last) {
            return lines;
        }
        start = end + 1;
    }
}

class Reader {
  public:
    explicit Reader(std::vector<Line> lines) : lines_(std::move(lines)) {}

    std::vector<RegKeyEntry> read() {
        const std::string_view header = trimBlanks(lines_[0].text);
        if (header != "REGEDIT4" && header != "Windows Registry Editor Version 5.00") {
            fail(lines_[0],
                 "not a registry file: the first line must be REGEDIT4 or "
                 "Windows Registry Editor Version 5.00");
        }
        for (size_t index = 1; index < lines_.size(); ++index) {
            const std::string_view text = trimBlanks(lines_[index].text);
            if (text.empty() || text[0] == ';') {
                continue;
            }
            if (text[0] == '[') {
                readKeyLine(lines_[index], text);
            } else if (text[0] == '"' || text[0] == '@') {
                readValueLine(index, text);
            } else {
                fail(lines_[index], "expected a [key], a value line or a ; comment");
            }
        }
        return std::move(keys_);
    }

  private:
    [[noreturn]] static void fail(const Line& line, const std::string& reason) {
        throw RegParseError(line.number, line.text, reason);
    }

    void readKeyLine(const Line& line, std::string_view text) {
        if (text.back() != ']') {
            fail(line, "a key line must end with ]");
        }
        std::string_view name = text.substr(1, text.size() - 2);
        const bool remove = name.starts_with('-');
        if (remove) {
            name.remove_prefix(1);
        }
        RegKeyEntry entry;
        entry.remove = remove;
        try {
            entry.key = parseKeyPath(name);
        } catch (const RegError& error) {
            fail(line, error.what());
        }
        if (remove && entry.key.path.empty()) {
            fail(line, "a root key can not be deleted");
        }
        keys_.push_back(std::move(entry));
    }

    void readValueLine(size_t& index, std::string_view text) {
        const Line& line = lines_[index];
        if (keys_.empty() || keys_.back().remove) {
            fail(line, "a value line must follow a [key] line, not a [-key] deletion");
        }
        RegValueEntry value;
        size_t pos = 1;
        if (text[0] == '"') {
            pos = 0;
            value.name = readQuoted(line, text, pos);
        }
        const std::string_view rest = trimBlanks(text.substr(pos));
        if (!rest.starts_with('=')) {
            fail(line, "expected = after the value name");
        }
        const std::string_view data = trimBlanks(rest.substr(1));
        if (data == "-") {
            value.remove = true;
        } else if (data.starts_with('"')) {
            pos = 0;
            value.data = readQuoted(line, data, pos);
            if (pos != data.size()) {
                fail(line, "unexpected text after the closing quote");
            }
        } else if (startsWithIgnoringCase(data, "dword:")) {
            const auto number = parseHex32(data.substr(6));
            if (!number) {
                fail(line, "bad dword data: expected 1 to 8 hexadecimal digits");
            }
            value.type = kRegDword;
            value.data = dwordBytes(*number);
        } else if (startsWithIgnoringCase(data, "hex:")) {
            value.type = kRegBinary;
            value.data = readHex(index, data.substr(4));
        } else if (startsWithIgnoringCase(data, "hex(")) {
            const size_t close = data.find("):");
            const auto type = close == std::string_view::npos
                                  ? std::nullopt
                                  : parseHex32(data.substr(4, close - 4));
            if (!type) {
                fail(line, "bad hex(N): type: expected 1 to 8 hexadecimal digits");
            }
            value.type = static_cast<int>(*type);
            value.data = readHex(index, data.substr(close + 2));
        } else {
            fail(line, "unrecognised data: expected \"text\", dword:, hex:, hex(N): or -");
        }
        keys_.back().values.push_back(std::move(value));
    }

    // Reads a quoted string starting at text[pos], leaving pos after the closing quote.
    static std::string readQuoted(const Line& line, std::string_view text, size_t& pos) {
        std::string result;
        for (size_t i = pos + 1; i < text.size(); ++i) {
            if (text[i] == '"') {
                pos = i + 1;
                return result;
            }
            if (text[i] == '\\') {
                if (i + 1 == text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                    fail(line, "bad escape in quoted text: only \\\\ and \\\" are allowed");
                }
                ++i;
            }
            result += text[i];
        }
        fail(line, "missing closing quote");
    }

    // Reads hex bytes that may go on over further lines, each but the last ending with "\".
    std::string readHex(size_t& index, std::string_view first) {
        std::string bytes;
        std::string_view segment = first;
        while (true) {
            segment = trimBlanks(segment);
            const bool continued = segment.ends_with('\\');
            if (continued) {
                segment.remove_suffix(1);
            }
            const auto part = parseHexBytes(segment);
            if (!part) {
                fail(lines_[index],
                     "bad hex data: expected hexadecimal bytes separated by commas, such as 01,ff");
            }
            bytes += *part;
            if (!continued) {
                return bytes;
            }
            if (index + 1 == lines_.size()) {
                fail(lines_[index], "the file ends inside a value continued with \\");
            }
            segment = lines_[++index].text;
        }
    }

    std::vector<Line> lines_;
    std::vector<RegKeyEntry> keys_;
};

}  // namespace

std::vector<RegKeyEntry> readRegFile(std::string_view bytes) {
    if (bytes.starts_with("\xff\xfe")) {
        return Reader(utf16Lines(bytes.substr(2))).read();
    }
    return Reader(byteLines(bytes)).read();
}

}  // namespace tarn::reg
