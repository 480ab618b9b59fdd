// Movies as the shipped start-up leaves them: a clip made on the spot is loaded through
// ApiLoadGraphFromPath into a graph of its size (a texture graph on the 3D device), and each
// draw of the graph shows the frame the platform clock has reached: frame k after k frame
// times, held while paused, the last one after the end, the same position after the device
// objects were released and made again around a display change. The sound reaches the mixer.
// Files that are no movies leave no handle; a movie the file layer serves from elsewhere plays
// from a temporary copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file_access_table.h"
#include "platform/core/file.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/movie/movie.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "platform/testing/d3d_test_controls.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/testing/movie_test_clips.h"
#include "platform/testing/sound_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr uint64_t kFrameUs = 100000;  // the clips run at 10 frames a second
constexpr int kX = 40, kY = 30;        // where the graph is drawn

class MovieEntryTest : public DrawRoadFixture {
protected:
    void TearDown() override {
        HeadlessLibraryFixture::TearDown();
        plat::ResetSoundTestControls();
        unsetenv("TMPDIR");
    }

    // The software screen, DirectDraw surfaces, or (direct3D) the 3D device, where a movie's
    // graph is a texture graph.
    static void Start(bool softwareScreen, int32_t depth, bool direct3D = false) {
        plat::SetVirtualClockReadStep(kReadStepUs);
        ASSERT_EQ(PrepareWindowedStart(depth, direct3D), 0);
        if (!softwareScreen && !direct3D) SetSoftwareRenderRequest(1);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen, softwareScreen ? 1 : 0);
        ASSERT_EQ(IsUsing3DDevice(), direct3D ? 1 : 0);
        // From here the clock moves only as the test moves it.
        plat::SetVirtualClockReadStep(0);
    }
    // The same on the test's drawing road.
    void StartOnTheRoad() {
        plat::SetVirtualClockReadStep(kReadStepUs);
        StartOnRoad();
        plat::SetVirtualClockReadStep(0);
    }

    // Temporary files go to a folder of the test's own.
    std::filesystem::path TempDir() const { return dir_.path() / "tmp"; }
    void UseOwnTempDir() {
        std::filesystem::create_directories(TempDir());
        setenv("TMPDIR", TempDir().c_str(), 1);
    }

    std::string WriteClip(const plat::TestClip& clip, const char* name = "clip.mkv") {
        const std::string path = Path(name);
        EXPECT_TRUE(plat::WriteTestClip(path, clip));
        return path;
    }

    // Draws the graph on a blue back screen, presents, and checks that it shows frame index.
    static void ExpectShows(int graph, const plat::TestClip& clip, int index) {
        SCOPED_TRACE(testing::Message() << "frame " << index);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        EXPECT_EQ(ApiDrawGraphAt(kX, kY, graph, 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        plat::ShownPicture shown;
        ASSERT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
        for (int y = 0; y < clip.height; ++y) {
            for (int x = 0; x < clip.width; ++x) {
                ASSERT_EQ(shown.pixels[(kY + y) * shown.width + kX + x],
                          plat::TestClipPixel(clip, index, x, y))
                    << x << "," << y;
            }
        }
    }

    static MovieRecord* MovieOf(int graph) {
        const GraphRecord* record = GetGraphRecord(graph);
        return record != nullptr ? GetMovieRecord(record->movie) : nullptr;
    }
};

class MovieScreenTest : public MovieEntryTest {};

TEST_P(MovieScreenTest, AClipPlaysIntoAGraphOfItsSizeFrameByFrame) {
    StartOnTheRoad();
    const plat::TestClip clip{24, 16, 10, 10};
    // Flag 1 keeps a graph off the 3D device; on the 3D road the movie becomes a texture graph.
    const int graph = ApiLoadGraphFromPath(WriteClip(clip).c_str(), GetParam().direct3D ? 0 : 1);
    ASSERT_NE(graph, -1);
    EXPECT_EQ(GetGraphRecord(graph)->flags.is3D, GetParam().direct3D ? 1 : 0);
    int width = 0, height = 0;
    ASSERT_EQ(ApiQueryGraphSize(graph, &width, &height), 0);
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 16);
    ASSERT_NE(MovieOf(graph), nullptr);
    EXPECT_EQ(MovieOf(graph)->playing, 0);

    ASSERT_EQ(PlayGraphMovie(graph), 0);
    ExpectShows(graph, clip, 0);
    plat::AdvanceVirtualClock(kFrameUs + 10);
    ExpectShows(graph, clip, 1);
    plat::AdvanceVirtualClock(kFrameUs);
    ExpectShows(graph, clip, 2);
    plat::AdvanceVirtualClock(3 * kFrameUs);
    ExpectShows(graph, clip, 5);
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetMovieTable().count, 0);
}

INSTANTIATE_ON_DRAW_ROADS(MovieScreenTest);

// On the 3D device a movie larger than the device's textures is cut into several texture
// pieces: every piece takes its part of each frame.
TEST_F(MovieEntryTest, AMovieGraphOfSeveralTexturesShowsTheWholeFrameOnThe3DDevice) {
    plat::SetD3DTextureSideLimits(1, 16);
    Start(false, 32, true);
    const plat::TestClip clip{40, 24, 4, 10};
    const int graph = ApiLoadGraphFromPath(WriteClip(clip).c_str(), 0);
    ASSERT_NE(graph, -1);
    ASSERT_EQ(GetGraphRecord(graph)->flags.is3D, 1);
    EXPECT_GT(GetGraphRecord(graph)->surfaceCount, 2);
    ASSERT_EQ(PlayGraphMovie(graph), 0);
    ExpectShows(graph, clip, 0);
    plat::AdvanceVirtualClock(2 * kFrameUs + 10);
    ExpectShows(graph, clip, 2);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(MovieEntryTest, PauseHoldsTheFrameAndTheEndKeepsTheLastOne) {
    Start(true, 32);
    const plat::TestClip clip{16, 8, 4, 10};
    const int graph = ApiLoadGraphFromPath(WriteClip(clip).c_str(), 1);
    ASSERT_NE(graph, -1);
    ASSERT_EQ(PlayGraphMovie(graph), 0);
    ExpectShows(graph, clip, 0);
    plat::AdvanceVirtualClock(kFrameUs + 10);
    ExpectShows(graph, clip, 1);
    ASSERT_EQ(PauseGraphMovie(graph), 0);
    plat::AdvanceVirtualClock(2 * kFrameUs);
    ExpectShows(graph, clip, 1);
    ASSERT_EQ(PlayGraphMovie(graph), 0);
    plat::AdvanceVirtualClock(kFrameUs);
    ExpectShows(graph, clip, 2);
    plat::AdvanceVirtualClock(5 * kFrameUs);
    ExpectShows(graph, clip, 3);
    ExpectShows(graph, clip, 3);
    EXPECT_EQ(MovieOf(graph)->playing, 0) << "the stream's end stops the movie";
    plat::AdvanceVirtualClock(kFrameUs);
    ExpectShows(graph, clip, 3);
}

TEST_F(MovieEntryTest, TwoDrawsWithinEighteenMillisecondsOfOnePresentCopyOneFrame) {
    Start(true, 32);
    const plat::TestClip clip{16, 8, 20, 100};  // a frame every 10 ms
    const int graph = ApiLoadGraphFromPath(WriteClip(clip).c_str(), 1);
    ASSERT_EQ(PlayGraphMovie(graph), 0);
    EXPECT_EQ(ApiDrawGraphAt(0, 0, graph, 0), 0);
    const uint32_t firstCopy = MovieOf(graph)->lastCopyTime;
    plat::AdvanceVirtualClock(10010);  // frame 1 is due, 10 ms after the copy
    EXPECT_EQ(ApiDrawGraphAt(0, 0, graph, 0), 0);
    EXPECT_EQ(MovieOf(graph)->lastCopyTime, firstCopy) << "held back";
    plat::AdvanceVirtualClock(10000);  // 20 ms after it
    EXPECT_EQ(ApiDrawGraphAt(0, 0, graph, 0), 0);
    EXPECT_NE(MovieOf(graph)->lastCopyTime, firstCopy);
    ExpectShows(graph, clip, 2);
}

TEST_F(MovieEntryTest, ReleasedAndReopenedMoviesKeepTheirPosition) {
    Start(false, 32);
    const plat::TestClip clip{20, 12, 10, 10};
    const int graph = ApiLoadGraphFromPath(WriteClip(clip).c_str(), 1);
    ASSERT_EQ(PlayGraphMovie(graph), 0);
    plat::AdvanceVirtualClock(3 * kFrameUs + 10);
    ExpectShows(graph, clip, 3);
    ASSERT_EQ(ReleaseAllMovieObjects(), 0);
    EXPECT_EQ(MovieOf(graph)->sampleSurface, nullptr);
    // Drawn while released: the graph keeps its last frame.
    ExpectShows(graph, clip, 3);
    plat::AdvanceVirtualClock(4 * kFrameUs);
    ASSERT_EQ(ReopenAllMovies(), 0);
    ASSERT_NE(MovieOf(graph)->sampleSurface, nullptr);
    EXPECT_EQ(MovieOf(graph)->playing, 1);
    ExpectShows(graph, clip, 3);
    plat::AdvanceVirtualClock(kFrameUs);
    ExpectShows(graph, clip, 4);
}

TEST_F(MovieEntryTest, TheSoundReachesTheMixer) {
    plat::UseSoundSink(plat::SoundSink::Memory);
    Start(true, 32);
    plat::TestClip clip{8, 8, 5, 10};
    clip.audio = true;
    const int graph = ApiLoadGraphFromPath(WriteClip(clip).c_str(), 1);
    ASSERT_NE(graph, -1);
    ASSERT_EQ(PlayGraphMovie(graph), 0);
    std::vector<int16_t> out;
    ASSERT_TRUE(plat::RenderSoundOutput(2205, &out));
    const std::vector<int16_t> tone = plat::TestClipTone(clip);
    ASSERT_EQ(out.size(), 4410u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), tone.begin()));
}

TEST_F(MovieEntryTest, FilesThatAreNoMoviesLeaveNoHandle) {
    UseOwnTempDir();
    Start(true, 32);
    const std::string good = WriteClip(plat::TestClip{});
    std::ifstream in(good, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty.mkv", ""},
        {"notes.txt", "a plain line of text\n"},
        {"cut.mkv", bytes.substr(0, bytes.size() / 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(Path(c.name), std::ios::binary) << c.content;
        const std::string path = Path(c.name);
        EXPECT_EQ(ApiLoadGraphFromPath(path.c_str(), 1), -1);
        EXPECT_TRUE(LogHas("右記のグラフィックファイルのロードに失敗しました：" + path));
        EXPECT_TRUE(LogHas("ムービーファイルオープン処理時にエラーが発生しました"));
        EXPECT_EQ(GetMovieTable().count, 0);
        EXPECT_EQ(GetGraphicsState().graphs.count, 0);
    }
    // The temporary copies the failed opens tried are gone again.
    EXPECT_TRUE(std::filesystem::is_empty(TempDir()));
}

TEST_F(MovieEntryTest, BadHandlesAreRefusedAndAClosedMovieIsGone) {
    Start(true, 32);
    const int graph = ApiLoadGraphFromPath(WriteClip(plat::TestClip{8, 8, 2, 10}).c_str(), 1);
    ASSERT_NE(graph, -1);
    const HandleValue movie = GetGraphRecord(graph)->movie;
    ASSERT_NE(GetMovieRecord(movie), nullptr);
    EXPECT_EQ(GetMovieRecord(graph), nullptr) << "a graph handle is no movie handle";
    EXPECT_EQ(GetMovieRecord(-1), nullptr);
    EXPECT_EQ(UpdateMovieFrame(-1, 0), -1);
    EXPECT_EQ(PlayGraphMovie(-1), -1);
    EXPECT_EQ(PauseGraphMovie(-1), -1);
    EXPECT_EQ(CloseMovie(-1, movie), -1);
    EXPECT_EQ(CloseMovie(graph, -1), 0);
    EXPECT_EQ(UpdateMovieFrame(graph, 1), 0);
    // Deleting the graph closes its movie; the old handle no longer finds a record.
    EXPECT_EQ(DeleteGraphHandle(graph, 0), 0);
    EXPECT_EQ(GetMovieRecord(movie), nullptr);
    EXPECT_EQ(GetMovieTable().count, 0);
}

// A file-access table whose files live in memory: the movie's name is not on the disk.
struct MemoryFiles {
    static inline std::string content;
    static inline size_t position = 0;
    static inline bool open = false;
};
uintptr_t MemOpen(const char* path, int, int, int) {
    if (std::strstr(path, "packed.mkv") == nullptr) return 0;
    MemoryFiles::position = 0;
    MemoryFiles::open = true;
    return 0x5151;
}
int MemClose(uintptr_t) {
    MemoryFiles::open = false;
    return 0;
}
int64_t MemTell(uintptr_t) { return static_cast<int64_t>(MemoryFiles::position); }
int MemSeek(uintptr_t, int64_t offset, int origin) {
    const int64_t base = origin == 2 ? static_cast<int64_t>(MemoryFiles::content.size())
                                     : origin == 1 ? static_cast<int64_t>(MemoryFiles::position) : 0;
    MemoryFiles::position = static_cast<size_t>(base + offset);
    return 0;
}
size_t MemRead(void* buffer, size_t size, size_t count, uintptr_t) {
    const size_t left = MemoryFiles::content.size() - std::min(MemoryFiles::position, MemoryFiles::content.size());
    const size_t n = std::min(left, size * count);
    std::memcpy(buffer, MemoryFiles::content.data() + MemoryFiles::position, n);
    MemoryFiles::position += n;
    return size != 0 ? n / size : 0;
}

TEST_F(MovieEntryTest, AMovieOnlyTheFileLayerKnowsPlaysFromATemporaryCopy) {
    UseOwnTempDir();
    Start(true, 32);
    const plat::TestClip clip{16, 16, 6, 10};
    const std::string made = WriteClip(clip, "source.mkv");
    std::ifstream in(made, std::ios::binary);
    MemoryFiles::content.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FileAccessTable table = GetFileAccessTable();
    table.open = MemOpen;
    table.close = MemClose;
    table.tell = MemTell;
    table.seek = MemSeek;
    table.read = MemRead;
    ASSERT_EQ(SetFileAccessTable(&table), 0);
    const int graph = ApiLoadGraphFromPath("packed.mkv", 1);
    SetFileAccessTable(nullptr);
    ASSERT_NE(graph, -1);
    const MovieRecord* movie = MovieOf(graph);
    ASSERT_NE(movie, nullptr);
    ASSERT_EQ(movie->isTempFile, 1);
    const std::filesystem::path copy = plat::MapPath(movie->fileName);
    ASSERT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(std::filesystem::file_size(copy), MemoryFiles::content.size());
    EXPECT_FALSE(MemoryFiles::open);
    ASSERT_EQ(PlayGraphMovie(graph), 0);
    plat::AdvanceVirtualClock(2 * kFrameUs + 10);
    ExpectShows(graph, clip, 2);
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_FALSE(std::filesystem::exists(copy)) << "the copy goes with the movie";
}

}  // namespace
