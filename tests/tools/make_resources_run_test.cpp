// The resource program as the build runs it: the same files byte for byte on every run (and
// the same as the build's res/), and a clear failure for a bad command line or output folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/resource_table.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The program's exit code when run with the arguments (each quoted), its stderr left in
// errors.
int RunTool(const std::vector<std::string>& arguments, const fs::path& errors) {
    std::string command;
    command.append("'").append(ZN_RESOURCE_TOOL).append("'");
    for (const std::string& a : arguments) command.append(" '").append(a).append("'");
    command.append(" 2> '").append(errors.string()).append("'");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MakeResourcesRunTest, WritesTheSameFilesAsTheBuildOnEveryRun) {
    ScopedTempDir dir;
    const fs::path out = dir.path() / "made" / "res";  // folders are made as needed
    ASSERT_EQ(RunTool({out.string()}, dir.path() / "errors.txt"), 0)
        << ReadAll(dir.path() / "errors.txt");
    std::vector<std::string> names;
    for (const ImageEntry& e : ImageTable()) names.push_back(e.name);
    for (const std::string& n : EffectTable()) names.push_back(n);
    names.push_back("main.ogg");
    size_t files = 0;
    for (const fs::directory_entry& f : fs::directory_iterator(out)) {
        (void)f;
        ++files;
    }
    EXPECT_EQ(files, names.size());
    for (const std::string& name : names) {
        const std::string made = ReadAll(out / name);
        EXPECT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == ReadAll(ResourcePath(name))) << name << " differs from the build's";
    }
}

TEST(MakeResourcesRunTest, ABadCommandLineOrOutputFolderFailsWithAMessage) {
    ScopedTempDir dir;
    const fs::path errors = dir.path() / "errors.txt";
    EXPECT_EQ(RunTool({}, errors), 2);
    EXPECT_NE(ReadAll(errors).find("usage: make_resources OUTPUT_FOLDER"), std::string::npos);

    const fs::path file = dir.path() / "plain-file";
    std::ofstream(file) << "x";
    EXPECT_EQ(RunTool({file.string()}, errors), 1);
    EXPECT_NE(ReadAll(errors).find("cannot make the folder"), std::string::npos);
}

}  // namespace
