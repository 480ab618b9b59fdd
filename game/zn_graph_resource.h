// The graph table: image files loaded into graph handles, as whole images or cut into tiles.
// A failed load throws its message text; the frame's initialisation catches it.
#pragma once
#include "dh_graph.h"
#include "simple_array.h"

class DhGraphResource : public SimpleArray<DhGraph> {};

class ZnGraphResource : public DhGraphResource {
public:
    // Slot i <- the whole image in file.
    void loadGraphAt(int i, const char* file);
    // Slot i <- count tiles of file, xnum per row, ynum rows, each w x h pixels.
    void loadDivGraphAt(int i, const char* file, int count, int xnum, int ynum, int w, int h);

    static void loadGraph(DhGraph& g, const char* file);
    static void loadDivGraph(DhGraph& g, const char* file, int count, int xnum, int ynum, int w,
                             int h);
};
