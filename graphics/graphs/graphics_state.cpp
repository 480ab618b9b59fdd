#include "graphics/graphs/graphics_state.h"

#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<GraphicsState>, "the block is cleared bytewise");

GraphicsState& GetGraphicsState() {
    static GraphicsState state = {};
    return state;
}

DrawState& GetDrawState() { return GetGraphicsState().draw; }

void ClearGraphicsState() {
    GraphicsState& state = GetGraphicsState();
    const GraphRestoreCallback callback = state.restoreCallback;
    std::memset(&state, 0, sizeof state);
    state.restoreCallback = callback;
}
