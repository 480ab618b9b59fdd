// The multimedia stream opened for reading: its graph, its primary video and audio streams,
// the file it plays, and its run state.
#include <atomic>

#include "platform/core/file.h"
#include "platform/dsound/dsound.h"
#include "platform/media/media_internal.h"

namespace plat::media {

namespace {

class AudioStream final : public MediaStream {
public:
    explicit AudioStream(std::shared_ptr<Presentation> p) : presentation_(std::move(p)) {}
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override {
        const uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    StreamPurpose Purpose() override { return StreamPurpose::Audio; }

private:
    std::shared_ptr<Presentation> presentation_;
    std::atomic<uint32_t> refs_{1};
};

class Stream final : public MultiMediaStream {
public:
    ~Stream() override {
        if (graph_ != nullptr) graph_->Release();
    }
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override {
        const uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    MSResult Initialize(int32_t streamType, uint32_t /*flags*/, GraphBuilder* graph) override {
        if (graph_ != nullptr) return MS_E_ALREADYINIT;
        if (streamType != STREAMTYPE_READ) return MS_E_INVALIDARG;
        if (graph != nullptr) {
            if (GraphPresentation(graph) != nullptr) return MS_E_ALREADYINIT;
            graph->AddRef();
            graph_ = graph;
        } else if (NewGraph(&graph_) < 0) {
            return MS_E_OUTOFMEMORY;
        }
        presentation_ = std::make_shared<Presentation>();
        GraphPresentation(graph_) = presentation_;
        return MS_OK;
    }

    MSResult AddPrimaryVideoStream(DirectDraw* directDraw) override {
        if (presentation_ == nullptr) return MS_E_NOTINIT;
        if (presentation_->wantVideo || presentation_->open) return MS_E_ALREADYINIT;
        if (directDraw != nullptr) {
            directDraw->AddRef();
        } else if (CreateDirectDraw(&directDraw) < 0) {
            return MS_E_FAIL;
        }
        presentation_->directDraw = directDraw;
        presentation_->wantVideo = true;
        return MS_OK;
    }

    MSResult AddPrimaryAudioStream(uint32_t flags) override {
        if (presentation_ == nullptr) return MS_E_NOTINIT;
        if (!(flags & AMMSF_ADDDEFAULTRENDERER)) return MS_E_INVALIDARG;
        if (presentation_->wantAudio || presentation_->open) return MS_E_ALREADYINIT;
        presentation_->wantAudio = true;
        return MS_OK;
    }

    MSResult OpenFile(const char* path) override {
        if (presentation_ == nullptr) return MS_E_NOTINIT;
        if (path == nullptr || path[0] == '\0') return MS_E_INVALIDARG;
        if (presentation_->open) return MS_E_ALREADYINIT;
        const std::string mapped = MapPath(path);
        Presentation& p = *presentation_;
        if (p.wantVideo) {
            auto video = std::make_unique<VideoTrack>();
            if (!video->Open(mapped)) return MS_E_CANNOTOPEN;
            p.stopPosition = video->duration();
            p.video = std::move(video);
        }
        if (p.wantAudio) {
            const std::vector<int16_t> samples = DecodeWholeAudio(mapped);
            if (!p.wantVideo && samples.empty()) return MS_E_CANNOTOPEN;
            // A movie whose sound cannot be played is still shown.
            if (!p.StartAudio(samples) && p.audio != nullptr) {
                p.audio->Release();
                p.audio = nullptr;
            }
            const int64_t audioLength =
                static_cast<int64_t>(samples.size() / 2) * kStreamTimeUnits / 44100;
            if (p.stopPosition <= 0) p.stopPosition = audioLength;
        }
        if (p.stopPosition <= 0 && p.video != nullptr) p.stopPosition = INT64_MAX;
        p.open = true;
        return MS_OK;
    }

    MSResult GetMediaStream(StreamPurpose purpose, MediaStream** out) override {
        if (out == nullptr) return MS_E_INVALIDARG;
        *out = nullptr;
        if (presentation_ == nullptr) return MS_E_NOTINIT;
        if (purpose == StreamPurpose::Video && presentation_->wantVideo) {
            return NewVideoStream(presentation_, out);
        }
        if (purpose == StreamPurpose::Audio && presentation_->wantAudio) {
            *out = new AudioStream(presentation_);
            return MS_OK;
        }
        return MS_E_NOSTREAM;
    }

    MSResult SetState(StreamState state) override {
        if (presentation_ == nullptr || !presentation_->open) return MS_E_NOTINIT;
        presentation_->SetRunning(state == StreamState::Run);
        return MS_OK;
    }
    MSResult GetState(StreamState* out) override {
        if (out == nullptr) return MS_E_INVALIDARG;
        *out = presentation_ != nullptr && presentation_->running ? StreamState::Run
                                                                   : StreamState::Stop;
        return MS_OK;
    }
    MSResult GetTime(int64_t* out) override {
        if (out == nullptr) return MS_E_INVALIDARG;
        if (presentation_ == nullptr || !presentation_->open) return MS_E_NOTINIT;
        *out = presentation_->Now();
        return MS_OK;
    }
    MSResult Seek(int64_t time) override {
        if (presentation_ == nullptr || !presentation_->open) return MS_E_NOTINIT;
        presentation_->SeekTo(time);
        return MS_OK;
    }

private:
    GraphBuilder* graph_ = nullptr;
    std::shared_ptr<Presentation> presentation_;
    std::atomic<uint32_t> refs_{1};
};

}  // namespace

}  // namespace plat::media

namespace plat {

MSResult CoCreateMultiMediaStream(MultiMediaStream** out) {
    if (out == nullptr) return MS_E_INVALIDARG;
    *out = new media::Stream();
    return MS_OK;
}

}  // namespace plat
