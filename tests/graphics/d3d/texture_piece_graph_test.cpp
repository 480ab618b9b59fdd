// Texture graphs cut into pieces: the grid, the 64-piece limit, the square-only split, derived
// graphs sharing their parent's textures, and the restore and fill pass-throughs.
#include "tests/graphics/d3d/texture_piece_test_support.h"

namespace {

using TextureGraphTest = TexturePieceFixture;

struct Layout {
    int x, y, width, height, textureWidth, textureHeight;
    bool operator==(const Layout&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Layout& l) {
    return os << "(" << l.x << "," << l.y << " " << l.width << "x" << l.height << " in "
              << l.textureWidth << "x" << l.textureHeight << ")";
}

std::vector<Layout> LayoutOf(HandleValue graph) {
    std::vector<Layout> out;
    const GraphRecord* g = GetGraphRecord(graph);
    for (int32_t i = 0; i < g->surfaceCount; ++i) {
        const Surface3DData* p = GetSurface3DData(g->surfaces[i]);
        const SurfaceDataRecord* t = GetSurfaceData(p->surfaceData);
        out.push_back(Layout{p->x, p->y, p->width, p->height, t->width, t->height});
    }
    return out;
}

TEST_F(TextureGraphTest, GraphIsCutRowByRowIntoTheChosenSizes) {
    // 700 across: 512, 128, 64; 300 down: one 512 (below the screen width).
    const HandleValue graph = MakeTextureGraph(700, 300);
    ASSERT_GE(graph, 0);
    const std::vector<Layout> expected = {
        {0, 0, 512, 300, 512, 512}, {512, 0, 128, 300, 128, 512}, {640, 0, 60, 300, 64, 512}};
    EXPECT_EQ(LayoutOf(graph), expected);
    for (int i = 0; i < 3; ++i) {
        const Surface3DData* p = Piece(graph, i);
        EXPECT_EQ(p->owner, graph);
        EXPECT_EQ(p->sourceX, p->x);
        EXPECT_EQ(p->textureX, 0);
    }
    ASSERT_EQ(DeleteGraphHandle(graph, 0), 0);
    EXPECT_EQ(GetSurface3DTable().count, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
}

TEST_F(TextureGraphTest, BelowDiagonalFlagsMarkCornersOnOrAboveTheDiagonal) {
    const HandleValue graph = MakeTextureGraph(100, 50);
    const Surface3DData* p = Piece(graph, 0);
    ASSERT_NE(p, nullptr);
    // Corners (0,0), (100,0), (0,50), (100,50): 50 - x/2 >= y.
    EXPECT_EQ(p->belowDiagonal[0], 1);
    EXPECT_EQ(p->belowDiagonal[1], 1);
    EXPECT_EQ(p->belowDiagonal[2], 1);
    EXPECT_EQ(p->belowDiagonal[3], 0);
}

TEST_F(TextureGraphTest, MoreThanSixtyFourPiecesFailTheGraph) {
    // With 32-texel textures 288 × 256 is 9 × 8 pieces; 256 × 256 is exactly 64.
    SetSides(1, 32);
    NewLogText();
    EXPECT_EQ(MakeTextureGraph(288, 256), -1);
    const std::string log = NewLogText();
    EXPECT_NE(log.find("エラー：画像の分割数が最大数の 64 を超えました"), std::string::npos);
    EXPECT_NE(log.find("グラフィックの作成に失敗しました"), std::string::npos);
    EXPECT_EQ(GetSurface3DTable().count, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
    EXPECT_EQ(GetGraphicsState().graphs.count, 0);

    const HandleValue full = MakeTextureGraph(256, 256);
    ASSERT_GE(full, 0);
    EXPECT_EQ(GetGraphRecord(full)->surfaceCount, 64);
}

TEST_F(TextureGraphTest, SquareOnlyDeviceGetsSquaresAndNoneOutsideTheGraph) {
    SetSquareOnly(true);
    // 100 × 10: one 128 × 16 texture becomes 16 × 16 squares side by side; the eighth would
    // start at x 112, past the graph.
    const HandleValue wide = MakeTextureGraph(100, 10);
    ASSERT_GE(wide, 0);
    std::vector<Layout> expected;
    for (int x = 0; x < 100; x += 16) expected.push_back({x, 0, std::min(16, 100 - x), 10, 16, 16});
    EXPECT_EQ(LayoutOf(wide), expected);

    // 10 × 100: squares stacked downward.
    const HandleValue tall = MakeTextureGraph(10, 100);
    ASSERT_GE(tall, 0);
    expected.clear();
    for (int y = 0; y < 100; y += 16) expected.push_back({0, y, 10, std::min(16, 100 - y), 16, 16});
    EXPECT_EQ(LayoutOf(tall), expected);
    for (int i = 0; i < GetGraphRecord(tall)->surfaceCount; ++i) {
        EXPECT_EQ(Piece(tall, i)->sourceY, Piece(tall, i)->y);
    }
}

TEST_F(TextureGraphTest, SquareSplitBeyondSixtyFourPiecesIsRefused) {
    // 2000 × 10 is two 1024 × 16 textures: two pieces, or 125 squares on a square-only device.
    const HandleValue plain = MakeTextureGraph(2000, 10);
    ASSERT_GE(plain, 0);
    EXPECT_EQ(GetGraphRecord(plain)->surfaceCount, 2);
    ASSERT_EQ(DeleteGraphHandle(plain, 0), 0);

    SetSquareOnly(true);
    NewLogText();
    EXPECT_EQ(MakeTextureGraph(2000, 10), -1);
    EXPECT_NE(NewLogText().find("エラー：画像の分割数が最大数の 64 を超えました"),
              std::string::npos);
    EXPECT_EQ(GetSurface3DTable().count, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
}

TEST_F(TextureGraphTest, DerivedGraphSharesTheTexturesItOverlaps) {
    const HandleValue parent = MakeTextureGraph(700, 100);
    ASSERT_GE(parent, 0);
    // (500, 10, 100, 50) meets the first piece (0..512) and the second (512..640).
    const HandleValue child = DeriveGraph(500, 10, 100, 50, parent);
    ASSERT_GE(child, 0);
    ASSERT_EQ(GetGraphRecord(child)->surfaceCount, 2);
    const Surface3DData* a = Piece(child, 0);
    const Surface3DData* b = Piece(child, 1);
    EXPECT_EQ(a->surfaceData, Piece(parent, 0)->surfaceData);
    EXPECT_EQ(b->surfaceData, Piece(parent, 1)->surfaceData);
    EXPECT_EQ((Layout{a->x, a->y, a->width, a->height, a->textureX, a->textureY}),
              (Layout{0, 0, 12, 50, 500, 10}));
    EXPECT_EQ((Layout{b->x, b->y, b->width, b->height, b->textureX, b->textureY}),
              (Layout{12, 0, 88, 50, 0, 10}));
    EXPECT_EQ(a->sourceX, 500);
    EXPECT_EQ(b->sourceX, 512);
    EXPECT_EQ(b->sourceY, 10);
    EXPECT_EQ(a->owner, child);
    EXPECT_EQ(GetSurfaceData(a->surfaceData)->refCount, 2);
    // u of the second piece's right edge: 88 texels into a 128-wide texture.
    EXPECT_EQ(b->corners[1].u, 88.0f * (1.0f / 128));

    // The parent goes: the derived graph keeps both textures alive.
    const HandleValue dataA = a->surfaceData, dataB = b->surfaceData;
    ASSERT_EQ(DeleteGraphHandle(parent, 0), 0);
    ASSERT_NE(GetSurfaceData(dataA), nullptr);
    ASSERT_NE(GetSurfaceData(dataB), nullptr);
    EXPECT_EQ(GetSurfaceData(dataA)->refCount, 1);
    EXPECT_EQ(GetSurfaceDataTable().count, 2);
    EXPECT_NE(GetPieceTextureSurface(GetGraphRecord(child)->surfaces[0]), nullptr);
    ASSERT_EQ(DeleteGraphHandle(child, 0), 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
    EXPECT_EQ(GetSurface3DTable().count, 0);
}

TEST_F(TextureGraphTest, DerivedGraphOfADerivedGraphAddsBothOffsets) {
    const HandleValue parent = MakeTextureGraph(100, 100);
    const HandleValue child = DeriveGraph(10, 20, 50, 50, parent);
    const HandleValue grandchild = DeriveGraph(5, 5, 10, 10, child);
    ASSERT_GE(grandchild, 0);
    const Surface3DData* p = Piece(grandchild, 0);
    EXPECT_EQ(p->x, 0);
    EXPECT_EQ(p->textureX, 15);
    EXPECT_EQ(p->textureY, 25);
    EXPECT_EQ(p->sourceX, 15);
    EXPECT_EQ(p->width, 10);
    EXPECT_EQ(GetSurfaceData(p->surfaceData)->refCount, 3);
}

TEST_F(TextureGraphTest, FailedDerivationLeavesNoPieces) {
    const HandleValue parent = MakeTextureGraph(700, 100);
    const int before = GetSurface3DTable().count;
    // The second derived piece cannot be made once the table is full.
    GetSurface3DTable().count = kMaxTexturePieces - 1;
    EXPECT_EQ(DeriveGraph(500, 10, 100, 50, parent), -1);
    EXPECT_EQ(GetSurface3DTable().count, kMaxTexturePieces - 1);
    GetSurface3DTable().count = before;
    EXPECT_EQ(GetSurfaceData(Piece(parent, 0)->surfaceData)->refCount, 1);
}

TEST_F(TextureGraphTest, LostTexturesAreRestoredAndTheGraphFlaggedForReload) {
    // A graph that may be drawn to is one texture (700 wide: 1024) in video memory, which can
    // be lost; managed textures never are.
    GetDrawState().newGraphsDrawValid = 1;
    const HandleValue graph = MakeTextureGraph(700, 100);
    GetDrawState().newGraphsDrawValid = 0;
    ASSERT_GE(graph, 0);
    EXPECT_EQ(LayoutOf(graph), (std::vector<Layout>{{0, 0, 700, 100, 1024, 128}}));
    GraphRecord* g = GetGraphRecord(graph);
    EXPECT_EQ(TextureSlot()->restore(g), 0);
    EXPECT_EQ(RestoreAllSurface3DData(), 0);
    EXPECT_EQ(g->lost, 0);

    ASSERT_GT(plat::LoseVideoMemorySurfaces(), 0);
    EXPECT_EQ(TextureSlot()->restore(g), -1);
    EXPECT_EQ(g->lost, 1);
    EXPECT_EQ(TextureSlot()->restore(g), 0);  // restored by the first call
    plat::LoseVideoMemorySurfaces();
    EXPECT_EQ(RestoreAllSurface3DData(), -1);
    EXPECT_EQ(RestoreAllSurface3DData(), 0);

    GraphRecord invalid{};
    invalid.surfaceCount = 1;
    invalid.surfaces[0] = 0x30000FFF;
    EXPECT_EQ(RestoreGraphTextures(&invalid), -1);
}

TEST_F(TextureGraphTest, FillReachesEveryTextureUnlessDrawingIsSuppressed) {
    const HandleValue graph = MakeTextureGraph(700, 100);
    ASSERT_EQ(FillGraph(graph, 255, 0, 0, 255), 0);
    for (int i = 0; i < 3; ++i) {
        const PaletteColorFormat* format = nullptr;
        const uint32_t pixel = TexturePixel(*Piece(graph, i), 3, 3, &format);
        int r, gr, b;
        ColorFormatPixelToRgba(&format->format, pixel, &r, &gr, &b, nullptr);
        EXPECT_EQ(r, 255) << i;
        EXPECT_EQ(gr, 0) << i;
    }
    GetDevice3DState().drawingSuppressed = 1;
    EXPECT_EQ(FillGraph(graph, 0, 0, 255, 255), 0);
    GetDevice3DState().drawingSuppressed = 0;
    const PaletteColorFormat* format = nullptr;
    const uint32_t pixel = TexturePixel(*Piece(graph, 0), 3, 3, &format);
    int r = 0;
    ColorFormatPixelToRgba(&format->format, pixel, &r, nullptr, nullptr, nullptr);
    EXPECT_EQ(r, 255);
}

}  // namespace
