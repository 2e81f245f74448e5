#include "connect/ras_dialer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "connect/ras_library.h"
#include "platform/ascii_case.h"
#include "ras/ras_records.h"

namespace tarn {
namespace {

// Up to this many active connections are asked for at once.
constexpr int kMostConnections = 11;

std::string errorText(const RasLibrary& ras, RasDword code) {
    std::array<char, kRasErrorTextSize> text{};
    if (ras.RasGetErrorStringA(code, text.data(), static_cast<RasDword>(text.size())) != 0)
        return "error " + std::to_string(code);
    text.back() = '\0';
    return text.data();
}

// The handle of the entry's active connection, the first whose name matches without regard to
// case; none when there is none or the connections can not be listed.
std::optional<HRASCONN> activeConnection(const RasLibrary& ras, const std::string& entry) {
    std::array<RASCONNA, kMostConnections> connections{};
    connections[0].dwSize = sizeof(RASCONNA);
    RasDword bytes = sizeof connections;
    RasDword count = 0;
    if (ras.RasEnumConnectionsA(connections.data(), &bytes, &count) != 0)
        return std::nullopt;
    for (RasDword i = 0; i < count && i < connections.size(); ++i) {
        connections[i].szEntryName[kRasMaxEntryName] = '\0';
        if (equalsIgnoringCase(connections[i].szEntryName, entry))
            return connections[i].hrasconn;
    }
    return std::nullopt;
}

RasResult dialEntry(const RasLibrary& ras, const RasEntrySettings& settings,
                    const std::function<void(const std::string&)>& status) {
    status("Dial: Starting dial-up connection..");
    if (activeConnection(ras, settings.entry))
        return {false, "You are already connected.."};
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params;
    copyRecordText(params.szEntryName, sizeof params.szEntryName, settings.entry);
    copyRecordText(params.szCallbackNumber, sizeof params.szCallbackNumber, "*");
    copyRecordText(params.szUserName, sizeof params.szUserName, settings.userName);
    copyRecordText(params.szPassword, sizeof params.szPassword, settings.password);
    copyRecordText(params.szDomain, sizeof params.szDomain, "*");
    status("Dial: Dialing and connecting...");
    HRASCONN connection = 0;
    const RasDword error = ras.RasDialA(nullptr, nullptr, &params, 0, nullptr, &connection);
    std::memset(params.szPassword, 0, sizeof params.szPassword);
    if (error != 0) {
        const std::string text = errorText(ras, error);
        if (connection != 0)
            ras.RasHangUpA(connection);
        return {false, "Dial-up connection failed: " + text};
    }
    status("Dial: connection established..");
    return {true, ""};
}

RasResult hangUpEntry(const RasLibrary& ras, const RasEntrySettings& settings,
                      const std::function<void(const std::string&)>& status) {
    status("Starting dial-up disconnection..");
    const auto connection = activeConnection(ras, settings.entry);
    if (!connection)
        return {false, "No active connection to disconnect.."};
    status("Disconnecting...");
    if (const RasDword error = ras.RasHangUpA(*connection); error != 0)
        return {false, "Dial-up disconnection failed: " + errorText(ras, error)};
    return {true, ""};
}

}  // namespace

RasResult rasDialOrHangUp(bool dial, const RasEntrySettings& settings,
                          const std::filesystem::path& library,
                          const std::function<void(const std::string&)>& status) {
    if (settings.entry.empty())
        return {false, "Dial-Up settings are incomplete, configure them first.."};
    const RasLibrary ras(library);
    if (!ras.loaded())
        return {false, "Unable to load RAS library.."};
    const std::function<void(const std::string&)> report = [&](const std::string& text) {
        if (status)
            status(text);
    };
    return dial ? dialEntry(ras, settings, report) : hangUpEntry(ras, settings, report);
}

bool rasEntryConnected(const std::string& entry, const std::filesystem::path& library) {
    const RasLibrary ras(library);
    return ras.loaded() && activeConnection(ras, entry).has_value();
}

}  // namespace tarn
