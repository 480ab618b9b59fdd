#include "enemy_array.h"

Enemy* EnemyArray::firstFree() {
    for (uint32_t i = 0; i < size(); ++i) {
        if (!at(i).isAlive()) return &at(i);
    }
    return nullptr;
}

Enemy* EnemyArray::spawn(EnemyInfo* info, int level) {
    Enemy* e = firstFree();
    if (e != nullptr) e->init(info, level);
    return e;
}

Enemy* EnemyArray::spawnFrom(const Character& source, EnemyInfo* info, int level) {
    Enemy* e = firstFree();
    if (e != nullptr) e->initFrom(source, info, level);
    return e;
}

void EnemyArray::updateAll() {
    for (uint32_t i = 0; i < size(); ++i) {
        if (at(i).isAlive()) at(i).update();
    }
}

void EnemyArray::killAll() {
    for (uint32_t i = 0; i < size(); ++i) {
        if (at(i).isAlive()) at(i).kill();
    }
}

void EnemyArray::clearAll() {
    for (uint32_t i = 0; i < size(); ++i) at(i).clear();
}

int EnemyArray::countAlive() const {
    int n = 0;
    for (uint32_t i = 0; i < size(); ++i) {
        if (at(i).isAlive()) ++n;
    }
    return n;
}
