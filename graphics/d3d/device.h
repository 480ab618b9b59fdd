// The Direct3D back end: the Direct3D object taken from the DirectDraw object, up to four device
// records with their cached states and vertex batches, and the table of texture pixel formats.
// It draws nothing itself: the graph draws append vertices to the current device's batch, and
// this module decides when the batch is sent, sets each device state only when its value
// changes, opens and closes scenes, and rebuilds the device after a display change.
//
// Main thread only, under the library lock.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/drivers/device_3d_driver.h"
#include "softrender/records/color_format.h"
#include "softrender/records/rect.h"
#include "platform/d3d/d3d.h"

struct GraphRecord;

// --- Vertices --------------------------------------------------------------------------------

// Kind 0: untextured (box fills).
struct PlainVertex {
    float x, y, z, rhw;
    uint32_t diffuse;  // A8R8G8B8
};
// Kind 1: one texture.
struct TexVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};
// Kind 2: a blend-graph texture (set 0) and the graph texture (set 1).
struct BlendTexVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    uint32_t specular;
    float blendU, blendV;
    float u, v;
};
static_assert(sizeof(PlainVertex) == 20 && sizeof(TexVertex) == 28 &&
              sizeof(BlendTexVertex) == 40);

constexpr uint32_t kPlainVertexFormat = 0x44;      // XYZRHW | DIFFUSE
constexpr uint32_t kTexVertexFormat = 0x144;       // XYZRHW | DIFFUSE | TEX1
constexpr uint32_t kBlendTexVertexFormat = 0x2C4;  // XYZRHW | DIFFUSE | SPECULAR | TEX2

constexpr int32_t kPlainVertexCapacity = 3225;
constexpr int32_t kTexVertexCapacity = 2340;
constexpr int32_t kBlendTexVertexCapacity = 1638;

// --- Records -----------------------------------------------------------------------------------

constexpr int32_t kMaxDevices3D = 4;
constexpr int32_t kTextureStageCount3D = 4;
constexpr int32_t kTextureFormatCount = 9;

// Texture format entries.
enum TextureFormatIndex : int32_t {
    kTexFormat16 = 0,
    kTexFormat32 = 1,
    kTexFormat16Alpha = 2,
    kTexFormat32Alpha = 3,
    kTexFormat16AlphaKey = 4,
    kTexFormat32AlphaKey = 5,
    kTexFormat16Target = 6,
    kTexFormat32Target = 7,
    kTexFormatAlphaTarget = 8,
};

struct TextureFormatEntry {
    plat::PixelFormat pixelFormat;  // size 0 while empty
    PaletteColorFormat colorFormat;
};

// The six cached values of one texture stage.
struct TextureStageCache {
    plat::DrawSurface* texture;
    uint32_t colorOp, colorArg1, colorArg2;
    uint32_t alphaOp, alphaArg1, alphaArg2;
    uint32_t texCoordIndex;
};

struct VertexBatch {
    int32_t count;          // vertices waiting
    int32_t kind;           // 0, 1, 2
    uint32_t primitive;     // plat primitive type of the waiting vertices
    PlainVertex plain[kPlainVertexCapacity];
    TexVertex tex[kTexVertexCapacity];
    BlendTexVertex blendTex[kBlendTexVertexCapacity];
};

struct Device3DRecord {
    int32_t inUse;
    plat::Direct3DDevice* device;
    plat::DrawSurface* creationTarget;
    plat::DrawSurface* currentTarget;
    plat::DrawSurface* stage0Texture;   // graph texture
    plat::DrawSurface* stage1Texture;   // blend-graph texture
    int32_t colorModulation;            // the draw bright is not white
    int32_t vertexAlpha;                // the draw uses the vertex colour's alpha
    int32_t blendMode;
    int32_t blendGraphParam;            // -1 = none
    int32_t blendGraphRange;
    int32_t alphaKey;
    int32_t textureAlpha;
    int32_t stateChanged;
    int32_t textureChanged;
    int32_t nothingVisible;             // flushes discard the batch
    int32_t force;                      // setters send even values equal to the cache
    // Cached render states.
    uint32_t alphaTestEnable, alphaRef, alphaFunc, alphaBlendEnable, textureFactor;
    uint32_t srcBlend, destBlend;
    int32_t stageCount;
    TextureStageCache stages[kTextureStageCount3D];
    int32_t inScene;
    int32_t filter;                     // 0 point, 1 bilinear
    uint32_t zEnable, zWriteEnable, zFunc, shadeMode, cullMode;
    uint32_t textureAddress, texturePerspective, lighting, colorKeyEnable;
    plat::Viewport viewport;
    VertexBatch batch;
};

struct Device3DState {
    plat::Direct3D* direct3D;           // not null: Direct3D is up
    int32_t currentDevice;
    plat::DeviceDesc deviceDesc;
    plat::DeviceGuid deviceGuid;
    uint32_t minTextureSide, maxTextureSide;
    TextureFormatEntry formats[kTextureFormatCount];
    plat::PixelFormat zBufferFormat;
    int32_t endSceneAfterEachDraw;      // drawing to the front screen
    int32_t drawingSuppressed;          // the draw target is a graph the device cannot render to
    int32_t readbackSlots[2];           // remembered readback methods, -1 = none
    plat::DrawSurface* workTexture;     // 256 x 256 in the alpha target format, or null
    int32_t initialised;
    uint32_t vertexColor;               // the device vertex colour (A8R8G8B8)
    float blendScaleU, blendScaleV;     // 1 / blend-graph texture width and height
    Device3DRecord devices[kMaxDevices3D];
};

Device3DState& GetDevice3DState();
// Clears the back-end state (device records too) without releasing anything: start-up and tests.
void ResetDevice3DState();
// 1 while the Direct3D object exists.
int Direct3DIsUp();
// The current device's record when Direct3D is up and its slot is in use, else null.
Device3DRecord* CurrentDevice3DRecord();

// --- Start and end -----------------------------------------------------------------------------

int InitDirect3D();
int TermDirect3D();
int CreateDevice3D(plat::DrawSurface* target);
int RecreateDevice3D(int32_t index);
int ReleaseDirect3DObject();
int ReacquireDirect3DObject();
int DeleteDevice3D(int32_t index);
int DeleteAllDevices3D();

// --- Batch and scenes ---------------------------------------------------------------------------

// Sends the current device's batch (discarded while quit is requested or nothing is visible);
// -1 when Direct3D is not up or the slot is empty, else 0.
int FlushCurrentDeviceVertices();
int EndCurrentDeviceScene();
int BeginDeviceScene();
// Room for count more vertices of the device's current kind as a triangle list: flushes first
// when the batch holds another primitive or cannot take them. Returns where to write them; the
// caller writes exactly count vertices and the batch count grows by count.
void* AppendDeviceVertices(Device3DRecord* device, int32_t count);

// --- States ---------------------------------------------------------------------------------------

// Flags of ApplyDrawRenderState.
constexpr int32_t kApplyTransFlag = 1;
constexpr int32_t kApplyIntegerCoords = 2;
constexpr int32_t kApplyDepthSettings = 4;

// Per-draw states for a draw of the texture piece (kNoHandle: untextured).
int ApplyDrawRenderState(HandleValue piece, int32_t flags);
int ApplyTextureStageStates(int32_t index);
int SetDeviceTexture(int32_t index, plat::DrawSurface* texture);
int SetBlendGraphTexture(const GraphRecord* graph, int32_t param, int32_t range);
// The blend-graph texture's scales (1 / width, 1 / height) for the blend-graph coordinates.
void GetBlendGraphScales(float* scaleU, float* scaleV);
int SetTextureFilter(int32_t mode);
int SetDeviceViewport(const RECT* rect);
// Where the draw target's (0, 0) lies on the device's render target: the window's place on the
// desktop for the front of a windowed screen, and a graph target's place in its texture (a
// derived graph's part of its parent's).
void GetDeviceDrawOrigin(int32_t* x, int32_t* y);
int SetDrawTarget3D(HandleValue target);
int ClearDrawTarget3D();
void RefreshVertexColor();
// The device vertex colour: alpha from the blend parameter (see RefreshVertexColor), RGB the
// draw bright.
uint32_t GetDeviceVertexColor();
plat::Direct3DDevice* GetCurrentDevice3D();
const plat::PixelFormat* GetZBufferFormat();
int SetMaskRenderTarget3D(int32_t maskOn);
// The entry chosen for a texture of this kind, or -1.
int ChooseTextureFormat(int32_t colorDepth, int32_t alpha, int32_t alphaKey, int32_t renderTarget);
// The colour format of an entry; its pixel format into *pixelFormat when asked. Null for an
// index out of range or an empty entry.
const PaletteColorFormat* GetTextureFormat(int32_t index, plat::PixelFormat* pixelFormat);
int ReapplyDeviceStates();

// 1 when the blend mode's blend-table entry blends (every mode but 0, 6 and 7).
int BlendModeBlends(int32_t mode);

// How a blend graph of border range 2 and above weights the source: the graph texture stage
// multiplies by modulateOp (D3DTOP_MODULATE, _MODULATE2X or _MODULATE4X) after stage 0 moved
// the blend graph's alpha by factorAlpha with alphaOp (D3DTOP_ADD or D3DTOP_SUBTRACT).
struct BlendGraphFactor {
    uint32_t alphaOp;
    uint32_t factorAlpha;  // 0..255
    uint32_t modulateOp;
};
BlendGraphFactor ComputeBlendGraphFactor(int32_t borderParam, int32_t borderRange);

// --- Texture formats ---------------------------------------------------------------------------

// The texture format enumeration's callback: stores one offered format into its entry of the
// back end's table (context unused); 1 to go on.
int32_t StoreOfferedTextureFormat(plat::PixelFormat* format, void* context);
// Fills the empty entries from the ones named by the format table; 0, or -1 when no 16-bit
// format without alpha was offered.
int FillEmptyTextureFormats();

// --- Drivers -------------------------------------------------------------------------------------

// Supplies the Device3DDriver and the DeviceFormatDriver while Direct3D is up (and the
// texture pieces' and 3D draws' drivers), and takes them all back. InitDirect3D and
// TermDirect3D call them.
void InstallDirect3DDrivers();
void RemoveDirect3DDrivers();

// The device's start and end as the screen calls them (InitDirect3D, TermDirect3D,
// ReleaseDirect3DObject, ReacquireDirect3DObject); the library's start-up installs it in
// Device3DStartSlot before the screen opens.
extern const Device3DStartDriver kDevice3DStart;

// Cached render-state setters: each compares with the cache (unless forced), flushes, sets and
// caches; 0 or -1.
int SetDeviceZEnable(uint32_t value);
int SetDeviceZWriteEnable(uint32_t value);
int SetDeviceZFunc(uint32_t value);
int SetDeviceCullMode(uint32_t value);
int SetDeviceShadeMode(uint32_t value);
int SetDeviceTexturePerspective(uint32_t value);
int SetDeviceColorKeyEnable(uint32_t value);
int SetDeviceRenderTarget(plat::DrawSurface* target);
