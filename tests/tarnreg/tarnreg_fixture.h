#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "temp_env.h"

namespace tarn::test {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built tarnreg program as a child process in this test's environment.
class TarnregTest : public TempEnv {
  protected:
    RunResult run(const std::vector<std::string>& args);

    // The tree below `key` as a Version 5.00 (or REGEDIT4) export; fails the test when the
    // export fails.
    std::string exported(const std::string& key, bool regedit4 = false);

    // Points the hives at fresh files below `folder`, as for a different machine and user.
    void useHivesIn(const std::filesystem::path& folder);
};

}  // namespace tarn::test
