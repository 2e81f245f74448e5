#pragma once

#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace tarn {

// One stored value: its name and the default its readers pass. Each is declared once beside
// the others of its key, so no reader or writer spells the name or the default again.
template <class T>
struct Setting {
    std::string_view name;
    T fallback;
};

using BoolSetting = Setting<bool>;
using IntSetting = Setting<int>;
using TextSetting = Setting<std::string_view>;

// A value that each browser pane has once: "iWeb" + pane number + "RefreshRate".
template <class T>
struct PaneSetting {
    std::string_view prefix;
    std::string_view suffix;
    T fallback;

    std::string nameFor(int pane) const {
        return std::string(prefix) + std::to_string(pane) + std::string(suffix);
    }
};

bool readSetting(const SettingsStore& store, std::string_view section, const BoolSetting& value);
int readSetting(const SettingsStore& store, std::string_view section, const IntSetting& value);
std::string readSetting(const SettingsStore& store, std::string_view section,
                        const TextSetting& value);

void writeSetting(SettingsStore& store, std::string_view section, const BoolSetting& value,
                  bool data);
void writeSetting(SettingsStore& store, std::string_view section, const IntSetting& value,
                  int data);
void writeSetting(SettingsStore& store, std::string_view section, const TextSetting& value,
                  std::string_view data);

template <class T>
auto readSetting(const SettingsStore& store, std::string_view section, const PaneSetting<T>& value,
                 int pane) {
    const std::string name = value.nameFor(pane);
    return readSetting(store, section, Setting<T>{name, value.fallback});
}

template <class T, class Data>
void writeSetting(SettingsStore& store, std::string_view section, const PaneSetting<T>& value,
                  int pane, const Data& data) {
    const std::string name = value.nameFor(pane);
    writeSetting(store, section, Setting<T>{name, value.fallback}, data);
}

}  // namespace tarn
