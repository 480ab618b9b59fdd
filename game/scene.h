// A scene decides what a step does (a menu, the ready pause, play, the game-over slide, the
// ranking) and, through the frame's scene switch, which screens are drawn.
#pragma once
#include <cstdint>

class GameWorld;
class MainFrame;

class Scene {
public:
    explicit Scene(MainFrame& frame) : frame_(frame) {}
    virtual ~Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // One step of the scene.
    virtual void update() = 0;
    // Called when the frame switches to the scene.
    virtual void enter() = 0;

    void setWorld(GameWorld* world) { world_ = world; }

protected:
    // A button of the joypad pressed in this step (up in the step before).
    static bool isPressed(uint32_t mask);
    // Escape pressed in this step.
    static bool isEscape();

    MainFrame& frame_;
    GameWorld* world_ = nullptr;
};
