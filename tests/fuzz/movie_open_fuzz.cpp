// libFuzzer target of the media open: the input written to a file, opened by a multimedia
// stream with its video and audio streams (FFmpeg's demuxers and decoders on arbitrary bytes),
// and, when it opens, a few frames put into a sample of the stream's own surface.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/core/clock.h"
#include "platform/media/media.h"

namespace {

// The input's file: one per process, rewritten for every input.
const std::string& InputPath() {
    static const std::string path = "/tmp/zn_movie_fuzz_" + std::to_string(getpid()) + ".bin";
    return path;
}

void PlayFewFrames(plat::MultiMediaStream* stream) {
    plat::MediaStream* video = nullptr;
    if (stream->GetMediaStream(plat::StreamPurpose::Video, &video) < 0) return;
    plat::DirectDrawMediaStream* ddStream = plat::QueryDirectDrawMediaStream(video);
    video->Release();
    if (ddStream == nullptr) return;
    plat::DirectDrawStreamSample* sample = nullptr;
    plat::SurfaceDesc format{};
    // Pictures beyond a modest size are left at their open: their frames cost time, not code.
    if (ddStream->GetFormat(&format) == plat::MS_OK && format.width * format.height <= 1 << 20 &&
        ddStream->CreateSample(nullptr, nullptr, 0, &sample) == plat::MS_OK) {
        stream->SetState(plat::StreamState::Run);
        for (int i = 0; i < 4 && sample->Update(0, nullptr) == plat::MS_OK; ++i) {
            plat::AdvanceVirtualClock(40000);
        }
        stream->Seek(0);
        sample->Update(0, nullptr);
        sample->Release();
    }
    ddStream->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool once = [] {
        plat::UseVirtualClock(true);
        return true;
    }();
    (void)once;
    FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    plat::MultiMediaStream* stream = nullptr;
    if (plat::CoCreateMultiMediaStream(&stream) != plat::MS_OK) return 0;
    if (stream->Initialize(plat::STREAMTYPE_READ, plat::AMMSF_NOGRAPHTHREAD, nullptr) ==
            plat::MS_OK &&
        stream->AddPrimaryVideoStream(nullptr) == plat::MS_OK &&
        stream->AddPrimaryAudioStream(plat::AMMSF_ADDDEFAULTRENDERER) == plat::MS_OK &&
        stream->OpenFile(InputPath().c_str()) == plat::MS_OK) {
        PlayFewFrames(stream);
    }
    stream->Release();
    return 0;
}
