#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "temp_env.h"

namespace tarn {
namespace {

class SettingsStoreTest : public test::TempEnv {};

TEST_F(SettingsStoreTest, WrittenValuesReadBack) {
    SettingsStore store(kTarnviewRoot);
    store.write_string("Config", "sName", "Ann");
    EXPECT_EQ(store.read_string("Config", "sName", "x"), "Ann");
}

}  // namespace
}  // namespace tarn
