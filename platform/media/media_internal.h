// Internal to the media layer: the decoded file (FFmpeg), the presentation shared by a
// multimedia stream, its graph and its streams (the stream clock, the video frames waiting to
// be shown, the audio renderer), and the objects' classes.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/media.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace plat {
class IDirectSoundBuffer;
}

namespace plat::media {

// A decoded video frame with its presentation time (100 ns from the stream's start).
struct QueuedFrame {
    AVFrame* frame = nullptr;
    int64_t time = 0;
};

// One stream of a file opened with FFmpeg: its demuxer and its decoder.
struct DecoderPipe {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    int streamIndex = -1;
    bool drained = false;  // the demuxer ran out and the decoder was flushed
    ~DecoderPipe();
    // Opens path and the first stream of the kind (an AVMediaType). False when FFmpeg cannot.
    bool Open(const std::string& path, int mediaType);
    // The next decoded frame into frame; false at the end or on an error.
    bool Next(AVFrame* frame);
};

// The video of a file: frames in order, with their times.
class VideoTrack {
public:
    ~VideoTrack();
    // Opens the file's first video stream and decodes its first frame (a file whose first
    // frame does not decode is refused). False when it cannot.
    bool Open(const std::string& path);
    int width() const { return width_; }
    int height() const { return height_; }
    int64_t timePerFrame() const { return timePerFrame_; }
    int64_t duration() const { return duration_; }
    // The newest frame whose time is at most now, skipping older ones; null when none is due.
    // The frame stays owned by the track until the next call.
    const QueuedFrame* TakeDue(int64_t now);
    // The next frame whatever its time; null at the end.
    const QueuedFrame* TakeNext();
    // True when no frame is left to show.
    bool Exhausted();
    // Time of the last frame handed out plus one frame time (0 before any).
    int64_t ShownEnd() const { return shownEnd_; }
    // Starts again at time: the next frames handed out are those from there.
    bool SeekTo(int64_t time);

private:
    bool Fill(size_t count);  // decodes until count frames wait (or the end)
    void Drop(QueuedFrame& f);

    std::string path_;
    std::unique_ptr<DecoderPipe> pipe_;
    std::deque<QueuedFrame> queue_;
    QueuedFrame shown_;
    int width_ = 0, height_ = 0;
    int64_t timePerFrame_ = 0, duration_ = 0, startPts_ = 0, lastTime_ = -1;
    int64_t shownEnd_ = 0;
    double timeBase_ = 0;
};

// Converts frames into a locked surface's pixels with libswscale.
class FrameConverter {
public:
    ~FrameConverter();
    // The AVPixelFormat that fills a surface of this format; -1 when none does.
    static int PixelFormatFor(const PixelFormat& format);
    // Writes frame (scaled to width x height if it differs) to pixels with pitch in the pixel
    // format; false when libswscale refuses.
    bool Convert(const AVFrame* frame, uint8_t* pixels, int32_t pitch, int width, int height,
                 int pixelFormat);

private:
    SwsContext* context_ = nullptr;
};

// The whole first audio stream of a file as 16-bit stereo at 44100 Hz; empty when the file
// has none or it does not decode.
std::vector<int16_t> DecodeWholeAudio(const std::string& path);

// What a multimedia stream, its graph and its streams share.
struct Presentation {
    ~Presentation();

    // ---- clock
    bool running = false;
    int64_t base = 0;        // stream time when the clock was last set
    int64_t runStart = 0;    // platform time (100 ns) when it was set running
    int64_t stopPosition = 0;
    int64_t Now() const;     // the stream time now
    void SetRunning(bool run);
    void SeekTo(int64_t time);

    // ---- video
    bool wantVideo = false;
    DirectDraw* directDraw = nullptr;  // surfaces the stream makes
    std::unique_ptr<VideoTrack> video;

    // ---- audio
    bool wantAudio = false;
    IDirectSound* sound = nullptr;
    IDirectSoundBuffer* audio = nullptr;
    uint32_t audioBytes = 0;
    int32_t volume = 0;
    // Puts the audio buffer where the stream time is and plays or stops it with the clock.
    void SyncAudio();
    bool StartAudio(const std::vector<int16_t>& samples);

    bool open = false;
};

// Platform time in 100 ns units.
int64_t PlatformTime100ns();
// Stream time in bytes of 16-bit stereo at 44100 Hz (whole frames).
uint32_t AudioByteOffset(int64_t time);

MSResult NewGraph(GraphBuilder** out);
// The presentation a graph plays (null before a multimedia stream was initialised on it).
std::shared_ptr<Presentation>& GraphPresentation(GraphBuilder* graph);
MSResult NewVideoStream(std::shared_ptr<Presentation> presentation, MediaStream** out);

}  // namespace plat::media
