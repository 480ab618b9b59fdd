// The buffer objects: secondary buffers (a voice of the device's mixer) and the primary buffer
// (the output itself).
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/dsound/dsound_internal.h"

namespace plat::snd {

namespace {

// The primary buffer's nominal size: a tenth of a second of its format.
uint32_t PrimaryBytes(const WAVEFORMATEX& f) {
    return std::max<uint32_t>(f.nBlockAlign, f.nAvgBytesPerSec / 10 / f.nBlockAlign * f.nBlockAlign);
}

// Bytes of whole frames in a secondary buffer.
uint32_t PlayableBytes(const Voice& v) { return v.frames * v.format.nBlockAlign; }

// The write cursor's lead: 10 ms at the buffer's rate, at least a frame.
uint32_t WriteLead(uint32_t frequency, uint32_t blockAlign) {
    return std::max<uint32_t>(1, frequency / 100) * blockAlign;
}

bool ValidPrimaryFormat(const WAVEFORMATEX& f) {
    if (f.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f.nChannels < 1 || f.nChannels > 2) return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
    if (f.nSamplesPerSec < 8000 || f.nSamplesPerSec > 48000) return false;
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return false;
    return f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

}  // namespace

BufferImpl::BufferImpl(DeviceImpl* owner, bool isPrimary, uint32_t createFlags)
    : device(owner), primary(isPrimary), flags(createFlags) {
    device->AddRef();
    SoundLayerState& s = LayerState();
    std::lock_guard<std::mutex> hold(s.mutex);
    ++s.liveBuffers;
}

BufferImpl::~BufferImpl() {
    {
        std::lock_guard<std::mutex> hold(device->mixer.mutex);
        auto& voices = device->mixer.voices;
        voices.erase(std::remove(voices.begin(), voices.end(), &voice), voices.end());
        if (device->primaryBuffer == this) device->primaryBuffer = nullptr;
        locks.clear();
        voice.samples.reset();
    }
    {
        SoundLayerState& s = LayerState();
        std::lock_guard<std::mutex> hold(s.mutex);
        --s.liveBuffers;
    }
    device->Release();
}

uint32_t BufferImpl::AddRef() { return ++refCount; }

uint32_t BufferImpl::Release() {
    const uint32_t left = --refCount;
    if (left == 0) delete this;
    return left;
}

// Every call below holds the mixer's mutex and first lets a clocked sink catch up, so what it
// reads or changes is the state of the present moment.
#define ZN_SOUND_HOLD()                                               \
    std::lock_guard<std::mutex> hold(device->mixer.mutex);            \
    if (device->sink != nullptr) device->sink->CatchUpLocked()

DSResult BufferImpl::GetCaps(DSBCAPS* out) {
    if (out == nullptr || out->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    ZN_SOUND_HOLD();
    out->dwFlags = flags | DSBCAPS_LOCSOFTWARE;
    out->dwBufferBytes = primary ? PrimaryBytes(primaryFormat) : static_cast<uint32_t>(voice.samples->size);
    out->dwUnlockTransferRate = 0;
    out->dwPlayCpuOverhead = 0;
    return DS_OK;
}

DSResult BufferImpl::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) {
    ZN_SOUND_HOLD();
    uint32_t play = 0;
    uint32_t write = 0;
    if (primary) {
        const WAVEFORMATEX& f = primaryFormat;
        const uint32_t size = PrimaryBytes(f);
        const uint64_t frames = device->mixer.framesOut * f.nSamplesPerSec / kOutputRate;
        play = static_cast<uint32_t>(frames * f.nBlockAlign % size);
        write = static_cast<uint32_t>((play + static_cast<uint64_t>(WriteLead(f.nSamplesPerSec, f.nBlockAlign))) % size);
    } else {
        const uint32_t size = PlayableBytes(voice);
        play = static_cast<uint32_t>(voice.position >> 16) * voice.format.nBlockAlign;
        write = play;
        const uint32_t lead = WriteLead(voice.frequency, voice.format.nBlockAlign);
        if (voice.playing && lead < size) write = (play + lead) % size;
    }
    if (playCursor != nullptr) *playCursor = play;
    if (writeCursor != nullptr) *writeCursor = write;
    return DS_OK;
}

DSResult BufferImpl::GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) {
    ZN_SOUND_HOLD();
    if (format != nullptr) {
        if (size < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
        *format = primary ? primaryFormat : voice.format;
    } else if (written == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    if (written != nullptr) *written = sizeof(WAVEFORMATEX);
    return DS_OK;
}

DSResult BufferImpl::GetVolume(int32_t* out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    if ((flags & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
    ZN_SOUND_HOLD();
    *out = voice.volume;
    return DS_OK;
}

DSResult BufferImpl::GetPan(int32_t* out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    if ((flags & DSBCAPS_CTRLPAN) == 0) return DSERR_CONTROLUNAVAIL;
    ZN_SOUND_HOLD();
    *out = voice.pan;
    return DS_OK;
}

DSResult BufferImpl::GetFrequency(uint32_t* out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    if (primary || (flags & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
    ZN_SOUND_HOLD();
    *out = voice.frequency;
    return DS_OK;
}

DSResult BufferImpl::GetStatus(uint32_t* out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    ZN_SOUND_HOLD();
    uint32_t status = 0;
    if (primary) {
        if (primaryPlaying) status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;
    } else {
        if (voice.playing) status |= DSBSTATUS_PLAYING;
        if (voice.playing && voice.looping) status |= DSBSTATUS_LOOPING;
        if (voice.lost) status |= DSBSTATUS_BUFFERLOST;
    }
    *out = status;
    return DS_OK;
}

DSResult BufferImpl::Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1,
                          void** ptr2, uint32_t* bytes2, uint32_t lockFlags) {
    if (ptr1 == nullptr || bytes1 == nullptr) return DSERR_INVALIDPARAM;
    *ptr1 = nullptr;
    *bytes1 = 0;
    if (ptr2 != nullptr) *ptr2 = nullptr;
    if (bytes2 != nullptr) *bytes2 = 0;
    if (primary) return DSERR_INVALIDCALL;
    if (ConsumeFault(&SoundLayerState::failLocks)) return DSERR_GENERIC;
    ZN_SOUND_HOLD();
    if (voice.lost) return DSERR_BUFFERLOST;
    const uint32_t size = static_cast<uint32_t>(voice.samples->size);
    if ((lockFlags & DSBLOCK_FROMWRITECURSOR) != 0) {
        const uint32_t whole = PlayableBytes(voice);
        offset = static_cast<uint32_t>(voice.position >> 16) * voice.format.nBlockAlign;
        const uint32_t lead = WriteLead(voice.frequency, voice.format.nBlockAlign);
        if (voice.playing && lead < whole) offset = (offset + lead) % whole;
    }
    if ((lockFlags & DSBLOCK_ENTIREBUFFER) != 0) bytes = size;
    if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    const uint32_t first = std::min(bytes, size - offset);
    const uint32_t second = bytes - first;
    if (second != 0 && (ptr2 == nullptr || bytes2 == nullptr)) return DSERR_INVALIDPARAM;

    OpenLock lock;
    lock.staging.reset(new (std::nothrow) uint8_t[bytes]);
    if (lock.staging == nullptr) return DSERR_OUTOFMEMORY;
    lock.offset = offset;
    lock.bytes1 = first;
    lock.bytes2 = second;
    const uint8_t* samples = voice.samples->bytes.get();
    std::memcpy(lock.staging.get(), samples + offset, first);
    if (second != 0) std::memcpy(lock.staging.get() + first, samples, second);
    *ptr1 = lock.staging.get();
    *bytes1 = first;
    if (second != 0) {
        *ptr2 = lock.staging.get() + first;
        *bytes2 = second;
    }
    locks.push_back(std::move(lock));
    return DS_OK;
}

DSResult BufferImpl::Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) {
    if (primary) return DSERR_INVALIDCALL;
    ZN_SOUND_HOLD();
    auto it = std::find_if(locks.begin(), locks.end(),
                           [&](const OpenLock& l) { return l.staging.get() == ptr1; });
    if (ptr1 == nullptr || it == locks.end()) return DSERR_INVALIDPARAM;
    const OpenLock& lock = *it;
    const void* expected2 = lock.bytes2 != 0 ? lock.staging.get() + lock.bytes1 : nullptr;
    if (ptr2 != expected2 && !(ptr2 == nullptr && bytes2 == 0)) return DSERR_INVALIDPARAM;
    if (bytes1 > lock.bytes1 || bytes2 > lock.bytes2) return DSERR_INVALIDPARAM;
    uint8_t* samples = voice.samples->bytes.get();
    std::memcpy(samples + lock.offset, lock.staging.get(), bytes1);
    if (bytes2 != 0) std::memcpy(samples, lock.staging.get() + lock.bytes1, bytes2);
    locks.erase(it);
    return DS_OK;
}

DSResult BufferImpl::Play(uint32_t reserved1, uint32_t, uint32_t playFlags) {
    if (reserved1 != 0) return DSERR_INVALIDPARAM;
    ZN_SOUND_HOLD();
    if (primary) {
        if ((playFlags & DSBPLAY_LOOPING) == 0) return DSERR_INVALIDPARAM;
        primaryPlaying = true;
        return DS_OK;
    }
    if (voice.lost) return DSERR_BUFFERLOST;
    voice.playing = true;
    voice.looping = (playFlags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

DSResult BufferImpl::Stop() {
    ZN_SOUND_HOLD();
    if (primary) {
        primaryPlaying = false;
    } else {
        voice.playing = false;
    }
    return DS_OK;
}

DSResult BufferImpl::SetCurrentPosition(uint32_t position) {
    if (primary) return DSERR_INVALIDCALL;
    ZN_SOUND_HOLD();
    if (position >= voice.samples->size) return DSERR_INVALIDPARAM;
    uint32_t frame = position / voice.format.nBlockAlign;
    // Bytes past the last whole frame are not played: they count as its end.
    if (frame >= voice.frames) frame = 0;
    voice.position = static_cast<uint64_t>(frame) << 16;
    return DS_OK;
}

DSResult BufferImpl::SetFormat(const WAVEFORMATEX* format) {
    if (!primary) return DSERR_INVALIDCALL;
    if (format == nullptr) return DSERR_INVALIDPARAM;
    ZN_SOUND_HOLD();
    if (device->level < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (!ValidPrimaryFormat(*format)) return DSERR_BADFORMAT;
    primaryFormat = *format;
    primaryFormat.cbSize = 0;
    return DS_OK;
}

DSResult BufferImpl::SetVolume(int32_t volume) {
    if ((flags & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    ZN_SOUND_HOLD();
    voice.volume = volume;
    voice.UpdateGains();
    if (primary) device->mixer.masterGain = GainForLevel(volume);
    return DS_OK;
}

DSResult BufferImpl::SetPan(int32_t pan) {
    if ((flags & DSBCAPS_CTRLPAN) == 0) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    ZN_SOUND_HOLD();
    voice.pan = pan;
    voice.UpdateGains();
    return DS_OK;
}

DSResult BufferImpl::SetFrequency(uint32_t frequency) {
    if (primary || (flags & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL &&
        (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
        return DSERR_INVALIDPARAM;
    }
    ZN_SOUND_HOLD();
    voice.frequency = frequency == DSBFREQUENCY_ORIGINAL ? voice.format.nSamplesPerSec : frequency;
    voice.UpdateStep();
    return DS_OK;
}

DSResult BufferImpl::Restore() {
    ZN_SOUND_HOLD();
    if (primary || !voice.lost) return DS_OK;
    std::memset(voice.samples->bytes.get(), voice.format.wBitsPerSample == 8 ? 128 : 0,
                voice.samples->size);
    voice.lost = false;
    voice.position = 0;
    return DS_OK;
}

#undef ZN_SOUND_HOLD

}  // namespace plat::snd
