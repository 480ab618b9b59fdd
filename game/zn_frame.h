// The frame through which the application drives the game proper: one game step, the
// initialisation that loads resources and enters the first scene, the window title, and
// whether the game still runs.
#pragma once

class ZnFrame {
public:
    virtual ~ZnFrame() = default;
    // One game step.
    virtual void update() = 0;
    // Loads the resources and enters the first scene; false on failure.
    virtual bool init() = 0;
    // The window title, also the caption of the start-up question.
    virtual const char* getTitle() const { return "ZnApp"; }
    // False ends the main loop.
    virtual bool isRunning() const = 0;
};
