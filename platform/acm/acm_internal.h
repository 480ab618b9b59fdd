// Internal to the codec manager: the checked source format and the decoders behind a stream.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/acm/acm.h"

namespace plat::acm {

// A source format that passed the checks, with what its decoder needs.
struct SourceFormat {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint32_t samplesPerBlock = 0;        // ADPCM: per channel, header samples included
    std::vector<ADPCMCOEFSET> coefs;     // MS ADPCM
};

// Checks src (18 + cbSize bytes) and describes it; ACMERR_NOTPOSSIBLE for a format the layer
// does not decode or a hostile one.
MMRESULT ParseSourceFormat(const WAVEFORMATEX* src, SourceFormat* out);
// The PCM format a source converts to.
WAVEFORMATEX PcmFormatFor(const SourceFormat& src);

class Decoder {
public:
    virtual ~Decoder() = default;
    // Decodes from src into dst as acm.h describes; *srcUsed and *dstUsed are set in every
    // case (0 when nothing was done).
    virtual MMRESULT Convert(const uint8_t* src, uint32_t srcLength, uint8_t* dst,
                             uint32_t dstLength, uint32_t flags, uint32_t* srcUsed,
                             uint32_t* dstUsed) = 0;
    // Destination bytes srcBytes source bytes may give, at least; source bytes that give at
    // most dstBytes destination bytes. 0 when there is no answer.
    virtual uint64_t DestinationFor(uint64_t srcBytes) const = 0;
    virtual uint64_t SourceFor(uint64_t dstBytes) const = 0;
    // Forgets what is kept between conversions.
    virtual void Reset() {}
};

std::unique_ptr<Decoder> MakeImaAdpcmDecoder(const SourceFormat& format);
std::unique_ptr<Decoder> MakeMsAdpcmDecoder(const SourceFormat& format);
std::unique_ptr<Decoder> MakeG711Decoder(const SourceFormat& format);
// Null when libmpg123 cannot make a decoder.
std::unique_ptr<Decoder> MakeMpegLayer3Decoder(const SourceFormat& format);

// The sample a G.711 byte stands for.
int16_t DecodeALaw(uint8_t value);
int16_t DecodeMuLaw(uint8_t value);

}  // namespace plat::acm
