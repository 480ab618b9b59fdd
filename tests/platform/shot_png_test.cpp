// Shot PNGs: the picture the display shows, written as a deflated PNG that decodes back to
// exactly the shown pixels.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/display/display_internal.h"
#include "tests/platform/display/display_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

uint32_t Be(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

struct DecodedPng {
    int32_t width = 0, height = 0;
    size_t idatBytes = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB
};

// A small reader of what the writer makes: the signature, every chunk's CRC, an 8-bit RGB
// header, the IDAT inflated, each row unfiltered (None, Sub, Up).
bool DecodePng(const std::vector<uint8_t>& png, DecodedPng* out, std::string* why) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (png.size() < 8 || std::memcmp(png.data(), kSignature, 8) != 0) {
        *why = "signature";
        return false;
    }
    std::vector<uint8_t> idat;
    bool ended = false;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = Be(&png[at]);
        if (at + 12 + length > png.size()) {
            *why = "chunk length";
            return false;
        }
        const uint8_t* type = &png[at + 4];
        const uint8_t* data = type + 4;
        if (crc32(0L, type, 4 + length) != Be(data + length)) {
            *why = "crc of " + std::string(reinterpret_cast<const char*>(type), 4);
            return false;
        }
        if (std::memcmp(type, "IHDR", 4) == 0) {
            out->width = static_cast<int32_t>(Be(data));
            out->height = static_cast<int32_t>(Be(data + 4));
            if (length != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) {
                *why = "header";
                return false;
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            idat.insert(idat.end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        }
        at += 12 + length;
    }
    if (!ended) {
        *why = "no IEND";
        return false;
    }
    out->idatBytes = idat.size();
    const size_t rowBytes = 1 + static_cast<size_t>(out->width) * 3;
    std::vector<uint8_t> raw(rowBytes * out->height);
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, idat.data(), idat.size()) != Z_OK ||
        rawSize != raw.size()) {
        *why = "inflate";
        return false;
    }
    std::vector<uint8_t> previous(rowBytes - 1, 0);
    out->pixels.clear();
    for (int32_t y = 0; y < out->height; ++y) {
        const uint8_t* row = &raw[rowBytes * y];
        std::vector<uint8_t> line(row + 1, row + rowBytes);
        for (size_t i = 0; i < line.size(); ++i) {
            const uint8_t left = i >= 3 ? line[i - 3] : 0;
            switch (row[0]) {
                case 0: break;
                case 1: line[i] = static_cast<uint8_t>(line[i] + left); break;
                case 2: line[i] = static_cast<uint8_t>(line[i] + previous[i]); break;
                default: *why = "filter " + std::to_string(row[0]); return false;
            }
        }
        for (int32_t x = 0; x < out->width; ++x) {
            out->pixels.push_back(static_cast<uint32_t>(line[x * 3]) << 16 |
                                  static_cast<uint32_t>(line[x * 3 + 1]) << 8 | line[x * 3 + 2]);
        }
        previous = line;
    }
    return true;
}

TEST(ShotPngTest, EncodedPictureIsDeflatedAndDecodesToItsPixels) {
    // A game-like picture: a flat background, a gradient band and scattered bright pixels,
    // with channel steps that wrap below zero in the row filter.
    plat::ShownPicture picture;
    picture.width = 200;
    picture.height = 120;
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            uint32_t v = 0x102030;
            if (y >= 40 && y < 60) v = static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y);
            if ((x * 7 + y * 13) % 97 == 0) v = 0xFFFFFF;
            if (x == 199) v = 0x00FF00;
            picture.pixels.push_back(v);
        }
    }
    std::vector<uint8_t> png;
    ASSERT_TRUE(plat::EncodePicturePng(picture, &png));

    DecodedPng decoded;
    std::string why;
    ASSERT_TRUE(DecodePng(png, &decoded, &why)) << why;
    EXPECT_EQ(decoded.width, 200);
    EXPECT_EQ(decoded.height, 120);
    EXPECT_EQ(decoded.pixels, picture.pixels);
    // Stored blocks would take more than the raw rows (72120 bytes); deflate takes a fraction.
    EXPECT_LT(decoded.idatBytes, 72120u / 10);
}

TEST(ShotPngTest, EmptyPictureIsRefused) {
    plat::ShownPicture empty;
    std::vector<uint8_t> png;
    EXPECT_FALSE(plat::EncodePicturePng(empty, &png));
    empty.width = 3;  // no rows
    EXPECT_FALSE(plat::EncodePicturePng(empty, &png));
}

class ShotFileTest : public DisplayFixture {};

TEST_F(ShotFileTest, WrittenShotHoldsTheWindowsClientArea) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), plat::DD_OK);
    plat::DrawSurface* primary = MakePrimary();
    ASSERT_NE(primary, nullptr);
    // The window's client area on the desktop: left half red, right half blue.
    const plat::Rect client{kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    Paint(primary, &client, [](int32_t x, int32_t) {
        return x < kLeft + kWidth / 2 ? 0xFF0000u : 0x0000FFu;
    });

    ScopedTempDir dir;
    const std::string path = dir.str() + "/shot.png";
    std::string error;
    ASSERT_TRUE(plat::WriteShownPicturePng(window_, path.c_str(), &error)) << error;

    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<uint8_t> bytes(1 << 20);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);

    DecodedPng decoded;
    std::string why;
    ASSERT_TRUE(DecodePng(bytes, &decoded, &why)) << why;
    ASSERT_EQ(decoded.width, kWidth);
    ASSERT_EQ(decoded.height, kHeight);
    EXPECT_EQ(decoded.pixels[0], 0xFF0000u);
    EXPECT_EQ(decoded.pixels[kWidth / 2 - 1], 0xFF0000u);
    EXPECT_EQ(decoded.pixels[kWidth / 2], 0x0000FFu);
    EXPECT_EQ(decoded.pixels.back(), 0x0000FFu);
    EXPECT_LT(bytes.size(), static_cast<size_t>(kWidth) * kHeight * 3 / 20);

    // A path that cannot be written is reported, not written half.
    EXPECT_FALSE(plat::WriteShownPicturePng(window_, (dir.str() + "/no/such/dir.png").c_str(),
                                            &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}

}  // namespace
