// Calls from graph management and the draw state into the parts of the library that own the
// pixels and the devices: the window layer, the screen and its 2D draw target, the Direct3D
// device, surface records, texture pieces, movies, fonts, masks and the graph loader.
//
// Each entry is a function pointer that the owning module installs when it starts to exist.
// A null entry means that module is not there: the caller then takes the road of a library
// without it (no window, no screen mode set, no DirectDraw, no Direct3D), and an operation that
// needs pixels fails honestly (a graph whose surfaces cannot be made is refused).
#pragma once
#include <cstdint>

#include "graphics/handle_value.h"
#include "graphics/rect.h"

struct GraphRecord;

struct GraphicsHooks {
    // --- Window layer (message pump and window mode) -------------------------------------
    // Holds the caller while the window is inactive (WaitWhileInactive); returns at once
    // while the window is active.
    void (*waitWhileInactive)();
    // Remembers the draw area exactly as the caller asked for it, in the window state.
    void (*rememberDrawAreaRequest)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // 1 when the screen is a window rather than full screen.
    int (*isWindowed)();
    // The window's client area in desktop coordinates (GetScreenRectOnDesktop).
    int (*getScreenRectOnDesktop)(RECT* out);
    // The desktop's size in pixels.
    void (*getDesktopSize)(int32_t* width, int32_t* height);

    // --- Screen (display mode, DirectDraw object, screen surfaces) ---------------------------
    // The screen size (GetScreenDimensions); 640 x 480 while the hook is missing.
    void (*getScreenDimensions)(int32_t* width, int32_t* height);
    // The display depth (GetScreenDepth); 16 while the hook is missing.
    int32_t (*getScreenDepth)();
    // 1 when a DirectDraw object exists.
    int (*hasDirectDrawObject)();
    // 1 when the screen runs without DirectDraw surfaces (software-only mode).
    int (*isNoDirectDraw)();
    // 1 when the screen itself is drawn in software (software-screen flag, depth not 8).
    int (*isScreenSoftwareDrawn)();
    // 1 while the front screen is drawn through the temporary primary.
    int (*isTempPrimaryInUse)();
    // Asks for software rendering before the screen starts (SetSoftwareRenderRequest).
    int (*setSoftwareRenderRequest)(int value);
    // Restores the screen surfaces after they were lost (RestoreScreenSurfaces).
    int (*restoreScreenSurfaces)();
    // Binds the new draw target to its surface or software image (SelectDrawTargetSurface);
    // 0 or -1.
    int (*selectDrawTargetSurface)(HandleValue target, HandleValue previous);

    // --- Direct3D device -----------------------------------------------------------------
    // Starts Direct3D for graph management; returns 1 when it is in use, else 0.
    int (*startDirect3D)();
    // Hands the blend mode, parameter and bright to the device.
    void (*refreshDeviceColorState)();
    // Tells the device of the blend graph and its border values.
    void (*setDeviceBlendGraph)(HandleValue graph, int32_t borderParam, int32_t borderRange);
    // Sets the device viewport to the draw area; 0 or -1.
    int (*setDeviceViewport)(const RECT* area);
    // Hands the texture sampling mode to the device.
    void (*setDeviceSampleFilter)(int32_t mode);
    // 1 when the current device record's first state word is set (the device is usable).
    int (*isCurrentDeviceReady)();
    // Ends the current device's scene if one is open (EndCurrentDeviceScene).
    void (*endCurrentDeviceScene)();
    // Makes the target the device's render target; 0 or -1.
    int (*selectDeviceRenderTarget)(HandleValue target);
    // Resets the transforms for a new draw target: a camera on the target's centre at the
    // given distance with the given field of view (radians) and clip distances.
    void (*resetTargetTransforms)(float width, float height, float distance, float fieldOfView,
                                  float nearClip, float farClip);

    // --- Surfaces of graphs: 2D surface records and Direct3D texture pieces ------------------
    // Make the graph's surfaces (CreateGraphSurface2D / the texture-piece split); 0 or -1.
    int (*createGraphSurface2D)(GraphRecord* graph);
    int (*createGraphTextures)(GraphRecord* graph);
    // Make the derived graph's surfaces over (x, y, width, height) of the parent's; 0 or -1.
    int (*deriveGraphSurface2D)(GraphRecord* graph, int32_t x, int32_t y, int32_t width,
                                int32_t height, GraphRecord* parent);
    int (*deriveGraphTextures)(GraphRecord* graph, int32_t x, int32_t y, int32_t width,
                               int32_t height, GraphRecord* parent);
    // Release the graph's surfaces.
    int (*releaseGraphSurface2Ds)(GraphRecord* graph);
    int (*releaseGraphTextures)(GraphRecord* graph);
    // Fill every surface of the graph with one colour; 0 or -1.
    int (*fillGraphSurface2Ds)(GraphRecord* graph, int32_t r, int32_t g, int32_t b, int32_t a);
    int (*fillGraphTextures)(GraphRecord* graph, int32_t r, int32_t g, int32_t b, int32_t a);
    // Restore lost surfaces of the graph.
    int (*restoreGraphSurface2Ds)(GraphRecord* graph);
    int (*restoreGraphTextures)(GraphRecord* graph);
    // Empties the surface-record tables at graphics start-up.
    void (*clearSurfaceTables)();

    // --- Movies ----------------------------------------------------------------------------
    // Ends the link between a graph and the movie that renders into it.
    void (*closeGraphMovieLink)(GraphRecord* graph);
    // Restores those of the movie's surfaces that report lost.
    void (*restoreMovieSurfaces)(HandleValue movie);

    // --- Fonts -----------------------------------------------------------------------------
    // Empties the font tables, sets the default-font settings and starts font management.
    void (*startFonts)(int32_t size, int32_t thickness, int32_t type);
    // Re-creates every font after the surfaces were lost.
    void (*recreateAllFonts)();
    // Deletes every font and the default font.
    void (*deleteAllFonts)();

    // --- Masks -----------------------------------------------------------------------------
    // Ends the mask screens.
    void (*endMasks)();

    // --- Graph loader ----------------------------------------------------------------------
    // The default restore callback (RestoreAllGraphs): reloads every lost graph that can be
    // reloaded from its file.
    int (*reloadAllGraphs)();
};

GraphicsHooks& GetGraphicsHooks();
// Clears every hook (tests; a module that goes away).
void ResetGraphicsHooks();

// The hooks' answers with the no-module defaults filled in.
int HookHasDirectDrawObject();       // 0 without a screen module
int HookIsNoDirectDraw();            // 0 without a screen module
int HookIsScreenSoftwareDrawn();     // 0 without a screen module
int32_t HookGetScreenDepth();        // 16 without a screen module
void HookGetScreenDimensions(int32_t* width, int32_t* height);   // 640 x 480 without one
void HookWaitWhileInactive();        // nothing without a window layer
void HookEndCurrentDeviceScene();    // nothing without a Direct3D device
void HookRefreshDeviceColorState();  // nothing without a Direct3D device
