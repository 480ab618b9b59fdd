// The fast paths of the picture copies, each against the general per-pixel path over random
// pixels: the DIB row converter (masked copy, channel tables) for every source and target
// layout pair, the one-to-one StretchDIBits and SetDIBitsToDevice with clipping, and the
// surface layer's one-to-one copies and row fills.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/gdi/gdi_row_convert.h"
#include "tests/platform/ddraw/ddraw_fixture.h"

namespace {

using plat::gdi::RowConversion;

struct Layout {
    const char* name;
    uint32_t bits, r, g, b;
};

// Masked layouts of sources and targets: the common ones, a permuted one, and narrow fields.
const Layout kLayouts[] = {
    {"5-6-5", 16, 0xF800, 0x07E0, 0x001F},
    {"5-5-5", 16, 0x7C00, 0x03E0, 0x001F},
    {"4-4-4", 16, 0x0F00, 0x00F0, 0x000F},
    {"X8R8G8B8", 32, 0xFF0000, 0xFF00, 0xFF},
    {"X8B8G8R8", 32, 0xFF, 0xFF00, 0xFF0000},
    {"10-10-10", 32, 0x3FF00000, 0x000FFC00, 0x000003FF},
};

plat::gdi::SourceLayout Source(const Layout& l) {
    plat::BitmapInfo info{};
    info.header.size = sizeof(plat::BitmapInfoHeader);
    info.header.width = 1;
    info.header.height = 1;
    info.header.planes = 1;
    info.header.bitCount = static_cast<uint16_t>(l.bits);
    info.header.compression = plat::BI_BITFIELDS;
    info.masks[0] = l.r;
    info.masks[1] = l.g;
    info.masks[2] = l.b;
    plat::gdi::SourceLayout s{};
    EXPECT_TRUE(plat::gdi::MakeSourceLayout(info, &s));
    return s;
}

plat::DcTarget Target(uint32_t bits, uint32_t r, uint32_t g, uint32_t b) {
    plat::DcTarget t{};
    t.bitCount = bits;
    t.redMask = r;
    t.greenMask = g;
    t.blueMask = b;
    return t;
}

TEST(RowConverterTest, EveryLayoutPairGivesThePerPixelBytesOverRandomPixels) {
    std::mt19937 rng(1234);
    std::vector<plat::DcTarget> targets;
    for (const Layout& l : kLayouts) targets.push_back(Target(l.bits, l.r, l.g, l.b));
    targets.push_back(Target(24, 0, 0, 0));
    int masked = 0, tables = 0;
    for (const Layout& from : kLayouts) {
        const plat::gdi::SourceLayout source = Source(from);
        for (const plat::DcTarget& target : targets) {
            SCOPED_TRACE(std::string(from.name) + " to " + std::to_string(target.bitCount) +
                         " bits, red " + std::to_string(target.redMask));
            plat::gdi::RowConverter c;
            ASSERT_TRUE(plat::gdi::MakeRowConverter(source, target, &c));
            masked += c.kind == RowConversion::MaskedCopy;
            tables += c.kind == RowConversion::ChannelTables;
            // Every bit random, the ones outside the channels too.
            constexpr int64_t kCount = 997;
            std::vector<uint8_t> row((kCount + 8) * 4);
            for (uint8_t& byte : row) byte = static_cast<uint8_t>(rng());
            const int64_t outBytes = target.bitCount / 8;
            for (int64_t x : {int64_t{0}, int64_t{3}}) {
                std::vector<uint8_t> fast(static_cast<size_t>(kCount * outBytes), 0xCD);
                std::vector<uint8_t> slow(fast.size(), 0xCD);
                plat::gdi::ConvertRow(c, row.data(), x, kCount, fast.data());
                plat::gdi::ConvertRowPerPixel(c, row.data(), x, kCount, slow.data());
                EXPECT_EQ(fast, slow) << "from column " << x;
            }
        }
    }
    // The pairs the screen takes every frame use the fast kinds.
    EXPECT_GE(masked, 4);
    EXPECT_GE(tables, 10);
    plat::gdi::RowConverter c;
    ASSERT_TRUE(plat::gdi::MakeRowConverter(Source(kLayouts[0]),
                                            Target(32, 0xFF0000, 0xFF00, 0xFF), &c));
    EXPECT_EQ(c.kind, RowConversion::ChannelTables);
    ASSERT_TRUE(plat::gdi::MakeRowConverter(Source(kLayouts[3]),
                                            Target(32, 0xFF0000, 0xFF00, 0xFF), &c));
    EXPECT_EQ(c.kind, RowConversion::MaskedCopy);
    ASSERT_TRUE(plat::gdi::MakeRowConverter(Source(kLayouts[5]),
                                            Target(32, 0xFF0000, 0xFF00, 0xFF), &c));
    EXPECT_EQ(c.kind, RowConversion::PerPixel);
}

// A 32-bit DIB section selected into a memory device context, zeroed.
struct Canvas {
    plat::DeviceContext* dc = nullptr;
    plat::Bitmap* bitmap = nullptr;
    uint8_t* bits = nullptr;
    int32_t width, height;
    Canvas(int32_t w, int32_t h) : width(w), height(h) {
        plat::BitmapInfo info{};
        info.header.size = sizeof(plat::BitmapInfoHeader);
        info.header.width = w;
        info.header.height = -h;
        info.header.planes = 1;
        info.header.bitCount = 32;
        dc = plat::CreateCompatibleDC(nullptr);
        void* p = nullptr;
        bitmap = plat::CreateDIBSection(dc, &info, plat::DIB_RGB_COLORS, &p);
        bits = static_cast<uint8_t*>(p);
        plat::SelectObject(dc, bitmap);
    }
    ~Canvas() {
        plat::SelectObject(dc, nullptr);
        plat::DeleteDC(dc);
        plat::DeleteObject(bitmap);
    }
    std::vector<uint8_t> Bytes() const {
        return std::vector<uint8_t>(bits, bits + static_cast<size_t>(width) * height * 4);
    }
};

TEST(DibOneToOneTest, SetDIBitsAndUnscaledStretchMatchThePerPixelRuleWithClipping) {
    std::mt19937 rng(99);
    constexpr int32_t kW = 37, kH = 23;  // odd widths: 16-bit rows carry padding
    for (const Layout& l : {kLayouts[0], kLayouts[3], kLayouts[1]}) {
        for (const bool bottomUp : {true, false}) {
            SCOPED_TRACE(std::string(l.name) + (bottomUp ? " bottom-up" : " top-down"));
            plat::BitmapInfo info{};
            info.header.size = sizeof(plat::BitmapInfoHeader);
            info.header.width = kW;
            info.header.height = bottomUp ? kH : -kH;
            info.header.planes = 1;
            info.header.bitCount = static_cast<uint16_t>(l.bits);
            info.header.compression = plat::BI_BITFIELDS;
            info.masks[0] = l.r;
            info.masks[1] = l.g;
            info.masks[2] = l.b;
            const size_t stride = (static_cast<size_t>(kW) * l.bits + 31) / 32 * 4;
            std::vector<uint8_t> data(stride * kH);
            for (uint8_t& byte : data) byte = static_cast<uint8_t>(rng());
            plat::gdi::SourceLayout source{};
            ASSERT_TRUE(plat::gdi::MakeSourceLayout(info, &source));
            plat::gdi::TargetLayout out{};
            ASSERT_TRUE(plat::gdi::MakeTargetLayout(Target(32, 0xFF0000, 0xFF00, 0xFF), &out));

            // Placed partly off the canvas's left and top, a sub-rectangle of the picture.
            const int32_t xDest = -5, yDest = -3, xSrc = 2, ySrc = 1, w = 30, h = 20;
            std::vector<uint8_t> expected(static_cast<size_t>(24) * 18 * 4, 0);
            for (int32_t y = 0; y < h; ++y) {
                for (int32_t x = 0; x < w; ++x) {
                    const int32_t dx = xDest + x, dy = yDest + y;
                    if (dx < 0 || dy < 0 || dx >= 24 || dy >= 18) continue;
                    // SetDIBitsToDevice's rectangle: picture row ySrc + y from the top.
                    const int32_t pictureRow = ySrc + y;
                    const int32_t stored = bottomUp ? kH - 1 - pictureRow : pictureRow;
                    uint8_t bgr[3];
                    plat::gdi::ReadSourcePixel(source, data.data() + stride * stored, xSrc + x,
                                               bgr);
                    plat::gdi::WriteTargetPixel(out, expected.data() + (dy * 24 + dx) * 4, bgr);
                }
            }
            Canvas viaSet(24, 18);
            ASSERT_EQ(plat::SetDIBitsToDevice(viaSet.dc, xDest, yDest, w, h, xSrc, ySrc, 0, kH,
                                              data.data(), data.size(), &info,
                                              plat::DIB_RGB_COLORS),
                      kH);
            EXPECT_EQ(viaSet.Bytes(), expected);
            // StretchDIBits counts its source y from the picture's bottom.
            Canvas viaStretch(24, 18);
            ASSERT_EQ(plat::StretchDIBits(viaStretch.dc, xDest, yDest, w, h, xSrc, kH - ySrc - h,
                                          w, h, data.data(), data.size(), &info,
                                          plat::DIB_RGB_COLORS, plat::SRCCOPY),
                      h);
            EXPECT_EQ(viaStretch.Bytes(), expected);
        }
    }
}

class SurfaceFastPathTest : public DDrawFixture {};

TEST_F(SurfaceFastPathTest, OneToOneCopiesAndFillsMatchTheGeneralRule) {
    std::mt19937 rng(7);
    for (const plat::PixelFormat& format : {Rgb565(), Xrgb32()}) {
        SCOPED_TRACE(format.bitCount);
        const uint32_t mask = format.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        constexpr uint32_t kW = 41, kH = 29;
        plat::DrawSurface* source = MakePlain(kW, kH, format);
        plat::DrawSurface* dest = MakePlain(kW, kH, format);
        std::vector<uint32_t> from(kW * kH), under(kW * kH);
        for (uint32_t& v : from) v = rng() & mask & (rng() % 3 == 0 ? 0 : ~0u);  // keys too
        for (uint32_t& v : under) v = rng() & mask;
        WriteAll(source, from);
        const plat::ColorKey key{0, 0};
        ASSERT_EQ(source->SetColorKey(plat::DDCKEY_SRCBLT, &key), plat::DD_OK);

        const plat::Rect part{3, 2, 38, 27};
        for (const bool keyed : {false, true}) {
            SCOPED_TRACE(keyed ? "keyed" : "plain");
            WriteAll(dest, under);
            ASSERT_EQ(dest->BltFast(1, 1, source, &part,
                                    keyed ? plat::DDBLTFAST_SRCCOLORKEY : 0u),
                      plat::DD_OK);
            std::vector<uint32_t> expected = under;
            for (int32_t y = part.top; y < part.bottom; ++y) {
                for (int32_t x = part.left; x < part.right; ++x) {
                    const uint32_t v = from[y * kW + x];
                    if (keyed && v == 0) continue;
                    expected[(y - part.top + 1) * kW + (x - part.left + 1)] = v;
                }
            }
            EXPECT_EQ(ReadAll(dest), expected);
        }

        // A colour fill of a rectangle: every pixel in it the value cut to the pixel size,
        // everything else as it was.
        WriteAll(dest, under);
        plat::BltFx fx{};
        fx.fillColor = 0xABCDEF12u;
        const plat::Rect box{5, 4, 33, 21};
        ASSERT_EQ(dest->Blt(&box, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx),
                  plat::DD_OK);
        std::vector<uint32_t> filled = under;
        for (int32_t y = box.top; y < box.bottom; ++y) {
            for (int32_t x = box.left; x < box.right; ++x) filled[y * kW + x] = fx.fillColor & mask;
        }
        EXPECT_EQ(ReadAll(dest), filled);
    }
}

}  // namespace
