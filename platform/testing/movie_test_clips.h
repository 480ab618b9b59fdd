// Short movie clips for tests, made on the spot with FFmpeg's encoders: frames of a known
// pattern in a lossless codec (FFV1, 32-bit RGB) in a Matroska file, optionally with a 16-bit
// PCM stereo tone, so that a test can check a shown frame's pixels exactly.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct TestClip {
    int width = 32;
    int height = 24;
    int frames = 10;
    int framesPerSecond = 10;
    bool audio = false;        // a tone as long as the video, 44100 Hz stereo
    int toneHz = 441;
};

// The colour (0xRRGGBB, every channel 0 or 255) of pixel (x, y) of frame index of a clip of
// width x height: a background that changes with the frame and a white column that moves.
uint32_t TestClipPixel(const TestClip& clip, int index, int x, int y);
// The interleaved stereo samples of the clip's tone (what its audio stream holds).
std::vector<int16_t> TestClipTone(const TestClip& clip);
// Writes the clip to path (a file-system path). False when FFmpeg refuses.
bool WriteTestClip(const std::string& path, const TestClip& clip);

}  // namespace plat
