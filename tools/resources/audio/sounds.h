// The game's sounds: six effects and the background music.
#pragma once

#include "tools/resources/output/wav_writer.h"

namespace res {

SoundBuffer MakeShootSound();     // shoot.wav: an enemy fires (short, falling zap)
SoundBuffer MakeExplodeSound();   // explode.wav: the player dies (filtered noise burst)
SoundBuffer MakeLevelUpSound();   // levelup.wav: a rising arpeggio
SoundBuffer MakeBombSound();      // bomb.wav: a deep boom with a rushing tail
SoundBuffer MakeChargeSound();    // charge.wav: a bell-like chime, a bomb is charged
SoundBuffer MakeExtendSound();    // extend.wav: a short jingle for an extra life
SoundBuffer MakeMainMusic();      // main.ogg: a 30-second loop, stereo

}  // namespace res
