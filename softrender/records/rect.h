// A rectangle of pixels: left and top inclusive, right and bottom exclusive.
#pragma once
#include <cstdint>

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
