#include "tools/resources/resource_list.h"

#include <cstdio>
#include <functional>

#include "tools/resources/audio/sounds.h"
#include "tools/resources/fonts/font_tiles.h"
#include "tools/resources/images/images.h"
#include "tools/resources/output/bmp_writer.h"
#include "tools/resources/output/ogg_writer.h"
#include "tools/resources/output/wav_writer.h"

namespace res {

namespace {

struct ImageFile {
    const char* name;
    std::function<RgbImage()> draw;
};

struct SoundFile {
    const char* name;
    std::function<SoundBuffer()> make;
};

// The music's Vorbis quality (0 .. 1): about 100 kbit/s for stereo.
constexpr float kMusicQuality = 0.3f;

}  // namespace

bool WriteAllResources(const std::string& folder) {
    const ImageFile images[] = {
        {"Player.bmp", DrawPlayer},     {"PlayerTail.bmp", DrawPlayerTail},
        {"Bullet1.bmp", DrawBullet},    {"Enemy.bmp", DrawMarkers},
        {"EnemyL1.bmp", DrawEnemyL1},   {"EnemyL2.bmp", DrawEnemyL2},
        {"EnemyA1.bmp", DrawEnemyA1},   {"EnemyA2.bmp", DrawEnemyA2},
        {"frame.bmp", DrawFrameTiles},  {"splinter.bmp", DrawSplinters},
        {"bomb.bmp", DrawBombPieces},   {"barrier.bmp", DrawBarrier},
        {"bg.bmp", DrawBackground},     {"explode.bmp", DrawExplosion},
        {"fonts.bmp", DrawSmallFont},   {"fontl.bmp", DrawLargeFont},
    };
    const SoundFile sounds[] = {
        {"shoot.wav", MakeShootSound},     {"explode.wav", MakeExplodeSound},
        {"levelup.wav", MakeLevelUpSound}, {"bomb.wav", MakeBombSound},
        {"charge.wav", MakeChargeSound},   {"extend.wav", MakeExtendSound},
    };
    bool ok = true;
    for (const ImageFile& image : images) {
        ok = WriteBmp(folder + "/" + image.name, image.draw()) && ok;
    }
    for (const SoundFile& sound : sounds) {
        ok = WriteWav(folder + "/" + sound.name, sound.make()) && ok;
    }
    ok = WriteOgg(folder + "/main.ogg", MakeMainMusic(), kMusicQuality) && ok;
    return ok;
}

}  // namespace res
