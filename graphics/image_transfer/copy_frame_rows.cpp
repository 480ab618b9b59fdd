// Rows of a movie frame copied into a destination of the same layout, clipped to the rows
// and the row bytes (and pitches) of both, so that neither a narrower destination nor a narrower source is
// read or written past its row.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/image_transfer/movie_frame.h"

int64_t CopyFrameRows(uint8_t* dest, int32_t destPitch, int32_t destWidth, int32_t destHeight,
                      int32_t destBytesPerPixel, const uint8_t* source, int32_t sourcePitch,
                      int32_t sourceWidth, int32_t sourceHeight, int32_t sourceBytesPerPixel) {
    if (dest == nullptr || source == nullptr || destWidth <= 0 || sourceWidth <= 0 ||
        destBytesPerPixel <= 0 || sourceBytesPerPixel <= 0) {
        return 0;
    }
    // A row never runs into the next one either, whatever width the caller reports.
    const int64_t rowBytes = std::min({int64_t{destWidth} * destBytesPerPixel,
                                       int64_t{sourceWidth} * sourceBytesPerPixel,
                                       std::abs(int64_t{destPitch}), std::abs(int64_t{sourcePitch})});
    const int32_t rows = std::min(destHeight, sourceHeight);
    if (rowBytes <= 0 || rows <= 0) return 0;
    for (int32_t row = 0; row < rows; ++row) {
        std::memcpy(dest + int64_t{row} * destPitch, source + int64_t{row} * sourcePitch,
                    static_cast<size_t>(rowBytes));
    }
    return rowBytes;
}
