#include "connect/ras_library.h"

#include <dlfcn.h>

#include <cstdlib>

namespace tarn {
namespace {

template <typename Function>
bool bind(void* handle, const char* name, Function*& target) {
    target = reinterpret_cast<Function*>(dlsym(handle, name));
    return target != nullptr;
}

}  // namespace

RasLibrary::RasLibrary(const std::filesystem::path& file) {
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        return;
    loaded_ = bind(handle_, "RasDialA", RasDialA) &&
              bind(handle_, "RasGetErrorStringA", RasGetErrorStringA) &&
              bind(handle_, "RasHangUpA", RasHangUpA) &&
              bind(handle_, "RasGetConnectStatusA", RasGetConnectStatusA) &&
              bind(handle_, "RasEnumConnectionsA", RasEnumConnectionsA) &&
              bind(handle_, "RasEnumEntriesA", RasEnumEntriesA) &&
              bind(handle_, "RasGetEntryDialParamsA", RasGetEntryDialParamsA) &&
              bind(handle_, "RasEditPhonebookEntryA", RasEditPhonebookEntryA) &&
              bind(handle_, "RasCreatePhonebookEntryA", RasCreatePhonebookEntryA);
}

RasLibrary::~RasLibrary() {
    if (handle_)
        dlclose(handle_);
}

std::filesystem::path rasLibraryFile(const std::filesystem::path& libraryFolder) {
    if (const char* file = std::getenv("TARNVIEW_RAS_LIBRARY"); file && *file)
        return file;
    return libraryFolder / "libtarnras.so";
}

}  // namespace tarn
