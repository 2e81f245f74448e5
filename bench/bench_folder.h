#pragma once

#include <stdlib.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

namespace tarn::bench {

// Runs `run` in a fresh temporary folder, removed afterwards, and gives its exit status; a
// failure that escapes it is printed under the benchmark's `name`.
inline int runInTemporaryFolder(const char* name,
                                const std::function<int(const std::filesystem::path&)>& run) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnview-bench-XXXXXX");
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    int status = 1;
    try {
        status = run(folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.what());
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return status;
}

}  // namespace tarn::bench
