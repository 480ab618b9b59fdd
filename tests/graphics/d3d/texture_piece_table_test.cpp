// The texture piece table: handles, serials, the used bound, refusals, the corner vertices and
// the texture a piece names.
#include "tests/graphics/d3d/texture_piece_test_support.h"

namespace {

class TexturePieceTableTest : public TexturePieceFixture {
protected:
    // A piece of its own 64 × 32 texture showing 40 × 20 pixels at (100, 50) of the graph.
    HandleValue AddPiece(HandleValue parent = kNoHandle, int32_t textureX = 0,
                         int32_t textureY = 0) {
        return AddSurface3DData(64, 32, 100, 50, 40, 20, 100, 50, owner_, parent, textureX,
                                textureY, &ownerRecord_);
    }

    void SetUp() override {
        TexturePieceFixture::SetUp();
        ownerRecord_ = GraphRecord{};
        ownerRecord_.flags.is3D = 1;
        ownerRecord_.flags.colorDepth = 16;
    }
    const HandleValue owner_ = 0x08000005;
    GraphRecord ownerRecord_{};
};

TEST_F(TexturePieceTableTest, HandlesCarryKindSixSerialAndSlot) {
    const HandleValue first = AddPiece();
    const HandleValue second = AddPiece();
    EXPECT_EQ(first, 0x30000000);
    EXPECT_EQ(second, 0x30010001);
    EXPECT_NE(GetSurface3DData(first), nullptr);
    // Another kind's handle with the same slot and serial is refused, and so is a slot past
    // the table and a negative value.
    EXPECT_EQ(GetSurface3DData(0x38000000), nullptr);
    EXPECT_EQ(GetSurface3DData(0x08000000), nullptr);
    EXPECT_EQ(GetSurface3DData(-1), nullptr);
    EXPECT_EQ(DeleteSurface3DData(0x08000000), -1);

    // The slot of a deleted piece reused by a newer one refuses the old handle.
    ASSERT_EQ(DeleteSurface3DData(second), 0);
    const HandleValue third = AddPiece();
    EXPECT_EQ(GetHandleSlot(third), 1);
    EXPECT_EQ(GetSurface3DData(second), nullptr);
    EXPECT_EQ(DeleteSurface3DData(second), -1);
    EXPECT_NE(GetSurface3DData(third), nullptr);
}

TEST_F(TexturePieceTableTest, SerialWrapsToZeroAfter2047) {
    GetSurface3DTable().serialCounter = 2047;
    const HandleValue last = AddPiece();
    const HandleValue wrapped = AddPiece();
    EXPECT_EQ(GetHandleSerial(last), 2047u);
    EXPECT_EQ(GetHandleSerial(wrapped), 0u);
    EXPECT_EQ(GetSurface3DTable().serialCounter, 1);
}

TEST_F(TexturePieceTableTest, UsedBoundFollowsTheHighestPieceInUse) {
    Surface3DTable& table = GetSurface3DTable();
    const HandleValue a = AddPiece(), b = AddPiece(), c = AddPiece();
    EXPECT_EQ(table.usedBound, 3);
    EXPECT_EQ(table.count, 3);
    // A hole below the used bound is not filled while the used bound has room.
    ASSERT_EQ(DeleteSurface3DData(b), 0);
    EXPECT_EQ(table.usedBound, 3);
    EXPECT_EQ(GetHandleSlot(AddPiece()), 3);
    // Deleting the highest piece lowers the used bound past the free slots below it.
    ASSERT_EQ(DeleteSurface3DData(MakeHandleValue(kHandleKindSurface3D,
                                                  table.slots[3]->serial, 3)),
              0);
    ASSERT_EQ(DeleteSurface3DData(c), 0);
    EXPECT_EQ(table.usedBound, 1);
    ASSERT_EQ(DeleteSurface3DData(a), 0);
    EXPECT_EQ(table.usedBound, 0);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
}

TEST_F(TexturePieceTableTest, FullAreaTakesTheFirstFreeSlot) {
    Surface3DTable& table = GetSurface3DTable();
    const HandleValue a = AddPiece();
    AddPiece();
    ASSERT_EQ(DeleteSurface3DData(a), 0);
    table.usedBound = kMaxTexturePieces;  // as after 65536 pieces were handed out
    EXPECT_EQ(GetHandleSlot(AddPiece()), 0);
    EXPECT_EQ(GetHandleSlot(AddPiece()), 2);
    // Only deleting the piece in the last slot would lower the used bound again.
    DeleteAllSurface3DData();
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.usedBound, kMaxTexturePieces);
    EXPECT_EQ(GetHandleSlot(AddPiece()), 0);
}

TEST_F(TexturePieceTableTest, RefusalsAreLoggedAndLeaveNothingBehind) {
    Surface3DTable& table = GetSurface3DTable();
    NewLogText();
    table.count = kMaxTexturePieces;
    EXPECT_EQ(AddPiece(), -1);
    table.count = 0;
    EXPECT_NE(NewLogText().find("３Ｄグラフィックの数が許容量を越えました。"), std::string::npos);

    plat::FailNextTextureCreates(1);
    EXPECT_EQ(AddPiece(), -1);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.usedBound, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);

    // A piece must show at least one pixel and fit its 16-bit fields.
    EXPECT_EQ(AddSurface3DData(64, 32, 0, 0, 0, 20, 0, 0, owner_, kNoHandle, 0, 0, &ownerRecord_),
              -1);
    EXPECT_EQ(AddSurface3DData(64, 32, 70000, 0, 10, 20, 0, 0, owner_, kNoHandle, 0, 0,
                               &ownerRecord_),
              -1);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);

    plat::Direct3D* object = GetDevice3DState().direct3D;
    GetDevice3DState().direct3D = nullptr;
    NewLogText();
    EXPECT_EQ(AddPiece(), -1);
    GetDevice3DState().direct3D = object;
    EXPECT_NE(NewLogText().find("３Ｄグラフィックエンジンが初期化されていません"),
              std::string::npos);
}

TEST_F(TexturePieceTableTest, CornersCarryPlaceAndTextureCoordinates) {
    const HandleValue handle = AddPiece();
    const Surface3DData* piece = GetSurface3DData(handle);
    ASSERT_NE(piece, nullptr);
    struct Corner {
        float x, y, u, v;
    };
    // 40 × 20 at (100, 50) over a 64 × 32 texture.
    const Corner expected[4] = {{100, 50, 0.0f, 0.0f},
                                {140, 50, 40.0f * (1.0f / 64), 0.0f},
                                {100, 70, 0.0f, 20.0f * (1.0f / 32)},
                                {140, 70, 40.0f * (1.0f / 64), 20.0f * (1.0f / 32)}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const TexVertex& v = piece->corners[i];
        EXPECT_EQ(v.x, expected[i].x);
        EXPECT_EQ(v.y, expected[i].y);
        EXPECT_EQ(v.u, expected[i].u);
        EXPECT_EQ(v.v, expected[i].v);
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_EQ(v.rhw, 1.0f);
        EXPECT_EQ(v.diffuse, 0xFFFFFFFFu);
    }
    EXPECT_EQ(piece->owner, owner_);
    const SurfaceDataRecord* texture = GetSurfaceData(piece->surfaceData);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->isTexture, 1);
    EXPECT_EQ(texture->width, 64);
    EXPECT_EQ(texture->height, 32);
    EXPECT_NE(texture->surface, nullptr);
    EXPECT_EQ(GetPieceTextureSurface(handle), texture->surface);
    EXPECT_EQ(GetPieceTextureSurface(-1), nullptr);
}

TEST_F(TexturePieceTableTest, DerivedPieceSharesTheTextureAndAddsTheParentsOffsets) {
    const HandleValue parent = AddSurface3DData(64, 32, 0, 0, 60, 30, 8, 4, owner_, kNoHandle, 2,
                                                1, &ownerRecord_);
    const HandleValue child = AddSurface3DData(0, 0, 0, 0, 10, 10, 5, 6, owner_ + 1, parent, 5,
                                               6, &ownerRecord_);
    const Surface3DData* p = GetSurface3DData(parent);
    const Surface3DData* c = GetSurface3DData(child);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->surfaceData, p->surfaceData);
    EXPECT_EQ(GetSurfaceData(p->surfaceData)->refCount, 2);
    EXPECT_EQ(c->textureX, 7);
    EXPECT_EQ(c->textureY, 7);
    EXPECT_EQ(c->sourceX, 13);
    EXPECT_EQ(c->sourceY, 10);
    EXPECT_EQ(c->corners[3].u, 17.0f * (1.0f / 64));
    EXPECT_EQ(c->corners[3].v, 17.0f * (1.0f / 32));

    // The parent goes; the texture stays for the derived piece and goes with it.
    int32_t deleted = 0;
    GetSurface3DData(parent)->deleteFlag = &deleted;
    const HandleValue data = p->surfaceData;
    ASSERT_EQ(DeleteSurface3DData(parent), 0);
    EXPECT_EQ(deleted, 1);
    ASSERT_NE(GetSurfaceData(data), nullptr);
    EXPECT_EQ(GetSurfaceData(data)->refCount, 1);
    EXPECT_NE(GetPieceTextureSurface(child), nullptr);
    ASSERT_EQ(DeleteSurface3DData(child), 0);
    EXPECT_EQ(GetSurfaceData(data), nullptr);
    EXPECT_EQ(GetSurfaceDataTable().count, 0);
}

}  // namespace
