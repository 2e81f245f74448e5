#include "tarnreg/reg_writer.h"

#include <cstdio>

#include "tarnreg/reg_error.h"
#include "tarnreg/text_encoding.h"
#include "tarnreg/value_data.h"

namespace tarn::reg {
namespace {

constexpr char kEol[] = "\r\n";
// The registry editor breaks a hex line once it reaches this many characters.
constexpr size_t kHexLineLimit = 77;

bool fitsOnLine(RegFormat format, std::string_view text) {
    return isSingleLineText(text) && (format == RegFormat::Regedit4 || isValidUtf8(text));
}

std::string quotedText(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            result += '\\';
        }
        result += c;
    }
    return result + '"';
}

// Line length as the registry editor counts it: characters, and in 8-bit files bytes.
size_t lineLength(RegFormat format, std::string_view text) {
    return format == RegFormat::Version5 ? characterCount(text) : text.size();
}

std::string hexData(RegFormat format, const std::string& prefix, std::string_view bytes) {
    std::string text = prefix;
    size_t length = lineLength(format, prefix);
    const std::string digits = formatHexBytes(bytes);
    for (size_t i = 0; i < bytes.size(); ++i) {
        text.append(digits, 3 * i, 2);
        if (i + 1 == bytes.size()) {
            break;
        }
        text += ',';
        length += 3;
        if (length >= kHexLineLimit) {
            text += "\\";
            text += kEol;
            text += "  ";
            length = 2;
        }
    }
    return text;
}

std::string valueLine(RegFormat format, const KeyPath& key, const RegValueEntry& value) {
    if (!fitsOnLine(format, value.name)) {
        throw RegError("the value name '" + value.name + "' in " + fullName(key) +
                       " can not be written to a registry file of this format");
    }
    const std::string head = (value.name.empty() ? "@" : quotedText(value.name)) + '=';
    if (value.type == kRegString && fitsOnLine(format, value.data)) {
        return head + quotedText(value.data);
    }
    if (const auto number = dwordOf(value.type, value.data)) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", *number);
        return head + "dword:" + digits;
    }
    if (value.type == kRegBinary) {
        return hexData(format, head + "hex:", value.data);
    }
    char type[24];
    std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
    return hexData(format, head + type, value.data);
}

}  // namespace

std::string writeRegFile(RegFormat format, const std::vector<RegKeyEntry>& keys) {
    std::string text =
        format == RegFormat::Regedit4 ? "REGEDIT4" : "Windows Registry Editor Version 5.00";
    text += kEol;
    for (const RegKeyEntry& entry : keys) {
        const std::string name = fullName(entry.key);
        if (!fitsOnLine(format, name)) {
            throw RegError("the key name " + name +
                           " can not be written to a registry file of this format");
        }
        text += kEol;
        text += '[' + name + ']' + kEol;
        for (const RegValueEntry& value : entry.values) {
            text += valueLine(format, entry.key, value);
            text += kEol;
        }
    }
    text += kEol;
    if (format == RegFormat::Regedit4) {
        return text;
    }
    return "\xff\xfe" + utf8ToUtf16le(text);
}

}  // namespace tarn::reg
