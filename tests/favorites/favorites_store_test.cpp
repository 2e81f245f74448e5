#include "favorites/favorites_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ostream>

#include "favorites_fixture.h"
#include "settings/hive_file.h"
#include "settings/registry_layout.h"

namespace tarn {

// Failed comparisons show the entries' fields rather than their bytes.
static void PrintTo(const FavoriteEntry& entry, std::ostream* out) {
    *out << "{kind " << static_cast<int>(entry.Kind) << ", \"" << entry.Name << "\", \""
         << entry.Location << "\", \"" << entry.FileName << "\"}";
}

namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class FavoritesStoreTest : public test::FavoritesFixture {};

std::vector<FavoriteEntry> scan(const std::string& folderText) {
    auto entries = ScanFavoritesFolder(folderText);
    EXPECT_TRUE(entries.has_value()) << folderText;
    return entries.value_or(std::vector<FavoriteEntry>{});
}

TEST_F(FavoritesStoreTest, ShellFolderFollowsTheShellFoldersKey) {
    EXPECT_EQ(folderText, folder.string() + "\\");

    auto hive = HiveFile::open(Hive::CurrentUser);
    const KeyId key = *hive->findKey(kRootKey, kShellFoldersKey);
    ASSERT_TRUE(hive->deleteValue(key, kFavoritesValue));
    EXPECT_EQ(GetShellFavoritesFolder(), "\\");
    // "\" is the root of the current drive, which always exists.
    EXPECT_TRUE(ScanFavoritesFolder("\\").has_value());

    ASSERT_TRUE(hive->deleteKey(kRootKey, kShellFoldersKey));
    EXPECT_EQ(GetShellFavoritesFolder(), "");
    EXPECT_FALSE(hive->findKey(kRootKey, kShellFoldersKey)) << "reading must not create the key";
    EXPECT_FALSE(ScanFavoritesFolder(GetShellFavoritesFolder()).has_value());
    EXPECT_FALSE(AddFavoriteEntry("", "News", ""));
    EXPECT_FALSE(AddFavoriteEntry("", "News", "http://example.com/"));
    EXPECT_FALSE(DeleteFavoriteEntry("", "News", false).deleted);
    EXPECT_FALSE(IsFavoriteFolder("", ""));
}

TEST_F(FavoritesStoreTest, ResolveAsksForTheUserFolderOnlyWithSignOn) {
    int asked = 0;
    const auto userFolder = [&asked] {
        ++asked;
        return std::string("c:\\tarnview\\Kids\\Ann\\");
    };
    EXPECT_EQ(ResolveFavoritesFolder(false, userFolder), folderText);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ResolveFavoritesFolder(true, userFolder), "c:\\tarnview\\Kids\\Ann\\");
    EXPECT_EQ(asked, 1);
}

TEST_F(FavoritesStoreTest, SignOnFolderGoesThroughThePathLayer) {
    const std::string ann =
        ResolveFavoritesFolder(true, [] { return "c:\\tarnview\\Kids\\Ann\\"; });
    EXPECT_FALSE(ScanFavoritesFolder(ann).has_value()) << "not created yet";
    const std::filesystem::path real = dataHome / "tarnview/c/tarnview/Kids/Ann";
    std::filesystem::create_directories(real);

    ASSERT_TRUE(AddFavoriteEntry(ann, "Zoo", "http://zoo.example/"));
    ASSERT_TRUE(AddFavoriteEntry(ann, "News", ""));
    EXPECT_TRUE(std::filesystem::is_regular_file(real / "Zoo.URL"));
    EXPECT_TRUE(std::filesystem::is_directory(real / "News"));
    EXPECT_THAT(scan(ann),
                UnorderedElementsAre(
                    FavoriteEntry{FavoriteKind::Web, "Zoo", "http://zoo.example/", "Zoo.URL"},
                    FavoriteEntry{FavoriteKind::Folder, "News", ann + "News", "News"}));
    EXPECT_EQ(ReadShortcutUrl("", "Zoo.URL", ann), "http://zoo.example/");
    EXPECT_EQ(ReadShortcutUrl((real / "Zoo.URL").string(), "ignored", ""), "http://zoo.example/");
    EXPECT_TRUE(IsFavoriteFolder(ann, "News"));
    EXPECT_FALSE(IsFavoriteFolder(ann, "Zoo"));
}

// A folder row's location is shown in the list and handed to file dialogs: on a POSIX folder it
// must be a real path, while a Windows-style one keeps its own separators.
TEST_F(FavoritesStoreTest, FolderLocationUsesTheSeparatorsOfItsFolderText) {
    struct Case {
        std::string folderText;
        std::filesystem::path real;
        std::string location;
    };
    const Case cases[] = {
        {folderText, folder / "News", (folder / "News").string()},
        {(root / "fav").string() + "\\Kids\\Ann\\", root / "fav/Kids/Ann/News",
         (root / "fav/Kids/Ann/News").string()},
        {"c:\\tarnview\\Kids\\Ann\\", dataHome / "tarnview/c/tarnview/Kids/Ann/News",
         "c:\\tarnview\\Kids\\Ann\\News"},
    };
    for (const Case& c : cases) {
        std::filesystem::create_directories(c.real);
        EXPECT_THAT(scan(c.folderText),
                    ElementsAre(FavoriteEntry{FavoriteKind::Folder, "News", c.location, "News"}))
            << c.folderText;
        std::error_code error;
        EXPECT_TRUE(std::filesystem::equivalent(FavoritePath(c.location), c.real, error))
            << c.location;
    }
}

TEST_F(FavoritesStoreTest, EnsureUrlExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"News", "News.URL"},
        {"Weather.url", "Weather.url"},
        {"Weather.Url", "Weather.Url"},
        {"Release 2.0", "Release 2.0.URL"},
        {"a.URL.txt", "a.URL.txt.URL"},
        {"c:\\fav\\", "c:\\fav\\.URL"},
        {".url", ".url"},
    };
    for (auto [name, expected] : cases) {
        EXPECT_EQ(EnsureUrlExtension(name), expected) << name;
    }
}

TEST_F(FavoritesStoreTest, ShortcutIsWrittenExactlyAndReplaced) {
    ASSERT_TRUE(AddFavoriteEntry(folderText, "Zoo", "http://old.example/"));
    ASSERT_TRUE(AddFavoriteEntry("", "Zoo", "http://zoo.example/a?b=1"));
    EXPECT_EQ(test::readFile(folder / "Zoo.URL"),
              "[InternetShortcut]\r\nURL=http://zoo.example/a?b=1\r\n");
}

TEST_F(FavoritesStoreTest, FolderIsMadeOnceAndListedBesideItsShortcut) {
    ASSERT_TRUE(AddFavoriteEntry(folderText, "News", ""));
    EXPECT_FALSE(AddFavoriteEntry(folderText, "News", "")) << "the folder exists";
    ASSERT_TRUE(AddFavoriteEntry(folderText, "News", "http://news.example/"));
    EXPECT_THAT(scan(folderText),
                UnorderedElementsAre(
                    FavoriteEntry{FavoriteKind::Folder, "News", (folder / "News").string(), "News"},
                    FavoriteEntry{FavoriteKind::Web, "News", "http://news.example/", "News.URL"}));
}

TEST_F(FavoritesStoreTest, ListingFollowsTheFileSystemOrder) {
    for (const char* name : {"b", "C", "a", "Zed", "m"}) {
        ASSERT_TRUE(AddFavoriteEntry(folderText, name, "http://x.example/"));
    }
    std::vector<std::string> expected;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        expected.push_back(file.substr(0, file.size() - 4));
    }
    std::vector<std::string> names;
    for (const FavoriteEntry& entry : scan(folderText)) {
        names.push_back(entry.Name);
    }
    EXPECT_EQ(names, expected);
}

TEST_F(FavoritesStoreTest, ListingKeepsOnlyShortcutsWithAUrlAndFolders) {
    writeShortcut("Weather.url", "http://weather.example/");
    writeShortcut(".hidden.URL", "http://hidden.example/");
    writeShortcut("Upper.URL", "FILE:///tmp/a.htm");
    writeShortcut("Lower.uRl", "file:///tmp/b.htm");
    test::writeFile(folder / "Notes.txt", "[InternetShortcut]\r\nURL=http://notes.example/\r\n");
    test::writeFile(folder / "NoKey.URL", "[InternetShortcut]\r\nName=x\r\n");
    writeShortcut("Empty.URL", "");
    test::writeFile(folder / "OtherSection.URL", "[Other]\r\nURL=http://other.example/\r\n");
    std::filesystem::create_directories(folder / ".Private");
    std::filesystem::create_directories(folder / "Sports");
    ASSERT_TRUE(AddFavoriteEntry(folderText, "Sports\\Scores", "http://scores.example/"));
    EXPECT_EQ(test::readFile(folder / "Sports/Scores.URL"),
              "[InternetShortcut]\r\nURL=http://scores.example/\r\n");

    EXPECT_THAT(
        scan(folderText),
        UnorderedElementsAre(
            FavoriteEntry{FavoriteKind::Web, "Weather", "http://weather.example/", "Weather.url"},
            FavoriteEntry{FavoriteKind::Web, ".hidden", "http://hidden.example/", ".hidden.URL"},
            FavoriteEntry{FavoriteKind::Web, "Upper", "FILE:///tmp/a.htm", "Upper.URL"},
            FavoriteEntry{FavoriteKind::LocalFile, "Lower", "file:///tmp/b.htm", "Lower.uRl"},
            FavoriteEntry{FavoriteKind::Folder, ".Private", (folder / ".Private").string(),
                          ".Private"},
            FavoriteEntry{FavoriteKind::Folder, "Sports", (folder / "Sports").string(), "Sports"}));
}

TEST_F(FavoritesStoreTest, PipeNamedLikeAShortcutNeverBlocks) {
    ASSERT_EQ(mkfifo((folder / "Pipe.URL").c_str(), 0600), 0);
    EXPECT_THAT(scan(folderText), ElementsAre());
    EXPECT_EQ(ReadShortcutUrl("", "Pipe.URL", folderText), "");
    const DeletedFavorite result = DeleteFavoriteEntry(folderText, "Pipe", false);
    EXPECT_TRUE(result.deleted);
    EXPECT_EQ(result.url, "");
}

// The listing drops the extension from the name whatever its case, so the entry is opened and
// deleted by the file name it was found under; "Weather.URL" would not exist.
TEST_F(FavoritesStoreTest, WeatherUrlKeepsItsName) {
    ASSERT_TRUE(AddFavoriteEntry(folderText, "Weather.url", "http://weather.example/"));
    EXPECT_TRUE(std::filesystem::exists(folder / "Weather.url"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Weather.url.URL"));
    const std::vector<FavoriteEntry> entries = scan(folderText);
    ASSERT_THAT(entries, ElementsAre(FavoriteEntry{FavoriteKind::Web, "Weather",
                                                   "http://weather.example/", "Weather.url"}));

    EXPECT_EQ(ReadShortcutUrl("", entries[0].FileName, folderText), "http://weather.example/");
    const DeletedFavorite result = DeleteFavoriteEntry(folderText, entries[0].FileName, false);
    EXPECT_TRUE(result.deleted);
    EXPECT_EQ(result.url, "http://weather.example/");
    EXPECT_FALSE(std::filesystem::exists(folder / "Weather.url"));
}

TEST_F(FavoritesStoreTest, EmptyNameWritesADotUrlFile) {
    ASSERT_TRUE(AddFavoriteEntry(folderText, "", "http://blank.example/"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / ".URL"));
    EXPECT_THAT(scan(folderText),
                ElementsAre(FavoriteEntry{FavoriteKind::Web, "", "http://blank.example/", ".URL"}));
}

TEST_F(FavoritesStoreTest, NamesTheFileSystemTakesOrRefuses) {
    EXPECT_TRUE(AddFavoriteEntry(folderText, "What?", "http://what.example/"));
    EXPECT_THAT(scan(folderText), ElementsAre(FavoriteEntry{FavoriteKind::Web, "What?",
                                                            "http://what.example/", "What?.URL"}));

    const std::string longName(300, 'n');
    EXPECT_FALSE(AddFavoriteEntry(folderText, longName, "http://long.example/"));
    EXPECT_FALSE(AddFavoriteEntry(folderText, longName, ""));
    EXPECT_FALSE(AddFavoriteEntry(folderText, "Missing\\Scores", "http://scores.example/"));
    EXPECT_FALSE(AddFavoriteEntry(folderText, "Missing\\Deeper", ""));
    EXPECT_FALSE(std::filesystem::exists(folder / "Missing"));
    // A name may address a subfolder but never a place outside the favourites folder.
    EXPECT_FALSE(AddFavoriteEntry(folderText, "..\\Escaped", "http://x.example/"));
    EXPECT_FALSE(AddFavoriteEntry(folderText, "../Escaped", ""));
    EXPECT_FALSE(std::filesystem::exists(folder.parent_path() / "Escaped.URL"));
    EXPECT_FALSE(std::filesystem::exists(folder.parent_path() / "Escaped"));
}

TEST_F(FavoritesStoreTest, IniReadingIgnoresCaseBlanksAndOtherSections) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"[internetshortcut]\nurl=http://a.example/\n", "http://a.example/"},
        {"[Other]\nURL=http://other/\n[ InternetShortcut ]\r\n  Url  =  http://b.example/  \r\n",
         "http://b.example/"},
        {"[InternetShortcut]\r\nIconIndex=1\r\nURL=http://c.example/\r\nURL=http://second/\r\n",
         "http://c.example/"},
        {"\xEF\xBB\xBF[InternetShortcut]\nURL=http://bom.example/", "http://bom.example/"},
        {"URL=http://nosection/\n", ""},
        {"[InternetShortcut]\nURLs=http://wrongkey/\n", ""},
        {"[InternetShortcut]\nURL=\n", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        test::writeFile(folder / "t.URL", c.text);
        EXPECT_EQ(ReadShortcutUrl("", "t.URL", folderText), c.expected) << c.text;
    }
    EXPECT_EQ(ReadShortcutUrl("", "Missing.URL", folderText), "");
}

TEST_F(FavoritesStoreTest, LongUrlReadsBackCutTo1023Characters) {
    const std::string url = "http://long.example/" + std::string(1980, 'a');
    ASSERT_EQ(url.size(), 2000u);
    ASSERT_TRUE(AddFavoriteEntry(folderText, "Long", url));
    EXPECT_EQ(ReadShortcutUrl("", "Long.URL", folderText), url.substr(0, 1023));
    EXPECT_THAT(scan(folderText), ElementsAre(FavoriteEntry{FavoriteKind::Web, "Long",
                                                            url.substr(0, 1023), "Long.URL"}));
    // Deleting reads the line itself, so it gives the whole URL back.
    EXPECT_EQ(DeleteFavoriteEntry(folderText, "Long", false).url, url);
}

TEST_F(FavoritesStoreTest, DeleteRemovesAShortcutAndGivesItsUrl) {
    ASSERT_TRUE(AddFavoriteEntry(folderText, "Zoo", "http://zoo.example/"));
    const DeletedFavorite result = DeleteFavoriteEntry("", "Zoo", false);
    EXPECT_TRUE(result.deleted);
    EXPECT_EQ(result.url, "http://zoo.example/");
    EXPECT_FALSE(std::filesystem::exists(folder / "Zoo.URL"));

    test::writeFile(folder / "Short.URL", "[InternetShortcut]\r\n");
    EXPECT_EQ(DeleteFavoriteEntry(folderText, "Short", false).url, "");
    EXPECT_FALSE(std::filesystem::exists(folder / "Short.URL"));
}

TEST_F(FavoritesStoreTest, DeleteOfAMissingShortcutRaisesFileNotFound) {
    ASSERT_TRUE(AddFavoriteEntry(folderText, "News", ""));
    for (const char* name : {"News", "Vanished"}) {
        try {
            DeleteFavoriteEntry(folderText, name, false);
            ADD_FAILURE() << name << " did not raise";
        } catch (const FavoritesIoError& error) {
            EXPECT_STREQ(error.what(), "File not found") << name;
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder / "News")) << "nothing deleted";

    std::filesystem::create_directories(folder / "Odd.URL");
    try {
        DeleteFavoriteEntry(folderText, "Odd", false);
        ADD_FAILURE() << "a folder read as a shortcut did not raise";
    } catch (const FavoritesIoError& error) {
        EXPECT_STREQ(error.what(), "I/O error 21");
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Odd.URL"));
}

TEST_F(FavoritesStoreTest, DeleteAsFolderRemovesOnlyAnEmptyFolder) {
    std::filesystem::create_directories(folder / "Empty");
    std::filesystem::create_directories(folder / "Full");
    writeShortcut("Full/Inside.URL", "http://inside.example/");

    EXPECT_TRUE(DeleteFavoriteEntry(folderText, "Empty", true).deleted);
    EXPECT_FALSE(std::filesystem::exists(folder / "Empty"));
    EXPECT_FALSE(DeleteFavoriteEntry(folderText, "Full", true).deleted);
    EXPECT_TRUE(std::filesystem::exists(folder / "Full/Inside.URL"));
    std::filesystem::create_directories(folder.parent_path() / "Outside");
    EXPECT_FALSE(DeleteFavoriteEntry(folderText, "..\\Outside", true).deleted);
    EXPECT_TRUE(std::filesystem::is_directory(folder.parent_path() / "Outside"));
}

}  // namespace
}  // namespace tarn
