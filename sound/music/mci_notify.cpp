// The MCI end notification and the music polling of each message-pump call.
#include "base/log.h"
#include "sound/music/music_handles.h"
#include "sound/music/music_window_driver.h"
#include "sound/sound_system.h"

namespace {

plat::WindowHandle NoWindow() { return 0; }
constexpr MusicWindowDriver kAbsentMusicWindow = {.window = NoWindow};

}  // namespace

DriverSlot<MusicWindowDriver>& MusicWindowSlot() {
    static DriverSlot<MusicWindowDriver> slot(kAbsentMusicWindow);
    return slot;
}

int HandleMciNotify() {
    if (GetSoundOutput().device == nullptr) return -1;
    MusicState& music = GetMusicState();
    if (music.loop == 1) {
        // A looping music plays again from its start; the next end notifies again.
        plat::MCI_PLAY_PARMS play{};
        play.dwCallback = MusicWindowSlot()->window();
        play.dwFrom = 0;
        const plat::MCIERROR result = plat::mciSendCommand(
            music.mciDevice, plat::MCI_PLAY, plat::MCI_NOTIFY | plat::MCI_FROM, &play);
        // Only a play the sequencer took counts as playing.
        music.mciPlaying = result == plat::MCI_NOERROR ? 1 : 0;
        if (result != plat::MCI_NOERROR) return LogFormat("ＭＩＤＩの再演奏に失敗しました");
        return 0;
    }
    if (music.mciPlaying) {
        plat::MCI_GENERIC_PARMS close{};
        close.dwCallback = MusicWindowSlot()->window();
        plat::mciSendCommand(music.mciDevice, plat::MCI_CLOSE, 0, &close);
        music.mciPlaying = 0;
    }
    return 0;
}

int PollMusicPlayback() {
    if (GetSoundOutput().device == nullptr) return -1;
    // Only the DirectMusic mode follows its segments here, and this sound output builds the
    // MCI mode alone: the MCI sequencer reports its ends through HandleMciNotify.
    return 0;
}
