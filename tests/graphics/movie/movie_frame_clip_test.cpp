// Frame rows are clipped to the pitches as well as to the widths and heights both sides
// report: a stream or a destination that reports rows wider than their pitch cannot make the
// copy run into the next row or past the buffer.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/image_transfer/movie_frame.h"

namespace {

TEST(MovieFrameClip, RowsNeverRunPastEitherPitch) {
    const struct {
        const char* name;
        int destW, destH, destBpp, destPitch;
        int srcW, srcH, srcBpp, srcPitch;
        int64_t rowBytes;
    } cases[] = {
        // The destination claims 4 pixels of 4 bytes on rows of 8 bytes.
        {"destination pitch shorter than its width", 4, 3, 4, 8, 4, 3, 4, 16, 8},
        // The frame claims 6 pixels of 2 bytes on rows of 4 bytes.
        {"frame pitch shorter than its width", 6, 2, 2, 12, 6, 2, 2, 4, 4},
        {"upside-down frame rows count by size", 2, 2, 4, 8, 2, 2, 4, -8, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int srcAbs = c.srcPitch < 0 ? -c.srcPitch : c.srcPitch;
        std::vector<uint8_t> source(static_cast<size_t>(srcAbs) * c.srcH, 0x11);
        uint8_t* sourceStart =
            c.srcPitch < 0 ? source.data() + static_cast<size_t>(srcAbs) * (c.srcH - 1) : source.data();
        std::vector<uint8_t> dest(static_cast<size_t>(c.destPitch) * c.destH + 32, 0xEE);
        EXPECT_EQ(CopyFrameRows(dest.data(), c.destPitch, c.destW, c.destH, c.destBpp, sourceStart,
                                c.srcPitch, c.srcW, c.srcH, c.srcBpp),
                  c.rowBytes);
        // Nothing past the destination's rows was written.
        for (size_t i = static_cast<size_t>(c.destPitch) * c.destH; i < dest.size(); ++i) {
            ASSERT_EQ(dest[i], 0xEE) << i;
        }
    }
}

}  // namespace
