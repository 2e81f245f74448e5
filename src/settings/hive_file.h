#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

enum class Hive { CurrentUser, LocalMachine };

// Registry value types, numbered as the registry numbers them so that exported files and
// stored data agree.
enum ValueType : int {
    kRegNone = 0,
    kRegString = 1,
    kRegBinary = 3,
    kRegDword = 4,
};

using KeyId = std::int64_t;
inline constexpr KeyId kRootKey = 0;

// The names of a key path, split at "\"; empty parts are dropped.
std::vector<std::string_view> splitKeyPath(std::string_view path);

struct HiveValue {
    std::string name;
    int type = kRegString;
    std::string data;  // the raw bytes; a dword is four bytes, least significant first
};

// One hive: a tree of keys holding typed values, kept in a SQLite database file.
// Key and value names compare without regard to ASCII letter case and keep the case they were
// created with. Subkeys enumerate alphabetically (ignoring case), values in creation order.
// Each write commits durably on its own unless it runs inside transaction().
class HiveFile {
  public:
    // The process-wide connection to the hive that the environment currently names. Connections
    // stay open for the life of the process: opening a database costs far more than a read.
    // Throws HiveDamagedError when the file is not a usable hive.
    static std::shared_ptr<HiveFile> open(Hive hive);
    static std::shared_ptr<HiveFile> openFile(const std::filesystem::path& file, Hive role);

    ~HiveFile();
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;

    const std::filesystem::path& file() const { return file_; }
    bool writable() const { return db_ != nullptr && writable_; }

    // Keys by a path of names separated by "\" relative to `from`; empty parts are skipped.
    std::optional<KeyId> findKey(KeyId from, std::string_view path);
    // Creates what is missing; throws SettingsError("Failed to create key <path>").
    KeyId createKey(KeyId from, std::string_view path);
    // Deletes the key with everything below it; false when it does not exist.
    bool deleteKey(KeyId from, std::string_view path);
    std::vector<std::string> subkeyNames(KeyId key);

    std::optional<HiveValue> readValue(KeyId key, std::string_view name);
    // Throws SettingsError("Failed to set data for '<name>'").
    void writeValue(KeyId key, std::string_view name, int type, std::string_view data);
    bool deleteValue(KeyId key, std::string_view name);
    // A number that orders the values of one key: a value that enumerates later has a larger
    // one. None when the value does not exist.
    std::optional<std::int64_t> valueOrder(KeyId key, std::string_view name);
    // Gives a value a new name in place: its place in the order and its data stay. False when
    // there is no such value; throws SettingsError when another value has the new name.
    bool renameValue(KeyId key, std::string_view name, std::string_view newName);
    // Moves value `name` to stand right after `after`, which comes later; the values between
    // move up one place each. False, and nothing moves, unless both exist in that order.
    bool moveValueAfter(KeyId key, std::string_view name, std::string_view after);
    std::size_t valueCount(KeyId key);
    std::vector<std::string> valueNames(KeyId key);
    // The same names one by one, each valid only during its call: a million names need not be
    // a million strings.
    void eachValueName(KeyId key, const std::function<void(std::string_view)>& take);
    std::vector<HiveValue> values(KeyId key);

    // Runs `body` as one transaction: everything it wrote commits together, or, when it throws,
    // nothing does. Nested calls join the outer transaction.
    void transaction(const std::function<void()>& body);

  private:
    HiveFile(std::filesystem::path file, Hive role);
    void connect();
    void createSchema();
    void addOrderIndex();
    sqlite3_stmt* statement(const char* sql);
    void execute(const char* sql);
    bool inTransaction() const { return transactionDepth_ > 0; }

    std::filesystem::path file_;
    Hive role_;
    sqlite3* db_ = nullptr;
    bool writable_ = false;
    int transactionDepth_ = 0;
    std::map<const char*, sqlite3_stmt*> statements_;
};

}  // namespace tarn
