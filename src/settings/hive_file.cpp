#include "settings/hive_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <mutex>

#include "platform/paths.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

// "TARN" in the database header marks a file as a Tarnview hive.
constexpr int kApplicationId = 0x5441524e;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;

// A failed SQLite call inside this file; public operations turn it into the user's message.
struct SqlFailure {
    int code;
    std::string message;
};

bool isDamage(int code) {
    code &= 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

[[noreturn]] void failDamaged(const std::filesystem::path& file, const char* what) {
    throw HiveDamagedError("The settings file " + file.string() + " " + what +
                           ". Tarnview has left it untouched: restore it from a backup, or move "
                           "it aside to start again with empty settings.");
}

// Damage is reported as such wherever it shows; any other failure gets the caller's message.
[[noreturn]] void raise(const std::filesystem::path& file, const SqlFailure& failure,
                        std::string message) {
    if (isDamage(failure.code)) {
        failDamaged(file, "is damaged");
    }
    throw SettingsError(std::move(message));
}

// A key's values in creation order straight from an index, not sorted on each read: a
// million-entry list part reads several times faster. Older programs keep it up to date like any
// index, so adding it needs no new schema version.
constexpr char kOrderIndex[] =
    "CREATE INDEX IF NOT EXISTS hive_value_names_in_order ON hive_values(key, id, name)";

// Turning a new file into a WAL database needs it to itself, and SQLite then reports a busy
// file at once instead of waiting: two copies starting on a new hive meet exactly that.
void enterWalMode(sqlite3* db) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        const int rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            return;
        }
        if ((rc & 0xff) != SQLITE_BUSY || std::chrono::steady_clock::now() >= deadline) {
            throw SqlFailure{sqlite3_extended_errcode(db), sqlite3_errmsg(db)};
        }
        sqlite3_sleep(5);
    }
}

// Binds, steps and resets one cached statement.
class Query {
  public:
    Query(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    ~Query() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Query& bind(int index, std::int64_t value) {
        sqlite3_bind_int64(stmt_, index, value);
        return *this;
    }
    Query& bindText(int index, std::string_view text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Query& bindBlob(int index, std::string_view bytes) {
        // A zero-length blob must not bind as NULL.
        sqlite3_bind_blob(stmt_, index, bytes.empty() ? "" : bytes.data(),
                          static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // True while a row is there; throws on failure.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) {
            return true;
        }
        if (rc == SQLITE_DONE) {
            return false;
        }
        throw SqlFailure{sqlite3_extended_errcode(db_), sqlite3_errmsg(db_)};
    }
    std::int64_t integer(int column) { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) { return std::string(view(column)); }
    // Valid until the next step.
    std::string_view view(int column) {
        const void* bytes = sqlite3_column_blob(stmt_, column);
        const int size = sqlite3_column_bytes(stmt_, column);
        return bytes ? std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(size))
                     : std::string_view();
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

}  // namespace

std::vector<std::string_view> splitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

std::shared_ptr<HiveFile> HiveFile::open(Hive hive) {
    return openFile(hive == Hive::CurrentUser ? userHiveFile() : machineHiveFile(), hive);
}

std::shared_ptr<HiveFile> HiveFile::openFile(const std::filesystem::path& file, Hive role) {
    static std::mutex mutex;
    static std::map<std::filesystem::path, std::shared_ptr<HiveFile>> connections;
    const std::filesystem::path key = std::filesystem::absolute(file).lexically_normal();
    std::lock_guard lock(mutex);
    if (auto found = connections.find(key); found != connections.end()) {
        return found->second;
    }
    std::shared_ptr<HiveFile> hive(new HiveFile(key, role));
    // A hive that could not be opened is tried again next time: the file may appear later.
    if (hive->db_) {
        connections.emplace(key, hive);
    }
    return hive;
}

HiveFile::HiveFile(std::filesystem::path file, Hive role) : file_(std::move(file)), role_(role) {
    try {
        connect();
    } catch (...) {
        for (auto& [sql, stmt] : statements_) {
            sqlite3_finalize(stmt);
        }
        sqlite3_close(db_);
        throw;
    }
}

HiveFile::~HiveFile() {
    for (auto& [sql, stmt] : statements_) {
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db_);
}

void HiveFile::connect() {
    bool created = false;
    std::error_code ignored;
    if (!std::filesystem::exists(file_, ignored)) {
        std::filesystem::create_directories(file_.parent_path(), ignored);
        // The per-user hive holds scrambled passwords: nobody else may read it.
        const mode_t mode = role_ == Hive::CurrentUser ? 0600 : 0644;
        const int fd = ::open(file_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            ::close(fd);
            created = true;
        } else if (errno != EEXIST) {
            return;  // no hive here and none can be made: reads give defaults, writes fail
        }
    }
    if (sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        if (sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
            return;
        }
    }
    writable_ = sqlite3_db_readonly(db_, "main") == 0;
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // Keep the WAL files after the last connection closes, so that users who may only read
    // the machine hive can still open it.
    int persist = 1;
    sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);

    std::int64_t applicationId = 0, objects = 0;
    try {
        Query idQuery(db_, statement("PRAGMA application_id"));
        if (idQuery.step()) {
            applicationId = idQuery.integer(0);
        }
        Query countQuery(db_, statement("SELECT count(*) FROM sqlite_master"));
        if (countQuery.step()) {
            objects = countQuery.integer(0);
        }
    } catch (const SqlFailure& failure) {
        if (isDamage(failure.code)) {
            failDamaged(file_, "is not a settings database or is damaged");
        }
        throw SettingsError("Could not read the settings file " + file_.string() + ": " +
                            failure.message);
    }
    if (applicationId != kApplicationId && (applicationId != 0 || objects != 0)) {
        failDamaged(file_, "is not a Tarnview settings database");
    }
    try {
        if (writable_) {
            enterWalMode(db_);
            // Empty the kept WAL file once it is all copied into the hive: left full, its pages
            // would be replayed over whatever the hive file holds next time, such as a copy
            // restored from a backup or a damaged file.
            execute("PRAGMA journal_size_limit=0");
        }
        execute("PRAGMA synchronous=FULL");
        execute("PRAGMA foreign_keys=ON");
        if (applicationId == 0) {
            if (!writable_) {
                sqlite3_close(db_);
                db_ = nullptr;
                return;
            }
            createSchema();
        }
        if (writable_) {
            addOrderIndex();
        }
    } catch (const SqlFailure& failure) {
        raise(file_, failure,
              "Could not prepare the settings file " + file_.string() + ": " + failure.message);
    }
    if (created && role_ == Hive::CurrentUser) {
        // Like a new user profile, the new hive names the user's Favorites folder.
        const std::filesystem::path favorites = defaultFavoritesFolder();
        std::filesystem::create_directories(favorites, ignored);
        writeValue(createKey(kRootKey, kShellFoldersKey), kFavoritesValue, kRegString,
                   favorites.string());
    }
}

void HiveFile::createSchema() {
    transaction([this] {
        execute(
            "CREATE TABLE IF NOT EXISTS hive_keys("
            " id INTEGER PRIMARY KEY,"
            " parent INTEGER REFERENCES hive_keys(id) ON DELETE CASCADE,"
            " name TEXT NOT NULL COLLATE NOCASE,"
            " UNIQUE(parent, name))");
        execute(
            "CREATE TABLE IF NOT EXISTS hive_values("
            " id INTEGER PRIMARY KEY,"
            " key INTEGER NOT NULL REFERENCES hive_keys(id) ON DELETE CASCADE,"
            " name TEXT NOT NULL COLLATE NOCASE,"
            " type INTEGER NOT NULL,"
            " data BLOB NOT NULL,"
            " UNIQUE(key, name))");
        execute("INSERT OR IGNORE INTO hive_keys(id, parent, name) VALUES(0, NULL, '')");
        execute(kOrderIndex);
        execute(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str());
        execute(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    });
}

void HiveFile::addOrderIndex() {
    // A hive made before the index gets it from the first copy that may write it and finds it
    // free. Another copy in a long write is not waited for: this open must not fail or stall
    // over what only makes reads faster, and a hive that is only read does without.
    sqlite3_busy_timeout(db_, 0);
    const int rc = sqlite3_exec(db_, kOrderIndex, nullptr, nullptr, nullptr);
    const SqlFailure failure{sqlite3_extended_errcode(db_), sqlite3_errmsg(db_)};
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (rc != SQLITE_OK && (rc & 0xff) != SQLITE_BUSY) {
        throw failure;
    }
}

sqlite3_stmt* HiveFile::statement(const char* sql) {
    if (!db_) {
        throw SqlFailure{SQLITE_CANTOPEN,
                         "the settings file " + file_.string() + " can not be opened or created"};
    }
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        return found->second;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        throw SqlFailure{sqlite3_extended_errcode(db_), sqlite3_errmsg(db_)};
    }
    statements_.emplace(sql, stmt);
    return stmt;
}

void HiveFile::execute(const char* sql) {
    if (!db_) {
        throw SqlFailure{SQLITE_CANTOPEN, "no settings file"};
    }
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        SqlFailure failure{sqlite3_extended_errcode(db_), error ? error : "unknown error"};
        sqlite3_free(error);
        throw failure;
    }
}

void HiveFile::transaction(const std::function<void()>& body) {
    if (inTransaction()) {
        ++transactionDepth_;
        try {
            body();
        } catch (...) {
            --transactionDepth_;
            throw;
        }
        --transactionDepth_;
        return;
    }
    try {
        // IMMEDIATE takes the write lock first, so a busy hive is waited for instead of failing.
        execute("BEGIN IMMEDIATE");
    } catch (const SqlFailure& failure) {
        raise(file_, failure,
              "Could not write to the settings file " + file_.string() + ": " + failure.message);
    }
    transactionDepth_ = 1;
    try {
        body();
        execute("COMMIT");
        transactionDepth_ = 0;
    } catch (const SqlFailure& failure) {
        // A full disk or a lost lock shows at the commit: it is a settings error like any other.
        transactionDepth_ = 0;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        raise(file_, failure,
              "Could not write to the settings file " + file_.string() + ": " + failure.message);
    } catch (...) {
        transactionDepth_ = 0;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<KeyId> HiveFile::findKey(KeyId from, std::string_view path) {
    if (!db_) {
        return std::nullopt;
    }
    try {
        KeyId id = from;
        for (std::string_view part : splitKeyPath(path)) {
            Query query(db_, statement("SELECT id FROM hive_keys WHERE parent=?1 AND name=?2"));
            query.bind(1, id).bindText(2, part);
            if (!query.step()) {
                return std::nullopt;
            }
            id = query.integer(0);
        }
        return id;
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to open key " + std::string(path) + ": " + failure.message);
    }
}

KeyId HiveFile::createKey(KeyId from, std::string_view path) {
    if (auto existing = findKey(from, path)) {
        return *existing;
    }
    KeyId id = from;
    try {
        transaction([&] {
            for (std::string_view part : splitKeyPath(path)) {
                Query insert(db_, statement("INSERT INTO hive_keys(parent, name) VALUES(?1, ?2) "
                                            "ON CONFLICT(parent, name) DO NOTHING"));
                insert.bind(1, id).bindText(2, part).step();
                Query select(db_,
                             statement("SELECT id FROM hive_keys WHERE parent=?1 AND name=?2"));
                select.bind(1, id).bindText(2, part);
                if (!select.step()) {
                    throw SqlFailure{SQLITE_ERROR, "key vanished"};
                }
                id = select.integer(0);
            }
        });
    } catch (const HiveDamagedError&) {
        throw;
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to create key " + std::string(path));
    } catch (const SettingsError&) {
        throw SettingsError("Failed to create key " + std::string(path));
    }
    return id;
}

bool HiveFile::deleteKey(KeyId from, std::string_view path) {
    if (splitKeyPath(path).empty()) {
        return false;  // would name `from` itself
    }
    auto key = findKey(from, path);
    if (!key || *key == kRootKey) {
        return false;
    }
    try {
        Query query(db_, statement("DELETE FROM hive_keys WHERE id=?1"));
        query.bind(1, *key).step();
        return sqlite3_changes(db_) > 0;
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to delete key " + std::string(path));
    }
}

std::vector<std::string> HiveFile::subkeyNames(KeyId key) {
    std::vector<std::string> names;
    if (!db_) {
        return names;
    }
    try {
        Query query(db_, statement("SELECT name FROM hive_keys WHERE parent=?1 ORDER BY name"));
        query.bind(1, key);
        while (query.step()) {
            names.push_back(query.text(0));
        }
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to list keys of " + file_.string() + ": " + failure.message);
    }
    return names;
}

std::optional<HiveValue> HiveFile::readValue(KeyId key, std::string_view name) {
    if (!db_) {
        return std::nullopt;
    }
    try {
        Query query(db_, statement("SELECT name, type, data FROM hive_values "
                                   "WHERE key=?1 AND name=?2"));
        query.bind(1, key).bindText(2, name);
        if (!query.step()) {
            return std::nullopt;
        }
        return HiveValue{query.text(0), static_cast<int>(query.integer(1)), query.text(2)};
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to read '" + std::string(name) + "': " + failure.message);
    }
}

void HiveFile::writeValue(KeyId key, std::string_view name, int type, std::string_view data) {
    try {
        if (!writable()) {
            throw SqlFailure{SQLITE_READONLY, "read-only"};
        }
        Query query(db_, statement("INSERT INTO hive_values(key, name, type, data) "
                                   "VALUES(?1, ?2, ?3, ?4) ON CONFLICT(key, name) "
                                   "DO UPDATE SET type=excluded.type, data=excluded.data"));
        query.bind(1, key).bindText(2, name).bind(3, type).bindBlob(4, data).step();
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to set data for '" + std::string(name) + "'");
    }
}

bool HiveFile::deleteValue(KeyId key, std::string_view name) {
    if (!db_) {
        return false;
    }
    try {
        Query query(db_, statement("DELETE FROM hive_values WHERE key=?1 AND name=?2"));
        query.bind(1, key).bindText(2, name).step();
        return sqlite3_changes(db_) > 0;
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to delete value '" + std::string(name) + "'");
    }
}

std::optional<std::int64_t> HiveFile::valueOrder(KeyId key, std::string_view name) {
    if (!db_) {
        return std::nullopt;
    }
    try {
        Query query(db_, statement("SELECT id FROM hive_values WHERE key=?1 AND name=?2"));
        query.bind(1, key).bindText(2, name);
        return query.step() ? std::optional(query.integer(0)) : std::nullopt;
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to read '" + std::string(name) + "': " + failure.message);
    }
}

bool HiveFile::renameValue(KeyId key, std::string_view name, std::string_view newName) {
    try {
        if (!writable()) {
            throw SqlFailure{SQLITE_READONLY, "read-only"};
        }
        Query query(db_, statement("UPDATE hive_values SET name=?3 WHERE key=?1 AND name=?2"));
        query.bind(1, key).bindText(2, name).bindText(3, newName).step();
        return sqlite3_changes(db_) > 0;
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to rename value '" + std::string(name) + "'");
    }
}

bool HiveFile::moveValueAfter(KeyId key, std::string_view name, std::string_view after) {
    bool moved = false;
    try {
        transaction([&] {
            const auto from = valueOrder(key, name);
            const auto to = valueOrder(key, after);
            if (!from || !to || *to <= *from) {
                return;
            }
            // The order is the row id: the value leaves its id, each one up to `after` takes
            // the id of the one before it, and the value takes the last one freed. Values of
            // other keys may hold ids in between and keep them.
            std::vector<std::int64_t> ids{*from};
            {
                Query between(db_, statement("SELECT id FROM hive_values "
                                             "WHERE key=?1 AND id>?2 AND id<=?3 ORDER BY id"));
                between.bind(1, key).bind(2, *from).bind(3, *to);
                while (between.step()) {
                    ids.push_back(between.integer(0));
                }
            }
            const auto setId = [this](std::int64_t id, std::int64_t newId) {
                Query query(db_, statement("UPDATE hive_values SET id=?2 WHERE id=?1"));
                query.bind(1, id).bind(2, newId).step();
            };
            // No value is ever given an id below 1, so this one waits at 0 meanwhile.
            setId(*from, 0);
            for (size_t i = 1; i < ids.size(); ++i) {
                setId(ids[i], ids[i - 1]);
            }
            setId(0, ids.back());
            moved = true;
        });
    } catch (const SqlFailure& failure) {
        raise(file_, failure, "Failed to move value '" + std::string(name) + "'");
    }
    return moved;
}

std::size_t HiveFile::valueCount(KeyId key) {
    if (!db_) {
        return 0;
    }
    try {
        Query query(db_, statement("SELECT count(*) FROM hive_values WHERE key=?1"));
        query.bind(1, key);
        return query.step() ? static_cast<std::size_t>(query.integer(0)) : 0;
    } catch (const SqlFailure& failure) {
        raise(file_, failure,
              "Failed to list values of " + file_.string() + ": " + failure.message);
    }
}

std::vector<std::string> HiveFile::valueNames(KeyId key) {
    std::vector<std::string> names;
    eachValueName(key, [&](std::string_view name) { names.emplace_back(name); });
    return names;
}

void HiveFile::eachValueName(KeyId key, const std::function<void(std::string_view)>& take) {
    if (!db_) {
        return;
    }
    try {
        Query query(db_, statement("SELECT name FROM hive_values WHERE key=?1 ORDER BY id"));
        query.bind(1, key);
        while (query.step()) {
            take(query.view(0));
        }
    } catch (const SqlFailure& failure) {
        raise(file_, failure,
              "Failed to list values of " + file_.string() + ": " + failure.message);
    }
}

std::vector<HiveValue> HiveFile::values(KeyId key) {
    std::vector<HiveValue> result;
    if (!db_) {
        return result;
    }
    try {
        Query query(db_, statement("SELECT name, type, data FROM hive_values WHERE key=?1 "
                                   "ORDER BY id"));
        query.bind(1, key);
        while (query.step()) {
            result.push_back({query.text(0), static_cast<int>(query.integer(1)), query.text(2)});
        }
    } catch (const SqlFailure& failure) {
        raise(file_, failure,
              "Failed to list values of " + file_.string() + ": " + failure.message);
    }
    return result;
}

}  // namespace tarn
