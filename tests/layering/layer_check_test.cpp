// The layers of the source tree, top to bottom: game, library, net, system, graphics, sound,
// softrender, base, platform. A file may include its own folder and the folders below it;
// a lower layer reaches a higher one only through a driver it declares itself. Files under
// game/ see the library only through api.h. platform/testing is for the tests and benchmarks.
//
// Inside platform/ its folders stand in ranks of their own, top to bottom: the backends; the
// shapes built on other shapes (media, d3d, acm); the DirectX and Windows shapes (ddraw, dsound,
// dinput, net, font, ime, mci); GDI; the display; windows; the core. A platform file may include
// its own folder and the ranks below it, not a folder beside it in its rank.
//
// Inside graphics/ its folders stand in ranks the same way, top to bottom: the 3D device; the
// screen's setup; the graph load road with graph management's start and end, fonts, movies; the
// graph drawing family, the mask screens, the screen saves; the draw targets, the image
// transfers; the screen, the surfaces; the draw state's calls; the graph handle tables with the
// graphics state block, the pixel transfers; the codecs with the decoded image; the drivers.
//
// Some folders are modules reached only through drivers: graphics/d3d, the Direct3D device, is
// built on the rest of graphics and is there only while the device runs, so no file outside it
// includes it but the library's, whose start-up installs the device's start.
//
// The check reads every #include "..." of the source tree and lists each line that breaks the
// order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kLayers = {"game",     "library", "net",        "system",
                                          "graphics", "sound",   "softrender", "base",
                                          "platform"};
const std::string kTestingFolder = "platform/testing/";

// Folders reached only through drivers, and the folders outside them that may include them.
struct DriverOnlyFolder {
    std::string folder;
    std::vector<std::string> includers;
};
const std::vector<DriverOnlyFolder> kDriverOnlyFolders = {{"graphics/d3d/", {"library/"}}};

const std::vector<std::vector<std::string>> kPlatformRanks = {
    {"backend"},
    {"media", "d3d", "acm"},
    {"ddraw", "dsound", "dinput", "net", "font", "ime", "mci"},
    {"gdi"},
    {"display"},
    {"window"},
    {"core"}};

const std::vector<std::vector<std::string>> kGraphicsRanks = {
    {"d3d"},
    {"screen_setup"},
    {"graph_load", "font", "movie"},
    {"draw_graph", "mask", "screen_save"},
    {"draw_target", "image_transfer"},
    {"screen", "surfaces"},
    {"draw_state"},
    {"graphs", "pixels"},
    {"codecs"},
    {"drivers"}};

struct Finding {
    std::string file;     // relative to the source root, '/' separated
    int line;
    std::string include;  // the included path as written

    bool operator==(const Finding&) const = default;
};

std::string Describe(const Finding& f) {
    return f.file + ":" + std::to_string(f.line) + ": #include \"" + f.include + "\"";
}

int LayerIndex(const std::string& folder) {
    const auto it = std::find(kLayers.begin(), kLayers.end(), folder);
    return it == kLayers.end() ? -1 : static_cast<int>(it - kLayers.begin());
}

std::string FirstComponent(const std::string& path) {
    const size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The folder of a path inside its layer ("window" of "platform/window/window.h").
std::string FolderInLayer(const std::string& path) {
    return FirstComponent(path.substr(path.find('/') + 1));
}

int RankOf(const std::vector<std::vector<std::string>>& ranks, const std::string& folder) {
    for (size_t rank = 0; rank < ranks.size(); ++rank) {
        const std::vector<std::string>& folders = ranks[rank];
        if (std::find(folders.begin(), folders.end(), folder) != folders.end()) {
            return static_cast<int>(rank);
        }
    }
    return -1;
}

// Whether a file of the layer breaks the layer's ranks by including a path of the same layer:
// a folder above its own or beside it in its rank, or a folder of no rank.
bool BreaksRanks(const std::string& layer, const std::vector<std::vector<std::string>>& ranks,
                 const std::string& file, const std::string& include) {
    if (FirstComponent(include) != layer) return false;
    const std::string own = FolderInLayer(file);
    const std::string target = FolderInLayer(include);
    if (own == target) return false;
    const int ownRank = RankOf(ranks, own);
    const int targetRank = RankOf(ranks, target);
    return ownRank < 0 || targetRank < 0 || targetRank <= ownRank;
}

// Whether a platform file (outside platform/testing) breaks the platform's ranks.
bool BreaksPlatformRanks(const std::string& file, const std::string& include) {
    if (FirstComponent(include) == "platform" && FolderInLayer(include) == "testing") {
        return false;  // testing: its own rule
    }
    return BreaksRanks("platform", kPlatformRanks, file, include);
}

// Whether a graphics file breaks the ranks of graphics' folders.
bool BreaksGraphicsRanks(const std::string& file, const std::string& include) {
    return BreaksRanks("graphics", kGraphicsRanks, file, include);
}

// Whether the file includes a driver-only folder from outside it and its includers.
bool ReachesDriverOnlyFolder(const std::string& file, const std::string& include) {
    const auto startsWith = [](const std::string& path, const std::string& prefix) {
        return path.rfind(prefix, 0) == 0;
    };
    for (const DriverOnlyFolder& only : kDriverOnlyFolders) {
        if (!startsWith(include, only.folder) || startsWith(file, only.folder)) continue;
        if (std::none_of(only.includers.begin(), only.includers.end(),
                         [&](const std::string& includer) { return startsWith(file, includer); })) {
            return true;
        }
    }
    return false;
}

bool IsSourceFile(const fs::path& path) {
    const std::string ext = path.extension().string();
    return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc" || ext == ".inc";
}

// Whether a file under game/ may include the path: api.h, or a game file (named from the tree's
// root, from game/, or next to the including file).
bool GameMayInclude(const fs::path& root, const fs::path& file, const std::string& include) {
    if (include == "api.h") return true;
    if (include.rfind("game/", 0) == 0) return true;
    if (FirstComponent(include).empty() || LayerIndex(FirstComponent(include)) < 0) {
        return fs::exists(root / "game" / include) || fs::exists(file.parent_path() / include);
    }
    return false;
}

// Every include line of the layers' folders under root that breaks the order.
std::vector<Finding> FindLayerBreaks(const fs::path& root) {
    static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<Finding> found;
    for (const std::string& layer : kLayers) {
        const fs::path top = root / layer;
        if (!fs::is_directory(top)) continue;
        const int own = LayerIndex(layer);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(top)) {
            if (!entry.is_regular_file() || !IsSourceFile(entry.path())) continue;
            const std::string file = fs::relative(entry.path(), root).generic_string();
            const bool inTesting = file.rfind(kTestingFolder, 0) == 0;
            std::ifstream in(entry.path());
            std::string text;
            int number = 0;
            while (std::getline(in, text)) {
                ++number;
                std::smatch match;
                if (!std::regex_search(text, match, kInclude)) continue;
                const std::string include = match[1];
                bool breaks = false;
                if (layer == "game") {
                    breaks = !GameMayInclude(root, entry.path(), include);
                } else {
                    const std::string folder = FirstComponent(include);
                    const int target = LayerIndex(folder);
                    breaks = (target >= 0 && target < own) ||
                             (layer == "platform" && !inTesting &&
                              BreaksPlatformRanks(file, include)) ||
                             (layer == "graphics" && BreaksGraphicsRanks(file, include)) ||
                             ReachesDriverOnlyFolder(file, include) ||
                             folder == "tests" ||
                             folder == "bench" ||
                             (include.rfind(kTestingFolder, 0) == 0 && !inTesting);
                }
                if (breaks) found.push_back({file, number, include});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return found;
}

TEST(LayerCheckTest, NoFileIncludesAFolderAboveItsOwn) {
    std::ostringstream breaks;
    for (const Finding& f : FindLayerBreaks(ZN_SOURCE_DIR)) breaks << "\n  " << Describe(f);
    EXPECT_TRUE(breaks.str().empty()) << "includes of a folder above the file's own:"
                                      << breaks.str();
}

// The check itself, on a small tree with one break of each kind next to lines that keep the
// order.
class LayerCheckRulesTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& text) {
        const fs::path path = dir_.path() / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    ScopedTempDir dir_;
};

TEST_F(LayerCheckRulesTest, FlagsEachKindOfBreakAndOnlyThose) {
    Write("base/log.cpp",
          "#include \"base/log.h\"\n"
          "#include \"platform/core/file.h\"\n"
          "  #  include \"system/window_data.h\"\n"       // up two layers
          "#include <vector>\n");
    Write("system/pump.cpp",
          "#include \"graphics/graph.h\"\n"
          "// #include \"library/api.h\" in a comment is not read as one\n"
          "#include \"library/public/api.h\"\n");          // up one layer
    Write("softrender/blit.h", "#include \"softrender/plan.h\"\n#include \"sound/mixer.h\"\n");
    Write("sound/mixer.h", "#include \"softrender/blit.h\"\n#include \"graphics/rect.h\"\n");
    Write("platform/window/window.cpp",
          "#include \"platform/testing/test_controls.h\"\n"  // only tests may
          "#include \"tests/support/temp_dir.h\"\n");        // nor the tests' folders
    Write("platform/testing/test_controls.cpp",
          "#include \"platform/testing/test_controls.h\"\n"
          "#include \"platform/backend/sdl2/sdl2_audio.h\"\n");  // the tests' controls see all
    Write("platform/core/clock.cpp",
          "#include \"platform/core/clock.h\"\n"
          "#include \"platform/window/window.h\"\n");           // a rank above
    Write("platform/ddraw/ddraw_blit.cpp",
          "#include \"platform/display/display.h\"\n"
          "#include \"platform/gdi/gdi.h\"\n"
          "#include \"platform/dsound/dsound.h\"\n"            // beside it in its rank
          "#include \"platform/d3d/d3d.h\"\n"                  // a rank above
          "#include \"platform/vulkan/vk.h\"\n");              // a folder of no rank
    Write("platform/backend/sdl2/sdl2_audio.cpp",
          "#include \"platform/dsound/sound_mixer.h\"\n"
          "#include \"platform/core/clock.h\"\n");
    Write("game/zn_app.h", "");
    Write("game/zn_app.cpp",
          "#include \"api.h\"\n"
          "#include \"zn_app.h\"\n"
          "#include \"game/zn_app.h\"\n"
          "#include \"system/input.h\"\n"                    // past the public entries
          "#include \"library/public/api.h\"\n");            // api.h only by its own name
    Write("library/api.cpp", "#include \"game/zn_app.h\"\n");  // the library never sees the game
    Write("graphics/d3d/device_start.cpp",
          "#include \"graphics/d3d/device.h\"\n"
          "#include \"graphics/screen/screen.h\"\n");
    Write("graphics/font/text_draw.cpp",
          "#include \"graphics/drivers/device_3d_driver.h\"\n"
          "#include \"graphics/d3d/graph_draw_3d.h\"\n");  // the device only through drivers
    Write("graphics/drivers/absent_drivers.cpp",
          "#include \"graphics/drivers/screen_driver.h\"\n"
          "#include \"graphics/surfaces/direct_draw_object.h\"\n");  // a rank above the floor
    Write("graphics/surfaces/surface_data.cpp",
          "#include \"graphics/graphs/graph_handle_table.h\"\n"
          "#include \"graphics/draw_state/draw_state.h\"\n"
          "#include \"graphics/drivers/screen_driver.h\"\n"
          "#include \"graphics/screen/screen.h\"\n"            // beside it in its rank
          "#include \"graphics/draw_target/draw_target.h\"\n"  // a rank above
          "#include \"graphics/tiles/tile.h\"\n");             // a folder of no rank
    Write("graphics/tiles/tile.cpp", "#include \"graphics/codecs/graph_image.h\"\n");  // no rank
    Write("graphics/screen_setup/screen_open.cpp",
          "#include \"graphics/graph_load/graph_system.h\"\n"
          "#include \"graphics/draw_target/draw_target.h\"\n"
          "#include \"graphics/screen/screen.h\"\n");
    Write("library/library_drivers.cpp", "#include \"graphics/d3d/device.h\"\n");
    Write("sound/sound_graphs.cpp", "#include \"graphics/d3d/device.h\"\n");  // a layer above
    Write("net/net_graphs.cpp",
          "#include \"graphics/drivers/device_3d_driver.h\"\n"
          "#include \"graphics/d3d/device.h\"\n");  // above, but not the start-up

    const std::vector<Finding> expected = {
        {"base/log.cpp", 3, "system/window_data.h"},
        {"game/zn_app.cpp", 4, "system/input.h"},
        {"game/zn_app.cpp", 5, "library/public/api.h"},
        {"graphics/drivers/absent_drivers.cpp", 2, "graphics/surfaces/direct_draw_object.h"},
        {"graphics/font/text_draw.cpp", 2, "graphics/d3d/graph_draw_3d.h"},
        {"graphics/surfaces/surface_data.cpp", 4, "graphics/screen/screen.h"},
        {"graphics/surfaces/surface_data.cpp", 5, "graphics/draw_target/draw_target.h"},
        {"graphics/surfaces/surface_data.cpp", 6, "graphics/tiles/tile.h"},
        {"graphics/tiles/tile.cpp", 1, "graphics/codecs/graph_image.h"},
        {"library/api.cpp", 1, "game/zn_app.h"},
        {"net/net_graphs.cpp", 2, "graphics/d3d/device.h"},
        {"platform/core/clock.cpp", 2, "platform/window/window.h"},
        {"platform/ddraw/ddraw_blit.cpp", 3, "platform/dsound/dsound.h"},
        {"platform/ddraw/ddraw_blit.cpp", 4, "platform/d3d/d3d.h"},
        {"platform/ddraw/ddraw_blit.cpp", 5, "platform/vulkan/vk.h"},
        {"platform/window/window.cpp", 1, "platform/testing/test_controls.h"},
        {"platform/window/window.cpp", 2, "tests/support/temp_dir.h"},
        {"softrender/blit.h", 2, "sound/mixer.h"},
        {"sound/mixer.h", 2, "graphics/rect.h"},
        {"sound/sound_graphs.cpp", 1, "graphics/d3d/device.h"},
        {"system/pump.cpp", 3, "library/public/api.h"},
    };
    const std::vector<Finding> found = FindLayerBreaks(dir_.path());
    std::ostringstream got;
    for (const Finding& f : found) got << "\n  " << Describe(f);
    EXPECT_EQ(found, expected) << got.str();
}

}  // namespace
