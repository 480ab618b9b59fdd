// The reader of RIFF WAVE files with PCM data: the data is read as it stands, piece by piece.
#include "sound/converter/converter_readers.h"
#include "sound/converter/wave_chunks.h"

int OpenWavePcm(SoundConverter* c) {
    WaveFileLayout layout;
    if (ReadWaveFileLayout(&c->stream, &layout) != 0) return -1;
    const WaveFormatFields& f = layout.fields;
    if (f.formatTag != plat::WAVE_FORMAT_PCM) return -1;
    uint32_t bits = f.bitsPerSample;
    // A 16-byte format chunk is the old PCM record: the sample size follows from the block.
    if (layout.formatChunkBytes == 16) bits = f.blockAlign / f.channels * 8u;
    if (f.channels > 2 || (bits != 8 && bits != 16) || f.blockAlign != f.channels * bits / 8) {
        return -1;
    }
    c->format = MakePcmFormat(f.channels, f.samplesPerSec, bits);
    if (c->format.nAvgBytesPerSec == 0 || f.samplesPerSec > plat::DSBFREQUENCY_MAX) return -1;
    c->dataStart = layout.dataStart;
    // Whole sample frames only.
    c->dataBytes = layout.dataBytes - layout.dataBytes % f.blockAlign;
    c->kind = kSoundConverterPcm;
    c->workBytes = c->format.nAvgBytesPerSec;
    return 0;
}

// The next piece of the data, never past its end. A short read of the source ends the data.
int RefillPcm(SoundConverter* c) {
    const int64_t left = c->dataBytes - c->sourcePosition;
    if (left <= 0) return -1;
    const uint32_t want = left < c->workBytes ? static_cast<uint32_t>(left) : c->workBytes;
    if (!SeekConverterStream(&c->stream, c->dataStart + c->sourcePosition)) return -1;
    const size_t got = c->stream.functions.read(c->work, 1, want, c->stream.handle);
    if (got == 0) {
        c->sourcePosition = c->dataBytes;
        return -1;
    }
    c->sourcePosition += static_cast<int64_t>(got);
    c->workFilled = static_cast<uint32_t>(got);
    return 0;
}
