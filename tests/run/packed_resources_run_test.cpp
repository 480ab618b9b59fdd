// The game with its res folder packed into an archive: the program started in a folder that
// holds only res.ZNA (made by zn_pack from the build's resource files) loads everything from
// the archive and shows exactly what it shows from the loose files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/run/game_runner.h"
#include "tests/run/picture.h"

namespace fs = std::filesystem;

namespace {

TEST(PackedResourcesRunTest, TheGameRunsFromItsPackedResFolderAsFromLooseFiles) {
    GameRunner runner;
    // Title, level select, then a few steps of play.
    const std::string script =
        "3 shot title.png\n5 down Z\n6 up Z\n9 shot select.png\n9 down Z\n10 up Z\n"
        "130 shot play.png\n140 close\n";

    const fs::path loose = runner.NewDir();
    const GameRunResult looseRun = runner.Run(loose, script);
    ASSERT_EQ(looseRun.exitCode, 0) << looseRun.stderrText;

    const fs::path packed = runner.NewDir();
    fs::remove(packed / "res");
    const std::string pack = std::string(ZN_PACK_PROGRAM) + " " + ZN_GAME_RESOURCES + " " +
                             (packed / "res.ZNA").string();
    ASSERT_EQ(std::system(pack.c_str()), 0) << pack;
    ASSERT_FALSE(fs::exists(packed / "res"));
    const GameRunResult packedRun = runner.Run(packed, script);
    ASSERT_EQ(packedRun.exitCode, 0) << packedRun.stderrText;

    for (const char* shot : {"title.png", "select.png", "play.png"}) {
        SCOPED_TRACE(shot);
        Picture fromLoose, fromPacked;
        ASSERT_TRUE(LoadPicture((loose / shot).string(), &fromLoose));
        ASSERT_TRUE(LoadPicture((packed / shot).string(), &fromPacked));
        EXPECT_EQ(fromPacked.width, 640);
        EXPECT_TRUE(fromPacked.rgb == fromLoose.rgb);
    }
}

}  // namespace
