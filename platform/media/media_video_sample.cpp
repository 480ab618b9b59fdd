// The primary video stream as a DirectDraw media stream, and the stream samples that put its
// frames into a rectangle of a DirectDraw surface.
#include <algorithm>
#include <atomic>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/media/media_internal.h"

namespace plat::media {

namespace {

class Sample final : public DirectDrawStreamSample {
public:
    Sample(std::shared_ptr<Presentation> p, DrawSurface* surface, const Rect& rect,
           int pixelFormat)
        : presentation_(std::move(p)), surface_(surface), rect_(rect), pixelFormat_(pixelFormat) {
        surface_->AddRef();
    }
    ~Sample() override { surface_->Release(); }
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override {
        const uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    MSResult GetSurface(DrawSurface** surface, Rect* rect) override {
        if (surface != nullptr) {
            surface_->AddRef();
            *surface = surface_;
        }
        if (rect != nullptr) *rect = rect_;
        return MS_OK;
    }

    MSResult Update(uint32_t flags, Event* event) override {
        if (pending_) return MS_E_BUSY;
        const bool async = (flags & SSUPDATE_ASYNC) != 0;
        if (async && event == nullptr) return MS_E_INVALIDARG;
        Presentation& p = *presentation_;
        if (!p.open || p.video == nullptr) return MS_E_NOTINIT;
        const int64_t now = p.Now();
        const QueuedFrame* due = p.video->TakeDue(Horizon(now));
        if (due == nullptr && !async && !Ended(now)) due = p.video->TakeNext();
        if (due != nullptr) return Show(*due);
        if (!async || Ended(now)) return MS_S_ENDOFSTREAM;
        pending_ = true;
        event_ = event;
        return MS_S_PENDING;
    }

    MSResult CompletionStatus(uint32_t flags, uint32_t ms) override {
        if (!pending_) return last_ == MS_S_PENDING ? MS_S_NOUPDATE : last_;
        if (flags & COMPSTAT_ABORT) {
            pending_ = false;
            event_ = nullptr;
            last_ = MS_S_PENDING;
            return MS_S_NOUPDATE;
        }
        Presentation& p = *presentation_;
        const uint32_t start = MillisecondClock();
        for (;;) {
            const int64_t now = p.Now();
            if (const QueuedFrame* due = p.video->TakeDue(Horizon(now))) {
                return Complete(Show(*due));
            }
            if (Ended(now)) return Complete(MS_S_ENDOFSTREAM);
            if (MillisecondClock() - start >= ms || !p.running) return MS_S_PENDING;
            SleepMs(1);
        }
    }

private:
    // The latest frame time that may be shown now: none at or past the stop position.
    int64_t Horizon(int64_t now) const {
        return std::min(now, presentation_->stopPosition - 1);
    }

    // The stream has ended: its stop position is reached, or its last frame had its time.
    bool Ended(int64_t now) const {
        Presentation& p = *presentation_;
        if (now >= p.stopPosition) return true;
        return p.video->Exhausted() && now >= p.video->ShownEnd();
    }

    MSResult Complete(MSResult result) {
        pending_ = false;
        last_ = result;
        if (event_ != nullptr) SetEvent(event_);
        event_ = nullptr;
        return result;
    }

    MSResult Show(const QueuedFrame& frame) {
        SurfaceDesc locked{};
        if (surface_->Lock(&rect_, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY) < 0) {
            return MS_E_NOSURFACE;
        }
        const bool done = converter_.Convert(frame.frame, static_cast<uint8_t*>(locked.surface),
                                             locked.pitch, rect_.right - rect_.left,
                                             rect_.bottom - rect_.top, pixelFormat_);
        surface_->Unlock(&rect_);
        last_ = done ? MS_OK : MS_E_FAIL;
        return last_;
    }

    std::shared_ptr<Presentation> presentation_;
    DrawSurface* surface_;
    Rect rect_;
    int pixelFormat_;
    FrameConverter converter_;
    bool pending_ = false;
    Event* event_ = nullptr;
    MSResult last_ = MS_S_PENDING;
    std::atomic<uint32_t> refs_{1};
};

class VideoStream final : public DirectDrawMediaStream {
public:
    explicit VideoStream(std::shared_ptr<Presentation> p) : presentation_(std::move(p)) {}
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override {
        const uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    StreamPurpose Purpose() override { return StreamPurpose::Video; }

    MSResult GetFormat(SurfaceDesc* out) override {
        if (out == nullptr) return MS_E_INVALIDARG;
        const Presentation& p = *presentation_;
        if (!p.open || p.video == nullptr) return MS_E_NOTINIT;
        SurfaceDesc display{};
        if (p.directDraw->GetDisplayMode(&display) < 0) return MS_E_FAIL;
        *out = SurfaceDesc{};
        out->flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        out->width = static_cast<uint32_t>(p.video->width());
        out->height = static_cast<uint32_t>(p.video->height());
        out->pixelFormat = display.pixelFormat;
        out->caps.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        return MS_OK;
    }

    MSResult GetTimePerFrame(int64_t* out) override {
        if (out == nullptr) return MS_E_INVALIDARG;
        if (!presentation_->open || presentation_->video == nullptr) return MS_E_NOTINIT;
        *out = presentation_->video->timePerFrame();
        return MS_OK;
    }

    MSResult CreateSample(DrawSurface* surface, const Rect* rect, uint32_t /*flags*/,
                          DirectDrawStreamSample** out) override {
        if (out == nullptr) return MS_E_INVALIDARG;
        *out = nullptr;
        Presentation& p = *presentation_;
        if (!p.open || p.video == nullptr) return MS_E_NOTINIT;
        const int width = p.video->width(), height = p.video->height();
        DrawSurface* own = nullptr;
        if (surface == nullptr) {
            SurfaceDesc desc{};
            if (GetFormat(&desc) < 0) return MS_E_FAIL;
            desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;  // the display's format
            if (p.directDraw->CreateSurface(&desc, &own) < 0) return MS_E_NOSURFACE;
            surface = own;
        }
        SurfaceDesc described{};
        MSResult result = surface->GetSurfaceDesc(&described) < 0 ? MS_E_NOSURFACE : MS_OK;
        const Rect whole{0, 0, static_cast<int32_t>(described.width),
                         static_cast<int32_t>(described.height)};
        const Rect place = rect != nullptr ? *rect : whole;
        const int pixelFormat = FrameConverter::PixelFormatFor(described.pixelFormat);
        if (result == MS_OK &&
            (pixelFormat < 0 || place.right - place.left != width ||
             place.bottom - place.top != height || place.left < 0 || place.top < 0 ||
             place.right > whole.right || place.bottom > whole.bottom)) {
            result = MS_E_BADFORMAT;
        }
        if (result == MS_OK) *out = new Sample(presentation_, surface, place, pixelFormat);
        if (own != nullptr) own->Release();
        return result;
    }

private:
    std::shared_ptr<Presentation> presentation_;
    std::atomic<uint32_t> refs_{1};
};

}  // namespace

MSResult NewVideoStream(std::shared_ptr<Presentation> presentation, MediaStream** out) {
    *out = new VideoStream(std::move(presentation));
    return MS_OK;
}

}  // namespace plat::media

namespace plat {

DirectDrawMediaStream* QueryDirectDrawMediaStream(MediaStream* stream) {
    if (stream == nullptr || stream->Purpose() != StreamPurpose::Video) return nullptr;
    auto* video = static_cast<DirectDrawMediaStream*>(stream);
    video->AddRef();
    return video;
}

}  // namespace plat
