// A drawing layer: the application draws the screens of the current scene in list order once
// per drawn step. The drawing operations here are the ones every screen of the game uses; a
// screen that changes the blend mode or the brightness sets it back when it is done.
#pragma once

class ZnScreen {
public:
    virtual ~ZnScreen() = default;
    virtual void draw() = 0;

    // Blend mode none / alpha with the given opacity (0..255).
    void setBlendNone();
    void setBlendAlpha(int v);
    // Draw brightness, the same on every channel / per channel (255 draws unchanged).
    void setBright(int v);
    void setBrightRGB(int r, int g, int b);
    // The graph with its top-left corner at (x, y); transparent leaves out the colour key.
    void drawGraph(double x, double y, int handle, bool transparent);
    // The graph scaled and rotated (radians) about its centre, which goes to (x, y).
    void drawGraphRotated(double x, double y, double scale, double angle, int handle,
                          bool transparent);
};

// A screen coordinate as the library takes it: truncated toward zero, and kept inside the
// range of int (a position that is not a number draws at 0) so that no conversion overflows.
int toScreenCoordinate(double v);
