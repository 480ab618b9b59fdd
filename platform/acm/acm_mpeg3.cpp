// MPEG audio layer III through libmpg123 in feed mode: the source bytes are fed as they come,
// and the decoder keeps what does not fit the destination yet.
#include <mpg123.h>

#include <mutex>

#include "platform/acm/acm_internal.h"

namespace plat::acm {

namespace {

// Samples per channel in the largest frame (MPEG-1 layer III), the estimate's margin.
constexpr uint64_t kFrameSamples = 1152;

class MpegLayer3Decoder final : public Decoder {
public:
    explicit MpegLayer3Decoder(const SourceFormat& f) : format_(f) {}

    ~MpegLayer3Decoder() override {
        if (handle_ != nullptr) {
            mpg123_close(handle_);
            mpg123_delete(handle_);
        }
    }

    bool Open() {
        static std::once_flag once;
        std::call_once(once, [] { mpg123_init(); });
        int error = MPG123_OK;
        handle_ = mpg123_new(nullptr, &error);
        if (handle_ == nullptr) return false;
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
        // Exactly the destination's layout: the decoder mixes or duplicates channels and
        // resamples frames of another rate to it.
        if (mpg123_format_none(handle_) != MPG123_OK) return false;
        if (mpg123_format(handle_, static_cast<long>(format_.rate),
                          format_.channels == 1 ? MPG123_MONO : MPG123_STEREO,
                          MPG123_ENC_SIGNED_16) != MPG123_OK) {
            return false;
        }
        return mpg123_open_feed(handle_) == MPG123_OK;
    }

    MMRESULT Convert(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength,
                     uint32_t, uint32_t* srcUsed, uint32_t* dstUsed) override {
        *srcUsed = 0;
        *dstUsed = 0;
        const uint32_t frame = format_.channels * 2u;
        const uint32_t room = dstLength / frame * frame;
        uint32_t written = 0;
        // What the decoder kept from before comes first; new source only when there is room.
        if (!Drain(dst, room, &written)) {
            *dstUsed = written;
            return ACMERR_NOTPOSSIBLE;
        }
        if (written < room && srcLength != 0) {
            if (mpg123_feed(handle_, src, srcLength) != MPG123_OK) {
                *dstUsed = written;
                return ACMERR_NOTPOSSIBLE;
            }
            *srcUsed = srcLength;
            if (!Drain(dst, room, &written)) {
                *dstUsed = written;
                return ACMERR_NOTPOSSIBLE;
            }
        }
        *dstUsed = written;
        return MMSYSERR_NOERROR;
    }

    uint64_t DestinationFor(uint64_t srcBytes) const override {
        const uint64_t frames = (srcBytes * format_.rate + format_.avgBytesPerSec - 1) /
                                    format_.avgBytesPerSec + 2 * kFrameSamples;
        return frames * format_.channels * 2;
    }

    uint64_t SourceFor(uint64_t dstBytes) const override {
        const uint64_t frames = dstBytes / (format_.channels * 2u);
        return frames * format_.avgBytesPerSec / format_.rate;
    }

    void Reset() override {
        mpg123_close(handle_);
        mpg123_open_feed(handle_);
    }

private:
    // Reads decoded samples into dst up to room bytes; false on a decoder error.
    bool Drain(uint8_t* dst, uint32_t room, uint32_t* written) {
        while (*written < room) {
            size_t done = 0;
            const int r = mpg123_read(handle_, dst + *written, room - *written, &done);
            *written += static_cast<uint32_t>(done);
            if (r == MPG123_NEW_FORMAT) continue;
            if (r == MPG123_NEED_MORE || r == MPG123_DONE) return true;
            if (r != MPG123_OK) return false;
            if (done == 0) return true;
        }
        return true;
    }

    SourceFormat format_;
    mpg123_handle* handle_ = nullptr;
};

}  // namespace

std::unique_ptr<Decoder> MakeMpegLayer3Decoder(const SourceFormat& format) {
    auto decoder = std::make_unique<MpegLayer3Decoder>(format);
    if (!decoder->Open()) return nullptr;
    return decoder;
}

}  // namespace plat::acm
