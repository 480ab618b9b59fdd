// Sources put into the pieces of graphs: clipping to the source and the piece, destinations in
// piece and graph coordinates, graphs of several pieces filled whole or re-filled in part,
// GDI bitmaps as the source, and the refusals with their log lines.
#include <gtest/gtest.h>

#include <string>

#include "graphics/surfaces/surface_2d.h"
#include "platform/gdi/gdi.h"
#include "tests/graphics/image_transfer/image_transfer_test_support.h"

namespace {

using ImageTransferPiecesTest = ImageTransferFixture;

uint32_t Colour(int x, int y) { return static_cast<uint32_t>(0x102030 + x * 0x0A0000 + y * 0x000B00); }

// A 32-bit XRGB image of Colour(x, y).
TransferTestImage ColourImage(int width, int height) {
    PaletteColorFormat format{};
    BuildColorFormat(&format, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    TransferTestImage image(format, width, height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.SetPixel(x, y, Colour(x, y));
    }
    return image;
}

constexpr uint32_t kUntouched = 0x000000;  // FillGraph(0, 0, 0) in a 32-bit image
constexpr uint32_t kFill = 0x5A5A5A;

// The 0x00RRGGBB pixels of a 32-bit piece.
std::vector<uint32_t> Pixels(HandleValue graph) {
    std::vector<uint8_t> bytes = ImageTransferFixture::PieceBytes(graph);
    std::vector<uint32_t> out(bytes.size() / 4);
    std::memcpy(out.data(), bytes.data(), out.size() * 4);
    for (uint32_t& p : out) p &= 0xFFFFFF;
    return out;
}

// What a width × height piece holds when the rectangle (sx, sy, w, h) of the colour image lands
// at (dx, dy) of it and everything else is the fill.
std::vector<uint32_t> Expect(int width, int height, int sx, int sy, int w, int h, int dx, int dy,
                             uint32_t fill) {
    std::vector<uint32_t> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool in = x >= dx && x < dx + w && y >= dy && y < dy + h;
            out.push_back(in ? Colour(sx + x - dx, sy + y - dy) : fill);
        }
    }
    return out;
}

TEST_F(ImageTransferPiecesTest, RectangleIsClippedToTheSourceAndToThePiece) {
    TransferTestImage image = ColourImage(6, 5);
    struct Case {
        const char* name;
        RECT source;
        int x, y;
        int sx, sy, w, h, dx, dy;  // what lands
    } cases[] = {
        {"inside", {1, 1, 3, 3}, 2, 1, 1, 1, 2, 2, 2, 1},
        {"source past the image's right and bottom", {4, 3, 9, 9}, 0, 0, 4, 3, 2, 2, 0, 0},
        {"source left of and above the image", {-2, -1, 2, 2}, 0, 0, 0, 0, 2, 2, 2, 1},
        {"destination left of and above the piece", {0, 0, 4, 4}, -1, -2, 1, 2, 3, 2, 0, 0},
        {"destination past the piece", {0, 0, 6, 5}, 3, 2, 0, 0, 2, 2, 3, 2},
        {"whole image (null rectangle) cut by the piece", {0, 0, 0, 0}, 0, 0, 0, 0, 5, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HandleValue graph = MakeGraph(5, 4, 1, 32, 0);
        ASSERT_EQ(FillGraph(graph, 0, 0, 0, 255), 0);
        const bool whole = c.source.right == 0;
        ASSERT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr),
                                           whole ? nullptr : &c.source, c.x, c.y, PieceOf(graph), 0),
                  0);
        EXPECT_EQ(Pixels(graph), Expect(5, 4, c.sx, c.sy, c.w, c.h, c.dx, c.dy, kUntouched));
        DeleteGraphHandle(graph, 0);
    }

    // Nothing of the rectangle in the image or in the piece: nothing is written, no failure.
    const HandleValue graph = MakeGraph(5, 4, 1, 32, 0);
    ASSERT_EQ(FillGraph(graph, 0x5A, 0x5A, 0x5A, 255), 0);
    const RECT outside = {6, 0, 8, 2};
    const RECT inverted = {3, 3, 1, 1};
    const RECT huge = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), &outside, 0, 0,
                                       PieceOf(graph), 0), 0);
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), &inverted, 0, 0,
                                       PieceOf(graph), 0), 0);
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), nullptr, 5, 0,
                                       PieceOf(graph), 0), 0);
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), nullptr, INT32_MIN,
                                       INT32_MAX, PieceOf(graph), 0), 0);
    EXPECT_EQ(Pixels(graph), std::vector<uint32_t>(20, kFill));
    // The largest rectangle puts the image's corner far right of the piece: nothing lands.
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), &huge, 0, 0,
                                       PieceOf(graph), 0), 0);
    EXPECT_EQ(Pixels(graph), Expect(5, 4, INT32_MAX, 0, 0, 0, 0, 0, kFill)) << "huge";
    DeleteGraphHandle(graph, 0);
}

// A graph of 8 × 4 held as two pieces of 4 × 4 side by side, each a software image of its own.
HandleValue TwoPieceGraph() {
    GraphRecord* record = nullptr;
    GetDrawState().softImageSetting = 1;
    GetDrawState().colorDepthSetting = 32;
    const HandleValue graph = AllocGraphRecord(8, 4, 0, &record, 0, 0);
    GetDrawState().softImageSetting = 0;
    GetDrawState().colorDepthSetting = 0;
    if (graph < 0) return graph;
    for (int i = 0; i < 2; ++i) {
        record->surfaces[i] =
            AddSurface2D(4, 4, i * 4, 0, graph, nullptr, 0, 0, record->flags);
        EXPECT_GE(record->surfaces[i], 0);
        FillSurfaceData(GetSurface2D(record->surfaces[i])->surfaceData, 0x5A, 0x5A, 0x5A, 255);
    }
    record->surfaceCount = 2;
    return graph;
}

std::vector<uint32_t> PiecePixels(HandleValue piece) {
    const Surface2DRecord* view = GetSurface2D(piece);
    const SurfaceDataRecord* data = GetSurfaceData(view->surfaceData);
    std::vector<uint32_t> out;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, data->image.pixels + y * data->image.pitch + x * 4, 4);
            out.push_back(v & 0xFFFFFF);
        }
    }
    return out;
}

TEST_F(ImageTransferPiecesTest, EachPieceOfAGraphTakesThePartOfTheSourceUnderIt) {
    TransferTestImage image = ColourImage(12, 6);
    const HandleValue graph = TwoPieceGraph();
    ASSERT_GE(graph, 0);
    GraphRecord* record = GetGraphRecord(graph);

    // The graph's corner at (2, 1) of the image.
    ASSERT_EQ(TransferImageToGraph2D(ImageSource(&image.image, nullptr), 2, 1, record), 0);
    EXPECT_EQ(PiecePixels(record->surfaces[0]), Expect(4, 4, 2, 1, 4, 4, 0, 0, kFill));
    EXPECT_EQ(PiecePixels(record->surfaces[1]), Expect(4, 4, 6, 1, 4, 4, 0, 0, kFill));

    // Graph coordinates: (5, 1) is (1, 1) of the second piece.
    const RECT one = {0, 0, 1, 1};
    ASSERT_EQ(TransferImageToSurface2DAt(ImageSource(&image.image, nullptr), &one, 5, 1,
                                         record->surfaces[1], 0), 0);
    EXPECT_EQ(PiecePixels(record->surfaces[1])[1 * 4 + 1], Colour(0, 0));

    // A refill of (1, 1)-(4, 3) of the image at (3, 2) of the graph: column 3 in the first
    // piece, columns 4 and 5 in the second.
    for (int i = 0; i < 2; ++i) {
        FillSurfaceData(GetSurface2D(record->surfaces[i])->surfaceData, 0x5A, 0x5A, 0x5A, 255);
    }
    const RECT part = {1, 1, 4, 3};
    ASSERT_EQ(RefillGraph2DFromImage(ImageSource(&image.image, nullptr), &part, 3, 2, record, 0),
              0);
    EXPECT_EQ(PiecePixels(record->surfaces[0]), Expect(4, 4, 1, 1, 1, 2, 3, 2, kFill));
    EXPECT_EQ(PiecePixels(record->surfaces[1]), Expect(4, 4, 2, 1, 2, 2, 0, 2, kFill));

    // A refill that meets only the second piece leaves the first alone.
    const std::vector<uint32_t> firstBefore = PiecePixels(record->surfaces[0]);
    EXPECT_EQ(RefillGraph2DFromImage(ImageSource(&image.image, nullptr), &one, 6, 0, record, 0), 0);
    EXPECT_EQ(PiecePixels(record->surfaces[1])[2], Colour(0, 0));
    EXPECT_EQ(PiecePixels(record->surfaces[0]), firstBefore);
    const HandleValue first = record->surfaces[0];
    record->surfaces[0] = kNoHandle;
    // A whole fill stops at the piece that does not resolve.
    EXPECT_EQ(TransferImageToGraph2D(ImageSource(&image.image, nullptr), 0, 0, record), -1);
    record->surfaces[0] = first;
    DeleteGraphHandle(graph, 0);
}

TEST_F(ImageTransferPiecesTest, GdiBitmapsAreReadInTheirOwnFormatWithTheirAlpha) {
    // A bottom-up 24-bit bitmap and a top-down one for alpha, written through SetDIBitsToDevice.
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    auto makeBitmap = [&](int32_t height, uint32_t (*colour)(int, int)) {
        plat::BitmapInfo info{};
        info.header.size = sizeof info.header;
        info.header.width = 3;
        info.header.height = height;
        info.header.planes = 1;
        info.header.bitCount = 24;
        void* bits = nullptr;
        plat::Bitmap* bitmap = plat::CreateDIBSection(dc, &info, plat::DIB_RGB_COLORS, &bits);
        EXPECT_NE(bitmap, nullptr);
        plat::BitmapDesc desc{};
        plat::GetBitmapDesc(bitmap, &desc);
        for (int y = 0; y < 2; ++y) {
            const int stored = desc.topDown ? y : 1 - y;
            for (int x = 0; x < 3; ++x) {
                const uint32_t c = colour(x, y);
                uint8_t* p = static_cast<uint8_t*>(bits) + stored * desc.widthBytes + x * 3;
                p[0] = static_cast<uint8_t>(c);
                p[1] = static_cast<uint8_t>(c >> 8);
                p[2] = static_cast<uint8_t>(c >> 16);
            }
        }
        return bitmap;
    };
    plat::Bitmap* colour = makeBitmap(2, Colour);
    plat::Bitmap* alpha = makeBitmap(-2, [](int x, int y) { return static_cast<uint32_t>(x * 100 + y * 20); });

    const HandleValue graph = MakeGraph(3, 2, 0, 32, 1);
    ImageTransferSource source{nullptr, nullptr, colour, alpha, 1};
    ASSERT_EQ(TransferImageToSurface2D(source, nullptr, 0, 0, PieceOf(graph), 0), 0);
    const std::vector<uint8_t> bytes = PieceBytes(graph);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, &bytes[(y * 3 + x) * 4], 4);
            EXPECT_EQ(v, Colour(x, y) | static_cast<uint32_t>(x * 100 + y * 20) << 24)
                << x << "," << y;
        }
    }
    DeleteGraphHandle(graph, 0);
    plat::DeleteObject(colour);
    plat::DeleteObject(alpha);
    plat::DeleteDC(dc);
}

TEST_F(ImageTransferPiecesTest, RefusalsGiveMinusOneWithTheirLogLines) {
    TransferTestImage image = ColourImage(4, 4);
    const HandleValue graph = MakeGraph(4, 4, 0, 0, 0);  // a surface in video memory
    const HandleValue piece = PieceOf(graph);

    EXPECT_EQ(TransferImageToSurface2D(ImageSource(nullptr, nullptr), nullptr, 0, 0, piece, 0), -1);
    EXPECT_EQ(TransferImageToSurface2D(ImageTransferSource{nullptr, nullptr, nullptr, nullptr, 1},
                                       nullptr, 0, 0, piece, 0),
              -1);
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), nullptr, 0, 0,
                                       kNoHandle, 0), -1);
    EXPECT_EQ(TransferImageToSurface2DAt(ImageSource(&image.image, nullptr), nullptr, 0, 0,
                                         kNoHandle, 0), -1);
    plat::FailNextSurfaceLocks(1);
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), nullptr, 0, 0, piece, 0),
              -1);
    const std::string log = LogText();
    EXPECT_NE(log.find("転送する画像がありません"), std::string::npos);
    EXPECT_NE(log.find("転送するビットマップがありません"), std::string::npos);
    EXPECT_NE(log.find("２Ｄサーフェスのロックに失敗しました"), std::string::npos);
    EXPECT_EQ(TransferImageToGraph(nullptr, &image.image, nullptr, 0, 0, kNoHandle), -1);

    // Without a screen nothing is transferred.
    static ScreenDriver noScreen = kAbsentScreen;
    noScreen.isNoDirectDraw = [] { return 0; };
    noScreen.hasDirectDrawObject = [] { return 0; };
    ScreenSlot().Install(noScreen);
    EXPECT_EQ(TransferImageToSurface2D(ImageSource(&image.image, nullptr), nullptr, 0, 0, piece, 0),
              -1);
    ScreenSlot().Reset();
    DeleteGraphHandle(graph, 0);
}

}  // namespace
