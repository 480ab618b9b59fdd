// The game's images, one routine per image file.
#pragma once

#include "tools/resources/paint/keyed_image.h"

namespace res {

RgbImage DrawPlayer();        // Player.bmp: the ship, nose up, 32 x 32
RgbImage DrawPlayerTail();    // PlayerTail.bmp: one ghost of the trail, 16 x 16
RgbImage DrawBullet();        // Bullet1.bmp: a pale shot (tinted yellow when drawn), 12 x 12
RgbImage DrawEnemyA1();       // EnemyA1.bmp: front-layer aimed shooter, facing down, 32 x 32
RgbImage DrawEnemyA2();       // EnemyA2.bmp: front-layer fan shooter, facing down, 32 x 32
RgbImage DrawEnemyL1();       // EnemyL1.bmp: rear-layer aimed shooter, facing down, 40 x 40
RgbImage DrawEnemyL2();       // EnemyL2.bmp: rear-layer fan shooter, facing down, 40 x 40
RgbImage DrawMarkers();       // Enemy.bmp: 20 warning markers of 48 x 48, 5 per row
RgbImage DrawSplinters();     // splinter.bmp: 8 sparks of 16 x 16
RgbImage DrawBombPieces();    // bomb.bmp: 8 streaks of 16 x 32
RgbImage DrawBarrier();       // barrier.bmp: 6 rings of 48 x 48, strongest first
RgbImage DrawExplosion();     // explode.bmp: 12 blast frames of 48 x 48, 3 per row
RgbImage DrawFrameTiles();    // frame.bmp: 4 opaque panel tiles of 32 x 32
RgbImage DrawBackground();    // bg.bmp: one opaque seamless grey tile of 64 x 64

}  // namespace res
