#include "tarnreg_fixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

extern char** environ;

namespace tarn::test {

RunResult TarnregTest::run(const std::vector<std::string>& args) {
    const std::filesystem::path outFile = root / "stdout";
    const std::filesystem::path errFile = root / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> argv0{TARNREG_PATH};
    argv0.insert(argv0.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argv0) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, TARNREG_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    RunResult result;
    EXPECT_EQ(spawned, 0) << "could not start " << TARNREG_PATH;
    if (spawned != 0) {
        return result;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "tarnreg did not exit normally";
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    return result;
}

std::string TarnregTest::exported(const std::string& key, bool regedit4) {
    const std::filesystem::path file = root / "exported.reg";
    std::vector<std::string> args{"export", key, file.string()};
    if (regedit4) {
        args.push_back("--regedit4");
    }
    const RunResult result = run(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return readFile(file);
}

void TarnregTest::useHivesIn(const std::filesystem::path& folder) {
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    setenv("TARNVIEW_MACHINE_HIVE", (folder / "machine.hive").c_str(), 1);
}

}  // namespace tarn::test
