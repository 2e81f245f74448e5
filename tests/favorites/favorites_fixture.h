#pragma once

#include <filesystem>
#include <string>

#include "favorites/favorites_store.h"
#include "platform/paths.h"
#include "temp_env.h"

namespace tarn::test {

// A test's own shell Favorites folder, as a new per-user hive names it, with its folder text.
class FavoritesFixture : public TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        folderText = GetShellFavoritesFolder();
        folder = defaultFavoritesFolder();
    }

    void writeShortcut(const std::string& fileName, const std::string& url) {
        writeFile(folder / fileName, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }

    std::string folderText;  // "<data folder>/Favorites\"
    std::filesystem::path folder;
};

}  // namespace tarn::test
