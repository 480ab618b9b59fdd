// The texts of one step: scenes add them, the text screen draws them, the frame's update
// clears them at the start of the next step.
#pragma once
#include "simple_array.h"

// One text item: up to 39 characters at a top-left position, in the small or the large font,
// with a brightness per channel.
class GraphText {
public:
    static constexpr int kCapacity = 40;  // characters with the terminator

    // The text's first characters: as many as length asks for, but never more than the text
    // holds (up to its terminator) nor more than 39. White; active.
    void setText(double x, double y, const char* text, int length, bool large);
    // The value's lowest decimal digits, zero-padded to digits places (at most 39; 0 and
    // negative values show zeros). White; active.
    void setNumber(double x, double y, int value, int digits, bool large);
    void setColor(int r, int g, int b) {
        r_ = r;
        g_ = g;
        b_ = b;
    }
    void hide() { active_ = false; }

    double getX() const { return x_; }
    double getY() const { return y_; }
    bool isActive() const { return active_; }
    const char* getText() const { return text_; }
    bool isLarge() const { return large_; }
    int getR() const { return r_; }
    int getG() const { return g_; }
    int getB() const { return b_; }
    int getLength() const { return length_; }

private:
    void place(double x, double y, bool large);

    double x_ = 0.0;
    double y_ = 0.0;
    bool active_ = false;
    char text_[kCapacity] = {};
    bool large_ = false;
    int r_ = 255;
    int g_ = 255;
    int b_ = 255;
    int length_ = 0;
};

// The list of 100 text items of a step, with the brightness given to the items added next.
class GraphTextArray : public SimpleArray<GraphText> {
public:
    static constexpr uint32_t kSize = 100;

    GraphTextArray() : SimpleArray<GraphText>(kSize) {}

    // The next free item gets the text (or the number) and the current brightness; when all
    // 100 are used the text is dropped.
    void addText(double x, double y, const char* text, int length, bool large);
    void addNumber(double x, double y, int value, int digits, bool large);
    // Brightness of the items added from now on.
    void setBright(int v) {
        r_ = v;
        g_ = v;
        b_ = v;
    }
    // Hides the items added since the last clear; brightness back to 255.
    void clear();
    uint32_t getUsed() const { return used_; }

private:
    GraphText* next();

    int r_ = 255;
    int g_ = 255;
    int b_ = 255;
    uint32_t used_ = 0;
};
