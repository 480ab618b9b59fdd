// The base of every behaviour, and the shared state behaviours reach: the world of the current
// game, the playing field and the step length.
#pragma once
#include "rect.h"

class Character;
class EnemyArray;
class GameWorld;
class PatternSet;
class Player;
class PlayerTailArray;

// Length of one game step in ms.
constexpr int FRAME_STEP = 10;

// The world the behaviours work on (set by GameWorld::setup).
extern GameWorld* theWorld;
// The playing field: left 32, top 0, right 391, bottom 479 during a game.
extern Rect PlayArea;

class Pattern {
public:
    virtual ~Pattern() = default;

    static void setWorld(GameWorld* world);
    static Player& getPlayer();
    static EnemyArray& getFrontEnemies();
    static EnemyArray& getRearEnemies();
    static EnemyArray& getBullets();
    static EnemyArray& getEffects();
    static EnemyArray& getFrontBlasts();
    static EnemyArray& getRearBlasts();
    static PlayerTailArray& getTails();
    static PatternSet& getPatternSet();
    static int getFrameStep() { return FRAME_STEP; }

    // Field of width w and height h at (x, y): right and bottom are inclusive.
    static void setPlayArea(int x, int y, int w, int h);
    // One less than the field's size (359 and 479 for the standard field).
    static int getAreaWidth() { return PlayArea.right - PlayArea.left; }
    static int getAreaHeight() { return PlayArea.bottom - PlayArea.top; }
    // Places c at (ox, oy) relative to the field's top-left corner.
    static void setPosition(Character& c, double ox, double oy);
    // Inside the field, edges included.
    static bool isInArea(const Character& c);
    // Inside the field widened by c's tile width left and right and its tile height above and
    // below.
    static bool isVisible(const Character& c);
    // One step of age.
    static void addAge(Character& c);
};
