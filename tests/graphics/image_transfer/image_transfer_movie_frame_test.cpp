// A movie's frame put into its graph: rows copied when the layouts agree (clipped to the rows
// of both, never past either row), converted when they do not, an alpha movie's halves taken
// as colour and alpha, and a surface that cannot be locked refused with its log line.
#include <gtest/gtest.h>

#include <string>

#include "graphics/image_transfer/movie_frame.h"
#include "graphics/pixels/transfer_pixels.h"
#include "tests/graphics/image_transfer/image_transfer_test_support.h"

namespace {

TEST(CopyFrameRowsTest, CopiesTheRowsAndRowBytesBothSidesHaveAndNothingMore) {
    struct Case {
        const char* name;
        int destW, destH, destBpp, destPitch;
        int srcW, srcH, srcBpp, srcPitch;
        int64_t rowBytes;
        int rows;
    } cases[] = {
        {"same size", 4, 3, 2, 8, 4, 3, 2, 8, 8, 3},
        {"frame wider and taller", 3, 2, 2, 6, 5, 4, 2, 12, 6, 2},
        {"frame narrower and shorter", 5, 4, 2, 12, 3, 2, 2, 8, 6, 2},
        // A 16-bit frame on a 32-bit display: 2 bytes a pixel, not the display's 4.
        {"16-bit frame, 4-byte-per-pixel display", 4, 2, 2, 8, 4, 2, 2, 8, 8, 2},
        {"32-bit rows", 2, 2, 4, 8, 3, 3, 4, 12, 8, 2},
        {"nothing: empty destination", 0, 2, 2, 0, 3, 2, 2, 8, 0, 0},
        {"nothing: no rows", 3, 0, 2, 6, 3, 2, 2, 8, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> source(static_cast<size_t>(c.srcPitch) * c.srcH + 16);
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i + 1);
        // Exactly the destination's rows, then a guard.
        const size_t destBytes = static_cast<size_t>(c.destPitch) * c.destH;
        std::vector<uint8_t> dest(destBytes + 16, 0xEE);
        EXPECT_EQ(CopyFrameRows(dest.data(), c.destPitch, c.destW, c.destH, c.destBpp,
                                source.data(), c.srcPitch, c.srcW, c.srcH, c.srcBpp),
                  c.rowBytes);
        for (int y = 0; y < c.destH; ++y) {
            for (int i = 0; i < c.destPitch; ++i) {
                const uint8_t got = dest[static_cast<size_t>(y) * c.destPitch + i];
                if (y < c.rows && i < c.rowBytes) {
                    EXPECT_EQ(got, source[static_cast<size_t>(y) * c.srcPitch + i]) << y << "," << i;
                } else {
                    EXPECT_EQ(got, 0xEE) << y << "," << i;
                }
            }
        }
        for (size_t i = destBytes; i < dest.size(); ++i) EXPECT_EQ(dest[i], 0xEE) << "guard " << i;
    }
}

using ImageTransferMovieFrameTest = ImageTransferFixture;

PaletteColorFormat Format(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    PaletteColorFormat f{};
    BuildColorFormat(&f, bits, r, g, b, a);
    return f;
}

// The frame's top-left width × height pixels as the bytes a piece of the same layout holds.
std::vector<uint8_t> FrameBytes(const TransferTestImage& frame, int width, int height) {
    std::vector<uint8_t> out;
    const int bytes = frame.image.colorFormat.format.bytes;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = frame.image.pixels + static_cast<size_t>(y) * frame.image.pitch;
        out.insert(out.end(), row, row + width * bytes);
    }
    return out;
}

TEST_F(ImageTransferMovieFrameTest, FrameInThePiecesLayoutIsCopiedByItsOwnPixelSize) {
    // A 16-bit piece on a 32-bit display, a frame larger than the graph.
    UseDisplay(32);
    const HandleValue soft = MakeGraph(4, 3, 1, 16, 0);
    MovieFrame frame{};
    TransferTestImage picture(Format(16, 0xF800, 0x07E0, 0x001F, 0), 6, 5, 4);
    frame.image = picture.image;
    ASSERT_EQ(CopyMovieFrameToGraph(&frame, GetGraphRecord(soft)), 0);
    EXPECT_EQ(PieceBytes(soft), FrameBytes(picture, 4, 3));

    // A 16-bit surface, a frame smaller than the graph: the rest stays as it was.
    UseDisplay(16);
    const HandleValue surface = MakeGraph(5, 4, 0, 0, 0);
    ASSERT_EQ(FillGraph(surface, 0, 0, 0, 255), 0);
    TransferTestImage small(Format(16, 0xF800, 0x07E0, 0x001F, 0), 3, 2, 5);
    frame.image = small.image;
    ASSERT_EQ(CopyMovieFrameToGraph(&frame, GetGraphRecord(surface)), 0);
    const std::vector<uint8_t> got = PieceBytes(surface);
    const std::vector<uint8_t> rows = FrameBytes(small, 3, 2);
    for (int y = 0; y < 4; ++y) {
        for (int i = 0; i < 10; ++i) {
            const uint8_t want = y < 2 && i < 6 ? rows[y * 6 + i] : 0;
            EXPECT_EQ(got[y * 10 + i], want) << y << "," << i;
        }
    }
    DeleteGraphHandle(soft, 0);
    DeleteGraphHandle(surface, 0);
}

TEST_F(ImageTransferMovieFrameTest, OtherLayoutsAreConvertedAndAlphaMoviesSplitInHalves) {
    UseDisplay(32);
    struct Case {
        const char* name;
        PaletteColorFormat format;
        int32_t surfaceMode;
    } cases[] = {
        {"24-bit mode", Format(24, 0xFF0000, 0xFF00, 0xFF, 0), kMovieSurfaceRgb24},
        {"16-bit frame on a 32-bit surface", Format(16, 0xF800, 0x07E0, 0x001F, 0),
         kMovieSurfaceScreenFormat},
        {"32-bit frame of another order", Format(32, 0xFF, 0xFF00, 0xFF0000, 0),
         kMovieSurfaceScreenFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HandleValue graph = MakeGraph(4, 3, 0, 0, 0);
        TransferTestImage picture(c.format, 5, 3, 6);
        MovieFrame frame{picture.image, c.surfaceMode, 0};
        ASSERT_EQ(CopyMovieFrameToGraph(&frame, GetGraphRecord(graph)), 0);
        const PaletteColorFormat* destFormat = nullptr;
        int bytes = 0;
        const std::vector<uint8_t> got = PieceBytes(graph, &destFormat, &bytes);
        std::vector<uint8_t> want(got.size());
        const RECT area = {0, 0, 4, 3};
        ASSERT_EQ(TransferPixels(want.data(), 4 * bytes, destFormat, picture.image.pixels,
                                 picture.image.pitch, &picture.image.colorFormat, nullptr, 0,
                                 nullptr, 0, 0, &area, 0, 0, 0, kDitherNone, 0, 0, 0),
                  0);
        EXPECT_EQ(got, want);
        DeleteGraphHandle(graph, 0);
    }

    // An alpha movie: colour on the left, alpha (as grey) on the right.
    const HandleValue graph = MakeGraph(2, 2, 0, 32, 1);
    TransferTestImage picture(Format(32, 0xFF0000, 0xFF00, 0xFF, 0), 4, 2, 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            picture.SetPixel(x, y, 0x102030u + static_cast<uint32_t>(x * 16 + y));
            picture.SetPixel(2 + x, y, static_cast<uint32_t>(40 + x * 100 + y * 10) * 0x010101u);
        }
    }
    MovieFrame frame{picture.image, kMovieSurfaceScreenFormat, 1};
    ASSERT_EQ(CopyMovieFrameToGraph(&frame, GetGraphRecord(graph)), 0);
    const std::vector<uint8_t> got = PieceBytes(graph);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, &got[(y * 2 + x) * 4], 4);
            EXPECT_EQ(v, (0x102030u + static_cast<uint32_t>(x * 16 + y)) |
                             static_cast<uint32_t>(40 + x * 100 + y * 10) << 24)
                << x << "," << y;
        }
    }
    DeleteGraphHandle(graph, 0);
}

TEST_F(ImageTransferMovieFrameTest, LockFailureAndMissingPiecesAreRefused) {
    const HandleValue graph = MakeGraph(4, 3, 0, 0, 0);
    TransferTestImage picture(Format(16, 0xF800, 0x07E0, 0x001F, 0), 4, 3, 1);
    MovieFrame frame{picture.image, kMovieSurfaceScreenFormat, 0};
    plat::FailNextSurfaceLocks(1);
    EXPECT_EQ(CopyMovieFrameToGraph(&frame, GetGraphRecord(graph)), -1);
    EXPECT_NE(LogText().find("ムービーグラフィック転送先サーフェスのロックに失敗しました"),
              std::string::npos);
    // The surface is not left locked: the next frame goes in.
    EXPECT_EQ(CopyMovieFrameToGraph(&frame, GetGraphRecord(graph)), 0);

    MovieFrame empty{};
    EXPECT_EQ(CopyMovieFrameToGraph(&empty, GetGraphRecord(graph)), -1);
    EXPECT_EQ(CopyMovieFrameToGraph(nullptr, GetGraphRecord(graph)), -1);
    GraphRecord* record = GetGraphRecord(graph);
    const HandleValue piece = record->surfaces[0];
    record->surfaces[0] = kNoHandle;
    EXPECT_EQ(CopyMovieFrameToGraph(&frame, record), -1);
    record->surfaces[0] = piece;
    DeleteGraphHandle(graph, 0);
}

}  // namespace
