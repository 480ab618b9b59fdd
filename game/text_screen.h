// The texts the scene added in this step, each in its own brightness.
#pragma once
#include "my_screen.h"

class GraphTextArray;

class TextScreen : public MyScreen {
public:
    void draw() override;
    void setTexts(GraphTextArray* texts) { texts_ = texts; }

private:
    GraphTextArray* texts_ = nullptr;
};
