// The DIB conversion of the GDI pieces: every source layout the image decoders hand over,
// both row orders, partial scan lines, clipping, refused layouts and short data, and drawing
// into a surface's device context.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/gdi/gdi.h"
#include "tests/platform/ddraw/ddraw_fixture.h"

namespace {

struct Bgr {
    uint8_t b, g, r;
    bool operator==(const Bgr&) const = default;
};

// The reference rule for a channel field: v × 255 / max, rounded to nearest.
uint8_t Scale(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const uint64_t max = mask >> shift;
    const uint64_t v = (pixel & mask) >> shift;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
}

// A source picture: raw values per pixel (indices or packed pixels) and its BitmapInfo.
struct Picture {
    plat::BitmapInfo info = {};
    int width = 0, height = 0;
    std::vector<uint32_t> values;  // picture order, top row first
    std::vector<uint8_t> data;     // stored rows

    uint32_t Stride() const { return (width * info.header.bitCount + 31) / 32 * 4; }

    Bgr Expected(int x, int y) const {
        const uint32_t v = values[static_cast<size_t>(y) * width + x];
        const plat::BitmapInfoHeader& h = info.header;
        if (h.bitCount <= 8) {
            const plat::RgbQuad& q = info.colors[v];
            return {q.blue, q.green, q.red};
        }
        if (h.bitCount == 24) {
            return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)};
        }
        uint32_t r = info.masks[0], g = info.masks[1], b = info.masks[2];
        if (h.compression == plat::BI_RGB) {
            r = h.bitCount == 16 ? 0x7C00 : 0xFF0000;
            g = h.bitCount == 16 ? 0x03E0 : 0xFF00;
            b = h.bitCount == 16 ? 0x001F : 0xFF;
        }
        return {Scale(v, b), Scale(v, g), Scale(v, r)};
    }
};

Picture MakePicture(int bits, uint32_t compression, int width, int height, bool topDown,
                    std::mt19937& rng, const uint32_t* masks = nullptr) {
    Picture p;
    p.width = width;
    p.height = height;
    plat::BitmapInfoHeader& h = p.info.header;
    h.size = 40;
    h.width = width;
    h.height = topDown ? -height : height;
    h.planes = 1;
    h.bitCount = static_cast<uint16_t>(bits);
    h.compression = compression;
    if (masks != nullptr) std::memcpy(p.info.masks, masks, sizeof p.info.masks);
    for (plat::RgbQuad& q : p.info.colors) {
        q = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), 0};
    }
    const uint64_t limit = bits >= 32 ? 0x100000000ull : (1ull << bits);
    for (int i = 0; i < width * height; ++i) p.values.push_back(static_cast<uint32_t>(rng() % limit));

    const uint32_t stride = p.Stride();
    p.data.assign(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        const int stored = topDown ? y : height - 1 - y;
        uint8_t* row = p.data.data() + static_cast<size_t>(stride) * stored;
        for (int x = 0; x < width; ++x) {
            const uint32_t v = p.values[static_cast<size_t>(y) * width + x];
            if (bits < 8) {
                const int bit = x * bits;
                row[bit / 8] |= static_cast<uint8_t>(v << (8 - bits - bit % 8));
            } else {
                for (int i = 0; i < bits / 8; ++i) row[x * (bits / 8) + i] = static_cast<uint8_t>(v >> (8 * i));
            }
        }
    }
    return p;
}

// A memory DC with a 24-bit top-down DIB section, as the BMP decoder uses it.
class DibTarget {
public:
    DibTarget(int width, int height, int bits = 24, bool topDown = true) {
        dc_ = plat::CreateCompatibleDC(nullptr);
        plat::BitmapInfo info = {};
        info.header.size = 40;
        info.header.width = width;
        info.header.height = topDown ? -height : height;
        info.header.planes = 1;
        info.header.bitCount = static_cast<uint16_t>(bits);
        void* bits_ = nullptr;
        bitmap_ = plat::CreateDIBSection(dc_, &info, plat::DIB_RGB_COLORS, &bits_);
        EXPECT_NE(bitmap_, nullptr);
        EXPECT_EQ(plat::SelectObject(dc_, bitmap_), nullptr);
        plat::GetBitmapDesc(bitmap_, &desc_);
        EXPECT_EQ(desc_.bits, bits_);
    }
    ~DibTarget() {
        EXPECT_FALSE(plat::DeleteObject(bitmap_));  // still selected
        plat::SelectObject(dc_, nullptr);
        EXPECT_TRUE(plat::DeleteDC(dc_));
        EXPECT_TRUE(plat::DeleteObject(bitmap_));
    }
    plat::DeviceContext* dc() const { return dc_; }
    const plat::BitmapDesc& desc() const { return desc_; }
    Bgr At(int x, int y) const {
        const int row = desc_.topDown ? y : desc_.height - 1 - y;
        const auto* p = static_cast<const uint8_t*>(desc_.bits) +
                        static_cast<size_t>(row) * desc_.widthBytes + x * (desc_.bitCount / 8);
        return {p[0], p[1], p[2]};
    }

private:
    plat::DeviceContext* dc_ = nullptr;
    plat::Bitmap* bitmap_ = nullptr;
    plat::BitmapDesc desc_ = {};
};

TEST(GdiDibTest, EverySourceLayoutConvertsToRgb) {
    const uint32_t masks565[3] = {0xF800, 0x07E0, 0x001F};
    const uint32_t masks444[3] = {0x0F00, 0x00F0, 0x000F};
    const uint32_t masksBgr32[3] = {0x000000FF, 0x0000FF00, 0x00FF0000};
    const uint32_t masks1010[3] = {0x3FF00000, 0x000FFC00, 0x000003FF};
    struct Case {
        int bits;
        uint32_t compression;
        const uint32_t* masks;
        int width;
    } cases[] = {
        {1, plat::BI_RGB, nullptr, 13}, {4, plat::BI_RGB, nullptr, 7},
        {8, plat::BI_RGB, nullptr, 5},  {16, plat::BI_RGB, nullptr, 3},
        {16, plat::BI_BITFIELDS, masks565, 5}, {16, plat::BI_BITFIELDS, masks444, 4},
        {24, plat::BI_RGB, nullptr, 5}, {32, plat::BI_RGB, nullptr, 3},
        {32, plat::BI_BITFIELDS, masksBgr32, 3}, {32, plat::BI_BITFIELDS, masks1010, 2},
    };
    std::mt19937 rng(12345);
    for (const Case& c : cases) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.bits << " bits, compression " << c.compression
                                            << (topDown ? ", top-down" : ", bottom-up"));
            const int height = 4;
            const Picture p = MakePicture(c.bits, c.compression, c.width, height, topDown, rng, c.masks);
            DibTarget target(c.width, height);
            EXPECT_EQ(target.desc().widthBytes % 4, 0);
            ASSERT_EQ(plat::SetDIBitsToDevice(target.dc(), 0, 0, c.width, height, 0, 0, 0, height,
                                              p.data.data(), p.data.size(), &p.info,
                                              plat::DIB_RGB_COLORS),
                      height);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < c.width; ++x) {
                    ASSERT_EQ(target.At(x, y), p.Expected(x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(GdiDibTest, ShortDataIsRefusedAtEveryLength) {
    std::mt19937 rng(7);
    const Picture p = MakePicture(8, plat::BI_RGB, 5, 3, false, rng);
    DibTarget target(5, 3);
    for (size_t length = 0; length < p.data.size(); ++length) {
        EXPECT_EQ(plat::SetDIBitsToDevice(target.dc(), 0, 0, 5, 3, 0, 0, 0, 3, p.data.data(),
                                          length, &p.info, plat::DIB_RGB_COLORS),
                  0)
            << length;
    }
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) EXPECT_EQ(target.At(x, y), (Bgr{0, 0, 0}));
    }
    EXPECT_EQ(plat::SetDIBitsToDevice(target.dc(), 0, 0, 5, 3, 0, 0, 0, 3, p.data.data(),
                                      p.data.size(), &p.info, plat::DIB_RGB_COLORS),
              3);
}

TEST(GdiDibTest, RefusesLayoutsItDoesNotTake) {
    std::mt19937 rng(3);
    DibTarget target(4, 4);
    const uint32_t masks565[3] = {0xF800, 0x07E0, 0x001F};
    const Picture base = MakePicture(16, plat::BI_BITFIELDS, 4, 4, false, rng, masks565);
    std::vector<uint8_t> data(4096);
    auto run = [&](const plat::BitmapInfo& info, uint32_t colorUse = plat::DIB_RGB_COLORS) {
        return plat::SetDIBitsToDevice(target.dc(), 0, 0, 4, 4, 0, 0, 0, 2, data.data(),
                                       data.size(), &info, colorUse);
    };
    EXPECT_EQ(run(base.info), 2);

    struct Case {
        const char* what;
        void (*change)(plat::BitmapInfo&);
    } cases[] = {
        {"overlapping masks", [](plat::BitmapInfo& i) { i.masks[1] = 0x0FE0; }},
        {"mask with a hole", [](plat::BitmapInfo& i) { i.masks[0] = 0xF100; }},
        {"mask outside the pixel", [](plat::BitmapInfo& i) { i.masks[0] = 0x1F0000; }},
        {"RLE8", [](plat::BitmapInfo& i) { i.header.bitCount = 8, i.header.compression = plat::BI_RLE8; }},
        {"RLE4", [](plat::BitmapInfo& i) { i.header.bitCount = 4, i.header.compression = plat::BI_RLE4; }},
        {"bit fields at 24 bits", [](plat::BitmapInfo& i) { i.header.bitCount = 24; }},
        {"2 bits", [](plat::BitmapInfo& i) { i.header.bitCount = 2, i.header.compression = plat::BI_RGB; }},
        {"0 bits", [](plat::BitmapInfo& i) { i.header.bitCount = 0; }},
        {"width 0", [](plat::BitmapInfo& i) { i.header.width = 0; }},
        {"negative width", [](plat::BitmapInfo& i) { i.header.width = -4; }},
        {"height 0", [](plat::BitmapInfo& i) { i.header.height = 0; }},
        {"height INT32_MIN", [](plat::BitmapInfo& i) { i.header.height = INT32_MIN; }},
        {"more scan lines than rows", [](plat::BitmapInfo& i) { i.header.height = 1; }},
        {"huge width", [](plat::BitmapInfo& i) { i.header.width = INT32_MAX; }},
    };
    for (const Case& c : cases) {
        plat::BitmapInfo info = base.info;
        c.change(info);
        EXPECT_EQ(run(info), 0) << c.what;
    }
    EXPECT_EQ(run(base.info, 1), 0) << "palette colour use";
    EXPECT_EQ(plat::SetDIBitsToDevice(target.dc(), 0, 0, 4, 4, 0, 0, 0, 2, nullptr, 0, &base.info,
                                      plat::DIB_RGB_COLORS),
              0);
    plat::DeviceContext* empty = plat::CreateCompatibleDC(nullptr);
    EXPECT_EQ(plat::SetDIBitsToDevice(empty, 0, 0, 4, 4, 0, 0, 0, 2, data.data(), data.size(),
                                      &base.info, plat::DIB_RGB_COLORS),
              0)
        << "no bitmap selected";
    plat::DeleteDC(empty);
}

TEST(GdiDibTest, PartialScanLinesAndClippingPlaceRowsByPicturePosition) {
    std::mt19937 rng(99);
    const Picture p = MakePicture(24, plat::BI_RGB, 4, 4, false, rng);
    // Stored rows 1 and 2 of a bottom-up picture are picture rows 2 and 1.
    DibTarget target(6, 6, 32, false);
    const size_t stride = p.Stride();
    ASSERT_EQ(plat::SetDIBitsToDevice(target.dc(), 2, -1, 4, 4, 0, 0, 1, 2,
                                      p.data.data() + stride, stride * 2, &p.info,
                                      plat::DIB_RGB_COLORS),
              2);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const int px = x - 2, py = y + 1;  // picture position drawn here
            const bool drawn = px >= 0 && px < 4 && (py == 1 || py == 2);
            EXPECT_EQ(target.At(x, y), (drawn ? p.Expected(px, py) : Bgr{0, 0, 0})) << x << "," << y;
        }
    }

    // A source rectangle inside the picture, drawn past the right edge of the target.
    DibTarget small(3, 3);
    ASSERT_EQ(plat::SetDIBitsToDevice(small.dc(), 1, 0, 3, 2, 1, 2, 0, 4, p.data.data(),
                                      p.data.size(), &p.info, plat::DIB_RGB_COLORS),
              4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            const bool drawn = x >= 1 && y < 2;
            EXPECT_EQ(small.At(x, y), (drawn ? p.Expected(x, y + 2) : Bgr{0, 0, 0})) << x << "," << y;
        }
    }
}

TEST(GdiDibTest, DibSectionRefusesSizesAndFormatsItCannotHold) {
    plat::BitmapInfo info = {};
    info.header.size = 40;
    info.header.planes = 1;
    void* bits = reinterpret_cast<void*>(1);
    struct Case {
        int32_t width, height;
        uint16_t bitCount;
        uint32_t compression;
    } cases[] = {
        {0, 4, 24, plat::BI_RGB},   {4, 0, 24, plat::BI_RGB},
        {4, INT32_MIN, 24, plat::BI_RGB}, {65536, 65536, 32, plat::BI_RGB},
        {4, 4, 16, plat::BI_RGB},   {4, 4, 8, plat::BI_RGB},
        {4, 4, 32, plat::BI_BITFIELDS},
    };
    for (const Case& c : cases) {
        info.header.width = c.width;
        info.header.height = c.height;
        info.header.bitCount = c.bitCount;
        info.header.compression = c.compression;
        EXPECT_EQ(plat::CreateDIBSection(nullptr, &info, plat::DIB_RGB_COLORS, &bits), nullptr)
            << c.width << "x" << c.height << " " << c.bitCount;
        EXPECT_EQ(bits, nullptr);
    }
}

using GdiSurfaceTest = DDrawFixture;

TEST_F(GdiSurfaceTest, SurfaceDeviceContextConvertsIntoTheSurfaceFormat) {
    plat::SetSurfacePitchPadding(12);
    std::mt19937 rng(5);
    const Picture p = MakePicture(24, plat::BI_RGB, 5, 3, true, rng);
    plat::DrawSurface* s = MakePlain(5, 3, Rgb565());
    plat::DeviceContext* dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), plat::DD_OK);
    EXPECT_EQ(plat::SelectObject(dc, nullptr), nullptr);
    ASSERT_EQ(plat::SetDIBitsToDevice(dc, 0, 0, 5, 3, 0, 0, 0, 3, p.data.data(), p.data.size(),
                                      &p.info, plat::DIB_RGB_COLORS),
              3);
    ASSERT_EQ(s->ReleaseDC(dc), plat::DD_OK);
    const std::vector<uint32_t> got = ReadAll(s);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const Bgr c = p.Expected(x, y);
            const uint32_t expected = (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3;
            EXPECT_EQ(got[y * 5 + x], expected) << x << "," << y;
        }
    }
}

}  // namespace
