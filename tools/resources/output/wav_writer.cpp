#include "tools/resources/output/wav_writer.h"

#include <algorithm>
#include <cmath>

#include "tools/resources/output/byte_writer.h"

namespace res {

int16_t ToPcm16(float v) {
    return static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

bool WriteWav(const std::string& path, const SoundBuffer& sound) {
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    const uint16_t blockAlign = static_cast<uint16_t>(sound.channels * 2);
    ByteWriter w;
    w.Text("RIFF");
    w.U32(4 + 8 + 16 + 8 + dataBytes);
    w.Text("WAVE");
    w.Text("fmt ");
    w.U32(16);
    w.U16(1);  // PCM
    w.U16(static_cast<uint16_t>(sound.channels));
    w.U32(static_cast<uint32_t>(sound.rate));
    w.U32(static_cast<uint32_t>(sound.rate) * blockAlign);
    w.U16(blockAlign);
    w.U16(16);
    w.Text("data");
    w.U32(dataBytes);
    for (float s : sound.samples) w.U16(static_cast<uint16_t>(ToPcm16(s)));
    return WriteFileBytes(path, w.bytes());
}

}  // namespace res
