#include "policy/filter_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "policy/list_build.h"
#include "settings/list_sources.h"
#include "settings/site_lists.h"
#include "temp_env.h"

namespace tarn {
namespace {

class FilterCacheTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        writeLists();
    }

    void writeLists() {
        blocklist = dataHome / "blocklist.txt";
        test::writeFile(blocklist, "ads.example\ntrack.example\n");
        saveListPart(ListFamily::URLExclIni, "Block", {blocklist.string()});
        saveListPart(ListFamily::URLExclusion, "Block", {"stored.example"});
        saveListPart(ListFamily::WordExclusion, "Block", {"casino"});
        saveListPart(ListFamily::URLExclIni, "Other", {blocklist.string()});
        group = GroupRecord{};
        group.bGroupUseExcl = true;
        group.sGroupExclList = "Block";
    }

    // Builds as a sign-on does; the build says whether it came from the cache.
    std::shared_ptr<ListBuild> build() const {
        auto built = std::make_shared<ListBuild>(ListSources::read(group), configHome);
        built->run();
        EXPECT_NE(built->filter(), nullptr) << built->error();
        return built;
    }

    // What the lists refuse is refused, whichever way the filter came.
    static void expectTheListsHold(const ListBuild& built) {
        ASSERT_NE(built.filter(), nullptr);
        for (const char* refused :
             {"http://ads.example/", "http://stored.example/x", "http://games.example/casino"}) {
            EXPECT_EQ(built.filter()->check(refused, true).verdict, FilterVerdict::Excluded)
                << refused;
        }
        EXPECT_EQ(built.filter()->check("http://school.example/", true).verdict,
                  FilterVerdict::Allowed);
        EXPECT_EQ(built.counts(), (ListCounts{3, 1, 0}));
    }

    std::filesystem::path cacheFile() const {
        return FilterCache(configHome).fileFor(ListSources::read(group).choice());
    }

    std::filesystem::path blocklist;
    GroupRecord group;
};

TEST_F(FilterCacheTest, UnchangedListsComeFromTheCacheWhichOnlyItsUserMayRead) {
    const auto first = build();
    EXPECT_FALSE(first->fromCache());
    expectTheListsHold(*first);
    struct stat info {};
    ASSERT_EQ(::stat(cacheFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_uid, ::geteuid());

    const auto second = build();
    EXPECT_TRUE(second->fromCache());
    expectTheListsHold(*second);
    EXPECT_EQ(test::folderListing(configHome).size(), 2u) << "the hive and one cache file";
}

TEST_F(FilterCacheTest, AnyChangeToWhatTheListsAreMadeOfBuildsAfresh) {
    struct Case {
        const char* what;
        std::function<void()> change;
        const char* nowRefused;
    };
    const Case cases[] = {
        {"a line added to a list file, same size and time as can be",
         [this] {
             const auto time = std::filesystem::last_write_time(blocklist);
             test::writeFile(blocklist, "ads.example\nnewer.example\n");
             std::filesystem::last_write_time(blocklist, time);
         },
         "http://newer.example/"},
        {"an entry stored in the hive",
         [] {
             saveListPart(ListFamily::URLExclusion, "Block", {"stored.example", "added.example"});
         },
         "http://added.example/"},
        {"a word stored in the hive",
         [] {
             saveListPart(ListFamily::WordExclusion, "Block", {"casino", "poker"});
         },
         "http://cards.example/poker"},
        {"another list file named",
         [this] {
             const auto second = dataHome / "second.txt";
             test::writeFile(second, "second.example\n");
             saveListPart(ListFamily::URLExclIni, "Block", {blocklist.string(), second.string()});
         },
         "http://second.example/"},
        {"the group's choice of lists",
         [this] {
             group.bGroupUseIncl = true;
             group.sGroupInclList = "Schools";
             saveListPart(ListFamily::URLInclusion, "Schools", {"school.example"});
         },
         "http://elsewhere.example/"},
    };
    for (const Case& c : cases) {
        writeLists();
        build();
        ASSERT_TRUE(build()->fromCache()) << c.what;
        c.change();
        const auto rebuilt = build();
        EXPECT_FALSE(rebuilt->fromCache()) << c.what;
        EXPECT_NE(rebuilt->filter()->check(c.nowRefused, true).verdict, FilterVerdict::Allowed)
            << c.what;
        EXPECT_TRUE(build()->fromCache()) << c.what << ": kept again once built";
    }
}

TEST_F(FilterCacheTest, AListFileThatAppearsAfterTheBuildIsNotMissedByTheCache) {
    const auto later = dataHome / "later.txt";
    saveListPart(ListFamily::URLExclIni, "Block", {blocklist.string(), later.string()});
    build();
    ASSERT_TRUE(build()->fromCache());
    test::writeFile(later, "later.example\n");
    const auto rebuilt = build();
    EXPECT_FALSE(rebuilt->fromCache());
    EXPECT_EQ(rebuilt->filter()->check("http://later.example/", true).verdict,
              FilterVerdict::Excluded);
}

TEST_F(FilterCacheTest, AFilterKeptByAnotherVersionIsNotUsed) {
    const ListSources sources = ListSources::read(group);
    const FilterCache cache(configHome);
    const auto built = build();
    const ListFingerprint now = sources.fingerprint("Tarnview 1.10");
    ASSERT_TRUE(cache.store(sources.choice(), now, {built->filter(), built->counts()}));
    EXPECT_TRUE(cache.load(sources.choice(), now).has_value());
    EXPECT_FALSE(cache.load(sources.choice(), sources.fingerprint("Tarnview 1.11")).has_value());
}

TEST_F(FilterCacheTest, ACacheThatIsDamagedOrNotTheUsersOwnIsBuiltAfresh) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> damage;
    };
    const Case cases[] = {
        {"cut short",
         [](const std::filesystem::path& file) {
             std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
         }},
        {"cut to less than a header",
         [](const std::filesystem::path& file) { std::filesystem::resize_file(file, 10); }},
        {"one byte of the matcher changed",
         [](const std::filesystem::path& file) {
             std::string bytes = test::readFile(file);
             bytes[bytes.size() / 2] ^= 0x20;
             test::writeFile(file, bytes);
         }},
        {"writable by others",
         [](const std::filesystem::path& file) { ::chmod(file.c_str(), 0666); }},
        {"a link to a file elsewhere",
         [](const std::filesystem::path& file) {
             const auto elsewhere = file.string() + ".real";
             std::filesystem::rename(file, elsewhere);
             std::filesystem::create_symlink(elsewhere, file);
         }},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // Only the superuser can give a file to another user.
    if (::geteuid() == 0) {
        all.push_back({"another user's", [](const std::filesystem::path& file) {
                           EXPECT_EQ(::chown(file.c_str(), 65534, 65534), 0);
                       }});
    }
    for (const Case& c : all) {
        build();
        ASSERT_TRUE(build()->fromCache()) << c.what;
        c.damage(cacheFile());
        const auto rebuilt = build();
        EXPECT_FALSE(rebuilt->fromCache()) << c.what;
        expectTheListsHold(*rebuilt);
    }
}

}  // namespace
}  // namespace tarn
