// Puts every driver that graphics calls back to its absent instance, so that no stand-in a
// test installed reaches the next test.
#pragma once

#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/device_format_driver.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/drivers/window_facts_driver.h"

inline void ResetGraphicsDrivers() {
    WindowFactsSlot().Reset();
    ScreenSlot().Reset();
    Surface2DSlot().Reset();
    TextureSlot().Reset();
    TexturePieceAccessSlot().Reset();
    DeviceFormatSlot().Reset();
    Device3DStartSlot().Reset();
    Device3DSlot().Reset();
    FontSlot().Reset();
    MaskSlot().Reset();
    MovieSlot().Reset();
    GraphLoaderSlot().Reset();
}
