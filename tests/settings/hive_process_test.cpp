// The hives under several real processes, a killed writer, damaged files and a reader that may
// not write. The other processes are the hive_writer helper; a process reads a hive afresh
// only in a process of its own, because each process keeps one connection per hive.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hive_writer.h"
#include "platform/paths.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

using test::kWriterKey;
using test::writerValueData;
using test::writerValueName;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// A running hive_writer with the test's environment; its input and output are pipes.
class Writer {
  public:
    explicit Writer(const std::vector<std::string>& args) {
        std::vector<std::string> words{TARN_HIVE_WRITER};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        int input[2];
        int output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(input[0], STDIN_FILENO);
            dup2(output[1], STDOUT_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(input[0]);
        close(output[1]);
        input_ = input[1];
        output_ = fdopen(output[0], "r");
    }
    ~Writer() {
        if (pid_ > 0) {
            kill();
            finish();
        }
        fclose(output_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // The next line it printed; none once its output has ended.
    std::optional<std::string> line() {
        char* text = nullptr;
        size_t capacity = 0;
        const ssize_t length = getline(&text, &capacity, output_);
        std::optional<std::string> result;
        if (length > 0) {
            result.emplace(text, text[length - 1] == '\n' ? length - 1 : length);
        }
        free(text);
        return result;
    }
    std::vector<std::string> rest() {
        std::vector<std::string> lines;
        while (auto next = line()) {
            lines.push_back(std::move(*next));
        }
        return lines;
    }
    void closeInput() {
        if (input_ >= 0) {
            close(input_);
            input_ = -1;
        }
    }
    void kill() { ::kill(pid_, SIGKILL); }
    // The exit status, or 128 + the signal that ended it.
    int finish() {
        closeInput();
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    FILE* output_ = nullptr;
};

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Every value of the per-user hive as a new process reads it: "<key>\t<name>" and the data,
// keys in enumeration order, values in creation order.
using Dump = std::vector<std::pair<std::string, std::string>>;
Dump dumpUserHive() {
    Writer reader({"dump"});
    const std::vector<std::string> lines = reader.rest();
    EXPECT_EQ(reader.finish(), 0) << joined(lines);
    EXPECT_FALSE(lines.empty() || lines.back() != "end") << joined(lines);
    Dump values;
    for (const std::string& line : lines) {
        const size_t tab = line.find('\t', line.find('\t') + 1);
        if (tab != std::string::npos) {
            values.emplace_back(line.substr(0, tab), line.substr(tab + 1));
        }
    }
    return values;
}

// SQLite's own check of every page, on a connection of its own that only reads.
std::string integrityCheck(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    std::string result = "could not open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, "PRAGMA integrity_check",
            [](void* out, int, char** row, char**) {
                *static_cast<std::string*>(out) = row[0] ? row[0] : "";
                return 0;
            },
            &result, nullptr);
    }
    sqlite3_close(db);
    return result;
}

// Names each value of `expected` that the hive lacks or holds with other data.
std::vector<std::string> missingOrWrong(const std::map<std::string, std::string>& expected,
                                        const Dump& dump) {
    const std::map<std::string, std::string> hive(dump.begin(), dump.end());
    std::vector<std::string> faults;
    for (const auto& [name, data] : expected) {
        const auto found = hive.find(kWriterKey + "\t" + name);
        if (found == hive.end() || found->second != data) {
            faults.push_back(name);
        }
    }
    return faults;
}

class HiveProcessTest : public test::TempEnv {};

TEST_F(HiveProcessTest, TwoProcessesWritingAtOnceKeepEveryValue) {
    constexpr int kCount = 1000;
    // A writer that never pauses keeps the hive to itself until it is done; the pause lets the
    // other in, as the program's own writes leave room between them.
    Writer first({"write", "a", std::to_string(kCount), "1000"});
    Writer second({"write", "b", std::to_string(kCount), "1000"});
    // Both are up before either touches the (not yet existing) hive; then both start at once.
    ASSERT_EQ(first.line(), "ready");
    ASSERT_EQ(second.line(), "ready");
    first.closeInput();
    second.closeInput();
    ASSERT_EQ(first.finish(), 0) << joined(first.rest());
    ASSERT_EQ(second.finish(), 0) << joined(second.rest());

    const Dump hive = dumpUserHive();
    char last = 0;
    int turns = 0;
    for (const auto& [name, data] : hive) {
        if (name.starts_with(kWriterKey + "\t") && data[0] != last) {
            ++turns;
            last = data[0];
        }
    }
    ASSERT_GE(turns, 100) << "the writers took few turns, so this run proves little";

    std::map<std::string, std::string> expected;
    for (int i = 0; i < kCount; ++i) {
        for (const char* prefix : {"a", "b"}) {
            expected[writerValueName(prefix, i)] = writerValueData(prefix, i);
        }
    }
    EXPECT_THAT(missingOrWrong(expected, hive), ::testing::IsEmpty());
    EXPECT_EQ(integrityCheck(userHiveFile()), "ok");
}

TEST_F(HiveProcessTest, WriterKilledMidWriteLeavesEveryReportedWriteInAReadableHive) {
    std::map<std::string, std::string> reported;
    // The same hive each round, so each writer also starts on what a killed one left.
    for (int killAfter : {1, 50, 500}) {
        SCOPED_TRACE("killed after " + std::to_string(killAfter) + " writes");
        const std::string prefix = "k" + std::to_string(killAfter) + "_";
        auto record = [&](const std::string& line) {
            const int index = std::stoi(line);
            reported[writerValueName(prefix, index)] = writerValueData(prefix, index);
        };
        Writer writer({"loop", prefix});
        for (int i = 0; i < killAfter; ++i) {
            const auto line = writer.line();
            ASSERT_TRUE(line.has_value()) << "the writer stopped by itself";
            ASSERT_EQ(*line, std::to_string(i));
            record(*line);
        }
        writer.kill();
        // Writes it finished before the signal landed count as well.
        for (const std::string& line : writer.rest()) {
            record(line);
        }
        ASSERT_EQ(writer.finish(), 128 + SIGKILL);

        EXPECT_THAT(missingOrWrong(reported, dumpUserHive()), ::testing::IsEmpty());
        EXPECT_EQ(integrityCheck(userHiveFile()), "ok");
    }
}

TEST_F(HiveProcessTest, HiveRestoredFromABackupReadsAsRestored) {
    Writer filler({"fill", "500"});
    ASSERT_EQ(filler.finish(), 0) << joined(filler.rest());
    const std::filesystem::path file = userHiveFile();
    const std::string backup = test::readFile(file);
    const auto restored = dumpUserHive();

    Writer later({"write", "later", "300", "0"});
    ASSERT_EQ(later.line(), "ready");
    later.closeInput();
    ASSERT_EQ(later.finish(), 0) << joined(later.rest());
    // Put back while no process has the hive open, the files beside it left as they are.
    test::writeFile(file, backup);

    EXPECT_EQ(dumpUserHive(), restored);
    EXPECT_EQ(integrityCheck(file), "ok");
}

// Every key and value below the root as the program reads them.
void readTree(SettingsStore& store, const std::string& path) {
    if (!store.open_key(path, false)) {
        return;
    }
    std::vector<std::string> names;
    store.list_values("", names);
    for (const std::string& name : names) {
        store.read_string("", name, "");
    }
    std::vector<std::string> subkeys;
    store.list_subkeys(subkeys);
    for (const std::string& subkey : subkeys) {
        readTree(store, path.empty() ? subkey : path + "\\" + subkey);
    }
}

class DamagedHiveTest : public test::TempEnv {
  protected:
    // The hive is refused as damaged, naming the file, and left exactly as it was found.
    void expectRefusedAndUntouched() {
        const std::filesystem::path file = userHiveFile();
        const std::string before = test::readFile(file);

        // A process of its own first: its connection is the last one to close, so whatever
        // SQLite would copy into the file on closing has been copied when it exits.
        Writer reader({"dump"});
        const std::vector<std::string> lines = reader.rest();
        EXPECT_EQ(reader.finish(), 3) << joined(lines);
        ASSERT_FALSE(lines.empty());
        EXPECT_THAT(lines.back(), StartsWith("damaged\t"));
        EXPECT_THAT(lines.back(), HasSubstr(file.string()));
        EXPECT_TRUE(test::readFile(file) == before) << "a reading process changed the file";

        try {
            SettingsStore store(kTarnviewRoot);
            readTree(store, "");
            ADD_FAILURE() << "the damage went unnoticed";
        } catch (const HiveDamagedError& error) {
            EXPECT_THAT(error.what(), HasSubstr(file.string()));
        }
        EXPECT_TRUE(test::readFile(file) == before) << "the store changed the file";
    }
};

TEST_F(DamagedHiveTest, TextFile) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "These are not settings, line " + std::to_string(i) + "\n";
    }
    test::writeFile(userHiveFile(), text);
    expectRefusedAndUntouched();
}

TEST_F(DamagedHiveTest, DatabaseOfAnotherProgram) {
    const std::filesystem::path file = userHiveFile();
    std::filesystem::create_directories(file.parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE contacts(id INTEGER PRIMARY KEY, name TEXT);"
                           "CREATE TABLE notes(contact INTEGER, body TEXT);"
                           "INSERT INTO contacts(name) VALUES('Ann'), ('Bo');"
                           "INSERT INTO notes VALUES(1, 'call back');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectRefusedAndUntouched();
}

TEST_F(DamagedHiveTest, HiveWithOverwrittenPages) {
    Writer filler({"fill", "3000"});
    ASSERT_EQ(filler.finish(), 0) << joined(filler.rest());
    const std::filesystem::path file = userHiveFile();
    constexpr size_t kPage = 4096;
    const size_t pages = std::filesystem::file_size(file) / kPage;
    ASSERT_GE(pages, 20u) << "too small to damage in the middle";
    // No process has the hive open now, so writing to it outside SQLite is safe.
    {
        std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(static_cast<std::streamoff>(pages / 2 - 2) * kPage);
        const std::string pattern(4 * kPage, '\xA5');
        out.write(pattern.data(), static_cast<std::streamsize>(pattern.size()));
        ASSERT_TRUE(out.good());
    }
    expectRefusedAndUntouched();
}

void expectSettingsError(const std::function<void()>& body, const std::string& message) {
    try {
        body();
        ADD_FAILURE() << "no error; expected " << message;
    } catch (const SettingsError& error) {
        EXPECT_EQ(error.what(), message);
    }
}

TEST_F(HiveProcessTest, MachineHiveThatCannotBeCreatedReadsDefaultsAndNamesFailedWrites) {
    setenv("TARNVIEW_MACHINE_HIVE", "/proc/tarnview-none/machine.hive", 1);
    SettingsStore store(kTarnviewRoot);
    store.set_root(Hive::LocalMachine);
    EXPECT_FALSE(store.open_key(kAdminKey, true));
    EXPECT_EQ(store.read_string("", "sUserId", "none"), "none");
    EXPECT_EQ(store.read_int("Groups\\Kids", "iUserConfigType", 7), 7);
    expectSettingsError([&] { store.write_string("", "sUserId", "x"); },
                        "Failed to set data for 'sUserId'");
}

TEST_F(HiveProcessTest, OtherUsersReadTheMachineHiveButCannotWriteIt) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can start a process as another user";
    }
    // Others may pass through the test folder and read the machine hive's folder.
    ASSERT_EQ(chmod(root.c_str(), 0711), 0);
    std::filesystem::create_directories(machineHive.parent_path());
    ASSERT_EQ(chmod(machineHive.parent_path().c_str(), 0755), 0);

    Writer admin({"machine", "open", kAdminKey, "write", "", "sSecPass", "secret", "write",
                  "Groups\\Kids", "bGroupAllowClose", "1"});
    EXPECT_EQ(admin.rest(),
              (std::vector<std::string>{"machine", "open 1", "write ok", "write ok"}));
    ASSERT_EQ(admin.finish(), 0);
    struct stat info {};
    ASSERT_EQ(stat(machineHive.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    const std::vector<std::string> steps{
        "as-nobody",  "machine",  "open",     kAdminKey,      "read",
        "",           "sSecPass", "read",     "Groups\\Kids", "bGroupAllowClose",
        "write",      "",         "sSecPass", "changed",      "write",
        "NewSection", "sName",    "x",        "open",         std::string(kAdminKey) + "\\Missing"};
    const std::vector<std::string> expected{"machine",
                                            "open 1",
                                            "read secret",
                                            "read 1",
                                            "write error\tFailed to set data for 'sSecPass'",
                                            "write error\tFailed to create key NewSection",
                                            "open 0"};
    {
        SCOPED_TRACE("no other process has the hive open");
        Writer nobody(steps);
        EXPECT_EQ(nobody.rest(), expected);
        EXPECT_EQ(nobody.finish(), 0);
    }
    SettingsStore store(kTarnviewRoot);
    store.set_root(Hive::LocalMachine);
    ASSERT_TRUE(store.open_key(kAdminKey, false));
    {
        SCOPED_TRACE("root has the hive open");
        Writer nobody(steps);
        EXPECT_EQ(nobody.rest(), expected);
        EXPECT_EQ(nobody.finish(), 0);
    }
    EXPECT_EQ(store.read_string("", "sSecPass", ""), "secret");
    std::vector<std::string> sections;
    store.list_subkeys(sections);
    EXPECT_EQ(sections, std::vector<std::string>{"Groups"});
}

// A connection of SQLite's own beside the program's, as another tool or an older copy of the
// program holds one. Like the program's, it leaves the files beside the hive when it closes, so
// that users who may only read the hive can still open it.
class PlainConnection {
  public:
    explicit PlainConnection(const std::filesystem::path& file) {
        sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        int persist = 1;
        sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    }
    ~PlainConnection() { sqlite3_close(db_); }
    PlainConnection(const PlainConnection&) = delete;
    PlainConnection& operator=(const PlainConnection&) = delete;

    bool run(const char* sql) {
        return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    bool hasOrderIndex() {
        bool found = false;
        sqlite3_exec(
            db_, "SELECT 1 FROM sqlite_master WHERE name='hive_value_names_in_order'",
            [](void* out, int, char**, char**) {
                *static_cast<bool*>(out) = true;
                return 0;
            },
            &found, nullptr);
        return found;
    }

  private:
    sqlite3* db_ = nullptr;
};

TEST_F(HiveProcessTest, AHiveMadeBeforeTheOrderIndexGetsItFromTheFirstCopyThatMayWriteIt) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can start a process as another user";
    }
    ASSERT_EQ(chmod(root.c_str(), 0711), 0);
    std::filesystem::create_directories(machineHive.parent_path());
    ASSERT_EQ(chmod(machineHive.parent_path().c_str(), 0755), 0);
    // Two keys written by turns, so that one key's values neither sort by name nor hold a run of
    // ids of their own.
    Writer admin({"machine", "open", kAdminKey, "write", "Part", "zeta",  "1", "write",
                  "Other",   "x",    "1",       "write", "Part", "alpha", "1", "write",
                  "Other",   "y",    "1",       "write", "Part", "mid",   "1"});
    ASSERT_EQ(admin.finish(), 0) << joined(admin.rest());
    ASSERT_TRUE(PlainConnection(machineHive).run("DROP INDEX hive_value_names_in_order"));

    const std::vector<std::string> readPart{"machine", "open", kAdminKey, "values", "Part"};
    const std::vector<std::string> inOrder{"machine", "open 1", "values zeta alpha mid"};
    {
        SCOPED_TRACE("a reader that may not write");
        std::vector<std::string> steps{"as-nobody"};
        steps.insert(steps.end(), readPart.begin(), readPart.end());
        Writer nobody(steps);
        EXPECT_EQ(nobody.rest(), inOrder);
        EXPECT_EQ(nobody.finish(), 0);
        EXPECT_FALSE(PlainConnection(machineHive).hasOrderIndex());
    }
    {
        SCOPED_TRACE("a copy that may write while another is writing");
        PlainConnection other(machineHive);
        ASSERT_TRUE(other.run("BEGIN IMMEDIATE"));
        const auto start = std::chrono::steady_clock::now();
        Writer writer(readPart);
        EXPECT_EQ(writer.rest(), inOrder);
        EXPECT_EQ(writer.finish(), 0);
        // Far less than a wait for the other copy (ten seconds) would take.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_FALSE(other.hasOrderIndex());
        ASSERT_TRUE(other.run("COMMIT"));
    }
    Writer writer(readPart);
    EXPECT_EQ(writer.rest(), inOrder);
    EXPECT_EQ(writer.finish(), 0);
    EXPECT_TRUE(PlainConnection(machineHive).hasOrderIndex());
}

}  // namespace
}  // namespace tarn
