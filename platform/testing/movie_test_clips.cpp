// Test clips encoded with FFmpeg: FFV1 video and PCM audio in Matroska.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/testing/movie_test_clips.h"

namespace plat {

namespace {

constexpr uint32_t kPalette[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                  0xFF00FF, 0x00FFFF, 0x000000, 0xFFFFFF};
constexpr int kAudioRate = 44100;
constexpr int kAudioChunk = 1024;

struct Encoder {
    AVFormatContext* output = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    ~Encoder() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (output != nullptr) {
            if (output->pb != nullptr) avio_closep(&output->pb);
            avformat_free_context(output);
        }
    }

    // Sends frame (null: flush) and writes what comes out.
    bool Send(AVCodecContext* codec, AVStream* stream, const AVFrame* input) {
        if (avcodec_send_frame(codec, input) < 0) return false;
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(output, packet) < 0) return false;
        }
    }

    bool OpenCodec(AVCodecContext* codec, AVStream* stream) {
        if (output->oformat->flags & AVFMT_GLOBALHEADER) {
            codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        if (avcodec_open2(codec, codec->codec, nullptr) < 0) return false;
        stream->time_base = codec->time_base;
        return avcodec_parameters_from_context(stream->codecpar, codec) >= 0;
    }
};

}  // namespace

uint32_t TestClipPixel(const TestClip& clip, int index, int x, int y) {
    if (clip.width > 0 && x == (index * 3) % clip.width) return 0xFFFFFF;
    return y < clip.height / 2 ? kPalette[index % 8] : kPalette[(index + 3) % 8];
}

std::vector<int16_t> TestClipTone(const TestClip& clip) {
    const int64_t count =
        static_cast<int64_t>(clip.frames) * kAudioRate / std::max(1, clip.framesPerSecond);
    std::vector<int16_t> samples(static_cast<size_t>(count) * 2);
    for (int64_t i = 0; i < count; ++i) {
        const double phase = 2.0 * M_PI * clip.toneHz * static_cast<double>(i) / kAudioRate;
        const auto v = static_cast<int16_t>(std::lround(8000.0 * std::sin(phase)));
        samples[static_cast<size_t>(i) * 2] = v;
        samples[static_cast<size_t>(i) * 2 + 1] = static_cast<int16_t>(-v);
    }
    return samples;
}

bool WriteTestClip(const std::string& path, const TestClip& clip) {
    Encoder e;
    if (avformat_alloc_output_context2(&e.output, nullptr, "matroska", path.c_str()) < 0) {
        return false;
    }
    const AVCodec* ffv1 = avcodec_find_encoder(AV_CODEC_ID_FFV1);
    e.packet = av_packet_alloc();
    e.frame = av_frame_alloc();
    if (ffv1 == nullptr || e.packet == nullptr || e.frame == nullptr) return false;
    e.videoStream = avformat_new_stream(e.output, nullptr);
    e.video = avcodec_alloc_context3(ffv1);
    if (e.videoStream == nullptr || e.video == nullptr) return false;
    e.video->width = clip.width;
    e.video->height = clip.height;
    e.video->pix_fmt = AV_PIX_FMT_0RGB32;
    e.video->time_base = AVRational{1, clip.framesPerSecond};
    e.video->framerate = AVRational{clip.framesPerSecond, 1};
    e.video->thread_count = 1;
    e.videoStream->avg_frame_rate = e.video->framerate;
    if (!e.OpenCodec(e.video, e.videoStream)) return false;

    std::vector<int16_t> tone;
    if (clip.audio) {
        const AVCodec* pcm = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        e.audioStream = avformat_new_stream(e.output, nullptr);
        e.audio = pcm != nullptr ? avcodec_alloc_context3(pcm) : nullptr;
        if (e.audioStream == nullptr || e.audio == nullptr) return false;
        e.audio->sample_rate = kAudioRate;
        e.audio->sample_fmt = AV_SAMPLE_FMT_S16;
        e.audio->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
        e.audio->time_base = AVRational{1, kAudioRate};
        if (!e.OpenCodec(e.audio, e.audioStream)) return false;
        tone = TestClipTone(clip);
    }
    if (avio_open(&e.output->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    if (avformat_write_header(e.output, nullptr) < 0) return false;

    size_t audioDone = 0;  // stereo frames written
    for (int index = 0; index < clip.frames; ++index) {
        av_frame_unref(e.frame);
        e.frame->format = AV_PIX_FMT_0RGB32;
        e.frame->width = clip.width;
        e.frame->height = clip.height;
        if (av_frame_get_buffer(e.frame, 0) < 0) return false;
        for (int y = 0; y < clip.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(e.frame->data[0] + y * e.frame->linesize[0]);
            for (int x = 0; x < clip.width; ++x) row[x] = TestClipPixel(clip, index, x, y);
        }
        e.frame->pts = index;
        if (!e.Send(e.video, e.videoStream, e.frame)) return false;
        // The sound up to the end of this frame.
        const size_t audioEnd = std::min(
            tone.size() / 2,
            static_cast<size_t>(static_cast<int64_t>(index + 1) * kAudioRate /
                                clip.framesPerSecond));
        while (e.audio != nullptr && audioDone < audioEnd) {
            const size_t count = std::min<size_t>(kAudioChunk, audioEnd - audioDone);
            av_frame_unref(e.frame);
            e.frame->format = AV_SAMPLE_FMT_S16;
            e.frame->nb_samples = static_cast<int>(count);
            e.frame->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
            e.frame->sample_rate = kAudioRate;
            if (av_frame_get_buffer(e.frame, 0) < 0) return false;
            std::memcpy(e.frame->data[0], tone.data() + audioDone * 2, count * 4);
            e.frame->pts = static_cast<int64_t>(audioDone);
            if (!e.Send(e.audio, e.audioStream, e.frame)) return false;
            audioDone += count;
        }
    }
    if (!e.Send(e.video, e.videoStream, nullptr)) return false;
    if (e.audio != nullptr && !e.Send(e.audio, e.audioStream, nullptr)) return false;
    return av_write_trailer(e.output) >= 0;
}

}  // namespace plat
