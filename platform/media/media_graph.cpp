// The filter graph and the interfaces it hands out: media control, seeking and basic audio,
// all acting on the presentation a multimedia stream set up on the graph.
#include <atomic>

#include "platform/dsound/dsound.h"
#include "platform/media/media_internal.h"

namespace plat::media {

namespace {

// The base of the graph's interfaces: each holds a reference on its graph.
template <class Interface>
class GraphPart : public Interface {
public:
    explicit GraphPart(GraphBuilder* graph) : graph_(graph) { graph_->AddRef(); }
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override {
        const uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ~GraphPart() override { graph_->Release(); }
    Presentation* Playing() {
        Presentation* p = GraphPresentation(graph_).get();
        return p != nullptr && p->open ? p : nullptr;
    }

private:
    GraphBuilder* graph_;
    std::atomic<uint32_t> refs_{1};
};

class Control final : public GraphPart<MediaControl> {
public:
    using GraphPart::GraphPart;
    MSResult Run() override { return Set(true); }
    MSResult Pause() override { return Set(false); }
    MSResult Stop() override { return Set(false); }

private:
    MSResult Set(bool run) {
        Presentation* p = Playing();
        if (p == nullptr) return MS_E_NOTINIT;
        p->SetRunning(run);
        return MS_OK;
    }
};

class Seeking final : public GraphPart<MediaSeeking> {
public:
    using GraphPart::GraphPart;
    MSResult GetStopPosition(int64_t* out) override {
        Presentation* p = Playing();
        if (out == nullptr) return MS_E_INVALIDARG;
        if (p == nullptr) return MS_E_NOTINIT;
        *out = p->stopPosition;
        return MS_OK;
    }
    MSResult GetCurrentPosition(int64_t* out) override {
        Presentation* p = Playing();
        if (out == nullptr) return MS_E_INVALIDARG;
        if (p == nullptr) return MS_E_NOTINIT;
        *out = p->Now();
        return MS_OK;
    }
    MSResult SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop,
                          uint32_t stopFlags) override {
        Presentation* p = Playing();
        if (p == nullptr) return MS_E_NOTINIT;
        if ((currentFlags & AM_SEEKING_AbsolutePositioning) && current == nullptr) {
            return MS_E_INVALIDARG;
        }
        if ((stopFlags & AM_SEEKING_AbsolutePositioning) && stop == nullptr) {
            return MS_E_INVALIDARG;
        }
        if (stopFlags & AM_SEEKING_AbsolutePositioning) p->stopPosition = *stop < 0 ? 0 : *stop;
        if (currentFlags & AM_SEEKING_AbsolutePositioning) p->SeekTo(*current);
        return MS_OK;
    }
};

class Audio final : public GraphPart<BasicAudio> {
public:
    using GraphPart::GraphPart;
    MSResult put_Volume(int32_t volume) override {
        Presentation* p = Playing();
        if (p == nullptr) return MS_E_NOTINIT;
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return MS_E_INVALIDARG;
        if (p->audio == nullptr) return MS_E_NOSTREAM;
        p->volume = volume;
        return p->audio->SetVolume(volume) < 0 ? MS_E_FAIL : MS_OK;
    }
    MSResult get_Volume(int32_t* out) override {
        Presentation* p = Playing();
        if (out == nullptr) return MS_E_INVALIDARG;
        if (p == nullptr) return MS_E_NOTINIT;
        if (p->audio == nullptr) return MS_E_NOSTREAM;
        *out = p->volume;
        return MS_OK;
    }
};

class Graph final : public GraphBuilder {
public:
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override {
        const uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    MSResult QueryMediaControl(MediaControl** out) override { return Hand(new Control(this), out); }
    MSResult QueryMediaSeeking(MediaSeeking** out) override { return Hand(new Seeking(this), out); }
    MSResult QueryBasicAudio(BasicAudio** out) override { return Hand(new Audio(this), out); }

    std::shared_ptr<Presentation> presentation;

private:
    template <class T, class I>
    static MSResult Hand(T* made, I** out) {
        if (out == nullptr) {
            made->Release();
            return MS_E_INVALIDARG;
        }
        *out = made;
        return MS_OK;
    }
    std::atomic<uint32_t> refs_{1};
};

}  // namespace

MSResult NewGraph(GraphBuilder** out) {
    if (out == nullptr) return MS_E_INVALIDARG;
    *out = new Graph();
    return MS_OK;
}

std::shared_ptr<Presentation>& GraphPresentation(GraphBuilder* graph) {
    return static_cast<Graph*>(graph)->presentation;
}

}  // namespace plat::media

namespace plat {
MSResult CoCreateFilterGraph(GraphBuilder** out) { return media::NewGraph(out); }
}  // namespace plat
