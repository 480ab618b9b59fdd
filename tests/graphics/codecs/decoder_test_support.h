// Shared set-up of the image decoder tests: a started log in a temporary directory, a decode
// of a byte vector through a memory stream, and pixel access to the result.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graphics/codecs/graph_image.h"
#include "graphics/codecs/image_decoders.h"
#include "base/memory_stream.h"
#include "system/window_data.h"
#include "tests/graphics/image_fixtures.h"
#include "tests/support/log_test_fixture.h"

class DecoderTest : public LogFixture {
protected:
    void TearDown() override {
        FreeGraphImage(&image_);
        EXPECT_EQ(GetAllocState().count, 0u) << "a decoder left a tracked block behind";
        LogFixture::TearDown();
    }

    // Runs one decoder over the bytes (through a memory stream) into image_, freeing the
    // previous result first. Checks that nothing but the image's pixels stays allocated and
    // that a refused file leaves the output untouched.
    int Decode(GraphImageDecoder decoder, const fixtures::Bytes& file) {
        FreeGraphImage(&image_);
        const uint32_t before = GetAllocState().count;
        DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(file.data(), file.size())};
        image_.width = -7;  // a mark that a refusal must leave alone
        const int result = decoder(&stream, &image_);
        stream.functions.close(stream.handle);
        const uint32_t kept = result == 0 ? 1u : 0u;
        EXPECT_EQ(GetAllocState().count, before + kept);
        if (result != 0) {
            EXPECT_EQ(image_.width, -7);
            image_ = GraphImage{};
        } else {
            EXPECT_NE(image_.pixels, nullptr);
            EXPECT_GT(image_.width, 0);
            EXPECT_GT(image_.height, 0);
            EXPECT_GE(image_.pitch, image_.width * image_.colorFormat.format.bytes);
        }
        return result;
    }

    // The stored pixel value at (x, y), least significant byte first.
    uint32_t Raw(int x, int y) const {
        const int bytes = image_.colorFormat.format.bytes;
        const uint8_t* at =
            image_.pixels + static_cast<size_t>(y) * image_.pitch + static_cast<size_t>(x) * bytes;
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
        return value;
    }

    // The colour at (x, y) as 0xRRGGBB of 8-bit channels (through the palette for 8 bits).
    uint32_t Rgb(int x, int y) const {
        int r, g, b;
        GetGraphImagePixel(&image_, x, y, &r, &g, &b, nullptr);
        return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
               static_cast<uint32_t>(b);
    }

    // True when the log gained a line since the last call.
    bool Logged() { return !NewLogText().empty(); }

    GraphImage image_{};
};
