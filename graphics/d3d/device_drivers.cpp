// What the back end supplies: its start and end for the screen (installed by the library's
// start-up), and while Direct3D is up the Device3DDriver graph management and the draw state
// call, the texture and Z formats the surface records are made in, and (from the modules that
// build on the back end) the texture pieces' surface driver and pixel access and the graph
// draws' Direct3D road.
#include "graphics/d3d/camera_matrices.h"
#include "graphics/d3d/device.h"
#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/d3d/transform_state.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/device_format_driver.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_formats.h"

namespace {

int StartDirect3DForGraphs() {
    const Device3DState& state = GetDevice3DState();
    return state.initialised && CurrentDevice3DRecord() != nullptr ? 1 : 0;
}

void RefreshColorState() { RefreshVertexColor(); }

void TellBlendGraph(HandleValue graph, int32_t borderParam, int32_t borderRange) {
    const GraphRecord* record = graph == kNoHandle ? nullptr : GetGraphRecord(graph);
    SetBlendGraphTexture(record != nullptr && record->flags.is3D ? record : nullptr, borderParam,
                         borderRange);
}

int SetViewportToArea(const RECT* area) { return SetDeviceViewport(area); }

void SetSampleFilter(int32_t mode) { SetTextureFilter(mode); }

int CurrentDeviceReady() { return CurrentDevice3DRecord() != nullptr ? 1 : 0; }

void EndScene() { EndCurrentDeviceScene(); }

int SelectRenderTarget(HandleValue target) { return SetDrawTarget3D(target); }

// A camera on the target's centre looking into the screen, with the target's perspective and
// the viewport matrix of the whole target.
void ResetTargetTransforms(float width, float height, float distance, float fieldOfView,
                           float nearClip, float farClip) {
    const Vector3 eye = {width / 2.0f, height / 2.0f, -distance};
    const Vector3 at = {width / 2.0f, height / 2.0f, 0.0f};
    const Vector3 up = {0.0f, 1.0f, 0.0f};
    Matrix4 view;
    if (BuildLookAtMatrix(&view, &eye, &at, &up) == 0) SetViewMatrix(&view);
    Matrix4 projection;
    if (BuildPerspectiveMatrixForSize(&projection, fieldOfView, nearClip, farClip, width,
                                      height) == 0) {
        SetProjectionMatrix(&projection);
    }
    BuildViewportMatrix(&GetTransformState().viewport, width / 2.0f, height / 2.0f, width,
                        height);
}

int SetMaskTarget(int32_t maskOn) { return SetMaskRenderTarget3D(maskOn); }

const Device3DDriver kDevice3DDriver = {
    .startDirect3D = StartDirect3DForGraphs,
    .refreshDeviceColorState = RefreshColorState,
    .setDeviceBlendGraph = TellBlendGraph,
    .setDeviceViewport = SetViewportToArea,
    .setDeviceSampleFilter = SetSampleFilter,
    .isCurrentDeviceReady = CurrentDeviceReady,
    .endCurrentDeviceScene = EndScene,
    .selectDeviceRenderTarget = SelectRenderTarget,
    .resetTargetTransforms = ResetTargetTransforms,
    .setMaskRenderTarget3D = SetMaskTarget,
    .captureScreenToGraph3D = CaptureScreenToGraph3D,
    .clearTextureTarget = ClearDrawTarget3D,
};

// --- Formats for the surface records -----------------------------------------------------------

SurfacePixelFormat ToSurfacePixelFormat(const plat::PixelFormat& format) {
    SurfacePixelFormat out;
    out.size = sizeof out;
    out.flags = format.flags;
    out.fourCC = format.fourCC;
    out.rgbBitCount = format.bitCount;
    out.redMask = format.redMask;
    out.greenMask = format.greenMask;
    out.blueMask = format.blueMask;
    out.alphaMask = format.alphaMask;
    return out;
}

int ChooseFormatNumber(int colorDepth, int alpha, int alphaKey, int renderTarget) {
    return ChooseTextureFormat(colorDepth, alpha, alphaKey, renderTarget);
}

int TextureFormatOf(int formatNumber, SurfacePixelFormat* pixelFormat,
                    const PaletteColorFormat** colorFormat) {
    plat::PixelFormat format = {};
    const PaletteColorFormat* color = GetTextureFormat(formatNumber, &format);
    if (color == nullptr) return -1;
    if (pixelFormat != nullptr) *pixelFormat = ToSurfacePixelFormat(format);
    if (colorFormat != nullptr) *colorFormat = color;
    return 0;
}

int ZBufferFormatOf(SurfacePixelFormat* out) {
    const plat::PixelFormat* format = GetZBufferFormat();
    if (format->size == 0 && format->flags == 0) return -1;
    if (out != nullptr) *out = ToSurfacePixelFormat(*format);
    return 0;
}

const DeviceFormatDriver kDirect3DDeviceFormats = {
    .chooseTextureFormat = ChooseFormatNumber,
    .getTextureFormat = TextureFormatOf,
    .getZBufferFormat = ZBufferFormatOf,
};

}  // namespace

const Device3DStartDriver kDevice3DStart = {
    .startDevice = InitDirect3D,
    .endDevice = TermDirect3D,
    .releaseDeviceObjects = ReleaseDirect3DObject,
    .reacquireDeviceObjects = ReacquireDirect3DObject,
};

void InstallDirect3DDrivers() {
    Device3DSlot().Install(kDevice3DDriver);
    DeviceFormatSlot().Install(kDirect3DDeviceFormats);
    TextureSlot().Install(kTexturePieces);
    TexturePieceAccessSlot().Install(kTexturePieceAccess);
    GraphDraw3DSlot().Install(kGraphDraws3D);
}

void RemoveDirect3DDrivers() {
    GraphDraw3DSlot().Reset();
    TexturePieceAccessSlot().Reset();
    TextureSlot().Reset();
    DeviceFormatSlot().Reset();
    Device3DSlot().Reset();
}
