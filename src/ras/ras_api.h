#pragma once

// The published dial-up networking interface, ANSI forms: the nine entry points the program binds
// by name and the records they exchange, laid out as published. The connection handle is 32 bits
// on every platform, so the records keep their published sizes on 64-bit Linux.
#include <cstdint>

extern "C" {

using RasDword = std::uint32_t;
using RasBool = std::int32_t;
using HRASCONN = std::uint32_t;

inline constexpr int kRasMaxEntryName = 256;
inline constexpr int kRasMaxPhoneNumber = 128;
inline constexpr int kRasMaxCallbackNumber = 128;
inline constexpr int kRasMaxUserName = 256;
inline constexpr int kRasMaxPassword = 256;
inline constexpr int kRasMaxDomain = 15;
inline constexpr int kRasMaxDeviceType = 16;
inline constexpr int kRasMaxDeviceName = 128;
inline constexpr int kRasErrorTextSize = 256;

struct RASDIALPARAMSA {
    RasDword dwSize;
    char szEntryName[kRasMaxEntryName + 1];
    char szPhoneNumber[kRasMaxPhoneNumber + 1];
    char szCallbackNumber[kRasMaxCallbackNumber + 1];
    char szUserName[kRasMaxUserName + 1];
    char szPassword[kRasMaxPassword + 1];
    char szDomain[kRasMaxDomain + 1];
};
static_assert(sizeof(RASDIALPARAMSA) == 1052);

struct RASCONNA {
    RasDword dwSize;
    HRASCONN hrasconn;
    char szEntryName[kRasMaxEntryName + 1];
    char szDeviceType[kRasMaxDeviceType + 1];
    char szDeviceName[kRasMaxDeviceName + 1];
};
static_assert(sizeof(RASCONNA) == 412);

struct RASENTRYNAMEA {
    RasDword dwSize;
    char szEntryName[kRasMaxEntryName + 1];
};
static_assert(sizeof(RASENTRYNAMEA) == 264);

struct RASCONNSTATUSA {
    RasDword dwSize;
    RasDword rasconnstate;
    RasDword dwError;
    char szDeviceType[kRasMaxDeviceType + 1];
    char szDeviceName[kRasMaxDeviceName + 1];
};
static_assert(sizeof(RASCONNSTATUSA) == 160);

inline constexpr RasDword kRasConnected = 0x2000;
inline constexpr RasDword kRasDisconnected = 0x2001;

// Error codes of the published interface that the libraries give.
inline constexpr RasDword kRasErrorInvalidHandle = 6;
inline constexpr RasDword kRasErrorBufferTooSmall = 603;
inline constexpr RasDword kRasErrorCannotFindEntry = 623;
inline constexpr RasDword kRasErrorRemoteDisconnection = 629;
inline constexpr RasDword kRasErrorUserDisconnection = 631;
inline constexpr RasDword kRasErrorInvalidSize = 632;
inline constexpr RasDword kRasErrorPortNotAvailable = 633;
inline constexpr RasDword kRasErrorNoAnswer = 678;
inline constexpr RasDword kRasErrorAuthenticationFailure = 691;

using RasDialFunction = RasDword(void* extensions, const char* phonebook, RASDIALPARAMSA* params,
                                 RasDword notifierType, void* notifier, HRASCONN* connection);
using RasGetErrorStringFunction = RasDword(std::uint32_t code, char* text, RasDword size);
using RasHangUpFunction = RasDword(HRASCONN connection);
using RasGetConnectStatusFunction = RasDword(HRASCONN connection, RASCONNSTATUSA* status);
using RasEnumConnectionsFunction = RasDword(RASCONNA* connections, RasDword* bytes,
                                            RasDword* count);
using RasEnumEntriesFunction = RasDword(const char* reserved, const char* phonebook,
                                        RASENTRYNAMEA* entries, RasDword* bytes, RasDword* count);
using RasGetEntryDialParamsFunction = RasDword(const char* phonebook, RASDIALPARAMSA* params,
                                               RasBool* password);
using RasEditPhonebookEntryFunction = RasDword(void* window, const char* phonebook,
                                               const char* entry);
using RasCreatePhonebookEntryFunction = RasDword(void* window, const char* phonebook);

}  // extern "C"
