// Files decoded with FFmpeg: a demuxer and decoder per stream, the video frames in order with
// their times, and the whole audio stream resampled for the sound layer.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>

#include "platform/media/media_internal.h"

namespace plat::media {

namespace {

// Only local files, and only containers that hold their own media: demuxers that follow
// references to other files or to the network (playlists, concat lists) are not taken.
constexpr const char* kProtocols = "file";
constexpr const char* kContainers =
    "avi,matroska,webm,mov,mp4,m4a,3gp,3g2,mj2,mpeg,mpegts,mpegvideo,asf,flv,ogg,nut,"
    "h264,hevc,m4v,wav,mp3,gif,yuv4mpegpipe";

int64_t To100ns(int64_t value, AVRational base) {
    return av_rescale_q(value, base, AVRational{1, static_cast<int>(kStreamTimeUnits)});
}

// Times from a file can be anything: sums and differences saturate instead of overflowing.
int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}
int64_t SaturatingSub(int64_t a, int64_t b) {
    int64_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) return b < 0 ? INT64_MAX : INT64_MIN;
    return difference;
}

}  // namespace

// ---- DecoderPipe ---------------------------------------------------------------------------

DecoderPipe::~DecoderPipe() {
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
}

bool DecoderPipe::Open(const std::string& path, int mediaType) {
    // Only a regular file is opened: FFmpeg would wait in open() on a named pipe until a
    // writer comes, which may be never, and a device or a folder is no movie either.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // FFmpeg reports on stderr; the layer reports through its results instead.
    av_log_set_level(AV_LOG_QUIET);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", kProtocols, 0);
    av_dict_set(&options, "format_whitelist", kContainers, 0);
    const std::string url = "file:" + path;
    const int opened = avformat_open_input(&format, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        format = nullptr;
        return false;
    }
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    streamIndex = av_find_best_stream(format, static_cast<AVMediaType>(mediaType), -1, -1,
                                      nullptr, 0);
    if (streamIndex < 0) return false;
    AVStream* stream = format->streams[streamIndex];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (decoder == nullptr) return false;
    codec = avcodec_alloc_context3(decoder);
    if (codec == nullptr || avcodec_parameters_to_context(codec, stream->codecpar) < 0) {
        return false;
    }
    codec->thread_count = 1;
    if (avcodec_open2(codec, decoder, nullptr) < 0) return false;
    packet = av_packet_alloc();
    return packet != nullptr;
}

bool DecoderPipe::Next(AVFrame* frame) {
    for (;;) {
        const int got = avcodec_receive_frame(codec, frame);
        if (got == 0) return true;
        if (got != AVERROR(EAGAIN)) return false;  // the end, or a decoding error
        if (drained) return false;
        const int read = av_read_frame(format, packet);
        if (read < 0) {
            drained = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        if (packet->stream_index == streamIndex) {
            const int sent = avcodec_send_packet(codec, packet);
            // A broken packet is skipped; the decoder goes on with the next one.
            (void)sent;
        }
        av_packet_unref(packet);
    }
}

// ---- VideoTrack ----------------------------------------------------------------------------

VideoTrack::~VideoTrack() {
    for (QueuedFrame& f : queue_) Drop(f);
    Drop(shown_);
}

void VideoTrack::Drop(QueuedFrame& f) {
    av_frame_free(&f.frame);
    f = QueuedFrame{};
}

bool VideoTrack::Open(const std::string& path) {
    path_ = path;
    pipe_ = std::make_unique<DecoderPipe>();
    if (!pipe_->Open(path, AVMEDIA_TYPE_VIDEO)) return false;
    const AVStream* stream = pipe_->format->streams[pipe_->streamIndex];
    width_ = pipe_->codec->width;
    height_ = pipe_->codec->height;
    if (width_ <= 0 || height_ <= 0 || width_ > 16384 || height_ > 16384) return false;
    timeBase_ = av_q2d(stream->time_base);
    AVRational rate = stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = stream->r_frame_rate;
    timePerFrame_ = rate.num > 0 && rate.den > 0
                        ? av_rescale(kStreamTimeUnits, rate.den, rate.num)
                        : kStreamTimeUnits / 30;
    if (timePerFrame_ <= 0) timePerFrame_ = kStreamTimeUnits / 30;
    startPts_ = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        duration_ = To100ns(stream->duration, stream->time_base);
    } else if (pipe_->format->duration > 0) {
        duration_ = av_rescale(pipe_->format->duration, kStreamTimeUnits, AV_TIME_BASE);
    }
    // The first frame must decode, or this is no movie that can be shown.
    return Fill(1) && !queue_.empty();
}

bool VideoTrack::Fill(size_t count) {
    while (queue_.size() < count) {
        AVFrame* frame = av_frame_alloc();
        if (frame == nullptr) return false;
        if (!pipe_->Next(frame)) {
            av_frame_free(&frame);
            return true;
        }
        const AVStream* stream = pipe_->format->streams[pipe_->streamIndex];
        int64_t time = lastTime_ < 0 ? 0 : SaturatingAdd(lastTime_, timePerFrame_);
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE) {
            time = To100ns(SaturatingSub(frame->best_effort_timestamp, startPts_), stream->time_base);
        }
        if (time < 0) time = 0;
        lastTime_ = time;
        // A frame whose size changed midway is still converted to the stream's size.
        queue_.push_back(QueuedFrame{frame, time});
    }
    return true;
}

const QueuedFrame* VideoTrack::TakeDue(int64_t now) {
    Fill(1);
    if (queue_.empty() || queue_.front().time > now) return nullptr;
    for (;;) {
        Drop(shown_);
        shown_ = queue_.front();
        queue_.pop_front();
        Fill(1);
        if (queue_.empty() || queue_.front().time > now) break;
    }
    shownEnd_ = SaturatingAdd(shown_.time, timePerFrame_);
    return &shown_;
}

const QueuedFrame* VideoTrack::TakeNext() {
    Fill(1);
    if (queue_.empty()) return nullptr;
    Drop(shown_);
    shown_ = queue_.front();
    queue_.pop_front();
    shownEnd_ = SaturatingAdd(shown_.time, timePerFrame_);
    return &shown_;
}

bool VideoTrack::Exhausted() {
    Fill(1);
    return queue_.empty();
}

bool VideoTrack::SeekTo(int64_t time) {
    for (QueuedFrame& f : queue_) Drop(f);
    queue_.clear();
    Drop(shown_);
    shownEnd_ = 0;
    lastTime_ = -1;
    const AVStream* stream = pipe_->format->streams[pipe_->streamIndex];
    const int64_t target = SaturatingAdd(
        startPts_, av_rescale_q(time, AVRational{1, static_cast<int>(kStreamTimeUnits)},
                                 stream->time_base));
    if (av_seek_frame(pipe_->format, pipe_->streamIndex, target, AVSEEK_FLAG_BACKWARD) >= 0) {
        avcodec_flush_buffers(pipe_->codec);
        pipe_->drained = false;
        return true;
    }
    // A container that cannot seek is read again from its start; the frames before the
    // position are then skipped as they come due.
    auto fresh = std::make_unique<DecoderPipe>();
    if (!fresh->Open(path_, AVMEDIA_TYPE_VIDEO)) return false;
    pipe_ = std::move(fresh);
    return true;
}

// ---- FrameConverter ------------------------------------------------------------------------

FrameConverter::~FrameConverter() { sws_freeContext(context_); }

int FrameConverter::PixelFormatFor(const PixelFormat& format) {
    if (!(format.flags & DDPF_RGB)) return -1;
    const uint32_t r = format.redMask, g = format.greenMask, b = format.blueMask;
    switch (format.bitCount) {
    case 16:
        if (r == 0xF800 && g == 0x07E0 && b == 0x001F) return AV_PIX_FMT_RGB565LE;
        if (r == 0x7C00 && g == 0x03E0 && b == 0x001F) return AV_PIX_FMT_RGB555LE;
        return -1;
    case 24:
        if (r == 0xFF0000 && g == 0xFF00 && b == 0xFF) return AV_PIX_FMT_BGR24;
        if (r == 0xFF && g == 0xFF00 && b == 0xFF0000) return AV_PIX_FMT_RGB24;
        return -1;
    case 32:
        if (r == 0xFF0000 && g == 0xFF00 && b == 0xFF) {
            return format.alphaMask == 0xFF000000u ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR0;
        }
        if (r == 0xFF && g == 0xFF00 && b == 0xFF0000) {
            return format.alphaMask == 0xFF000000u ? AV_PIX_FMT_RGBA : AV_PIX_FMT_RGB0;
        }
        return -1;
    default:
        return -1;
    }
}

bool FrameConverter::Convert(const AVFrame* frame, uint8_t* pixels, int32_t pitch, int width,
                             int height, int pixelFormat) {
    if (frame->width <= 0 || frame->height <= 0) return false;
    context_ = sws_getCachedContext(context_, frame->width, frame->height,
                                    static_cast<AVPixelFormat>(frame->format), width, height,
                                    static_cast<AVPixelFormat>(pixelFormat), SWS_POINT, nullptr,
                                    nullptr, nullptr);
    if (context_ == nullptr) return false;
    uint8_t* planes[4] = {pixels, nullptr, nullptr, nullptr};
    int pitches[4] = {pitch, 0, 0, 0};
    return sws_scale(context_, frame->data, frame->linesize, 0, frame->height, planes, pitches) ==
           height;
}

// ---- audio ---------------------------------------------------------------------------------

std::vector<int16_t> DecodeWholeAudio(const std::string& path) {
    std::vector<int16_t> out;
    DecoderPipe pipe;
    if (!pipe.Open(path, AVMEDIA_TYPE_AUDIO)) return out;
    AVCodecContext* codec = pipe.codec;
    if (codec->sample_rate <= 0 || codec->ch_layout.nb_channels <= 0) return out;
    SwrContext* resampler = nullptr;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, 44100, &codec->ch_layout,
                            codec->sample_fmt, codec->sample_rate, 0, nullptr) < 0 ||
        swr_init(resampler) < 0) {
        swr_free(&resampler);
        return out;
    }
    // One buffer of the sound layer holds it all: at most DSBSIZE_MAX bytes.
    constexpr size_t kMaxSamples = 0x0FFFFFF0 / sizeof(int16_t);
    AVFrame* frame = av_frame_alloc();
    std::vector<int16_t> chunk;
    bool flushing = false;
    while (frame != nullptr && out.size() < kMaxSamples) {
        int inCount = 0;
        const uint8_t** inData = nullptr;
        if (!flushing) {
            if (!pipe.Next(frame)) {
                flushing = true;
            } else {
                inCount = frame->nb_samples;
                inData = const_cast<const uint8_t**>(frame->extended_data);
            }
        }
        const int room = swr_get_out_samples(resampler, inCount);
        if (room < 0) break;
        chunk.resize(static_cast<size_t>(room + 16) * 2);
        uint8_t* outData[1] = {reinterpret_cast<uint8_t*>(chunk.data())};
        const int made = swr_convert(resampler, outData, room + 16, inData, inCount);
        if (made < 0) break;
        out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<size_t>(made) * 2);
        if (!flushing) av_frame_unref(frame);
        if (flushing && made == 0) break;
    }
    if (out.size() > kMaxSamples) out.resize(kMaxSamples);
    av_frame_free(&frame);
    swr_free(&resampler);
    return out;
}

}  // namespace plat::media
