#pragma once

#include <filesystem>

#include "ras/ras_api.h"

namespace tarn {

// The dial-up networking library, loaded by file name for one dial or hang-up and released
// again when this goes. loaded() tells whether the file loaded with all nine entry points.
class RasLibrary {
  public:
    explicit RasLibrary(const std::filesystem::path& file);
    ~RasLibrary();
    RasLibrary(const RasLibrary&) = delete;
    RasLibrary& operator=(const RasLibrary&) = delete;

    bool loaded() const { return loaded_; }

    RasDialFunction* RasDialA{};
    RasGetErrorStringFunction* RasGetErrorStringA{};
    RasHangUpFunction* RasHangUpA{};
    RasGetConnectStatusFunction* RasGetConnectStatusA{};
    RasEnumConnectionsFunction* RasEnumConnectionsA{};
    RasEnumEntriesFunction* RasEnumEntriesA{};
    RasGetEntryDialParamsFunction* RasGetEntryDialParamsA{};
    RasEditPhonebookEntryFunction* RasEditPhonebookEntryA{};
    RasCreatePhonebookEntryFunction* RasCreatePhonebookEntryA{};

  private:
    void* handle_{};
    bool loaded_ = false;
};

// The library the program dials through: the file TARNVIEW_RAS_LIBRARY names, else
// libtarnras.so in the program's library folder.
std::filesystem::path rasLibraryFile(const std::filesystem::path& libraryFolder);

}  // namespace tarn
