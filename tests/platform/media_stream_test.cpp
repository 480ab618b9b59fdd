// The multimedia streams on clips made on the spot: opening, frames at the stream's pace on
// the virtual clock (exact pixels in 32- and 16-bit surfaces), pause, seeking, the end, the
// sound in the mixer's memory sink, and files that are no movies.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <future>
#include <fstream>
#include <string>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/ddraw/ddraw.h"
#include "platform/media/media.h"
#include "platform/testing/movie_test_clips.h"
#include "platform/testing/sound_test_controls.h"
#include "platform/testing/test_controls.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int64_t kFrame = plat::kStreamTimeUnits / 10;  // the clips run at 10 frames a second

class MediaStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetTestControls();
        plat::UseVirtualClock(true);
        plat::SetVirtualClockReadStep(0);
        ASSERT_EQ(plat::CreateDirectDraw(&dd_), plat::DD_OK);
    }
    void TearDown() override {
        Close();
        if (event_ != nullptr) plat::CloseEvent(event_);
        if (dd_ != nullptr) dd_->Release();
        plat::ResetSoundTestControls();
        plat::UseVirtualClock(false);
    }

    std::string Clip(const plat::TestClip& clip, const char* name = "clip.mkv") {
        const std::string path = (dir_.path() / name).string();
        EXPECT_TRUE(plat::WriteTestClip(path, clip));
        return path;
    }

    // Opens path with a video stream (and an audio stream when asked).
    plat::MSResult Open(const std::string& path, bool audio = false) {
        EXPECT_EQ(plat::CoCreateFilterGraph(&graph_), plat::MS_OK);
        EXPECT_EQ(plat::CoCreateMultiMediaStream(&stream_), plat::MS_OK);
        EXPECT_EQ(stream_->Initialize(plat::STREAMTYPE_READ, plat::AMMSF_NOGRAPHTHREAD, graph_),
                  plat::MS_OK);
        EXPECT_EQ(stream_->AddPrimaryVideoStream(dd_), plat::MS_OK);
        if (audio) {
            EXPECT_EQ(stream_->AddPrimaryAudioStream(plat::AMMSF_ADDDEFAULTRENDERER), plat::MS_OK);
        }
        const plat::MSResult opened = stream_->OpenFile(path.c_str());
        if (opened != plat::MS_OK) return opened;
        plat::MediaStream* video = nullptr;
        EXPECT_EQ(stream_->GetMediaStream(plat::StreamPurpose::Video, &video), plat::MS_OK);
        ddStream_ = plat::QueryDirectDrawMediaStream(video);
        video->Release();
        return opened;
    }

    // A sample on a system-memory surface of the given bits (32: X8R8G8B8, 16: R5G6B5).
    void MakeSample(int bits, int width, int height) {
        plat::SurfaceDesc desc{};
        desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
        desc.width = static_cast<uint32_t>(width);
        desc.height = static_cast<uint32_t>(height);
        desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
        desc.pixelFormat.size = sizeof(plat::PixelFormat);
        desc.pixelFormat.flags = plat::DDPF_RGB;
        desc.pixelFormat.bitCount = static_cast<uint32_t>(bits);
        if (bits == 32) {
            desc.pixelFormat.redMask = 0xFF0000;
            desc.pixelFormat.greenMask = 0xFF00;
            desc.pixelFormat.blueMask = 0xFF;
        } else {
            desc.pixelFormat.redMask = 0xF800;
            desc.pixelFormat.greenMask = 0x07E0;
            desc.pixelFormat.blueMask = 0x1F;
        }
        ASSERT_EQ(dd_->CreateSurface(&desc, &surface_), plat::DD_OK);
        ASSERT_EQ(ddStream_->CreateSample(surface_, nullptr, 0, &sample_), plat::MS_OK);
        event_ = plat::CreateEvent(true, false);
    }

    // The surface's pixel (x, y) as 0xRRGGBB (16-bit pixels widened by repeating bits).
    uint32_t Pixel(int x, int y) {
        plat::SurfaceDesc locked{};
        EXPECT_EQ(surface_->Lock(nullptr, &locked, plat::DDLOCK_WAIT), plat::DD_OK);
        const uint8_t* row = static_cast<const uint8_t*>(locked.surface) + y * locked.pitch;
        uint32_t rgb = 0;
        if (locked.pixelFormat.bitCount == 32) {
            std::memcpy(&rgb, row + x * 4, 4);
            rgb &= 0xFFFFFF;
        } else {
            uint16_t p = 0;
            std::memcpy(&p, row + x * 2, 2);
            const uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            rgb = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
        }
        surface_->Unlock(nullptr);
        return rgb;
    }

    void ExpectFrame(const plat::TestClip& clip, int index) {
        SCOPED_TRACE(testing::Message() << "frame " << index);
        for (int y = 0; y < clip.height; ++y) {
            for (int x = 0; x < clip.width; ++x) {
                ASSERT_EQ(Pixel(x, y), plat::TestClipPixel(clip, index, x, y)) << x << "," << y;
            }
        }
    }

    void Close() {
        if (sample_ != nullptr) sample_->Release();
        if (surface_ != nullptr) surface_->Release();
        if (ddStream_ != nullptr) ddStream_->Release();
        if (stream_ != nullptr) stream_->Release();
        if (graph_ != nullptr) graph_->Release();
        sample_ = nullptr;
        surface_ = nullptr;
        ddStream_ = nullptr;
        stream_ = nullptr;
        graph_ = nullptr;
    }

    ScopedTempDir dir_;
    plat::DirectDraw* dd_ = nullptr;
    plat::GraphBuilder* graph_ = nullptr;
    plat::MultiMediaStream* stream_ = nullptr;
    plat::DirectDrawMediaStream* ddStream_ = nullptr;
    plat::DrawSurface* surface_ = nullptr;
    plat::DirectDrawStreamSample* sample_ = nullptr;
    plat::Event* event_ = nullptr;
};

TEST_F(MediaStreamTest, AClipReportsItsSizeFrameTimeAndStopPosition) {
    const plat::TestClip clip{40, 30, 12, 10};
    ASSERT_EQ(Open(Clip(clip)), plat::MS_OK);
    plat::SurfaceDesc format{};
    ASSERT_EQ(ddStream_->GetFormat(&format), plat::MS_OK);
    EXPECT_EQ(format.width, 40u);
    EXPECT_EQ(format.height, 30u);
    int64_t perFrame = 0;
    ASSERT_EQ(ddStream_->GetTimePerFrame(&perFrame), plat::MS_OK);
    EXPECT_EQ(perFrame, kFrame);
    plat::MediaSeeking* seeking = nullptr;
    ASSERT_EQ(graph_->QueryMediaSeeking(&seeking), plat::MS_OK);
    int64_t stop = 0;
    ASSERT_EQ(seeking->GetStopPosition(&stop), plat::MS_OK);
    EXPECT_EQ(stop, 12 * kFrame);
    seeking->Release();
}

TEST_F(MediaStreamTest, FramesComeDueWithTheClockAndAPendingUpdateCompletesOnItsTime) {
    const plat::TestClip clip{32, 24, 10, 10};
    ASSERT_EQ(Open(Clip(clip)), plat::MS_OK);
    MakeSample(32, 32, 24);
    ASSERT_EQ(stream_->SetState(plat::StreamState::Run), plat::MS_OK);
    // Frame 0 is due at once; frame 1 is not yet.
    ASSERT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_OK);
    ExpectFrame(clip, 0);
    ASSERT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_S_PENDING);
    EXPECT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_E_BUSY);
    EXPECT_EQ(sample_->CompletionStatus(0, 0), plat::MS_S_PENDING);
    EXPECT_EQ(plat::WaitEvent(event_, 0), plat::WaitResult::TimedOut);
    plat::AdvanceVirtualClock(kFrame / 10);  // one frame time, in microseconds
    EXPECT_EQ(sample_->CompletionStatus(0, 0), plat::MS_OK);
    EXPECT_EQ(plat::WaitEvent(event_, 0), plat::WaitResult::Signalled);
    ExpectFrame(clip, 1);
    // Passing several frame times skips to the newest due frame.
    plat::AdvanceVirtualClock(3 * kFrame / 10 + 50);
    ASSERT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_OK);
    ExpectFrame(clip, 4);
}

TEST_F(MediaStreamTest, APausedGraphHoldsItsTimeAndItsFrame) {
    const plat::TestClip clip{16, 8, 10, 10};
    ASSERT_EQ(Open(Clip(clip)), plat::MS_OK);
    MakeSample(32, 16, 8);
    plat::MediaControl* control = nullptr;
    ASSERT_EQ(graph_->QueryMediaControl(&control), plat::MS_OK);
    ASSERT_EQ(control->Run(), plat::MS_OK);
    plat::AdvanceVirtualClock(2 * kFrame / 10 + 10);
    ASSERT_EQ(control->Pause(), plat::MS_OK);
    int64_t held = 0;
    ASSERT_EQ(stream_->GetTime(&held), plat::MS_OK);
    plat::AdvanceVirtualClock(5 * kFrame / 10);
    int64_t later = 0;
    ASSERT_EQ(stream_->GetTime(&later), plat::MS_OK);
    EXPECT_EQ(later, held);
    ASSERT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_OK);
    ExpectFrame(clip, 2);
    // Running again goes on from the held time.
    ASSERT_EQ(control->Run(), plat::MS_OK);
    plat::AdvanceVirtualClock(kFrame / 10);
    ASSERT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_OK);
    ExpectFrame(clip, 3);
    control->Release();
}

TEST_F(MediaStreamTest, SeekingMovesToTheFrameOfThatTimeAndSixteenBitSurfacesAreFilled) {
    const plat::TestClip clip{20, 10, 10, 10};
    ASSERT_EQ(Open(Clip(clip)), plat::MS_OK);
    MakeSample(16, 20, 10);
    ASSERT_EQ(stream_->Seek(6 * kFrame + 5), plat::MS_OK);
    ASSERT_EQ(sample_->Update(0, nullptr), plat::MS_OK);
    ExpectFrame(clip, 6);
    ASSERT_EQ(stream_->Seek(2 * kFrame), plat::MS_OK);
    ASSERT_EQ(sample_->Update(0, nullptr), plat::MS_OK);
    ExpectFrame(clip, 2);
}

TEST_F(MediaStreamTest, TheStreamEndsAfterItsLastFrameHadItsTime) {
    const plat::TestClip clip{8, 8, 3, 10};
    ASSERT_EQ(Open(Clip(clip)), plat::MS_OK);
    MakeSample(32, 8, 8);
    ASSERT_EQ(stream_->SetState(plat::StreamState::Run), plat::MS_OK);
    plat::AdvanceVirtualClock(2 * kFrame / 10);
    ASSERT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_OK);
    ExpectFrame(clip, 2);
    ASSERT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_S_PENDING);
    plat::AdvanceVirtualClock(kFrame / 10);
    EXPECT_EQ(sample_->CompletionStatus(0, 0), plat::MS_S_ENDOFSTREAM);
    EXPECT_EQ(plat::WaitEvent(event_, 0), plat::WaitResult::Signalled);
    EXPECT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, event_), plat::MS_S_ENDOFSTREAM);
    ExpectFrame(clip, 2);  // the last frame stays
}

TEST_F(MediaStreamTest, TheSoundPlaysIntoTheMixerWhileTheStreamRuns) {
    plat::UseSoundSink(plat::SoundSink::Memory);
    plat::TestClip clip{8, 8, 5, 10};
    clip.audio = true;
    ASSERT_EQ(Open(Clip(clip), true), plat::MS_OK);
    std::vector<int16_t> out;
    ASSERT_TRUE(plat::RenderSoundOutput(512, &out));
    EXPECT_EQ(out, std::vector<int16_t>(1024, 0)) << "silent before it runs";
    ASSERT_EQ(stream_->SetState(plat::StreamState::Run), plat::MS_OK);
    out.clear();
    ASSERT_TRUE(plat::RenderSoundOutput(4410, &out));
    const std::vector<int16_t> tone = plat::TestClipTone(clip);
    ASSERT_EQ(out.size(), 8820u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), tone.begin()));
    plat::BasicAudio* audio = nullptr;
    ASSERT_EQ(graph_->QueryBasicAudio(&audio), plat::MS_OK);
    EXPECT_EQ(audio->put_Volume(-10000), plat::MS_OK);
    out.clear();
    ASSERT_TRUE(plat::RenderSoundOutput(100, &out));
    EXPECT_EQ(out, std::vector<int16_t>(200, 0));
    EXPECT_EQ(audio->put_Volume(1), plat::MS_E_INVALIDARG);
    audio->Release();
}

TEST_F(MediaStreamTest, FilesThatAreNoMoviesAreRefused) {
    const std::string good = Clip(plat::TestClip{});
    std::ifstream in(good, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty.mkv", ""},
        {"text.mkv", "this is not a movie at all, only a line of text\n"},
        {"cut.mkv", bytes.substr(0, 60)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (dir_.path() / c.name).string();
        std::ofstream(path, std::ios::binary) << c.content;
        EXPECT_EQ(Open(path), plat::MS_E_CANNOTOPEN);
        Close();
    }
    EXPECT_EQ(Open((dir_.path() / "missing.mkv").string()), plat::MS_E_CANNOTOPEN);
}

// A named pipe or a folder where the movie should be is refused at once. The open runs in a
// thread of its own; when it does not come back, the pipe's other end is opened so that the
// stuck open ends, and the test fails instead of hanging.
TEST_F(MediaStreamTest, APipeOrAFolderInPlaceOfTheMovieIsRefusedAtOnce) {
    const std::string pipe = (dir_.path() / "pipe.mkv").string();
    const std::string folder = (dir_.path() / "folder.mkv").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    std::filesystem::create_directory(folder);
    for (const std::string& path : {pipe, folder}) {
        SCOPED_TRACE(path);
        std::future<plat::MSResult> open =
            std::async(std::launch::async, [&] { return Open(path); });
        const bool returned = open.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        // A writer that comes and goes wakes a waiting open, and the reads after it end.
        if (!returned) ::close(::open(pipe.c_str(), O_RDWR | O_NONBLOCK));
        EXPECT_EQ(open.get(), plat::MS_E_CANNOTOPEN);
        EXPECT_TRUE(returned);
        Close();
    }
}

TEST_F(MediaStreamTest, SamplesRefuseSurfacesTheyCannotFill) {
    ASSERT_EQ(Open(Clip(plat::TestClip{16, 16, 2, 10})), plat::MS_OK);
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
    desc.width = 8;  // not the frame's size
    desc.height = 16;
    desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
    desc.pixelFormat = {sizeof(plat::PixelFormat), plat::DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
    ASSERT_EQ(dd_->CreateSurface(&desc, &surface_), plat::DD_OK);
    EXPECT_EQ(ddStream_->CreateSample(surface_, nullptr, 0, &sample_), plat::MS_E_BADFORMAT);
    EXPECT_EQ(sample_, nullptr);
    // Without a surface the stream makes one of the frame's size itself.
    ASSERT_EQ(ddStream_->CreateSample(nullptr, nullptr, 0, &sample_), plat::MS_OK);
    plat::Rect rect{};
    plat::DrawSurface* own = nullptr;
    ASSERT_EQ(sample_->GetSurface(&own, &rect), plat::MS_OK);
    EXPECT_EQ(rect.right, 16);
    EXPECT_EQ(rect.bottom, 16);
    own->Release();
    EXPECT_EQ(sample_->Update(plat::SSUPDATE_ASYNC, nullptr), plat::MS_E_INVALIDARG);
}

}  // namespace
