// The device and buffer calls: creation and its refusals, locks and their wrap, cursors on
// the clocked null sink, enumeration, the test controls' failures.
#include <algorithm>
#include <string>

#include "platform/testing/window_test_controls.h"
#include "tests/platform/dsound/sound_fixture.h"

namespace {

using DeviceTest = SoundFixture;

TEST_F(DeviceTest, LockRegionsWrapAndNeverPassTheEnd) {
    struct Case {
        uint32_t offset, bytes;
        plat::DSResult result;
        uint32_t first, second;
    };
    const Case cases[] = {
        {0, 400, plat::DS_OK, 400, 0},   {300, 400, plat::DS_OK, 100, 300},
        {396, 8, plat::DS_OK, 4, 4},     {100, 200, plat::DS_OK, 200, 0},
        {399, 1, plat::DS_OK, 1, 0},     {400, 4, plat::DSERR_INVALIDPARAM, 0, 0},
        {0, 401, plat::DSERR_INVALIDPARAM, 0, 0}, {0, 0, plat::DSERR_INVALIDPARAM, 0, 0},
    };
    plat::IDirectSoundBuffer* b = Make(Pcm(2, 44100, 16), 400);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << "+" << c.bytes);
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t n1 = 7, n2 = 7;
        ASSERT_EQ(b->Lock(c.offset, c.bytes, &p1, &n1, &p2, &n2, 0), c.result);
        EXPECT_EQ(n1, c.first);
        EXPECT_EQ(n2, c.second);
        EXPECT_LE(c.offset + n1, 400u);
        if (c.result != plat::DS_OK) continue;
        EXPECT_EQ(p2 == nullptr, c.second == 0);
        // Writes land where the regions say: the first at offset, the second at 0.
        std::memset(p1, 0x11, n1);
        if (n2 != 0) std::memset(p2, 0x22, n2);
        ASSERT_EQ(b->Unlock(p1, n1, p2, n2), plat::DS_OK);
        const std::vector<uint8_t> bytes = Read(b);
        EXPECT_EQ(bytes[c.offset], 0x11);
        EXPECT_EQ(bytes[c.offset + n1 - 1], 0x11);
        if (n2 != 0) {
            EXPECT_EQ(bytes[n2 - 1], 0x22);
        }
        const std::vector<uint8_t> zero(400, 0);
        Write(b, 0, zero.data(), 400);
    }
}

TEST_F(DeviceTest, UnlockTakesBackOnlyWhatALockHandedOut) {
    plat::IDirectSoundBuffer* b = Make(Pcm(1, 44100, 16), 64);
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(60, 8, &p1, &n1, &p2, &n2, 0), plat::DS_OK);
    uint8_t elsewhere[8] = {};
    EXPECT_EQ(b->Unlock(elsewhere, 4, nullptr, 0), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(p1, n1 + 1, p2, n2), plat::DSERR_INVALIDPARAM);  // more than locked
    EXPECT_EQ(b->Unlock(p1, n1, elsewhere, n2), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), plat::DS_OK);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), plat::DSERR_INVALIDPARAM);  // already unlocked
    // A wrapping lock without room for its second region is refused.
    EXPECT_EQ(b->Lock(60, 8, &p1, &n1, nullptr, nullptr, 0), plat::DSERR_INVALIDPARAM);
    // Only the bytes the caller says it wrote go into the buffer.
    ASSERT_EQ(b->Lock(0, 64, &p1, &n1, nullptr, nullptr, plat::DSBLOCK_ENTIREBUFFER), plat::DS_OK);
    EXPECT_EQ(n1, 64u);
    std::memset(p1, 0x7F, 64);
    ASSERT_EQ(b->Unlock(p1, 2, nullptr, 0), plat::DS_OK);
    const std::vector<uint8_t> bytes = Read(b);
    EXPECT_EQ(bytes[1], 0x7F);
    EXPECT_EQ(bytes[2], 0);
}

TEST_F(DeviceTest, BuffersRefuseBadDescriptions) {
    struct Case {
        const char* what;
        plat::WAVEFORMATEX format;
        uint32_t bytes;
        plat::DSResult result;
    };
    plat::WAVEFORMATEX wrongAlign = Pcm(2, 44100, 16);
    wrongAlign.nBlockAlign = 3;
    plat::WAVEFORMATEX wrongRate = Pcm(2, 44100, 16);
    wrongRate.nAvgBytesPerSec = 1;
    plat::WAVEFORMATEX adpcm = Pcm(1, 44100, 16);
    adpcm.wFormatTag = 2;
    const Case cases[] = {
        {"three channels", Pcm(3, 44100, 16), 600, plat::DSERR_BADFORMAT},
        {"no channels", Pcm(0, 44100, 16), 600, plat::DSERR_BADFORMAT},
        {"24 bits", Pcm(2, 44100, 24), 600, plat::DSERR_BADFORMAT},
        {"rate 50", Pcm(1, 50, 16), 600, plat::DSERR_BADFORMAT},
        {"rate 300000", Pcm(1, 300000, 16), 600, plat::DSERR_BADFORMAT},
        {"block align", wrongAlign, 600, plat::DSERR_BADFORMAT},
        {"byte rate", wrongRate, 600, plat::DSERR_BADFORMAT},
        {"not PCM", adpcm, 600, plat::DSERR_BADFORMAT},
        {"3 bytes", Pcm(1, 44100, 8), 3, plat::DSERR_INVALIDPARAM},
        {"smaller than a frame", Pcm(2, 44100, 16), 3, plat::DSERR_INVALIDPARAM},
        {"beyond the largest", Pcm(1, 44100, 8), plat::DSBSIZE_MAX + 1, plat::DSERR_INVALIDPARAM},
        {"odd size", Pcm(1, 44100, 16), 601, plat::DS_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::DSBUFFERDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = kAllControls;
        d.dwBufferBytes = c.bytes;
        d.lpwfxFormat = &c.format;
        plat::IDirectSoundBuffer* b = reinterpret_cast<plat::IDirectSoundBuffer*>(1);
        EXPECT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), c.result);
        if (c.result == plat::DS_OK) {
            ASSERT_NE(b, nullptr);
            b->Release();
        } else {
            EXPECT_EQ(b, nullptr);
        }
    }
    plat::DSBUFFERDESC d{};
    d.dwSize = 12;
    plat::IDirectSoundBuffer* b = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), plat::DSERR_INVALIDPARAM);
    int outer = 0;
    d.dwSize = sizeof d;
    EXPECT_EQ(ds_->CreateSoundBuffer(&d, &b, &outer), plat::DSERR_NOAGGREGATION);
}

TEST_F(DeviceTest, ControlsAreThoseTheBufferWasMadeWith) {
    plat::IDirectSoundBuffer* plain = Make(Pcm(2, 44100, 16), 400,
                                           plat::DSBCAPS_GLOBALFOCUS | plat::DSBCAPS_STATIC);
    int32_t v = 0;
    uint32_t f = 0;
    EXPECT_EQ(plain->SetVolume(-100), plat::DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->GetVolume(&v), plat::DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetPan(100), plat::DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetFrequency(22050), plat::DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->GetFrequency(&f), plat::DSERR_CONTROLUNAVAIL);

    plat::IDirectSoundBuffer* b = Make(Pcm(2, 44100, 16), 400);
    EXPECT_EQ(b->SetVolume(1), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(-10001), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(10001), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(99), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(200001), plat::DSERR_INVALIDPARAM);
    ASSERT_EQ(b->SetFrequency(11025), plat::DS_OK);
    ASSERT_EQ(b->GetFrequency(&f), plat::DS_OK);
    EXPECT_EQ(f, 11025u);
    ASSERT_EQ(b->SetFrequency(plat::DSBFREQUENCY_ORIGINAL), plat::DS_OK);
    ASSERT_EQ(b->GetFrequency(&f), plat::DS_OK);
    EXPECT_EQ(f, 44100u);
    EXPECT_EQ(b->Play(1, 0, 0), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetCurrentPosition(400), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFormat(nullptr), plat::DSERR_INVALIDCALL);

    plat::DSBCAPS caps{};
    caps.dwSize = sizeof caps;
    ASSERT_EQ(b->GetCaps(&caps), plat::DS_OK);
    EXPECT_EQ(caps.dwBufferBytes, 400u);
    EXPECT_EQ(caps.dwFlags & kAllControls, kAllControls);
    plat::WAVEFORMATEX wf{};
    uint32_t written = 0;
    ASSERT_EQ(b->GetFormat(&wf, sizeof wf, &written), plat::DS_OK);
    EXPECT_EQ(written, 18u);
    EXPECT_EQ(wf.nAvgBytesPerSec, 176400u);
}

TEST_F(DeviceTest, PrimaryBufferIsOnePerDeviceAndTakesAFormat) {
    plat::DSBUFFERDESC d{};
    d.dwSize = sizeof d;
    d.dwFlags = plat::DSBCAPS_PRIMARYBUFFER;
    plat::IDirectSoundBuffer* p = nullptr;
    plat::IDirectSoundBuffer* again = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&d, &p, nullptr), plat::DS_OK);
    made_.push_back(p);
    ASSERT_EQ(ds_->CreateSoundBuffer(&d, &again, nullptr), plat::DS_OK);
    EXPECT_EQ(again, p);
    again->Release();

    const plat::WAVEFORMATEX cd = Pcm(2, 44100, 16);
    ASSERT_EQ(p->SetFormat(&cd), plat::DS_OK);
    plat::WAVEFORMATEX wf{};
    ASSERT_EQ(p->GetFormat(&wf, sizeof wf, nullptr), plat::DS_OK);
    EXPECT_EQ(wf.nSamplesPerSec, 44100u);
    const plat::WAVEFORMATEX odd = Pcm(2, 96000, 16);
    EXPECT_EQ(p->SetFormat(&odd), plat::DSERR_BADFORMAT);
    void* p1 = nullptr;
    uint32_t n1 = 0;
    EXPECT_EQ(p->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0), plat::DSERR_INVALIDCALL);
    EXPECT_EQ(p->Play(0, 0, 0), plat::DSERR_INVALIDPARAM);  // the primary only loops
    ASSERT_EQ(p->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
    EXPECT_EQ(Status(p), plat::DSBSTATUS_PLAYING | plat::DSBSTATUS_LOOPING);
    // Its position is the output's: 100 frames mixed are 400 bytes of its format.
    Render(100);
    EXPECT_EQ(PlayCursor(p), 400u);

    // Its volume needs the control, and then scales the whole output.
    EXPECT_EQ(p->SetVolume(-600), plat::DSERR_CONTROLUNAVAIL);
    plat::DSBUFFERDESC loud{};
    loud.dwSize = sizeof loud;
    loud.dwFlags = plat::DSBCAPS_PRIMARYBUFFER | plat::DSBCAPS_CTRLVOLUME;
    plat::IDirectSoundBuffer* withVolume = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&loud, &withVolume, nullptr), plat::DS_OK);
    ASSERT_EQ(withVolume, p);  // the same primary: its flags are the first creation's
    withVolume->Release();

    // Below the priority level the format cannot be set.
    ASSERT_EQ(ds_->SetCooperativeLevel(1, plat::DSSCL_NORMAL), plat::DS_OK);
    EXPECT_EQ(p->SetFormat(&cd), plat::DSERR_PRIOLEVELNEEDED);
}

TEST_F(DeviceTest, DeviceCallsNeedInitializeAndALevel) {
    plat::IDirectSound* raw = nullptr;
    ASSERT_EQ(plat::CoCreateDirectSound(&raw), plat::DS_OK);
    plat::DSCAPS caps{};
    caps.dwSize = sizeof caps;
    EXPECT_EQ(raw->GetCaps(&caps), plat::DSERR_NOTINITIALIZED);
    EXPECT_EQ(raw->SetCooperativeLevel(1, plat::DSSCL_PRIORITY), plat::DSERR_NOTINITIALIZED);
    ASSERT_EQ(raw->Initialize(nullptr), plat::DS_OK);
    EXPECT_EQ(raw->Initialize(nullptr), plat::DSERR_ALREADYINITIALIZED);
    const plat::WAVEFORMATEX f = Pcm(1, 22050, 8);
    plat::DSBUFFERDESC d{};
    d.dwSize = sizeof d;
    d.dwBufferBytes = 100;
    d.lpwfxFormat = &f;
    plat::IDirectSoundBuffer* b = nullptr;
    EXPECT_EQ(raw->CreateSoundBuffer(&d, &b, nullptr), plat::DSERR_PRIOLEVELNEEDED);
    EXPECT_EQ(raw->SetCooperativeLevel(0, plat::DSSCL_PRIORITY), plat::DSERR_INVALIDPARAM);
    EXPECT_EQ(raw->SetCooperativeLevel(1, 9), plat::DSERR_INVALIDPARAM);
    ASSERT_EQ(raw->SetCooperativeLevel(1, plat::DSSCL_PRIORITY), plat::DS_OK);
    ASSERT_EQ(raw->GetCaps(&caps), plat::DS_OK);
    EXPECT_NE(caps.dwFlags & plat::DSCAPS_PRIMARY16BIT, 0u);
    EXPECT_NE(caps.dwFlags & plat::DSCAPS_PRIMARYSTEREO, 0u);
    EXPECT_GE(caps.dwMaxSecondarySampleRate, 44100u);
    // A buffer keeps its device alive after the device's own release.
    ASSERT_EQ(raw->CreateSoundBuffer(&d, &b, nullptr), plat::DS_OK);
    EXPECT_EQ(raw->Release(), 1u);
    EXPECT_EQ(plat::LiveSoundDevices(), 2);
    EXPECT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(plat::LiveSoundDevices(), 1);
}

TEST_F(DeviceTest, RefusalsOfTheTestControls) {
    plat::IDirectSound* d = nullptr;
    plat::FailNextSoundDeviceCreates(1);
    EXPECT_EQ(plat::CoCreateDirectSound(&d), plat::DSERR_GENERIC);
    EXPECT_EQ(d, nullptr);
    plat::FailNextSoundInitializes(1);
    EXPECT_EQ(plat::DirectSoundCreate(nullptr, &d, nullptr), plat::DSERR_NODRIVER);
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(plat::LiveSoundDevices(), 1);

    plat::IDirectSoundBuffer* b = Make(Pcm(1, 44100, 16), 64);
    plat::IDirectSoundBuffer* dup = nullptr;
    plat::FailNextSoundDuplicates(1);
    EXPECT_EQ(ds_->DuplicateSoundBuffer(b, &dup), plat::DSERR_OUTOFMEMORY);
    EXPECT_EQ(dup, nullptr);
    plat::FailNextSoundLocks(1);
    void* p1 = nullptr;
    uint32_t n1 = 0;
    EXPECT_EQ(b->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0), plat::DSERR_GENERIC);
    plat::FailNextSoundBufferCreates(2);
    const plat::WAVEFORMATEX f = Pcm(1, 44100, 16);
    plat::DSBUFFERDESC desc{sizeof(plat::DSBUFFERDESC), kAllControls, 64, 0, &f};
    plat::IDirectSoundBuffer* none = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &none, nullptr), plat::DSERR_OUTOFMEMORY);
    desc.dwFlags = plat::DSBCAPS_CTRLVOLUME | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_STATIC;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &none, nullptr), plat::DSERR_OUTOFMEMORY);
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &none, nullptr), plat::DS_OK);
    none->Release();
}

TEST_F(DeviceTest, EnumerationThroughTheLibraryLookedUpByName) {
    EXPECT_EQ(plat::LoadSoundSystemLibrary("WINMM.DLL"), nullptr);
    plat::SoundSystemLibrary* lib = plat::LoadSoundSystemLibrary("dsound.dll");
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(plat::GetSoundSystemProcedure(lib, "DirectSoundCreate8"), nullptr);
    plat::DirectSoundEnumerateProc enumerate = plat::GetSoundSystemProcedure(lib, "DirectSoundEnumerateA");
    ASSERT_NE(enumerate, nullptr);
    struct Seen {
        std::vector<std::string> names;
        bool firstHasNoGuid = false;
        plat::GUID device = {};
    } seen;
    auto callback = [](const plat::GUID* guid, const char* description, const char*,
                       void* context) -> int32_t {
        auto* s = static_cast<Seen*>(context);
        if (s->names.empty()) s->firstHasNoGuid = guid == nullptr;
        if (guid != nullptr) s->device = *guid;
        s->names.push_back(description);
        return 1;
    };
    ASSERT_EQ(enumerate(callback, &seen), plat::DS_OK);
    ASSERT_EQ(seen.names.size(), 2u);
    EXPECT_EQ(seen.names[0], "Primary Sound Driver");
    EXPECT_TRUE(seen.firstHasNoGuid);
    // The listed device can be opened by its identifier; another identifier cannot.
    plat::IDirectSound* d = nullptr;
    ASSERT_EQ(plat::DirectSoundCreate(&seen.device, &d, nullptr), plat::DS_OK);
    d->Release();
    plat::GUID other = seen.device;
    other.data1 ^= 1;
    EXPECT_EQ(plat::DirectSoundCreate(&other, &d, nullptr), plat::DSERR_NODRIVER);
    EXPECT_EQ(d, nullptr);
    // A callback that says stop is not called again.
    auto stop = [](const plat::GUID*, const char*, const char*, void* context) -> int32_t {
        ++*static_cast<int*>(context);
        return 0;
    };
    int calls = 0;
    ASSERT_EQ(enumerate(stop, &calls), plat::DS_OK);
    EXPECT_EQ(calls, 1);
    plat::FreeSoundSystemLibrary(lib);
    plat::FailNextSoundLibraryLoads(1);
    EXPECT_EQ(plat::LoadSoundSystemLibrary("DSOUND.DLL"), nullptr);
}

// ---- the clocked null sink ------------------------------------------------------------------

class NullSinkTest : public SoundFixture {
protected:
    void SetUp() override {
        plat::ResetSoundTestControls();
        plat::UseVirtualClock(true);
        plat::UseSoundSink(plat::SoundSink::Null);
        Open();
    }
};

TEST_F(NullSinkTest, CursorsFollowTheVirtualClock) {
    EXPECT_STREQ(plat::CurrentSoundSinkName(), "null");
    // One second of 16-bit mono at 44100 Hz.
    plat::IDirectSoundBuffer* b = Make(Pcm(1, 44100, 16), 88200);
    ASSERT_EQ(b->Play(0, 0, plat::DSBPLAY_LOOPING), plat::DS_OK);
    plat::AdvanceVirtualClock(100000);  // 0.1 s: 4410 frames
    uint32_t write = 0;
    EXPECT_EQ(PlayCursor(b, &write), 8820u);
    EXPECT_EQ(write, 8820u + 882u);  // 10 ms ahead
    plat::AdvanceVirtualClock(1000000);  // a whole second more: round once
    EXPECT_EQ(PlayCursor(b), 8820u);
    // Half the rate moves half as far.
    ASSERT_EQ(b->SetFrequency(22050), plat::DS_OK);
    plat::AdvanceVirtualClock(200000);
    EXPECT_EQ(PlayCursor(b), 8820u + 8820u);
    // A lock from the write cursor starts there.
    uint32_t play = PlayCursor(b, &write);
    void* p1 = nullptr;
    uint32_t n1 = 0;
    ASSERT_EQ(b->Lock(0, 8, &p1, &n1, nullptr, nullptr, plat::DSBLOCK_FROMWRITECURSOR), plat::DS_OK);
    const std::vector<uint8_t> mark(8, 0x5C);
    std::memcpy(p1, mark.data(), 8);
    ASSERT_EQ(b->Unlock(p1, 8, nullptr, 0), plat::DS_OK);
    EXPECT_EQ(Read(b)[write], 0x5C);
    EXPECT_EQ(Read(b)[play], 0);
    // A stopped buffer stands still, its write cursor on its play cursor.
    ASSERT_EQ(b->Stop(), plat::DS_OK);
    plat::AdvanceVirtualClock(500000);
    EXPECT_EQ(PlayCursor(b, &write), 17640u);
    EXPECT_EQ(write, 17640u);
}

TEST_F(NullSinkTest, AOneShotEndsInTime) {
    plat::IDirectSoundBuffer* b = Make(Pcm(2, 22050, 16), 22050 * 4 / 2);  // 0.5 s
    ASSERT_EQ(b->Play(0, 0, 0), plat::DS_OK);
    plat::AdvanceVirtualClock(490000);
    EXPECT_EQ(Status(b), plat::DSBSTATUS_PLAYING);
    plat::AdvanceVirtualClock(20000);
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(PlayCursor(b), 0u);
}

TEST_F(NullSinkTest, AutomaticChoiceWithoutAnOutputIsTheNullSink) {
    // Under the virtual clock the automatic choice never opens a device: runs stay repeatable.
    plat::UseSoundSink(plat::SoundSink::Automatic);
    plat::IDirectSound* d = nullptr;
    ASSERT_EQ(plat::DirectSoundCreate(nullptr, &d, nullptr), plat::DS_OK);
    EXPECT_STREQ(plat::CurrentSoundSinkName(), "null");
    d->Release();
}

}  // namespace

namespace {

// With the headless window backend (ZN_VIDEO=headless) and the real clock, the automatic
// choice is the null sink too: SDL's device is only for the SDL2 backend.
TEST(SoundSinkChoice, HeadlessBackendGivesTheNullSinkOnTheRealClock) {
    plat::ResetWindowTestControls();
    plat::ResetSoundTestControls();
    plat::IDirectSound* d = nullptr;
    ASSERT_EQ(plat::DirectSoundCreate(nullptr, &d, nullptr), plat::DS_OK);
    EXPECT_STREQ(plat::CurrentSoundSinkName(), "null");
    d->Release();
    EXPECT_EQ(plat::LiveSoundDevices(), 0);
    plat::ResetWindowTestControls();
}

}  // namespace
