// The rectangle a software kernel may draw into: the draw state's draw area limited to the
// destination image, worked out once per call. The draw area is not trusted to lie inside the
// image; within it, clipping against this bound gives what clipping against the area gives.
#pragma once
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

inline RECT DrawBoundsInImage(const RECT& drawArea, const MEMIMG& image) {
    RECT bound;
    bound.left = drawArea.left > 0 ? drawArea.left : 0;
    bound.top = drawArea.top > 0 ? drawArea.top : 0;
    bound.right = drawArea.right < image.width ? drawArea.right : image.width;
    bound.bottom = drawArea.bottom < image.height ? drawArea.bottom : image.height;
    // An area wholly outside the image collapses onto its left or top edge: nothing inside.
    if (bound.right < bound.left) bound.right = bound.left;
    if (bound.bottom < bound.top) bound.bottom = bound.top;
    return bound;
}
