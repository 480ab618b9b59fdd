// The platform's audio codec manager, shaped like the Audio Compression Manager: conversion
// streams from a compressed wave format to 16-bit PCM of the same rate and channels.
//
// Source formats (wFormatTag):
//   WAVE_FORMAT_IMA_ADPCM (0x11)  4-bit IMA ADPCM in blocks (IMAADPCMWAVEFORMAT)
//   WAVE_FORMAT_ADPCM (0x2)       4-bit Microsoft ADPCM in blocks with coefficient sets
//                                 (ADPCMWAVEFORMAT)
//   WAVE_FORMAT_ALAW (0x6)        8-bit A-law
//   WAVE_FORMAT_MULAW (0x7)       8-bit mu-law
//   WAVE_FORMAT_MPEGLAYER3 (0x55) MPEG audio layer III (MPEGLAYER3WAVEFORMAT), decoded by
//                                 libmpg123 fed with the bytes as they come; frames of another
//                                 rate or channel count than the format declares are
//                                 resampled or mixed to the declared layout
// Each may have 1 or 2 channels. The destination is always WAVE_FORMAT_PCM with the source's
// channels and rate and 16 bits. A format that names zero channels, a zero block align, a rate
// of 0 or above 384000, a block that cannot hold its own header, sizes whose products do
// not fit, or an extra part (cbSize) shorter than its tag needs or making the record longer
// than kAcmMaxFormatBytes is refused with ACMERR_NOTPOSSIBLE. A format record
// passed in must hold 18 + cbSize bytes (18 for WAVE_FORMAT_PCM).
//
// Conversion: the caller prepares a stream header over its source and destination memory,
// fills cbSrcLength and calls acmStreamConvert, which decodes what it can and reports the
// bytes taken (cbSrcLengthUsed) and written (cbDstLengthUsed); the caller moves what was
// not taken to the front for the next call. ADPCM is decoded by whole blocks; bytes after the
// last whole block of a conversion are taken as a block cut short (the end of the data) and
// decoded as far as they go, unless ACM_STREAMCONVERTF_BLOCKALIGN asks for whole blocks only
// and ACM_STREAMCONVERTF_END does not say that this is the last piece. So pieces that end
// inside a block must be converted with BLOCKALIGN, and the last piece with END (or without
// BLOCKALIGN). A tail smaller than the block header is left untaken. A-law and mu-law take whole sample frames. MPEG audio takes
// all the source it is given (the decoder keeps what does not fit the destination yet and
// writes it first on the next call, before it takes more source). Damaged data makes the
// conversion fail with ACMERR_NOTPOSSIBLE (an MS ADPCM block naming a coefficient set the
// format does not have) or, for MPEG audio, is skipped as the decoder resynchronises.
//
// Streams are independent objects; one stream is used by one thread at a time.
#pragma once
#include <cstdint>

#include "platform/dsound/dsound_types.h"

namespace plat {

// ---- results (MMRESULT) ------------------------------------------------------------------
using MMRESULT = uint32_t;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT ACMERR_NOTPOSSIBLE = 512;
inline constexpr MMRESULT ACMERR_BUSY = 513;
inline constexpr MMRESULT ACMERR_UNPREPARED = 514;
inline constexpr MMRESULT ACMERR_CANCELED = 515;

// ---- format tags -----------------------------------------------------------------------------
inline constexpr uint16_t WAVE_FORMAT_ADPCM = 0x2;
inline constexpr uint16_t WAVE_FORMAT_ALAW = 0x6;
inline constexpr uint16_t WAVE_FORMAT_MULAW = 0x7;
inline constexpr uint16_t WAVE_FORMAT_IMA_ADPCM = 0x11;
inline constexpr uint16_t WAVE_FORMAT_DVI_ADPCM = 0x11;
inline constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x55;

// ---- flags -------------------------------------------------------------------------------------
// acmMetrics: the largest format record any source format needs, in bytes (uint32_t out):
// kAcmMaxFormatBytes.
inline constexpr uint32_t ACM_METRIC_MAX_SIZE_FORMAT = 50;
inline constexpr uint32_t kAcmMaxFormatBytes = 256;
// acmFormatSuggest: which fields of the destination are given (the rest are suggested).
inline constexpr uint32_t ACM_FORMATSUGGESTF_WFORMATTAG = 0x10000;
inline constexpr uint32_t ACM_FORMATSUGGESTF_NCHANNELS = 0x20000;
inline constexpr uint32_t ACM_FORMATSUGGESTF_NSAMPLESPERSEC = 0x40000;
inline constexpr uint32_t ACM_FORMATSUGGESTF_WBITSPERSAMPLE = 0x80000;
// acmStreamOpen.
inline constexpr uint32_t ACM_STREAMOPENF_QUERY = 0x1;      // only asks; no stream is made
inline constexpr uint32_t ACM_STREAMOPENF_ASYNC = 0x2;      // not supported
inline constexpr uint32_t ACM_STREAMOPENF_NONREALTIME = 0x4;
// acmStreamSize: which side the given length is.
inline constexpr uint32_t ACM_STREAMSIZEF_SOURCE = 0x0;
inline constexpr uint32_t ACM_STREAMSIZEF_DESTINATION = 0x1;
// acmStreamConvert.
inline constexpr uint32_t ACM_STREAMCONVERTF_BLOCKALIGN = 0x4;
inline constexpr uint32_t ACM_STREAMCONVERTF_START = 0x10;  // first piece: the state starts anew
inline constexpr uint32_t ACM_STREAMCONVERTF_END = 0x20;    // last piece
// ACMSTREAMHEADER::fdwStatus.
inline constexpr uint32_t ACMSTREAMHEADER_STATUSF_DONE = 0x10000;
inline constexpr uint32_t ACMSTREAMHEADER_STATUSF_PREPARED = 0x20000;
inline constexpr uint32_t ACMSTREAMHEADER_STATUSF_INQUEUE = 0x100000;

// MPEGLAYER3WAVEFORMAT fields.
inline constexpr uint16_t MPEGLAYER3_WFX_EXTRA_BYTES = 12;
inline constexpr uint16_t MPEGLAYER3_ID_UNKNOWN = 0;
inline constexpr uint16_t MPEGLAYER3_ID_MPEG = 1;
inline constexpr uint32_t MPEGLAYER3_FLAG_PADDING_ISO = 0;
inline constexpr uint32_t MPEGLAYER3_FLAG_PADDING_ON = 1;
inline constexpr uint32_t MPEGLAYER3_FLAG_PADDING_OFF = 2;

// ---- format records (little-endian, as in a RIFF "fmt " chunk) -----------------------------
#pragma pack(push, 2)
struct IMAADPCMWAVEFORMAT {
    WAVEFORMATEX wfx;           // cbSize 2
    uint16_t wSamplesPerBlock;  // per channel, the header's sample included
};

struct ADPCMCOEFSET {
    int16_t iCoef1;
    int16_t iCoef2;
};

// wNumCoef sets follow wSamplesPerBlock (cbSize = 4 + 4 × wNumCoef); the record below holds
// the usual seven, a format may bring more (up to kAcmMaxFormatBytes in all).
struct ADPCMWAVEFORMAT {
    WAVEFORMATEX wfx;
    uint16_t wSamplesPerBlock;
    uint16_t wNumCoef;
    ADPCMCOEFSET aCoef[7];
};

struct MPEGLAYER3WAVEFORMAT {
    WAVEFORMATEX wfx;  // cbSize MPEGLAYER3_WFX_EXTRA_BYTES
    uint16_t wID;
    uint32_t fdwFlags;
    uint16_t nBlockSize;
    uint16_t nFramesPerBlock;
    uint16_t nCodecDelay;
};
#pragma pack(pop)
static_assert(sizeof(IMAADPCMWAVEFORMAT) == 20);
static_assert(sizeof(ADPCMWAVEFORMAT) == 50);
static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == 30);

// ---- objects -----------------------------------------------------------------------------------
struct AcmDriver;
struct AcmStream;
using HACMDRIVER = AcmDriver*;  // there is one driver: null stands for it
using HACMSTREAM = AcmStream*;
using HACMOBJ = void*;

// One conversion's memory. cbStruct must be sizeof(ACMSTREAMHEADER). The caller owns both
// buffers; they must stay as prepared (same pointers, lengths no larger) until unprepared.
struct ACMSTREAMHEADER {
    uint32_t cbStruct;
    uint32_t fdwStatus;
    uintptr_t dwUser;
    uint8_t* pbSrc;
    uint32_t cbSrcLength;
    uint32_t cbSrcLengthUsed;
    uintptr_t dwSrcUser;
    uint8_t* pbDst;
    uint32_t cbDstLength;
    uint32_t cbDstLengthUsed;
    uintptr_t dwDstUser;
    uint32_t dwReservedDriver[10];  // the prepared lengths are kept here
};

// ---- calls ---------------------------------------------------------------------------------------
// ACM_METRIC_MAX_SIZE_FORMAT into *(uint32_t*)out; other metrics MMSYSERR_NOTSUPPORTED.
MMRESULT acmMetrics(HACMOBJ object, uint32_t metric, void* out);

// Fills dst (dstSize bytes, at least 18) with the PCM format src converts to. With
// ACM_FORMATSUGGESTF_WFORMATTAG dst->wFormatTag is given and must be WAVE_FORMAT_PCM; the other
// flags keep the given channels, rate or bits, which must then be the source's (16 bits).
// ACMERR_NOTPOSSIBLE for a source format the layer does not decode (or a hostile one).
MMRESULT acmFormatSuggest(HACMDRIVER driver, const WAVEFORMATEX* src, WAVEFORMATEX* dst,
                          uint32_t dstSize, uint32_t flags);

// Opens a stream from src to dst (PCM, src's channels and rate, 16 bits). filter must be
// null; callback and instance are not used (no ACM_STREAMOPENF_ASYNC: MMSYSERR_INVALFLAG).
// With ACM_STREAMOPENF_QUERY only says whether it could (out may be null). Copies both
// formats: the caller may free them afterwards.
MMRESULT acmStreamOpen(HACMSTREAM* out, HACMDRIVER driver, const WAVEFORMATEX* src,
                       const WAVEFORMATEX* dst, const void* filter, uintptr_t callback,
                       uintptr_t instance, uint32_t flags);
// Frees the stream. ACMERR_BUSY while a header is still prepared on it.
MMRESULT acmStreamClose(HACMSTREAM stream, uint32_t flags);

// ACM_STREAMSIZEF_SOURCE: the destination bytes input source bytes may give (at least what
// they give; a whole number of destination blocks). ACM_STREAMSIZEF_DESTINATION: the source
// bytes that give at most input destination bytes (whole source blocks). ACMERR_NOTPOSSIBLE
// when the answer does not fit 32 bits or is 0.
MMRESULT acmStreamSize(HACMSTREAM stream, uint32_t input, uint32_t* output, uint32_t flags);

// Prepares header for conversions on stream. MMSYSERR_INVALPARAM for a wrong cbStruct, a
// null buffer or a zero length; ACMERR_BUSY when it is already prepared.
MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags);
// Converts cbSrcLength bytes (at most the prepared length) into the destination, as the file
// comment says; sets cbSrcLengthUsed, cbDstLengthUsed and ACMSTREAMHEADER_STATUSF_DONE.
// ACMERR_UNPREPARED for a header not prepared on this stream.
MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags);
// Drops what the decoder keeps between conversions (MPEG audio), as after a seek.
MMRESULT acmStreamReset(HACMSTREAM stream, uint32_t flags);

}  // namespace plat
