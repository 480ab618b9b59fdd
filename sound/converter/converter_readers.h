// The converter's readers, one a kind of source: each opens the converter on its kind of data
// (0, or -1 with nothing held), refills the work buffer with the next decoded piece (-1 at the
// end of the data) and gives back what it holds. The converter's entries try them in turn and
// dispatch on the kind found.
#pragma once
#include <cstdint>

#include "base/data_stream.h"
#include "platform/dsound/dsound_types.h"
#include "sound/converter/sound_converter.h"

// The largest whole decode: a sound buffer holds no more.
constexpr int64_t kWholePcmBytesMax = plat::DSBSIZE_MAX;

inline plat::WAVEFORMATEX MakePcmFormat(uint32_t channels, uint32_t rate, uint32_t bits) {
    plat::WAVEFORMATEX f{};
    f.wFormatTag = plat::WAVE_FORMAT_PCM;
    f.nChannels = static_cast<uint16_t>(channels);
    f.nSamplesPerSec = rate;
    f.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    f.wBitsPerSample = static_cast<uint16_t>(bits);
    f.cbSize = 0;
    return f;
}

inline bool SeekConverterStream(DataStream* stream, int64_t position) {
    return stream->functions.seek(stream->handle, position, 0) == 0;
}

// RIFF WAVE with PCM data: 1 or 2 channels of 8 or 16 bits.
int OpenWavePcm(SoundConverter* c);
int RefillPcm(SoundConverter* c);

// Sources the codec manager converts: RIFF WAVE with any other format tag, and raw MPEG audio
// layer III.
int OpenWaveAcm(SoundConverter* c);
int OpenMp3(SoundConverter* c);
int RefillAcm(SoundConverter* c);
// Starts the codec again at the start of the data.
int RestartAcm(SoundConverter* c);
void FreeAcm(SoundConverter* c);

// Ogg Vorbis through vorbisfile, over the converter's stream.
int OpenOggConverter(SoundConverter* c);
int RefillOgg(SoundConverter* c);
void CloseOggConverter(SoundConverter* c);
