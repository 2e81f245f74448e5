// The program finds its pages and its dial-up libraries from its own location, in the build
// tree (beside the program) and in an installed tree (share/tarnview and lib/tarnview).
#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "temp_env.h"

namespace tarn::test {
namespace {

class ProgramFolderTest : public TempEnv {
  protected:
    void touch(const std::filesystem::path& file) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
};

TEST_F(ProgramFolderTest, TheBuildTreeAndTheInstalledTreeAreBothFound) {
    const std::filesystem::path build = root / "build/bin";
    touch(build / "blank.htm");
    touch(build / "libtarnras.so");
    // An installed tree beside a build tree does not take it over.
    touch(root / "build/share/tarnview/blank.htm");
    EXPECT_EQ(folderBeside(build, "share/tarnview", "blank.htm"), build);
    EXPECT_EQ(folderBeside(build, "lib/tarnview", "libtarnras.so"), build);

    const std::filesystem::path usr = root / "usr";
    touch(usr / "share/tarnview/blank.htm");
    touch(usr / "lib/tarnview/libtarnras.so");
    std::filesystem::create_directories(usr / "bin");
    EXPECT_EQ(folderBeside(usr / "bin", "share/tarnview", "blank.htm"), usr / "share/tarnview");
    EXPECT_EQ(folderBeside(usr / "bin", "lib/tarnview", "libtarnras.so"), usr / "lib/tarnview");

    // With neither, the program's own folder: what is missing is then reported there.
    const std::filesystem::path bare = root / "bare/bin";
    std::filesystem::create_directories(bare);
    EXPECT_EQ(folderBeside(bare, "share/tarnview", "blank.htm"), bare);
}

}  // namespace
}  // namespace tarn::test
