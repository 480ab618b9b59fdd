// Writes the small sample files of every image format into a directory, as seed corpora of the
// decoder fuzz targets: <directory>/<format>/<name> for the formats bmp, tga, dds, bgra, png and
// jpeg, and the sound formats wav and mp3.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/graphics/image_fixtures.h"
#include "tests/sound/sound_fixtures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const fixtures::NamedFile& sample : fixtures::SmallSampleFiles()) {
        const std::string format = sample.name.substr(0, sample.name.find('_'));
        std::filesystem::create_directories(root / format);
        std::ofstream out(root / format / sample.name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(sample.bytes.data()),
                  static_cast<std::streamsize>(sample.bytes.size()));
    }
    // Sound seeds: PCM, G.711 and IMA ADPCM waves, raw MP3 frames with and without tags.
    soundfix::WaveFormat pcm;
    pcm.channels = 2;
    soundfix::WaveFormat mulaw;
    mulaw.tag = 7;
    mulaw.bits = 8;
    mulaw.chunkSize = 18;
    soundfix::WaveFormat ima;
    ima.tag = 0x11;
    ima.bits = 4;
    ima.blockAlign = 36;
    ima.avgBytes = 11025;
    ima.chunkSize = 20;
    ima.extra = {65, 0};
    std::vector<int16_t> imaDecoded;
    const auto imaData = soundfix::ImaAdpcmEncodeMono(
        soundfix::Sine16(65 * 3, 1, 22050, 440, 8000), 36, &imaDecoded);
    soundfix::Bytes tagged = soundfix::Id3v2Tag(40, 4, true);
    const soundfix::Bytes frames = soundfix::Mp3Frames(3, true);
    tagged.insert(tagged.end(), frames.begin(), frames.end());
    const std::pair<const char*, soundfix::Bytes> sounds[] = {
        {"wav_pcm16.wav", soundfix::SimpleWave(pcm, soundfix::Pcm16Bytes(
                                                        soundfix::Pcm16Pattern(64, 2)))},
        {"wav_mulaw.wav", soundfix::SimpleWave(mulaw, soundfix::Bytes(64, 0x55))},
        {"wav_ima.wav", soundfix::SimpleWave(ima, imaData)},
        {"wav_list.wav",
         soundfix::RiffWave({soundfix::Chunk("fmt ", soundfix::FormatChunkBody(pcm)),
                             soundfix::Chunk("LIST", soundfix::Bytes(5, 'l')),
                             soundfix::Chunk("data", soundfix::Bytes(16, 1))})},
        {"mp3_frames.mp3", soundfix::Mp3Frames(4)},
        {"mp3_id3.mp3", tagged},
    };
    for (const auto& [name, bytes] : sounds) {
        const std::string text = name;
        const std::string format = text.substr(0, text.find('_'));
        std::filesystem::create_directories(root / format);
        std::ofstream out(root / format / text, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    // Codec-manager seeds (acm_fuzz's layout): codec, channels and flags, block align, piece
    // size, then the data.
    const std::vector<int16_t> tone = soundfix::Sine16(65 * 4, 1, 22050, 440, 8000);
    std::vector<int16_t> unused;
    const soundfix::Bytes imaBlocks = soundfix::ImaAdpcmEncodeMono(tone, 36, &unused);
    soundfix::Bytes noise(300);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>((i * 73 + 11) & 0xFF);
    auto acmSeed = [](uint8_t codec, uint8_t bits, uint16_t align, uint8_t piece,
                      const soundfix::Bytes& body) {
        soundfix::Bytes b = {codec, bits, static_cast<uint8_t>(align & 0xFF),
                             static_cast<uint8_t>(align >> 8), piece};
        b.insert(b.end(), body.begin(), body.end());
        return b;
    };
    soundfix::Bytes msBody = noise;
    msBody[0] = 1;  // coefficient set of the first block
    const std::pair<const char*, soundfix::Bytes> acmSeeds[] = {
        {"acm_ima.bin", acmSeed(0, 0, 36, 1, imaBlocks)},
        {"acm_ms_stereo.bin", acmSeed(1, 1, 64, 2, msBody)},
        {"acm_alaw.bin", acmSeed(2, 0, 1, 0, noise)},
        {"acm_mulaw_stereo.bin", acmSeed(3, 3, 2, 1, noise)},
        {"acm_mp3.bin", acmSeed(4, 0, 417, 3, soundfix::Mp3Frames(4))},
    };
    std::filesystem::create_directories(root / "acm");
    for (const auto& [name, bytes] : acmSeeds) {
        std::ofstream out(root / "acm" / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    return 0;
}
