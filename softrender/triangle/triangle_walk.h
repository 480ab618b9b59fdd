// The line walk of the triangle rasteriser, shared by every span loop: down the set-up
// triangle (triangle_setup.h) line by line, each line's span from the left edge's pixel to the
// right edge's pixel inclusive, cut at the draw area's left edge, ending at its right edge.
// A span loop instantiates WalkTriangleLines over its own span routine, so each loop carries
// its own copy of the walk and no call is made per line or per pixel.
#pragma once
#include <cstdint>

#include "softrender/records/rect.h"
#include "softrender/triangle/triangle_setup.h"

// Calls span(y, x, count) for every line the walk draws: x is the span's first pixel after
// the cut at bound.left, count (at least 1) the pixels visited from there, ending after the
// span's last pixel or at bound.right. bound is the draw area (limited to the destination),
// right and bottom exclusive.
//
// What the walk does, line by line from setup.firstLine:
//   1. xl = Trunc18(left X), xr = Trunc18(right X), count = xr - xl + 1; a span starting left
//      of bound.left loses the pixels up to it.
//   2. The line is drawn unless y < top, y >= bottom, xl >= right or count <= 0.
//   3. Both edges step one line down, y += 1, and each side's remaining lines drop by one.
//   4. When the left side's lines are used up: the triangle is done on its last segment;
//      otherwise it takes its second segment and y is set again from that segment's start
//      line. A triangle whose top lies on a negative line starts one line low (Trunc18 rounds
//      toward zero), and when its middle vertex lies on the left at or below line 0 the reset
//      walks the middle vertex's line twice: once as the last line of the upper part and once
//      as the first of the lower.
//   5. Then, when the right side's lines are used up: done on its last segment, else it takes
//      its second segment (y unchanged).
// Lines above the draw area are stepped through one by one. Below it nothing more can be
// drawn once the left side is on its last segment (only the left side's switch moves y back),
// so the walk ends there.
template <typename Span>
inline void WalkTriangleLines(const TriangleSetup& t, const RECT& bound, Span&& span) {
    int32_t y = t.firstLine;
    int32_t leftX = t.left[0].x, leftStep = t.left[0].step, leftLines = t.left[0].lines;
    int32_t rightX = t.right[0].x, rightStep = t.right[0].step, rightLines = t.right[0].lines;
    bool leftLast = t.leftSegments == 1;
    bool rightLast = t.rightSegments == 1;
    for (;;) {
        if (y >= bound.bottom && leftLast) return;
        int32_t xl = Trunc18(leftX);
        const int32_t xr = Trunc18(rightX);
        int64_t count = static_cast<int64_t>(xr) - xl + 1;
        if (xl < bound.left) {
            count -= static_cast<int64_t>(bound.left) - xl;
            xl = bound.left;
        }
        if (y >= bound.top && y < bound.bottom && xl < bound.right && count > 0) {
            const int64_t room = static_cast<int64_t>(bound.right) - xl;
            span(y, xl, static_cast<int32_t>(count < room ? count : room));
        }
        leftX += leftStep;
        rightX += rightStep;
        ++y;
        --leftLines;
        --rightLines;
        if (leftLines == 0) {
            if (leftLast) return;
            leftX = t.left[1].x;
            leftStep = t.left[1].step;
            leftLines = t.left[1].lines;
            y = t.left[1].startLine;
            leftLast = true;
        }
        if (rightLines == 0) {
            if (rightLast) return;
            rightX = t.right[1].x;
            rightStep = t.right[1].step;
            rightLines = t.right[1].lines;
            rightLast = true;
        }
    }
}
