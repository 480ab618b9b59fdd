// Damaged input for every decoder: each small sample file cut at every length and with seeded
// random bytes changed, decoded through the whole decoder table. Nothing may crash, hang, read
// or write out of bounds (the sanitizer build checks that) or leak; what is accepted must be a
// whole image.
#include <gtest/gtest.h>

#include <random>

#include "graphics/graph_load/graph_load.h"
#include "base/memory_stream.h"
#include "system/window_data.h"
#include "tests/graphics/image_fixtures.h"
#include "tests/support/log_test_fixture.h"

namespace {

using fixtures::Bytes;

class ImageMalformedTest : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        // Thousands of refusals: their log lines are checked by the decoder tests.
        GetLogState().logOff = 1;
    }

    // Decodes bytes through the decoder table; an accepted image is read whole.
    int DecodeAndCheck(const Bytes& file) {
        DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(file.data(), file.size())};
        GraphImage image{};
        const int result = DecodeGraphImage(&stream, &image);
        stream.functions.close(stream.handle);
        if (result == 0) {
            EXPECT_NE(image.pixels, nullptr);
            EXPECT_GT(image.width, 0);
            EXPECT_GT(image.height, 0);
            EXPECT_GE(image.pitch, image.width * image.colorFormat.format.bytes);
            EXPECT_GE(image.colorFormat.format.bytes, 1);
            unsigned sum = 0;
            const size_t bytes = static_cast<size_t>(image.pitch) * image.height;
            for (size_t i = 0; i < bytes; ++i) sum += image.pixels[i];
            for (int y = 0; y < image.height; ++y) {
                for (int x = 0; x < image.width; ++x) sum += GetGraphImagePixelArgb(&image, x, y);
            }
            checksum_ += sum;
            FreeGraphImage(&image);
        }
        EXPECT_EQ(GetAllocState().count, 0u);
        return result;
    }

    unsigned checksum_ = 0;
};

TEST_F(ImageMalformedTest, EverySampleDecodesWhole) {
    for (const fixtures::NamedFile& sample : fixtures::SmallSampleFiles()) {
        SCOPED_TRACE(sample.name);
        ASSERT_FALSE(sample.bytes.empty());
        EXPECT_EQ(DecodeAndCheck(sample.bytes), 0);
    }
}

TEST_F(ImageMalformedTest, EveryTruncationOfEverySampleIsSafe) {
    for (const fixtures::NamedFile& sample : fixtures::SmallSampleFiles()) {
        SCOPED_TRACE(sample.name);
        for (size_t length = 0; length < sample.bytes.size(); ++length) {
            DecodeAndCheck(
                Bytes(sample.bytes.begin(), sample.bytes.begin() + static_cast<ptrdiff_t>(length)));
            if (HasFailure()) {
                ADD_FAILURE() << "at length " << length;
                return;
            }
        }
    }
}

TEST_F(ImageMalformedTest, SeededByteChangesInEverySampleAreSafe) {
    constexpr int kMutantsPerSample = 1500;
    const uint8_t interesting[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xFE, 0x10, 0x40};
    for (const fixtures::NamedFile& sample : fixtures::SmallSampleFiles()) {
        SCOPED_TRACE(sample.name);
        std::mt19937 random(static_cast<uint32_t>(std::hash<std::string>{}(sample.name)));
        for (int m = 0; m < kMutantsPerSample; ++m) {
            Bytes mutant = sample.bytes;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int c = 0; c < changes; ++c) {
                // Headers are where the checks matter: half the changes land in the first
                // 64 bytes.
                const size_t span =
                    random() % 2 == 0 ? std::min<size_t>(64, mutant.size()) : mutant.size();
                const size_t at = random() % span;
                switch (random() % 3) {
                    case 0:
                        mutant[at] ^= static_cast<uint8_t>(1u << (random() % 8));
                        break;
                    case 1:
                        mutant[at] = interesting[random() % sizeof(interesting)];
                        break;
                    default:
                        mutant[at] = static_cast<uint8_t>(random());
                        break;
                }
            }
            DecodeAndCheck(mutant);
            if (HasFailure()) {
                ADD_FAILURE() << "at mutant " << m;
                return;
            }
        }
    }
}

}  // namespace
