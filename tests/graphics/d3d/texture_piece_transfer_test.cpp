// Pixels into texture graphs: whole images through the graph transfer, offsets and rectangles
// across piece borders, derived graphs, the work-texture road when a texture cannot be locked,
// and the forced opaque alpha.
#include "graphics/d3d/texture_pieces.h"
#include "tests/graphics/d3d/texture_piece_test_support.h"

namespace {

using TexturePieceTransferTest = TexturePieceFixture;

TEST_F(TexturePieceTransferTest, ImageLandsInEveryPieceAtItsPlace) {
    PatternImage source(700, 100);
    const HandleValue graph = MakeTextureGraph(700, 100);
    ASSERT_EQ(GetGraphRecord(graph)->surfaceCount, 3);
    ASSERT_EQ(TransferImageToGraph("a.bmp", &source.image, nullptr, 0, 0, graph), 0);
    EXPECT_EQ(CountWrongPixels(graph, source.image, 0, 0), 0);
    // The transparent colour at (0, 0) has alpha 0 in the alpha-keyed texture, others full.
    const PaletteColorFormat* format = nullptr;
    const uint32_t corner = TexturePixel(*Piece(graph, 0), 0, 0, &format);
    ASSERT_NE(format->format.maskA, 0u);
    EXPECT_EQ(corner & format->format.maskA, 0u);
    EXPECT_EQ(TexturePixel(*Piece(graph, 0), 10, 5, &format) & format->format.maskA,
              format->format.maskA);

    // The same through the piece-source road.
    ASSERT_EQ(FillGraph(graph, 0, 0, 0, 0), 0);
    ASSERT_EQ(TransferImageToGraphTextures(&source.image, nullptr, GetGraphRecord(graph)), 0);
    EXPECT_EQ(CountWrongPixels(graph, source.image, 0, 0), 0);
}

TEST_F(TexturePieceTransferTest, GraphAtAnOffsetTakesThePixelsUnderIt) {
    PatternImage source(900, 150);
    const HandleValue graph = MakeTextureGraph(700, 100);
    ASSERT_EQ(TransferImageToGraph(nullptr, &source.image, nullptr, 150, 30, graph), 0);
    EXPECT_EQ(CountWrongPixels(graph, source.image, 150, 30), 0);
    EXPECT_EQ(GetGraphRecord(graph)->sourceX, 150);
}

TEST_F(TexturePieceTransferTest, DerivedGraphWritesIntoItsShareOfTheParentsTextures) {
    PatternImage first(700, 100);
    PatternImage second(900, 200);
    const HandleValue parent = MakeTextureGraph(700, 100);
    ASSERT_EQ(TransferImageToGraph(nullptr, &first.image, nullptr, 0, 0, parent), 0);
    const HandleValue child = DeriveGraph(500, 10, 100, 50, parent);
    ASSERT_GE(child, 0);
    // The reload road hands a derived graph its place in the file's image.
    ASSERT_EQ(TransferImageToGraph(nullptr, &second.image, nullptr, 500, 10, child), 0);
    EXPECT_EQ(CountWrongPixels(child, second.image, 500, 10), 0);
    // The parent's pixels outside the derived rectangle are untouched.
    const PaletteColorFormat* format = nullptr;
    const Surface3DData* p0 = Piece(parent, 0);
    int r, g, b;
    GetGraphImagePixel(&first.image, 499, 10, &r, &g, &b, nullptr);
    const uint32_t pixel = TexturePixel(*p0, 499, 10, &format);
    EXPECT_EQ(pixel & ~format->format.maskA, ColorFormatRgbaToPixel(&format->format, r, g, b, 0));
}

TEST_F(TexturePieceTransferTest, RectangleAcrossPieceBordersReachesEachPiece) {
    PatternImage base(700, 100);
    PatternImage patch(300, 80);
    const HandleValue graph = MakeTextureGraph(700, 100);
    ASSERT_EQ(TransferImageToGraph(nullptr, &base.image, nullptr, 0, 0, graph), 0);
    // patch (20, 10)..(260, 70) put at graph (450, 20): spans 450..690 across all three pieces.
    const RECT rect = {20, 10, 260, 70};
    ASSERT_EQ(TransferImageRectToGraphTextures(&patch.image, &rect, 450, 20, GetGraphRecord(graph)),
              0);
    int wrong = 0;
    for (int i = 0; i < 3; ++i) {
        const Surface3DData* p = Piece(graph, i);
        for (int y = 0; y < p->height; ++y) {
            for (int x = 0; x < p->width; ++x) {
                const int gx = p->x + x, gy = p->y + y;
                const bool inPatch = gx >= 450 && gx < 690 && gy >= 20 && gy < 80;
                int r, g, b;
                if (inPatch) {
                    GetGraphImagePixel(&patch.image, gx - 450 + 20, gy - 20 + 10, &r, &g, &b,
                                       nullptr);
                } else {
                    GetGraphImagePixel(&base.image, gx, gy, &r, &g, &b, nullptr);
                }
                const PaletteColorFormat* format = nullptr;
                const uint32_t pixel = TexturePixel(*p, p->textureX + x, p->textureY + y, &format);
                if ((pixel & ~format->format.maskA) !=
                    ColorFormatRgbaToPixel(&format->format, r, g, b, 0)) {
                    ++wrong;
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);

    // The whole source (no rectangle) at the graph's origin puts the base picture back.
    ASSERT_EQ(TransferSourceRectToGraphTextures(ImageSource(&base.image, nullptr), nullptr, 0, 0,
                                                GetGraphRecord(graph), 1),
              0);
    EXPECT_EQ(CountWrongPixels(graph, base.image, 0, 0), 0);
}

TEST_F(TexturePieceTransferTest, AlphaImageGivesTheAlphaOfAnAlphaGraph) {
    PatternImage colour(700, 30);
    PatternImage alpha(700, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 700; ++x) {
            SetGraphImagePixel(&alpha.image, x, y, 0, 0, (x + y * 9) & 0xFF, 255);
        }
    }
    const HandleValue graph = MakeTextureGraph(700, 30, 1);
    ASSERT_EQ(GetGraphRecord(graph)->surfaceCount, 3);
    ASSERT_EQ(TransferImageToGraph(nullptr, &colour.image, &alpha.image, 0, 0, graph), 0);
    int wrong = 0;
    for (int i = 0; i < 3; ++i) {
        const Surface3DData* p = Piece(graph, i);
        for (int x = 0; x < p->width; x += 7) {
            const int y = (x / 7) % 30;
            const PaletteColorFormat* format = nullptr;
            const uint32_t pixel = TexturePixel(*p, p->textureX + x, p->textureY + y, &format);
            int r, g, b, a;
            ColorFormatPixelToRgba(&format->format, pixel, &r, &g, &b, &a);
            int wr, wg, wb;
            GetGraphImagePixel(&colour.image, p->x + x, y, &wr, &wg, &wb, nullptr);
            if (format->format.widthA != 8 || r != wr || g != wg || b != wb ||
                a != ((p->x + x + y * 9) & 0xFF)) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(TexturePieceTransferTest, OffsetTransferStopsAtAnInvalidPiece) {
    PatternImage source(100, 100);
    const HandleValue graph = MakeTextureGraph(100, 100);
    GraphRecord copy = *GetGraphRecord(graph);
    copy.surfaces[0] = 0x30000FFF;
    EXPECT_EQ(TransferImageOffsetToGraphTextures(&source.image, 0, 0, &copy), -1);
    EXPECT_EQ(TransferImageOffsetToGraphTextures(&source.image, 0, 0, GetGraphRecord(graph)), 0);
    EXPECT_EQ(CountWrongPixels(graph, source.image, 0, 0), 0);
}

TEST_F(TexturePieceTransferTest, TextureThatCannotBeLockedIsFilledThroughAWorkTexture) {
    PatternImage source(100, 60);
    const HandleValue graph = MakeTextureGraph(100, 60);
    plat::StartD3DCallLog();
    plat::FailNextSurfaceLocks(1);
    ASSERT_EQ(TransferImageToGraph(nullptr, &source.image, nullptr, 0, 0, graph), 0);
    const std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
    plat::StopD3DCallLog();
    int loads = 0;
    for (const plat::D3DCall& call : calls) {
        if (std::string(call.op) != "Load") continue;
        ++loads;
        EXPECT_EQ(call.result, plat::D3D_OK);
        EXPECT_EQ(call.c, 100u * 60u);
    }
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(CountWrongPixels(graph, source.image, 0, 0), 0);
}

TEST_F(TexturePieceTransferTest, WorkTextureThatCannotBeMadeIsFatal) {
    PatternImage source(100, 60);
    const HandleValue graph = MakeTextureGraph(100, 60);
    plat::FailNextSurfaceLocks(1);
    plat::FailNextSurfaceCreates(1);
    NewLogText();
    EXPECT_EQ(TransferImageToGraph(nullptr, &source.image, nullptr, 0, 0, graph), -1);
    EXPECT_NE(NewLogText().find("テンポラリテクスチャサーフェスの作成に失敗しました"),
              std::string::npos);
}

TEST_F(TexturePieceTransferTest, RefusedWithoutDirect3DOrPiece) {
    PatternImage source(10, 10);
    const HandleValue graph = MakeTextureGraph(10, 10);
    const HandleValue piece = GetGraphRecord(graph)->surfaces[0];
    EXPECT_EQ(TransferImageToTexturePiece(ImageSource(&source.image, nullptr), nullptr, 0, 0,
                                          0x30000FFF, 1),
              -1);
    plat::Direct3D* object = GetDevice3DState().direct3D;
    GetDevice3DState().direct3D = nullptr;
    EXPECT_EQ(TransferImageToTexturePiece(ImageSource(&source.image, nullptr), nullptr, 0, 0,
                                          piece, 1),
              -1);
    GetDevice3DState().direct3D = object;
    EXPECT_EQ(TransferImageToTexturePiece(ImageSource(&source.image, nullptr), nullptr, 0, 0,
                                          piece, 1),
              0);
}

TEST_F(TexturePieceTransferTest, ForceOpaqueAlphaSetsOnlyTheAlphaBitsOfTheRectangle) {
    struct Case {
        const char* what;
        uint32_t bits, alphaMask;
        uint32_t before, after;
    };
    const Case cases[] = {
        {"16-bit 1-5-5-5", 16, 0x8000, 0x1234, 0x9234},
        {"16-bit 4-4-4-4", 16, 0xF000, 0x0ABC, 0xFABC},
        {"32-bit 8-8-8-8", 32, 0xFF000000u, 0x00123456, 0xFF123456},
        {"32-bit other alpha", 32, 0x0000000Fu, 0x12345670, 0x1234567F},
        {"no alpha", 32, 0, 0x00123456, 0x00123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int bytes = static_cast<int>(c.bits / 8);
        std::vector<uint8_t> pixels(static_cast<size_t>(4 * 3 * bytes));
        for (size_t i = 0; i < pixels.size(); i += bytes) std::memcpy(&pixels[i], &c.before, bytes);
        plat::SurfaceDesc desc = {};
        desc.surface = pixels.data();
        desc.pitch = 4 * bytes;
        desc.pixelFormat.bitCount = c.bits;
        desc.pixelFormat.alphaMask = c.alphaMask;
        const RECT rect = {1, 1, 3, 2};
        EXPECT_EQ(ForceOpaqueAlpha(&rect, &desc), 0);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                uint32_t v = 0;
                std::memcpy(&v, &pixels[static_cast<size_t>((y * 4 + x) * bytes)], bytes);
                const bool inside = x >= 1 && x < 3 && y == 1;
                EXPECT_EQ(v, inside ? c.after : c.before) << x << "," << y;
            }
        }
    }
}

}  // namespace
