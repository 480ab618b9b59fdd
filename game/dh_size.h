// A width and a height in pixels.
#pragma once

struct DhSize {
    int width = 0;
    int height = 0;
};
