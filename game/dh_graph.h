// One loaded image: the graph handles of its tiles (a whole image has one) and the size of one
// tile.
#pragma once
#include "dh_size.h"
#include "simple_array.h"

class DhGraph {
public:
    // Handle of tile i; callers stay below getCount().
    int getHandle(int i) const { return handles_.at(static_cast<uint32_t>(i)); }
    // Handle of tile i with i clamped into 0..count-1; -1 when the graph has no tiles. Used
    // wherever a tile index is computed from a character's state.
    int getClampedHandle(int i) const;
    int getWidth() const { return size_.width; }
    int getHeight() const { return size_.height; }
    int getCount() const { return static_cast<int>(handles_.size()); }

    // Filled by the graph table's loads.
    SimpleArray<int>& handles() { return handles_; }
    void setSize(int width, int height) {
        size_.width = width;
        size_.height = height;
    }

private:
    SimpleArray<int> handles_;
    DhSize size_;
};

// Clamps a tile index into 0..count-1 (0 when count is 0).
int clampTileIndex(int index, int count);
