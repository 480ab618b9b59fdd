// The per-draw states: the blend table decides blending for textured and untextured draws
// alike, untextured draws take the vertex colour in every blend mode, and a blend graph's
// range picks the factor that moves its alpha.
#include "graphics/draw_graph/draw_graph.h"
#include "tests/graphics/d3d/device_test_support.h"

namespace {

class Direct3DStagesTest : public Device3DFixture {
protected:
    static HandleValue FirstPiece(HandleValue graph) {
        return GetGraphRecord(graph)->surfaces[0];
    }
};

TEST_F(Direct3DStagesTest, BlendTableDecidesBlendingInEveryMode) {
    for (int32_t mode = 0; mode <= 9; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(BlendModeBlends(mode), mode == 0 || mode == 6 || mode == 7 ? 0 : 1);
    }
    ASSERT_EQ(Start(true), 0);
    const HandleValue piece = FirstPiece(MakeGraph(16, 16, 0x204080));
    struct Case {
        int32_t mode;
        uint32_t dest, src;  // 0: blending off
    };
    const Case cases[] = {
        {0, 0, 0},
        {1, plat::D3DBLEND_INVSRCALPHA, plat::D3DBLEND_SRCALPHA},
        {2, plat::D3DBLEND_ONE, plat::D3DBLEND_SRCALPHA},
        {3, plat::D3DBLEND_ZERO, plat::D3DBLEND_INVDESTCOLOR},
        {4, plat::D3DBLEND_SRCCOLOR, plat::D3DBLEND_ZERO},
        {6, 0, 0},
        {8, plat::D3DBLEND_ONE, plat::D3DBLEND_ZERO},
    };
    for (const Case& c : cases) {
        for (HandleValue drawn : {piece, kNoHandle}) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << " textured "
                                            << (drawn != kNoHandle));
            GetDrawState().blendMode = c.mode;
            GetDrawState().blendParam = 200;
            ASSERT_EQ(ApplyDrawRenderState(drawn, 0), 0);
            EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ALPHABLENDENABLE), c.dest != 0 ? 1u : 0u);
            if (c.dest != 0) {
                EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_DESTBLEND), c.dest);
                EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_SRCBLEND), c.src);
            }
        }
    }
}

TEST_F(Direct3DStagesTest, UntexturedDrawTakesTheVertexColourAfterATexturedOne) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue piece = FirstPiece(MakeGraph(16, 16, 0x204080));
    for (int32_t mode : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(mode);
        GetDrawState().blendMode = mode;
        GetDrawState().blendParam = 128;
        GetDrawState().bright = 0x80FF80;  // the textured draw modulates
        ASSERT_EQ(ApplyDrawRenderState(piece, 0), 0);
        EXPECT_EQ(StageState(0, plat::D3DTSS_COLOROP), plat::D3DTOP_MODULATE);
        EXPECT_EQ(CurrentDevice3DRecord()->batch.kind, 1);

        ASSERT_EQ(ApplyDrawRenderState(kNoHandle, 0), 0);
        EXPECT_EQ(CurrentDevice3DRecord()->batch.kind, 0);
        EXPECT_EQ(StageState(0, plat::D3DTSS_COLOROP), plat::D3DTOP_SELECTARG1);
        EXPECT_EQ(StageState(0, plat::D3DTSS_COLORARG1), plat::D3DTA_DIFFUSE);
        EXPECT_EQ(StageState(0, plat::D3DTSS_ALPHAOP), plat::D3DTOP_SELECTARG1);
        EXPECT_EQ(StageState(0, plat::D3DTSS_ALPHAARG1), plat::D3DTA_DIFFUSE);
        EXPECT_EQ(StageState(1, plat::D3DTSS_COLOROP), plat::D3DTOP_DISABLE);
        EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ALPHATESTENABLE), 0u);
        plat::DrawSurface* texture = nullptr;
        GetCurrentDevice3D()->GetTexture(0, &texture);
        EXPECT_EQ(texture, nullptr);
        if (texture != nullptr) texture->Release();
    }
}

TEST_F(Direct3DStagesTest, MultiplyingTakesTheKeyedTexturesOwnAlphaWhateverTheParameter) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue piece = FirstPiece(MakeGraph(16, 16, 0x204080));
    struct Case {
        int32_t mode;
        uint32_t alphaOp;  // the stage alpha: the texture's, or times the vertex alpha
    };
    const Case cases[] = {
        {kBlendMultiply, plat::D3DTOP_SELECTARG1},
        {kBlendAlpha, plat::D3DTOP_MODULATE},
        {kBlendMultiply, plat::D3DTOP_SELECTARG1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        GetDrawState().blendMode = c.mode;
        GetDrawState().blendParam = 0;
        ASSERT_EQ(ApplyDrawRenderState(piece, kApplyTransFlag), 0);
        ASSERT_EQ(CurrentDevice3DRecord()->alphaKey, 1);
        EXPECT_EQ(StageState(0, plat::D3DTSS_ALPHAOP), c.alphaOp);
        EXPECT_EQ(StageState(0, plat::D3DTSS_ALPHAARG1), plat::D3DTA_TEXTURE);
        if (c.mode == kBlendMultiply) {
            // The key's texels (alpha 0) are left out by the alpha test; the others pass.
            EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ALPHATESTENABLE), 1u);
            EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ALPHAREF), 0u);
        }
    }
}

TEST_F(Direct3DStagesTest, StatesAreSentOnlyWhenTheyChange) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue piece = FirstPiece(MakeGraph(16, 16, 0x204080));
    ASSERT_EQ(ApplyDrawRenderState(piece, kApplyTransFlag), 0);
    plat::StartD3DCallLog();
    ASSERT_EQ(ApplyDrawRenderState(piece, kApplyTransFlag), 0);
    EXPECT_TRUE(plat::TakeD3DCallLog().empty());

    // Depth settings asked for: the depth states and the alpha test that goes with them.
    GetDrawState().depthEnable = 1;
    ASSERT_EQ(ApplyDrawRenderState(piece, kApplyTransFlag | kApplyDepthSettings), 0);
    EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ZENABLE), plat::D3DZB_TRUE);
    EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ZFUNC), plat::D3DCMP_LESSEQUAL);
    EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ALPHATESTENABLE), 1u);
    ASSERT_EQ(ApplyDrawRenderState(piece, kApplyTransFlag), 0);
    EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ZENABLE), plat::D3DZB_FALSE);
    EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ALPHATESTENABLE), 0u);
    plat::StopD3DCallLog();
}

TEST_F(Direct3DStagesTest, FirstDrawSetsEveryTextureCoordinateIndexItUses) {
    plat::StartD3DCallLog();
    ASSERT_EQ(Start(true), 0);
    const std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
    bool stage0 = false;
    for (const plat::D3DCall& call : calls) {
        if (std::strcmp(call.op, "SetTextureStageState") == 0 && call.a == 0 &&
            call.b == plat::D3DTSS_TEXCOORDINDEX) {
            stage0 = call.c == 0;
        }
    }
    EXPECT_TRUE(stage0);
    plat::StopD3DCallLog();
}

TEST_F(Direct3DStagesTest, BlendGraphRangePicksTheFactorThatMovesItsAlpha) {
    struct Case {
        int32_t param, range;
        uint32_t op, alpha, modulate;
    };
    const Case cases[] = {
        {0, 255, plat::D3DTOP_ADD, 255, plat::D3DTOP_MODULATE},
        {255, 255, plat::D3DTOP_SUBTRACT, 255, plat::D3DTOP_MODULATE},
        {128, 255, plat::D3DTOP_SUBTRACT, 1, plat::D3DTOP_MODULATE},
        {0, 64, plat::D3DTOP_ADD, 64, plat::D3DTOP_MODULATE4X},
        {128, 64, plat::D3DTOP_SUBTRACT, 96, plat::D3DTOP_MODULATE4X},
        {0, 100, plat::D3DTOP_ADD, 128, plat::D3DTOP_MODULATE2X},
        {255, 100, plat::D3DTOP_SUBTRACT, 256 > 255 ? 255u : 256u, plat::D3DTOP_MODULATE2X},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.param << " / " << c.range);
        const BlendGraphFactor factor = ComputeBlendGraphFactor(c.param, c.range);
        EXPECT_EQ(factor.alphaOp, c.op);
        EXPECT_EQ(factor.factorAlpha, c.alpha);
        EXPECT_EQ(factor.modulateOp, c.modulate);
    }
}

TEST_F(Direct3DStagesTest, BlendGraphPutsItsTextureBeforeTheGraphs) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue blend = MakeGraph(32, 16, 0x808080);
    const HandleValue piece = FirstPiece(MakeGraph(16, 16, 0x204080));
    ASSERT_EQ(SetBlendGraphTexture(GetGraphRecord(blend), 255, 0), 0);
    float u = 0, v = 0;
    GetBlendGraphScales(&u, &v);
    EXPECT_FLOAT_EQ(u, 1.0f / 32.0f);
    EXPECT_FLOAT_EQ(v, 1.0f / 16.0f);
    ASSERT_EQ(ApplyDrawRenderState(piece, 0), 0);
    const Device3DRecord* device = CurrentDevice3DRecord();
    EXPECT_EQ(device->batch.kind, 2);
    EXPECT_EQ(device->nothingVisible, 1);
    EXPECT_EQ(StageState(1, plat::D3DTSS_TEXCOORDINDEX), 1u);
    EXPECT_EQ(RenderState(plat::D3DRENDERSTATE_ALPHAFUNC), plat::D3DCMP_GREATEREQUAL);

    ASSERT_EQ(SetBlendGraphTexture(nullptr, -1, -1), 0);
    ASSERT_EQ(ApplyDrawRenderState(piece, 0), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->batch.kind, 1);
    EXPECT_EQ(CurrentDevice3DRecord()->nothingVisible, 0);
}

}  // namespace
