#include "dh_graph.h"

int clampTileIndex(int index, int count) {
    if (index >= count) index = count - 1;
    if (index < 0) index = 0;
    return index;
}

int DhGraph::getClampedHandle(int i) const {
    if (getCount() == 0) return -1;
    return getHandle(clampTileIndex(i, getCount()));
}
