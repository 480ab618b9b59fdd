// A rectangle of four integers. Where it is built from a position and a size, the right and
// bottom edges are inclusive: right = x + width - 1, bottom = y + height - 1.
#pragma once

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    void set(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
};
