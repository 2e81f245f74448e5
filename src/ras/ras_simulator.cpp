// A dial-up networking library for tests and demonstrations. Its phone book is the text file that
// TARNVIEW_RAS_PHONEBOOK names, one entry a line, with optional settings after ';':
//
//   School                 dials at once
//   Slow Line;delay=2000   takes two seconds to dial
//   Broken;error=678       fails with that error code
//   Flaky;drop=30          the other end drops the line 30 seconds after it came up
//
// Lines starting with '#' are comments. The program loads the library for each dial and hang-up,
// so the lines that are up live in a file beside the phone book ("<phone book>.state").
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ras/ras_api.h"
#include "ras/ras_records.h"

#define RAS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Entry {
    std::string name;
    int delayMs = 0;
    RasDword error = 0;
    long dropSeconds = 0;  // 0: never
};

struct Line {
    HRASCONN handle = 0;
    std::string name;
    long upSince = 0;  // milliseconds since the epoch, so a drop after one second is never sooner
    long dropSeconds = 0;
};

std::string phonebookPath() {
    const char* path = std::getenv("TARNVIEW_RAS_PHONEBOOK");
    return path ? path : "";
}

long nowMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::vector<Entry> readPhonebook() {
    std::vector<Entry> entries;
    std::ifstream in(phonebookPath());
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty() || text[0] == '#')
            continue;
        Entry entry;
        size_t at = text.find(';');
        entry.name = text.substr(0, at);
        while (at != std::string::npos) {
            const size_t next = text.find(';', at + 1);
            const std::string setting = text.substr(at + 1, next - at - 1);
            const size_t equals = setting.find('=');
            const std::string key = setting.substr(0, equals);
            const long value =
                equals == std::string::npos ? 0 : std::atol(setting.c_str() + equals + 1);
            if (key == "delay")
                entry.delayMs = static_cast<int>(value);
            else if (key == "error")
                entry.error = static_cast<RasDword>(value);
            else if (key == "drop")
                entry.dropSeconds = value;
            at = next;
        }
        entries.push_back(entry);
    }
    return entries;
}

std::string statePath() {
    return phonebookPath() + ".state";
}

// The lines still up: a line whose drop time has come is gone.
std::vector<Line> readLines() {
    std::vector<Line> lines;
    std::ifstream in(statePath());
    Line line;
    std::string name;
    while (in >> line.handle >> line.upSince >> line.dropSeconds &&
           std::getline(in >> std::ws, name)) {
        line.name = name;
        if (line.dropSeconds == 0 || nowMilliseconds() - line.upSince < line.dropSeconds * 1000)
            lines.push_back(line);
    }
    return lines;
}

void writeLines(const std::vector<Line>& lines) {
    std::ofstream out(statePath(), std::ios::trunc);
    for (const Line& line : lines)
        out << line.handle << ' ' << line.upSince << ' ' << line.dropSeconds << ' ' << line.name
            << '\n';
}

HRASCONN nextHandle(const std::vector<Line>& lines) {
    HRASCONN handle = static_cast<HRASCONN>(nowMilliseconds() / 1000 % 100000) * 10 + 1;
    for (const Line& line : lines) {
        if (line.handle >= handle)
            handle = line.handle + 1;
    }
    return handle;
}

}  // namespace

RAS_EXPORT RasDword RasDialA(void*, const char*, RASDIALPARAMSA* params, RasDword, void*,
                             HRASCONN* connection) {
    if (!params || !connection || params->dwSize != sizeof(RASDIALPARAMSA))
        return kRasErrorInvalidSize;
    *connection = 0;
    for (const Entry& entry : readPhonebook()) {
        if (!sameName(entry.name, params->szEntryName))
            continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(entry.delayMs));
        std::vector<Line> lines = readLines();
        *connection = nextHandle(lines);
        if (entry.error != 0)
            return entry.error;
        lines.push_back({*connection, entry.name, nowMilliseconds(), entry.dropSeconds});
        writeLines(lines);
        return 0;
    }
    return kRasErrorCannotFindEntry;
}

RAS_EXPORT RasDword RasHangUpA(HRASCONN connection) {
    std::vector<Line> lines = readLines();
    for (auto line = lines.begin(); line != lines.end(); ++line) {
        if (line->handle == connection) {
            lines.erase(line);
            writeLines(lines);
            return 0;
        }
    }
    // A half-open attempt is no line: hanging it up succeeds.
    return connection != 0 ? 0 : kRasErrorInvalidHandle;
}

RAS_EXPORT RasDword RasEnumConnectionsA(RASCONNA* connections, RasDword* bytes, RasDword* count) {
    if (!connections || !bytes || !count || connections->dwSize != sizeof(RASCONNA))
        return kRasErrorInvalidSize;
    const std::vector<Line> lines = readLines();
    writeLines(lines);
    if (!tarn::recordsFit(lines.size(), sizeof(RASCONNA), bytes, count))
        return kRasErrorBufferTooSmall;
    for (size_t i = 0; i < lines.size(); ++i) {
        RASCONNA& record = connections[i];
        std::memset(&record, 0, sizeof record);
        record.dwSize = sizeof(RASCONNA);
        record.hrasconn = lines[i].handle;
        tarn::copyRecordText(record.szEntryName, sizeof record.szEntryName, lines[i].name);
        tarn::copyRecordText(record.szDeviceType, sizeof record.szDeviceType, "modem");
        tarn::copyRecordText(record.szDeviceName, sizeof record.szDeviceName, "Simulated modem");
    }
    return 0;
}

RAS_EXPORT RasDword RasGetConnectStatusA(HRASCONN connection, RASCONNSTATUSA* status) {
    if (!status || status->dwSize != sizeof(RASCONNSTATUSA))
        return kRasErrorInvalidSize;
    for (const Line& line : readLines()) {
        if (line.handle == connection) {
            status->rasconnstate = kRasConnected;
            status->dwError = 0;
            return 0;
        }
    }
    return kRasErrorInvalidHandle;
}

RAS_EXPORT RasDword RasGetErrorStringA(std::uint32_t code, char* text, RasDword size) {
    if (!text || size == 0)
        return kRasErrorInvalidSize;
    std::string message;
    switch (code) {
        case kRasErrorInvalidHandle:
            message = "The connection handle is not valid.";
            break;
        case kRasErrorCannotFindEntry:
            message = "The phone book entry does not exist.";
            break;
        case kRasErrorRemoteDisconnection:
            message = "The line was disconnected by the remote computer.";
            break;
        case kRasErrorUserDisconnection:
            message = "The line was disconnected by the user.";
            break;
        case kRasErrorPortNotAvailable:
            message = "The modem is already in use or is not configured.";
            break;
        case kRasErrorNoAnswer:
            message = "The remote computer did not answer.";
            break;
        case kRasErrorAuthenticationFailure:
            message = "The user name or password is not valid.";
            break;
        default:
            message = "Dial-up networking error " + std::to_string(code) + ".";
    }
    tarn::copyRecordText(text, size, message);
    return 0;
}

RAS_EXPORT RasDword RasEnumEntriesA(const char*, const char*, RASENTRYNAMEA* entries,
                                    RasDword* bytes, RasDword* count) {
    if (!entries || !bytes || !count || entries->dwSize != sizeof(RASENTRYNAMEA))
        return kRasErrorInvalidSize;
    const std::vector<Entry> book = readPhonebook();
    if (!tarn::recordsFit(book.size(), sizeof(RASENTRYNAMEA), bytes, count))
        return kRasErrorBufferTooSmall;
    for (size_t i = 0; i < book.size(); ++i) {
        entries[i].dwSize = sizeof(RASENTRYNAMEA);
        tarn::copyRecordText(entries[i].szEntryName, sizeof entries[i].szEntryName, book[i].name);
    }
    return 0;
}

RAS_EXPORT RasDword RasGetEntryDialParamsA(const char*, RASDIALPARAMSA* params, RasBool* password) {
    if (!params || params->dwSize != sizeof(RASDIALPARAMSA))
        return kRasErrorInvalidSize;
    for (const Entry& entry : readPhonebook()) {
        if (sameName(entry.name, params->szEntryName)) {
            if (password)
                *password = 0;
            return 0;
        }
    }
    return kRasErrorCannotFindEntry;
}

// The simulator has no phone book editor.
RAS_EXPORT RasDword RasEditPhonebookEntryA(void*, const char*, const char*) {
    return kRasErrorCannotFindEntry;
}

RAS_EXPORT RasDword RasCreatePhonebookEntryA(void*, const char*) {
    return kRasErrorCannotFindEntry;
}
