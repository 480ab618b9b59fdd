#include "graphics/drivers/direct_draw_object.h"

namespace {
plat::DirectDraw* g_directDraw = nullptr;
}

plat::DirectDraw* GetDirectDrawObject() { return g_directDraw; }

void SetDirectDrawObject(plat::DirectDraw* object) { g_directDraw = object; }

int HasStoredDirectDrawObject() { return g_directDraw != nullptr ? 1 : 0; }
