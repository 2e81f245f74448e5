#include "settings/setting.h"

namespace tarn {

bool readSetting(const SettingsStore& store, std::string_view section, const BoolSetting& value) {
    return store.read_bool(section, value.name, value.fallback);
}

int readSetting(const SettingsStore& store, std::string_view section, const IntSetting& value) {
    return store.read_int(section, value.name, value.fallback);
}

std::string readSetting(const SettingsStore& store, std::string_view section,
                        const TextSetting& value) {
    return store.read_string(section, value.name, value.fallback);
}

void writeSetting(SettingsStore& store, std::string_view section, const BoolSetting& value,
                  bool data) {
    store.write_bool(section, value.name, data);
}

void writeSetting(SettingsStore& store, std::string_view section, const IntSetting& value,
                  int data) {
    store.write_int(section, value.name, data);
}

void writeSetting(SettingsStore& store, std::string_view section, const TextSetting& value,
                  std::string_view data) {
    store.write_string(section, value.name, data);
}

}  // namespace tarn
