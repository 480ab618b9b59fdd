// A drawing layer: the application draws the screens of the current scene in list order once
// per drawn step. The drawing helpers the game's screens share join this class with them.
#pragma once

class ZnScreen {
public:
    virtual ~ZnScreen() = default;
    virtual void draw() = 0;
};
