// A pool of 100 enemies; any dead entry is free.
#pragma once
#include "enemy.h"
#include "simple_array.h"

class EnemyArray : public SimpleArray<Enemy> {
public:
    static constexpr uint32_t kSize = 100;

    EnemyArray() : SimpleArray<Enemy>(kSize) {}

    // Both take the first dead entry and return it; null (nothing spawned) when all are alive.
    Enemy* spawn(EnemyInfo* info, int level);
    Enemy* spawnFrom(const Character& source, EnemyInfo* info, int level);
    // Updates the live entries in array order.
    void updateAll();
    // Kills every live entry with its death effects.
    void killAll();
    // Every entry dead, without effects.
    void clearAll();
    int countAlive() const;

private:
    Enemy* firstFree();
};
