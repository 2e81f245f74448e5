#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// The pieces of an address as the supervision needs them, without resolving or decoding
// anything. Views point into the address given.
struct AddressParts {
    std::string_view scheme;    // without the ':'; empty when the address has none
    bool hasAuthority = false;  // "scheme://..." or "//..."
    std::string_view user;      // before the last '@' of the authority, without it
    std::string_view host;
    std::string_view port;  // without the ':'
    std::string_view path;
    std::string_view query;     // without the '?'
    std::string_view fragment;  // without the '#'
};

AddressParts splitAddress(std::string_view address);

// The scheme in lower case, or empty.
std::string schemeOf(std::string_view address);

// A host name's two spellings: the ASCII one ("xn--bcher-kva.example") and the Unicode one
// ("bücher.example"), both lower case and without a trailing dot. A name that is not a valid
// international name comes back lower-cased as it is.
std::string asciiHost(std::string_view host);
std::string unicodeHost(std::string_view host);

// The host in upper case and its ASCII spelling, without a trailing dot. Plain ASCII names skip
// the international-name conversion, so the common case costs a copy.
std::string upperAsciiHost(std::string_view host);

// Runs of '/' (and '\\', which browsers read as '/') made one '/'.
std::string collapsedSlashes(std::string_view text);

// The plain spellings of an upper-case address that differ from it: the user part and the port
// dropped, the host without a trailing dot in its ASCII and its Unicode spelling, runs of '/'
// after the host made one, and (with `webSchemesAlike`) HTTPS written HTTP. None for an address
// without a host.
std::vector<std::string> plainForms(std::string_view upper, bool webSchemesAlike);

}  // namespace tarn
