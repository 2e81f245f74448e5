#include "policy/address_parts.h"

#include <algorithm>

#include <QString>
#include <QUrl>

#include "platform/ascii_case.h"

namespace tarn {
namespace {

bool isSchemeChar(char c, bool first) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

std::string_view withoutTrailingDots(std::string_view host) {
    while (host.ends_with('.'))
        host.remove_suffix(1);
    return host;
}

QString lowerHost(std::string_view host) {
    const std::string_view bare = withoutTrailingDots(host);
    return QString::fromUtf8(bare.data(), static_cast<qsizetype>(bare.size())).toLower();
}

}  // namespace

AddressParts splitAddress(std::string_view address) {
    AddressParts parts;
    std::string_view rest = address;
    size_t colon = 0;
    while (colon < rest.size() && isSchemeChar(rest[colon], colon == 0))
        ++colon;
    if (colon > 0 && colon < rest.size() && rest[colon] == ':') {
        parts.scheme = rest.substr(0, colon);
        rest.remove_prefix(colon + 1);
    }
    if (const size_t hash = rest.find('#'); hash != std::string_view::npos) {
        parts.fragment = rest.substr(hash + 1);
        rest = rest.substr(0, hash);
    }
    if (const size_t question = rest.find('?'); question != std::string_view::npos) {
        parts.query = rest.substr(question + 1);
        rest = rest.substr(0, question);
    }
    if (rest.starts_with("//")) {
        parts.hasAuthority = true;
        rest.remove_prefix(2);
        // Browsers end the authority at a backslash as at a slash.
        const size_t end = rest.find_first_of("/\\");
        std::string_view authority = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
            parts.user = authority.substr(0, at);
            authority.remove_prefix(at + 1);
        }
        // A bracketed IPv6 address holds colons of its own.
        const size_t bracket = authority.rfind(']');
        const size_t portColon = authority.rfind(':');
        if (portColon != std::string_view::npos &&
            (bracket == std::string_view::npos || portColon > bracket)) {
            parts.port = authority.substr(portColon + 1);
            authority = authority.substr(0, portColon);
        }
        parts.host = authority;
    }
    parts.path = rest;
    return parts;
}

std::string schemeOf(std::string_view address) {
    std::string scheme(splitAddress(address).scheme);
    for (char& c : scheme) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return scheme;
}

std::string asciiHost(std::string_view host) {
    const QString lower = lowerHost(host);
    const QByteArray ace = QUrl::toAce(lower, QUrl::IgnoreIDNWhitelist);
    return ace.isEmpty() ? lower.toStdString() : ace.toStdString();
}

std::string unicodeHost(std::string_view host) {
    const QString lower = lowerHost(host);
    const QString unicode = QUrl::fromAce(lower.toUtf8(), QUrl::IgnoreIDNWhitelist);
    return unicode.isEmpty() ? lower.toStdString() : unicode.toStdString();
}

std::string upperAsciiHost(std::string_view host) {
    const std::string upper = upperAscii(withoutTrailingDots(host));
    const bool plain = std::ranges::none_of(upper, [](char c) { return c & 0x80; });
    return plain && !upper.starts_with("XN--") && upper.find(".XN--") == std::string::npos
               ? upper
               : upperAscii(asciiHost(host));
}

std::string collapsedSlashes(std::string_view text) {
    if (text.find('\\') == std::string_view::npos && text.find("//") == std::string_view::npos)
        return std::string(text);
    std::string collapsed;
    collapsed.reserve(text.size());
    for (char c : text) {
        if (c == '\\')
            c = '/';
        if (c != '/' || !collapsed.ends_with('/'))
            collapsed.push_back(c);
    }
    return collapsed;
}

std::vector<std::string> plainForms(std::string_view upper, bool webSchemesAlike) {
    const AddressParts parts = splitAddress(upper);
    if (!parts.hasAuthority)
        return {};
    std::string prefix(webSchemesAlike && parts.scheme == "HTTPS" ? std::string_view("HTTP")
                                                                  : parts.scheme);
    if (!parts.scheme.empty())
        prefix += ':';
    prefix += "//";
    // Everything after the host and its port: the path with its query and fragment. A site
    // served on another port is still the site its entries name.
    size_t tailStart = static_cast<size_t>(parts.host.data() - upper.data()) + parts.host.size();
    if (upper.substr(tailStart).starts_with(':'))
        tailStart += 1 + parts.port.size();
    const std::string tail = collapsedSlashes(upper.substr(tailStart));
    std::vector<std::string> forms;
    const auto add = [&](const std::string& host) {
        std::string form = prefix + host + tail;
        if (form != upper && std::ranges::find(forms, form) == forms.end())
            forms.push_back(std::move(form));
    };
    const std::string ascii = upperAsciiHost(parts.host);
    add(ascii);
    if (ascii.find("XN--") != std::string::npos)
        add(upperAscii(unicodeHost(ascii)));
    return forms;
}

}  // namespace tarn
